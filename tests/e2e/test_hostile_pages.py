"""Pages that mean harm, as the server list: logins aimed at files, scripts and schemes of their own go
nowhere, a login inside another site's frame is still handed on, downloads are written only where the
player says (here: nowhere, the save dialog is cancelled), and the browser's data is the player's alone."""

import http.server
import os
import stat
import tempfile
import threading
import time
import unittest
from urllib.parse import parse_qs, urlparse

from harness import DemoSite, Launcher, run, wait_for

# Each case, one after the other, aimed at the login rule of the default platform ("login.php").
LOGIN_CASES = {
    "open-file": "window.open('file:///etc/passwd?login.php')",
    "open-data": "window.open('data:text/html,<title>x</title>login.php')",
    "open-script": "window.open(\"javascript:'login.php'\")",
    "open-scheme": "window.open('drelk-made-up://op/login.php?sid=1')",
    "location-file": "location.href = 'file:///etc/passwd?login.php'",
    "location-scheme": "location.href = 'drelk-made-up://op/login.php?sid=1'",
    "frame-file": "frame('file:///etc/passwd?login.php')",
    "frame-data": "frame('data:text/html,login.php')",
    "frame-scheme": "frame('drelk-made-up://op/login.php?sid=1')",
}

HOSTILE_LIST = """<!doctype html><html><head><meta charset="utf-8"><title>双线一区</title></head>
<body style="background:#123">hostile list
<script>
function frame(address) {
  const f = document.createElement('iframe'); f.src = address; document.body.appendChild(f);
}
const cases = %s;
let i = 0;
function next() {
  if (i == cases.length) { fetch('/done'); return; }
  const c = cases[i++];
  fetch('/case?name=' + c[0]).then(() => { try { eval(c[1]); } catch (e) {} setTimeout(next, 400); });
}
setTimeout(next, 300);
</script></body></html>"""

FRAMED_LOGIN = """<!doctype html><html><head><meta charset="utf-8"><title>framed</title></head><body>
<iframe src="%s/framed-login.html"></iframe></body></html>"""

FRAME_THAT_LOGS_IN = """<!doctype html><html><body><script>
setTimeout(() => { location.href = '/login.php?sid=9'; }, 300);
</script></body></html>"""

DOWNLOADS = {
    "blob": "const a = document.createElement('a'); a.download = 'victim.txt';"
            " a.href = URL.createObjectURL(new Blob(['changed'])); document.body.appendChild(a); a.click();",
    "data": "const a = document.createElement('a'); a.download = 'victim.txt';"
            " a.href = 'data:text/plain,changed'; document.body.appendChild(a); a.click();",
    "attachment": "const f = document.createElement('iframe'); f.src = '/attachment';"
                  " document.body.appendChild(f);",
    "unknown-type": "location.href = '/drelk.desktop';",
}

DOWNLOAD_PAGE = """<!doctype html><html><head><meta charset="utf-8"><title>双线一区</title></head><body>
<script>setTimeout(() => { %s }, 300);</script></body></html>"""

# A page that keeps a cookie and local storage.
STORE_PAGE = """<!doctype html><html><head><meta charset="utf-8"><title>双线一区</title></head><body><script>
document.cookie = 'player=1; max-age=86400'; localStorage.setItem('k', 'v'); fetch('/stored');
</script></body></html>"""

SAVE_DIALOG = "保存文件"


