"""Tests for the demo operator site.

Each test starts server.py on a free port in a subprocess and talks to it over
plain sockets, so request lines can carry raw UTF-8 bytes exactly as the
launcher sends them.  Run with:

    python3 -m unittest discover -s tests/tools -p "test_*.py"
"""

import datetime
import http.client
import json
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree as ElementTree
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import quote

HERE = Path(__file__).resolve().parent
SERVER = HERE.parent.parent / "tools" / "demo-site" / "server.py"
TIMEOUT = 10  # seconds, for every socket operation and process wait

SERVER_NAMES = ["双线一区", "双线二区", "电信一区", "电信二区",
                "网通一区", "网通二区", "新服·烈焰", "新服·苍穹"]

# platform -> (login path, marker the launcher looks for in a login URL)
PLATFORMS = {
    "360": ("/login.php", "login.php"),
    "shunwang": ("/login.php", "login.php"),
    "baidu": ("/login_game_for_general", "login_game_for_general"),
    "37wan": ("/index37wan", "index37wan"),
    "liebao": ("/indexliebao", "indexliebao"),
    "6711": ("/index6711", "index6711"),
}


class SiteProcess:
    """server.py running in a subprocess on an ephemeral port."""

    def __init__(self, workdir, extra_args=()):
        # Instances started in one test share the request log but nothing else.
        self.log_path = Path(workdir) / "requests.jsonl"
        self.own_dir = Path(tempfile.mkdtemp(dir=workdir))
        self.port_file = self.own_dir / "port"
        self.stderr_path = self.own_dir / "stderr.txt"
        self.stderr_file = open(self.stderr_path, "wb")
        self.proc = subprocess.Popen(
            [sys.executable, str(SERVER), "--port", "0", "--log", str(self.log_path),
             "--port-file", str(self.port_file), *extra_args],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=self.stderr_file)
        self.first_line = self._read_first_line()
        match = re.fullmatch(r"listening http://127\.0\.0\.1:(\d+)/", self.first_line)
        if not match:
            self.stop()
            raise AssertionError("unexpected first line: %r" % self.first_line)
        self.port = int(match.group(1))

    def _read_first_line(self):
        result = []
        reader = threading.Thread(target=lambda: result.append(self.proc.stdout.readline()), daemon=True)
        reader.start()
        reader.join(TIMEOUT)
        if not result:
            self.stop()
            raise AssertionError("server did not announce itself within %ds" % TIMEOUT)
        return result[0].decode("utf-8").rstrip("\n")

    def stop(self, sig=signal.SIGTERM):
        """Stop the server; returns its exit code (None if it had to be killed)."""
        code = self.proc.poll()
        if code is None:
            self.proc.send_signal(sig)
            try:
                code = self.proc.wait(TIMEOUT)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(TIMEOUT)
                code = None
        self.proc.stdout.close()
        self.stderr_file.close()
        return code

    def stderr_text(self):
        return self.stderr_path.read_bytes().decode("utf-8", "replace")

    def log_entries(self):
        if not self.log_path.exists():
            return []
        lines = self.log_path.read_text(encoding="utf-8").splitlines()
        return [json.loads(line) for line in lines]


class Reply:
    def __init__(self, response, body):
        self.status = response.status
        self.headers = response.headers
        self.body = body
        self.text = body.decode("utf-8", "replace")


def send(port, target, method="GET", headers=None, body=b""):
    """One request on a fresh connection.  The target may be bytes, which go
    onto the request line untouched; str targets are sent as UTF-8."""
    if isinstance(target, str):
        target = target.encode("utf-8")
    lines = [method.encode("ascii") + b" " + target + b" HTTP/1.1",
             b"Host: 127.0.0.1:%d" % port, b"Connection: close"]
    for name, value in (headers or {}).items():
        lines.append(name.encode("ascii") + b": " + value.encode("utf-8"))
    if body or method in ("POST", "PUT"):
        lines.append(b"Content-Length: %d" % len(body))
    request = b"\r\n".join(lines) + b"\r\n\r\n" + body
    with socket.create_connection(("127.0.0.1", port), timeout=TIMEOUT) as sock:
        sock.sendall(request)
        response = http.client.HTTPResponse(sock, method=method)
        response.begin()
        data = response.read()
    return Reply(response, data)


