"""What the game window's browser host keeps and shows: saved game data survives "清理", and a tall
page scrolls without scroll bars."""

import tempfile
import time
import unittest
from urllib.parse import parse_qs, urlsplit

from harness import DemoSite, Launcher, close_enough, pixel, run, wait_for
from test_game_window import SERVER_1, caption_button


class GamePageHostTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"), arguments=["--game-height", "3000"])
        self.addCleanup(self.site.stop)
        self.launcher = Launcher(self.site, settings={"airclient": "false"})
        self.addCleanup(self.launcher.stop)
        x, y = self.launcher.launcher_windows()[0][:2]
        self.launcher.wait_for_server_list()
        self.launcher.click(x + SERVER_1[0], y + SERVER_1[1])
        windows = lambda: [w for w in self.launcher.windows() if w[2] >= 1200]
        self.window = wait_for(windows, 20, what="the game window")[0]
        wait_for(lambda: self.saved_data(), 20, what="the game page's first report")

    def saved_data(self):
        """(localStorage value, IndexedDB value) of each report of the game page, in order."""
        found = []
        for request in self.site.requests():
            parts = urlsplit(request["path"])
            query = parse_qs(parts.query, keep_blank_values=True)
            if parts.path == "/beacon" and "local" in query:
                found.append((query["local"][0], query["idb"][0]))
        return found

    def statics(self):
        return sum(1 for p in self.site.paths() if p.startswith("/static/"))

    def refresh(self, reports):
        self.launcher.click(*caption_button(self.window[2], 130, 90))
        wait_for(lambda: len(self.saved_data()) >= reports, 20, what=f"report {reports} of the game page")
        return self.saved_data()[reports - 1]

    def test_clearing_the_cache_keeps_cookies_local_storage_and_indexed_db(self):
        self.assertEqual(self.saved_data()[0], ("", ""))
        saved = self.refresh(2)
        self.assertTrue(saved[0].startswith("local-") and saved[1].startswith("idb-"), saved)
        statics = self.statics()
        self.launcher.click(*caption_button(self.window[2], 175, 135))  # 清理
        self.launcher.answer_box("清理提示")  # Enter: Yes
        time.sleep(2.0)  # the web process drops its memory cache
        self.assertEqual(self.refresh(3), saved)
        wait_for(lambda: self.statics() > statics, 15, what="the page's resources fetched again")
        logins = [r for r in self.site.requests() if r["path"].startswith("/login.php")]
        self.assertIn("drelk_session=", logins[-1]["cookie"])

    def test_a_tall_page_scrolls_and_shows_no_scroll_bars(self):
        width, height = self.window[2], self.window[3]
        middle = (width // 2, height // 2)
        run(["xdotool", "mousemove", "--sync", str(middle[0]), str(middle[1])])
        for _ in range(5):
            run(["xdotool", "click", "5"])  # the wheel, downwards
        wait_for(lambda: any(p.startswith("/beacon?scrolled=") for p in self.site.paths()), 10,
                 what="the page to scroll")
        shot = self.launcher.screenshot()
        # Where a vertical scroll bar would be drawn, the page's own background.
        for y in (height // 3, height // 2, 2 * height // 3):
            edge = pixel(shot, width - 3 - 5, y)
            inside = pixel(shot, width - 3 - 40, y)
            self.assertTrue(close_enough(edge, inside, 16), (y, edge, inside))


if __name__ == "__main__":
    unittest.main()
