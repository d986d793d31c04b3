// The player's saved data, as a game keeps it: one value in localStorage, one in IndexedDB. The page
// reports what it found (empty on the first visit) to /beacon, then saves for the next visit.
(function () {
  function report(query) { new Image().src = "/beacon?" + query; }
  function withStore(done) {
    var request;
    try { request = indexedDB.open("drelk", 1); } catch (e) { done(null); return; }
    request.onupgradeneeded = function () { request.result.createObjectStore("save"); };
    request.onsuccess = function () { done(request.result); };
    request.onerror = function () { done(null); };
  }
  var local = localStorage.getItem("drelk-save") || "";
  if (!local) { localStorage.setItem("drelk-save", "local-" + Date.now()); }
  withStore(function (db) {
    if (!db) { report("local=" + encodeURIComponent(local) + "&idb=unavailable"); return; }
    var store = db.transaction("save", "readwrite").objectStore("save");
    var read = store.get("slot");
    read.onsuccess = function () {
      var saved = read.result || "";
      if (!saved) { store.put("idb-" + Date.now(), "slot"); }
      report("local=" + encodeURIComponent(local) + "&idb=" + encodeURIComponent(saved));
    };
  });
  var scrolled = false;
  window.addEventListener("scroll", function () {
    if (!scrolled && window.scrollY > 0) { scrolled = true; report("scrolled=" + Math.round(window.scrollY)); }
  });
})();