class PageParser(HTMLParser):
    """Collects the title, the meta charset and every element's attributes."""

    def __init__(self, text):
        super().__init__()
        self.title = None
        self.charset = None
        self.elements = []  # (tag, attrs dict)
        self._in_title = False
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.elements.append((tag, attrs))
        if tag == "title":
            self._in_title = True
            self.title = ""
        if tag == "meta" and "charset" in attrs:
            self.charset = attrs["charset"]

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data

    def by_id(self, element_id):
        for tag, attrs in self.elements:
            if attrs.get("id") == element_id:
                return tag, attrs
        return None

    def urls(self):
        return [(attrs, attrs[key]) for tag, attrs in self.elements
                for key in ("href", "src", "action") if attrs.get(key)]

    def text_of(self, element_id, text):
        """Text directly inside the element with this id (first one only)."""
        match = re.search(r'id="%s"[^>]*>([^<]*)<' % re.escape(element_id), text)
        return match.group(1) if match else None


class SiteTestCase(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self._tmp.cleanup)
        self.site = SiteProcess(self._tmp.name)

    def tearDown(self):
        self.site.stop()

    def get(self, target, **kwargs):
        return send(self.site.port, target, **kwargs)

    def assertChineseTitle(self, page):
        self.assertIsNotNone(page.title)
        self.assertRegex(page.title, "[\u4e00-\u9fff]")


class StartupTests(SiteTestCase):
    def test_announces_port_and_writes_port_file(self):
        self.assertNotEqual(self.site.port, 0)
        self.assertEqual(self.site.port_file.read_text().strip(), str(self.site.port))
        self.assertEqual(self.get("/").status, 200)

    def test_refuses_to_bind_beyond_loopback(self):
        for host in ("0.0.0.0", "192.0.2.1", "::"):
            with self.subTest(host=host):
                done = subprocess.run(
                    [sys.executable, str(SERVER), "--port", "0", "--log",
                     str(Path(self._tmp.name) / "other.jsonl"), "--host", host],
                    stdin=subprocess.DEVNULL, capture_output=True, timeout=TIMEOUT)
                self.assertNotEqual(done.returncode, 0)
                self.assertNotIn(b"listening", done.stdout)

    def test_signals_stop_it_cleanly_even_with_open_connections(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=sig.name):
                site = SiteProcess(self._tmp.name)
                self.addCleanup(site.stop)
                # A browser keeps idle keep-alive connections open.
                idle = http.client.HTTPConnection("127.0.0.1", site.port, timeout=TIMEOUT)
                idle.request("GET", "/index.html")
                idle.getresponse().read()
                started = time.monotonic()
                code = site.stop(sig)
                idle.close()
                self.assertEqual(code, 0)
                self.assertLess(time.monotonic() - started, 5)
                self.assertEqual(site.stderr_text(), "")

    def test_stderr_stays_quiet(self):
        self.get("/")
        self.get("/no/such/page")
        self.get("/static/emblem.svg", headers={"If-None-Match": "*"})
        # A client that hangs up before sending a full request.
        with socket.create_connection(("127.0.0.1", self.site.port), timeout=TIMEOUT) as sock:
            sock.sendall(b"GET /index.html HTTP/1.1\r\nHost: x\r\n")
        self.get("/report?after=hangup")
        self.assertEqual(self.site.stop(), 0)
        self.assertEqual(self.site.stderr_text(), "")

    def test_keep_alive_connection_serves_several_replies(self):
        conn = http.client.HTTPConnection("127.0.0.1", self.site.port, timeout=TIMEOUT)
        self.addCleanup(conn.close)
        etag = None
        for path, status in [("/mini/zonelist.html", 200), ("/missing", 404),
                             ("/static/game.css", 200), ("/static/game.css", 304),
                             ("/login.php?sid=1", 200)]:
            headers = {"If-None-Match": etag} if etag and status == 304 else {}
            conn.request("GET", path, headers=headers)
            response = conn.getresponse()
            response.read()
            self.assertEqual(response.status, status, path)
            etag = response.headers.get("ETag") or etag


