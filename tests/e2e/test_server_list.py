"""Picking a server on the demo operator's list, per platform, and the first-open report."""

import re
import tempfile
import time
import unittest

from harness import BACKDROP, DemoSite, Launcher, close_enough, pixel, wait_for

SERVER_1 = (316 + 120, 98 + 95)  # the first server's tile, in launcher coordinates (browser at 316, 98)
SERVER_1_NAME = "双线一区"


def machine_has_adapter():
    """Whether this machine has a network interface with a hardware address (loopback aside)."""
    import os
    for name in os.listdir("/sys/class/net"):
        try:
            with open(f"/sys/class/net/{name}/address") as stream:
                address = stream.read().strip()
        except OSError:
            continue
        if name != "lo" and address and address.replace(":", "").strip("0"):
            return True
    return False


class ServerListTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(self.site.stop)

    def start(self, **kwargs):
        launcher = Launcher(self.site, **kwargs)
        self.addCleanup(launcher.stop)
        origin = launcher.launcher_windows()[0][:2]
        launcher.wait_for_server_list()
        return launcher, origin

    def click_server_1(self, launcher, origin, offset=(0, 0)):
        launcher.click(origin[0] + SERVER_1[0] + offset[0], origin[1] + SERVER_1[1] + offset[1])

    def test_360_url_argument_and_game_client_hand_off(self):
        zonelist = self.site.url + "/mini/zonelist.html?platform=360"
        launcher, origin = self.start(settings={"airclient": "true", "page": self.site.url + "/nothing.html"},
                                      arguments=["-url", f'"{zonelist}"'])
        self.assertIn("/mini/zonelist.html?platform=360", self.site.paths())
        self.assertNotIn("/nothing.html", self.site.paths())
        # The list is shown in place: inside the browser rectangle the page, outside it the picture.
        shot = launcher.screenshot()
        x, y = origin
        self.assertFalse(close_enough(pixel(shot, x + 316 + 120, y + 98 + 60), pixel(BACKDROP, 316 + 120, 98 + 60), 4))
        self.assertTrue(close_enough(pixel(shot, x + 316 + 120, y + 98 - 3), pixel(BACKDROP, 316 + 120, 98 - 3)))
        self.click_server_1(launcher, origin)
        started = wait_for(launcher.started_client, 15, what="the game client")
        self.assertEqual(started[0], "p")
        self.assertRegex(started[1], r"^http://127\.0\.0\.1:\d+/login\.php\?sid=1&server_name=" + SERVER_1_NAME + "$")
        self.assertTrue(launcher.exited(), "the launcher goes away once the client runs")
        time.sleep(0.5)
        self.assertFalse(any(p.startswith("/login.php") for p in self.site.paths()))

    def test_a_login_that_opens_a_new_window_is_handed_on_once(self):
        for mode in ("blank", "window"):
            with self.subTest(mode=mode):
                page = self.site.url + "/mini/zonelist.html?open=" + mode
                launcher, origin = self.start(settings={"airclient": "true", "page": page})
                self.click_server_1(launcher, origin)
                started = wait_for(launcher.started_client, 15, what="the game client")
                self.assertRegex(started[1], r"/login\.php\?sid=1&server_name=" + SERVER_1_NAME + "$")
                self.assertTrue(launcher.exited())
                self.assertEqual(launcher.client_starts(), 1)

    def test_without_the_game_client_the_launcher_gives_way_to_the_game_window(self):
        launcher, origin = self.start(settings={"airclient": "false"})
        self.click_server_1(launcher, origin)
        wait_for(lambda: [w for w in launcher.windows() if w[2] >= 1200], 20, what="the game window")
        self.assertFalse([w for w in launcher.windows() if w[2:] == (1024, 635)])
        self.assertIsNone(launcher.started_client())

    def test_missing_game_client_leaves_the_launcher_on_the_list(self):
        launcher, origin = self.start(settings={"airclient": "true"})
        import os
        os.remove(os.path.join(launcher.directory, "game", "DrelkClient"))
        self.click_server_1(launcher, origin)
        self.assertFalse(launcher.exited(3))
        self.assertEqual(len(launcher.launcher_windows()), 2)

    def test_baidu_reports_the_first_start_once(self):
        settings = {"platform": "baidu", "page": self.site.url + "/mini/zonelist.html?platform=baidu",
                    "success": self.site.url + "/report?game=drelk"}
        launcher, _ = self.start(settings=settings)
        reports = [r for r in self.site.requests() if r["path"].startswith("/report")]
        self.assertEqual(len(reports), 1)
        self.assertRegex(reports[0]["path"],
                         r"^/report\?game=drelk&mac=([0-9A-F]{12})?&time=\d\d:\d\d:\d\d%20GMT\+0800$")
        self.assertEqual(reports[0]["user_agent"], "drelk")
        start_page = [p for p in self.site.paths() if p.startswith("/mini/zonelist")][0]
        self.assertRegex(start_page, r"&mac=([0-9A-F]{12})?$")
        if machine_has_adapter():
            self.assertRegex(start_page, r"&mac=[0-9A-F]{12}$")
            self.assertRegex(reports[0]["path"], r"&mac=[0-9A-F]{12}&time=")
        before = launcher.settings_bytes()
        self.assertTrue(before.endswith(b"\r\nfirstopen=false"))
        self.assertEqual(before.count(b"firstopen"), 1)
        launcher.stop()
        # The next start reads firstopen=false and reports nothing.
        again = Launcher(self.site, settings={**settings, "firstopen": "false"})
        self.addCleanup(again.stop)
        again.launcher_windows()
        again.wait_for_server_list()
        self.assertEqual(len([r for r in self.site.requests() if r["path"].startswith("/report")]), 1)

    def test_unreachable_report_server_still_shows_the_launcher(self):
        settings = {"platform": "baidu", "page": self.site.url + "/mini/zonelist.html?platform=baidu",
                    "success": "http://127.0.0.1:9/report?game=drelk"}
        launcher, _ = self.start(settings=settings)
        self.assertEqual(launcher.settings_bytes().count(b"\r\nfirstopen=false"), 1)

    def test_6711_places_the_list_lower_and_ignores_login_php(self):
        settings = {"platform": "6711", "page": self.site.url + "/mini/zonelist.html?platform=6711"}
        launcher, origin = self.start(settings=settings)
        x, y = origin
        shot = launcher.screenshot()
        # Column 316 and row 113 are the picture's here, not the page's.
        self.assertTrue(close_enough(pixel(shot, x + 316, y + 300), pixel(BACKDROP, 316, 300)))
        self.assertTrue(close_enough(pixel(shot, x + 500, y + 113), pixel(BACKDROP, 500, 113)))
        launcher.click(x + 317 + 70, y + 114 + 474)  # the plain "login.php" link of the list
        wait_for(lambda: "/login.php?sid=9" in self.site.paths(), 10, what="the plain link's page")
        self.assertFalse(launcher.exited(1))

    def test_tab_opens_its_page_in_the_default_browser(self):
        launcher, origin = self.start()
        launcher.click(origin[0] + 316 + 52, origin[1] + 45 + 15)  # 官方网站
        opened = wait_for(launcher.opened_in_browser, 10, what="the desktop's browser")
        self.assertEqual(opened, [self.site.url + "/index.html"])
        self.assertFalse(launcher.exited(1))


if __name__ == "__main__":
    unittest.main()