class HostileServer:
    """Serves the hostile pages on 127.0.0.1 and records every request's path."""

    def __init__(self):
        self.paths = []
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                server.paths.append(self.path)
                url = urlparse(self.path)
                query = parse_qs(url.query)
                if url.path == "/list.html":
                    names = query.get("cases", [""])[0].split(",")
                    cases = ",".join(f"[{name!r}, {LOGIN_CASES[name]!r}]" for name in names)
                    self.reply(HOSTILE_LIST % f"[{cases}]")
                elif url.path == "/framed.html":
                    self.reply(FRAMED_LOGIN % f"http://localhost:{server.port}")
                elif url.path == "/framed-login.html":
                    self.reply(FRAME_THAT_LOGS_IN)
                elif url.path == "/download.html":
                    self.reply(DOWNLOAD_PAGE % DOWNLOADS[query["kind"][0]])
                elif url.path == "/attachment":
                    self.reply("changed", "text/plain", [("Content-Disposition", 'attachment; filename="victim.txt"')])
                elif url.path == "/store.html":
                    self.reply(STORE_PAGE)
                elif url.path == "/drelk.desktop":
                    self.reply("[Desktop Entry]\nExec=sh\n", "application/octet-stream")
                else:
                    self.reply("<!doctype html><title>ok</title>")

            def reply(self, body, content_type="text/html; charset=utf-8", headers=()):
                data = body.encode("utf-8")
                self.send_response(200)
                self.send_header("Content-Type", content_type)
                self.send_header("Content-Length", str(len(data)))
                for name, value in headers:
                    self.send_header(name, value)
                self.end_headers()
                self.wfile.write(data)

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        self.url = f"http://127.0.0.1:{self.port}"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class HostilePageTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(self.site.stop)
        self.server = HostileServer()
        self.addCleanup(self.server.stop)

    def start(self, page, **settings):
        launcher = Launcher(self.site, settings={"page": self.server.url + page, **settings})
        self.addCleanup(launcher.stop)
        launcher.launcher_windows(timeout=30)
        return launcher

    def assert_still_the_launcher(self, launcher):
        self.assertIsNone(launcher.process.poll(), "the launcher still runs")
        self.assertIsNone(launcher.started_client(), "no game client")
        windows = launcher.windows()
        self.assertEqual([w[2:] for w in windows[:2]], [(1024, 635), (1024, 635)], windows)
        self.assertFalse(any(w[2] > 1024 for w in windows), "no game window")

    def test_logins_to_files_scripts_and_other_schemes_go_nowhere(self):
        for airclient in ("true", "false"):
            with self.subTest(airclient=airclient):
                launcher = self.start("/list.html?cases=" + ",".join(LOGIN_CASES), airclient=airclient)
                wait_for(lambda: "/done" in self.server.paths, 40, what="every case to have run")
                time.sleep(1.5)
                self.assert_still_the_launcher(launcher)
                launcher.stop()
                self.server.paths.clear()

    def test_a_web_login_inside_another_sites_frame_is_still_handed_on(self):
        launcher = self.start("/framed.html", airclient="true")
        started = wait_for(launcher.started_client, 20, what="the game client")
        self.assertEqual(started[0], "p")
        self.assertRegex(started[1], r"^http://localhost:\d+/login\.php\?sid=9&server_name=")
        self.assertNotIn("/login.php?sid=9", self.server.paths)  # cancelled before the server saw it

    def test_downloads_ask_and_write_nothing_when_the_player_declines(self):
        for kind in DOWNLOADS:
            with self.subTest(kind=kind):
                launcher = Launcher(self.site, settings={"page": self.server.url + "/download.html?kind=" + kind},
                                    prepare=self.plant_victim)
                self.addCleanup(launcher.stop)
                downloads = os.path.join(launcher.folder, "home", "Downloads")
                wait_for(lambda: self.save_dialog(launcher), 30, what="the save dialog")
                time.sleep(0.5)  # mapped, focused by the window manager
                launcher.screenshot(f"save-dialog-{kind}.png")
                launcher.key("Escape")
                wait_for(lambda: not self.save_dialog(launcher), 10, what="the dialog to close")
                time.sleep(1.5)
                self.assertEqual(sorted(os.listdir(downloads)), ["victim.txt"])
                with open(os.path.join(downloads, "victim.txt")) as stream:
                    self.assertEqual(stream.read(), "original")
                self.assert_still_the_launcher(launcher)
                launcher.stop()

    def test_the_browsers_data_is_the_players_alone(self):
        launcher = self.start("/store.html")
        wait_for(lambda: "/stored" in self.server.paths, 30, what="the page to keep its data")
        time.sleep(2)  # the engine writes what the page keeps
        # Ended as a player ends it: the close button, then 是 (Return).
        origin = launcher.windows()[0][:2]
        launcher.click(origin[0] + 1024 - 43 + 15, origin[1] + 7 + 16)
        launcher.answer_box("关闭提示", key="Return")
        self.assertTrue(launcher.exited(), "the launcher ended")
        time.sleep(2)  # the engine's processes end after the program
        folders = [os.path.join(launcher.env["XDG_CACHE_HOME"], "drelk"),
                   os.path.join(launcher.env["XDG_DATA_HOME"], "drelk")]
        # The folders are the player's alone at once: what the engine writes while it shuts down, after
        # the program, is out of other users' reach in them.
        for folder in folders:
            self.assertEqual(stat.S_IMODE(os.lstat(folder).st_mode), 0o700, folder)
        earlier = [os.path.join(d, n) for folder in folders for d, ds, fs in os.walk(folder) for n in ds + fs]
        self.assertGreater(len(earlier), 3)
        # The next start makes everything of the earlier run 0700 / 0600 before the engine starts.
        home = {name: launcher.env[name] for name in ("HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME")}
        again = Launcher(self.site, settings={"page": self.server.url + "/index.html"}, extra_env=home)
        self.addCleanup(again.stop)
        again.launcher_windows(timeout=30)
        for path in earlier:
            try:
                mode = os.lstat(path).st_mode
            except FileNotFoundError:
                continue  # the engine replaced it
            if not stat.S_ISLNK(mode):
                expected = 0o700 if stat.S_ISDIR(mode) else 0o600
                self.assertEqual(stat.S_IMODE(mode), expected, os.path.relpath(path, home["HOME"]))

    @staticmethod
    def plant_victim(launcher):
        """The desktop's download folder (~/Downloads), holding a file of the name the pages suggest."""
        home = os.path.join(launcher.folder, "home")
        os.makedirs(os.path.join(home, "Downloads"))
        os.makedirs(os.path.join(home, ".config"))
        with open(os.path.join(home, ".config", "user-dirs.dirs"), "w") as stream:
            stream.write('XDG_DOWNLOAD_DIR="$HOME/Downloads"\n')
        with open(os.path.join(home, "Downloads", "victim.txt"), "w") as stream:
            stream.write("original")

    @staticmethod
    def save_dialog(launcher):
        return launcher.window_named(SAVE_DIALOG)


if __name__ == "__main__":
    unittest.main()