class RequestLogTests(SiteTestCase):
    def test_entry_records_method_path_agent_cookie_and_time(self):
        before = datetime.datetime.now(datetime.timezone.utc)
        self.get("/mini/zonelist.html?platform=37wan&x=%41",
                 headers={"User-Agent": "DrelkLauncher/2.1 (Windows)", "Cookie": "drelk_session=abc; lang=zh"})
        (entry,) = self.site.log_entries()
        self.assertEqual(set(entry), {"method", "path", "user_agent", "cookie", "time"})
        self.assertEqual(entry["method"], "GET")
        self.assertEqual(entry["path"], "/mini/zonelist.html?platform=37wan&x=%41")
        self.assertEqual(entry["user_agent"], "DrelkLauncher/2.1 (Windows)")
        self.assertEqual(entry["cookie"], "drelk_session=abc; lang=zh")
        stamp = datetime.datetime.fromisoformat(entry["time"].replace("Z", "+00:00"))
        self.assertLess(abs((stamp - before).total_seconds()), 30)

    def test_missing_headers_are_logged_as_empty_strings(self):
        self.get("/index.html")
        (entry,) = self.site.log_entries()
        self.assertEqual(entry["user_agent"], "")
        self.assertEqual(entry["cookie"], "")

    def test_non_ascii_header_values_are_readable(self):
        self.get("/", headers={"User-Agent": "启动器/1.0", "Cookie": "name=双线"})
        (entry,) = self.site.log_entries()
        self.assertEqual(entry["user_agent"], "启动器/1.0")
        self.assertEqual(entry["cookie"], "name=双线")

    def test_path_is_kept_as_it_was_on_the_request_line(self):
        targets = [
            ("/login.php?sid=1&server_name=%E5%8F%8C%E7%BA%BF", "/login.php?sid=1&server_name=%E5%8F%8C%E7%BA%BF"),
            ("/login.php?sid=1&server_name=双线一区".encode("utf-8"), "/login.php?sid=1&server_name=双线一区"),
            (b"/report?bad=\xff\xfe", "/report?bad=\\xff\\xfe"),
            ("/report?a=1&a=2&b=+", "/report?a=1&a=2&b=+"),
        ]
        for target, _ in targets:
            self.get(target)
        self.assertEqual([e["path"] for e in self.site.log_entries()], [logged for _, logged in targets])

    def test_every_method_is_answered_and_logged(self):
        methods = ["GET", "HEAD", "POST", "PUT", "DELETE", "OPTIONS", "PATCH", "PROPFIND"]
        for method in methods:
            reply = self.get("/report?m=" + method, method=method,
                             body=b"payload=1" if method in ("POST", "PUT", "PATCH") else b"")
            self.assertEqual(reply.status, 200, method)
        self.assertEqual([e["method"] for e in self.site.log_entries()], methods)

    def test_head_sends_headers_only(self):
        full = self.get("/index.html")
        head = self.get("/index.html", method="HEAD")
        self.assertEqual(head.status, 200)
        self.assertEqual(head.body, b"")
        self.assertEqual(head.headers["Content-Length"], str(len(full.body)))

    def test_entry_is_on_disk_before_the_reply_arrives(self):
        for n in range(25):
            self.get("/report?n=%d" % n)
            entries = self.site.log_entries()
            self.assertEqual(len(entries), n + 1)
            self.assertEqual(entries[-1]["path"], "/report?n=%d" % n)

    def test_concurrent_requests_give_whole_lines(self):
        paths = ["/report?worker=%d&n=%d&pad=%s" % (w, n, "x" * 300) for w in range(16) for n in range(8)]
        errors = []

        def worker(chunk):
            try:
                for path in chunk:
                    self.get(path)
            except Exception as exc:  # reported below
                errors.append(exc)

        threads = [threading.Thread(target=worker, args=(paths[i::16],)) for i in range(16)]
        for t in threads:
            t.start()
        for t in threads:
            t.join(TIMEOUT * 3)
        self.assertEqual(errors, [])
        self.assertEqual(sorted(e["path"] for e in self.site.log_entries()), sorted(paths))

    def test_log_is_appended_to_across_restarts(self):
        self.get("/report?run=1")
        self.site.stop()
        self.site = SiteProcess(self._tmp.name)
        self.get("/report?run=2")
        self.assertEqual([e["path"] for e in self.site.log_entries()], ["/report?run=1", "/report?run=2"])


