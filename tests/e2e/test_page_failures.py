"""When the server list or the game page cannot be shown: the program's own page names the failure,
retries by itself until the server is back, and a page process that dies is brought back."""

import os
import signal
import ssl
import subprocess
import tempfile
import threading
import time
import unittest
import http.server

from fault_server import PAGE_TITLE, FaultServer, closed_port
from harness import DemoSite, Launcher, pixel, run, wait_for
from test_game_window import SERVER_1

HOME_TAB = (316 + 52, 45 + 15)
RETRY_BUTTON = (316 + 341, 454)  # the page's 重试, centred in the list's 682 x 502 browser


def page_processes(pid, name="WebKitWebProces"):
    """The web processes (comm is cut to 15 characters) that the program started."""
    found = []
    for child in run(["pgrep", "-P", str(pid)]).split():
        try:
            with open(f"/proc/{child}/comm") as stream:
                if stream.read().strip() == name:
                    found.append(int(child))
        except OSError:
            pass
    return found


class PageFailureTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(self.site.stop)

    def start(self, page=None, settings=None):
        entries = dict(settings or {})
        if page is not None:
            entries["page"] = page
        self.trace = os.path.join(tempfile.mkdtemp(prefix="drelk-trace-"), "trace.txt")
        launcher = Launcher(self.site, settings=entries,
                            extra_env={"DRELK_STARTUP_TRACE": self.trace, "WEBKIT_DISABLE_COMPOSITING_MODE": "1"})
        self.addCleanup(launcher.stop)
        return launcher

    def trace_lines(self, event):
        """The details of every trace line of the event, in order."""
        if not os.path.exists(self.trace):
            return []
        details = []
        with open(self.trace, encoding="utf-8", errors="replace") as stream:
            for line in stream:
                name, _, rest = line.rstrip("\n").partition(" ")
                if name == event:
                    details.append(rest.rsplit(" ", 1)[0])
        return details

    def wait_for_title(self, titles, timeout):
        titles = (titles,) if isinstance(titles, str) else titles
        return wait_for(lambda: next((t for t in self.trace_lines("title") if t in titles), None), timeout,
                        what=f"the title {titles}")

    def assert_retry_button_shown(self, launcher):
        x, y = launcher.launcher_windows()[0][:2]
        time.sleep(1.0)  # painted
        r, g, b = pixel(launcher.screenshot(), x + RETRY_BUTTON[0], y + RETRY_BUTTON[1] - 8)
        self.assertTrue(r > 180 and g > 130 and b < 140, (r, g, b))  # the gold 重试 button

    def test_a_refusing_list_server_shows_our_page_and_the_list_comes_by_itself(self):
        port = closed_port()
        launcher = self.start(f"http://127.0.0.1:{port}/mini/zonelist.html")
        self.wait_for_title("服务器拒绝连接", 30)
        self.assert_retry_button_shown(launcher)
        server = FaultServer("page", port)
        self.addCleanup(server.stop)
        self.wait_for_title(PAGE_TITLE, 25)  # the 3 s or the 10 s retry
        self.assertTrue(all(r.startswith("GET /mini/zonelist.html") for r in server.requests), server.requests)

    def test_a_name_that_does_not_resolve_is_named_and_retried(self):
        self.start("http://drelk-list.invalid/mini/zonelist.html")
        self.wait_for_title(("找不到服务器", "网络未连接"), 30)
        wait_for(lambda: len([d for d in self.trace_lines("navigate") if "drelk-list.invalid" in d]) >= 2, 15,
                 what="a retry")

    def test_a_server_that_never_answers_is_given_up_after_30_s_and_retried(self):
        server = FaultServer("hang")
        self.addCleanup(server.stop)
        launcher = self.start(server.url("/mini/zonelist.html"))
        launcher.launcher_windows()
        started = time.monotonic()
        self.wait_for_title("服务器没有响应", 45)
        self.assertGreater(time.monotonic() - started, 25)
        server.mode = "page"
        self.wait_for_title(PAGE_TITLE, 20)

    def test_a_bad_certificate_is_never_bypassed(self):
        folder = tempfile.mkdtemp(prefix="drelk-tls-")
        key, cert = os.path.join(folder, "key.pem"), os.path.join(folder, "cert.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                        "-days", "1", "-subj", "/CN=127.0.0.1"], check=True, capture_output=True, timeout=60)
        httpd = http.server.HTTPServer(("127.0.0.1", 0), http.server.SimpleHTTPRequestHandler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        httpd.socket = context.wrap_socket(httpd.socket, server_side=True)
        threading.Thread(target=httpd.serve_forever, daemon=True).start()
        self.addCleanup(httpd.server_close)
        self.addCleanup(httpd.shutdown)
        launcher = self.start(f"https://127.0.0.1:{httpd.server_port}/mini/zonelist.html")
        self.wait_for_title("安全连接失败", 30)
        self.assert_retry_button_shown(launcher)
        time.sleep(4)  # a retry meets the same certificate: still our page, never the server's
        self.assertEqual(set(self.trace_lines("title")) - {"-", "安全连接失败"}, set())

    def list_requests(self):
        return len([p for p in self.site.paths() if p.startswith("/mini/zonelist")])

    def kill_page_process(self, launcher, name="WebKitWebProces"):
        pids = wait_for(lambda: page_processes(launcher.process.pid, name), 10, what=f"the process {name}")
        for pid in pids:
            os.kill(pid, signal.SIGKILL)

    def test_a_killed_page_process_brings_the_list_back_and_the_launcher_stays_usable(self):
        launcher = self.start()
        x, y = launcher.launcher_windows()[0][:2]
        launcher.wait_for_server_list()
        before = self.list_requests()
        # The network process first: the load that follows the page process's end still works.
        self.kill_page_process(launcher, "WebKitNetworkPr")
        time.sleep(0.5)
        self.kill_page_process(launcher)
        wait_for(lambda: self.list_requests() > before, 15, what="the list requested again")
        time.sleep(1.5)
        launcher.click(x + HOME_TAB[0], y + HOME_TAB[1])
        self.assertEqual(wait_for(launcher.opened_in_browser, 10, what="the desktop's browser"),
                         [self.site.url + "/index.html"])

    def test_killed_twice_within_a_minute_shows_our_page_and_retry_brings_the_list(self):
        launcher = self.start()
        x, y = launcher.launcher_windows()[0][:2]
        launcher.wait_for_server_list()
        before = self.list_requests()
        self.kill_page_process(launcher)
        wait_for(lambda: self.list_requests() > before, 15, what="the list requested again")
        time.sleep(1.5)
        self.kill_page_process(launcher)
        self.wait_for_title("页面意外停止", 15)
        self.assert_retry_button_shown(launcher)
        after = self.list_requests()
        time.sleep(4)
        self.assertEqual(self.list_requests(), after)  # no reload by itself
        launcher.click(x + RETRY_BUTTON[0], y + RETRY_BUTTON[1])
        wait_for(lambda: self.list_requests() > after, 15, what="the list after 重试")

    def test_a_killed_game_page_process_reloads_the_players_page(self):
        launcher = self.start(settings={"airclient": "false"})
        self.addCleanup(lambda: subprocess.run(["pkill", "-f", launcher.program], check=False))
        x, y = launcher.launcher_windows()[0][:2]
        launcher.wait_for_server_list()
        launcher.click(x + SERVER_1[0], y + SERVER_1[1])
        logins = lambda: [p for p in self.site.paths() if p.startswith("/login.php")]
        wait_for(logins, 20, what="the game page")
        wait_for(lambda: any(p.startswith("/static/game.css") for p in self.site.paths()), 20, what="its style")
        time.sleep(1.5)
        before = logins()
        self.kill_page_process(launcher)
        wait_for(lambda: len(logins()) > len(before), 15, what="the game page requested again")
        self.assertEqual(logins()[-1], before[-1])  # the player's page, not the start page
        self.assertTrue(any(w[2] >= 1200 for w in launcher.windows()))  # the game window is still there


if __name__ == "__main__":
    unittest.main()