class LoginPageTests(SiteTestCase):
    def game_page(self, target, **kwargs):
        reply = self.get(target, **kwargs)
        self.assertEqual(reply.status, 200, target)
        return reply, PageParser(reply.text)

    def test_every_login_path_shows_the_server_name(self):
        name = "双线一区"
        encodings = {
            "raw utf-8": name.encode("utf-8"),
            "percent-encoded": quote(name).encode("ascii"),
            "mixed": "双线".encode("utf-8") + quote("一区").encode("ascii"),
            "gb18030": name.encode("gb18030"),
        }
        for login_path in sorted({path for path, _ in PLATFORMS.values()}):
            for label, encoded in encodings.items():
                with self.subTest(path=login_path, encoding=label):
                    target = login_path.encode("ascii") + b"?sid=1&server_name=" + encoded
                    reply, page = self.game_page(target)
                    self.assertEqual(page.title, "Drelk - " + name)
                    self.assertEqual(page.text_of("server-name", reply.text), name)

    def test_without_a_server_name_the_title_is_generic(self):
        for target in ("/index6711?sid=4", "/login.php", "/indexliebao?sid=2&server_name="):
            with self.subTest(target=target):
                _, page = self.game_page(target)
                self.assertEqual(page.title, "Drelk - 游戏")

    def test_address_composed_like_the_launcher_does(self):
        # The launcher appends "&server_name=<title>" to the address the server
        # list navigates to, without encoding the name.
        for platform in PLATFORMS:
            with self.subTest(platform=platform):
                listing = PageParser(self.get("/mini/zonelist.html?platform=" + platform).text)
                _, tile = listing.by_id("server-7")
                composed = tile["href"] + "&server_name=" + tile["data-name"]
                _, page = self.game_page(composed)
                self.assertEqual(page.title, "Drelk - 新服·烈焰")

    def test_server_name_cannot_inject_markup(self):
        reply, page = self.game_page("/login.php?sid=1&server_name=" + quote('<script>x()</script>"'))
        self.assertNotIn("<script>", reply.text)
        self.assertEqual(page.title, 'Drelk - <script>x()</script>"')

    def test_game_page_is_not_stored_and_uses_cacheable_resources(self):
        reply, page = self.game_page("/index37wan?sid=2&server_name=x")
        self.assertEqual(reply.headers["Cache-Control"], "no-store")
        self.assertEqual(page.charset, "utf-8")
        used = {url for _, url in page.urls()}
        self.assertIn("/static/game.css", used)
        self.assertIn("/static/emblem.svg", used)


class SessionCookieTests(SiteTestCase):
    @staticmethod
    def session_cookies(reply):
        return [v for k, v in reply.headers.items()
                if k.lower() == "set-cookie" and v.startswith("drelk_session=")]

    def test_cookie_is_set_once_per_browser(self):
        first = self.get("/login.php?sid=1")
        (cookie,) = self.session_cookies(first)
        self.assertRegex(cookie, r"^drelk_session=[^;\s]+; Path=/$")
        pair = cookie.split(";")[0]

        again = self.get("/index6711?sid=1", headers={"Cookie": "lang=zh; " + pair})
        self.assertEqual(self.session_cookies(again), [])
        self.assertIn("已恢复", again.text)

    def test_cookie_is_set_when_the_session_is_missing(self):
        for cookie in ("", "lang=zh", "drelk_session=", "xdrelk_session=1"):
            with self.subTest(cookie=cookie):
                headers = {"Cookie": cookie} if cookie else {}
                self.assertEqual(len(self.session_cookies(self.get("/login.php?sid=1", headers=headers))), 1)

    def test_new_visitors_get_different_sessions(self):
        values = {self.session_cookies(self.get("/login.php?sid=1"))[0] for _ in range(5)}
        self.assertEqual(len(values), 5)

    def test_only_the_game_page_sets_the_cookie(self):
        for target in ("/mini/zonelist.html", "/index.html", "/static/game.css", "/report?x=1"):
            with self.subTest(target=target):
                self.assertEqual(self.session_cookies(self.get(target)), [])


class StaticResourceTests(SiteTestCase):
    RESOURCES = {"/static/game.css": "text/css", "/static/emblem.svg": "image/svg+xml"}

    def test_resources_are_cacheable_for_a_day(self):
        for target, content_type in self.RESOURCES.items():
            with self.subTest(target=target):
                reply = self.get(target)
                self.assertEqual(reply.status, 200)
                self.assertTrue(reply.headers["Content-Type"].startswith(content_type))
                self.assertIn("max-age=86400", reply.headers["Cache-Control"])
                self.assertNotIn("no-", reply.headers["Cache-Control"])
                self.assertTrue(reply.headers["ETag"])
                self.assertTrue(reply.headers["Last-Modified"])
                self.assertTrue(reply.body)

    def test_emblem_is_well_formed_svg(self):
        root = ElementTree.fromstring(self.get("/static/emblem.svg").body)
        self.assertEqual(root.tag, "{http://www.w3.org/2000/svg}svg")

    def test_validators_are_stable_across_requests_and_restarts(self):
        def validators():
            return {t: (r.headers["ETag"], r.headers["Last-Modified"])
                    for t, r in ((t, self.get(t)) for t in self.RESOURCES)}

        first = validators()
        self.assertEqual(validators(), first)
        self.site.stop()
        self.site = SiteProcess(self._tmp.name)
        self.assertEqual(validators(), first)

    def test_revalidation_answers_not_modified(self):
        for target in self.RESOURCES:
            with self.subTest(target=target):
                fresh = self.get(target)
                etag, modified = fresh.headers["ETag"], fresh.headers["Last-Modified"]
                for headers in ({"If-None-Match": etag}, {"If-None-Match": "W/" + etag},
                                {"If-None-Match": '"other", ' + etag}, {"If-None-Match": "*"},
                                {"If-Modified-Since": modified}):
                    reply = self.get(target, headers=headers)
                    self.assertEqual(reply.status, 304, headers)
                    self.assertEqual(reply.body, b"")
                    self.assertEqual(reply.headers["ETag"], etag)
                changed = self.get(target, headers={"If-None-Match": '"other"', "If-Modified-Since": modified})
                self.assertEqual(changed.status, 200)
                older = self.get(target, headers={"If-Modified-Since": "Mon, 01 Jan 2001 00:00:00 GMT"})
                self.assertEqual(older.status, 200)

    def test_nothing_outside_the_static_folder_is_served(self):
        for target in ("/static/../server.py", "/static/%2e%2e/server.py", "/static/",
                       "/static/nothing.css", "/server.py", "/pages/game.html"):
            with self.subTest(target=target):
                reply = self.get(target)
                self.assertEqual(reply.status, 404)
                self.assertNotIn("import", reply.text)


class ZonelistTests(SiteTestCase):
    def listing(self, query=""):
        reply = self.get("/mini/zonelist.html" + query)
        self.assertEqual(reply.status, 200)
        return PageParser(reply.text)

    def test_platform_chooses_the_login_address(self):
        cases = dict((p, p) for p in PLATFORMS)
        cases.update({"": "360", "unknown": "360"})
        for platform, effective in cases.items():
            with self.subTest(platform=platform):
                page = self.listing("?platform=" + platform if platform else "")
                login_path, marker = PLATFORMS[effective]
                for sid, name in enumerate(SERVER_NAMES, 1):
                    tag, tile = page.by_id("server-%d" % sid)
                    self.assertEqual(tag, "a")
                    self.assertEqual(tile["href"], "%s?sid=%d" % (login_path, sid))
                    self.assertEqual(tile["data-name"], name)
                    self.assertIn(marker, tile["href"])
                self.assertIsNone(page.by_id("server-9"))

    def test_only_server_tiles_lead_to_a_login(self):
        # The launcher treats any navigation whose URL holds the platform's
        # marker as a login, so nothing else on the page may carry it.
        for platform, (_, marker) in PLATFORMS.items():
            with self.subTest(platform=platform):
                page = self.listing("?platform=" + platform)
                for attrs, url in page.urls():
                    if re.fullmatch(r"server-\d", attrs.get("id", "")):
                        continue
                    if attrs.get("id") == "plain-login-php" and marker == "login.php":
                        continue
                    self.assertNotIn(marker, url)

    def test_plain_login_link_is_the_same_on_every_platform(self):
        for platform in PLATFORMS:
            with self.subTest(platform=platform):
                tag, link = self.listing("?platform=" + platform).by_id("plain-login-php")
                self.assertEqual((tag, link["href"]), ("a", "/login.php?sid=9"))
        self.assertEqual(self.get("/login.php?sid=9").status, 200)

    def test_page_basics(self):
        page = self.listing()
        self.assertEqual(page.title, "选择服务器 - Drelk")
        self.assertEqual(page.charset, "utf-8")
        self.assertFalse([t for t, _ in page.elements if t == "iframe"])

    def test_frame_variant_embeds_the_list_for_the_same_platform(self):
        for platform in ("liebao", "6711", "bogus"):
            with self.subTest(platform=platform):
                reply = self.get("/mini/zonelist_frame.html?platform=" + platform)
                self.assertEqual(reply.status, 200)
                page = PageParser(reply.text)
                self.assertChineseTitle(page)
                frames = [attrs for tag, attrs in page.elements if tag == "iframe"]
                self.assertEqual(len(frames), 1)
                inner = PageParser(self.get(frames[0]["src"]).text)
                expected = PLATFORMS.get(platform, PLATFORMS["360"])[0]
                self.assertEqual(inner.by_id("server-1")[1]["href"], expected + "?sid=1")

    def test_navigation_delay_reaches_the_script_and_is_bounded(self):
        for query, delay in (("", "0"), ("?nav_delay=250", "250"), ("?nav_delay=99999", "5000"),
                             ("?nav_delay=-5", "0"), ("?nav_delay=abc", "0")):
            with self.subTest(query=query):
                text = self.get("/mini/zonelist.html" + query).text
                self.assertRegex(text, r"var navDelay = %s;" % delay)


class OperatorPageTests(SiteTestCase):
    PAGES = ["/", "/index.html", "/forum-2449-1.html", "/cs?type=game&gamekey=drelk", "/order.html?gkey=drelk"]

    def test_pages_are_utf8_with_chinese_titles(self):
        for target in self.PAGES:
            with self.subTest(target=target):
                reply = self.get(target)
                self.assertEqual(reply.status, 200)
                self.assertEqual(reply.headers["Content-Type"], "text/html; charset=utf-8")
                page = PageParser(reply.text)
                self.assertEqual(page.charset, "utf-8")
                self.assertChineseTitle(page)

    def test_service_and_order_pages_show_the_game(self):
        self.assertIn('id="cs-game">drelk<', self.get("/cs?type=game&gamekey=drelk").text)
        self.assertIn('id="order-game">drelk<', self.get("/order.html?gkey=drelk").text)

    def test_report_accepts_any_query(self):
        targets = ["/report", "/report?event=start&ver=1.0", "/report?server=双线一区&t=%E5%8F%8C"]
        for target in targets:
            with self.subTest(target=target):
                reply = self.get(target)
                self.assertEqual(reply.status, 200)
                self.assertTrue(reply.headers["Content-Type"].startswith("text/plain"))
                self.assertTrue(reply.body.strip())
        self.assertEqual([e["path"] for e in self.site.log_entries()], targets)

    def test_unknown_paths_are_404_and_logged(self):
        targets = ["/nope", "/mini/other.html", "/report/extra", "/login.php.bak"]
        for target in targets:
            with self.subTest(target=target):
                reply = self.get(target)
                self.assertEqual(reply.status, 404)
                self.assertChineseTitle(PageParser(reply.text))
        self.assertEqual([e["path"] for e in self.site.log_entries()], targets)

    def test_every_link_on_the_index_works(self):
        links = {url for _, url in PageParser(self.get("/").text).urls()
                 if url.startswith("/")}
        self.assertIn("/mini/zonelist_frame.html?platform=360", links)
        for target in self.PAGES[1:]:
            self.assertIn(target, links)
        for url in sorted(links):
            with self.subTest(url=url):
                self.assertEqual(self.get(url).status, 200)


if __name__ == "__main__":
    unittest.main()
