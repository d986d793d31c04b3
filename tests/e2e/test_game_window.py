"""The whole cycle on a real display: launcher, server, game window, its caption commands, close."""

import os
import subprocess
import tempfile
import time
import unittest

from harness import DemoSite, Launcher, close_enough, desktop_colour, pixel, run, wait_for

SERVER_1 = (316 + 120, 98 + 95)


def caption_button(width, left_from_right, right_from_right):
    """The centre of a caption button of a window at (0, 0) of the given width."""
    return (width - (left_from_right + right_from_right) // 2, 20)


class GameWindowTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(self.site.stop)
        self.launcher = Launcher(self.site, settings={"airclient": "false"})
        self.addCleanup(self.kill_relaunched)
        self.addCleanup(self.launcher.stop)
        x, y = self.launcher.launcher_windows()[0][:2]
        self.launcher.wait_for_server_list()
        self.desktop = desktop_colour(self.launcher.screenshot("desktop.png"))
        self.launcher.click(x + SERVER_1[0], y + SERVER_1[1])
        self.window = wait_for(self.game_window, 20, what="the game window")
        wait_for(lambda: any(p.startswith("/static/game.css") for p in self.site.paths()), 20, what="the game page")
        time.sleep(1.0)

    def kill_relaunched(self):
        subprocess.run(["pkill", "-f", self.launcher.program], check=False)

    def game_window(self):
        windows = self.launcher.windows()
        big = [w for w in windows if w[2] >= 1200]
        return big[0] if big else None

    def logins(self):
        return [r for r in self.site.requests() if r["path"].startswith("/login.php")]

    def test_opens_maximised_on_the_login_address_with_the_title_in_its_caption(self):
        width, height = self.window[2], self.window[3]
        self.assertEqual(self.window[:2], (0, 0))
        self.assertGreaterEqual(height, 760)
        login = self.logins()[0]["path"]
        self.assertTrue(login.startswith("/login.php?sid=1&server_name="), login)
        shot = self.launcher.screenshot()
        # White title text is drawn from (97, 15) over the dark caption.
        bright = [pixel(shot, x, y) for x in range(97, 260, 3) for y in range(16, 28, 2)]
        self.assertGreater(sum(1 for p in bright if min(p) > 200), 5)
        self.assertLess(width, 1300)

    def test_the_rounded_corners_show_the_desktop(self):
        width, height = self.window[2], self.window[3]
        shot = self.launcher.screenshot()
        for corner in ((0, 0), (1, 0), (0, 1), (width - 1, 0), (0, height - 1)):
            self.assertTrue(close_enough(pixel(shot, *corner), self.desktop, 4), (corner, pixel(shot, *corner)))
        # Just inside the shape, the frame's own pixels.
        self.assertFalse(close_enough(pixel(shot, 3, 3), self.desktop, 4))

    def test_hovering_a_caption_button_draws_its_hot_cell(self):
        width = self.window[2]
        home = caption_button(width, 265, 225)
        probe = (home[0] - 16, 20)  # the face left of the caption text
        before = pixel(self.launcher.screenshot("before.png"), *probe)
        # Along the caption onto the button, as a player's pointer goes.
        for step in range(600, home[0] + 1, 109):
            run(["xdotool", "mousemove", "--sync", str(step), str(home[1])])
            time.sleep(0.05)
        run(["xdotool", "mousemove", "--sync", str(home[0]), str(home[1])])
        time.sleep(0.5)
        after = pixel(self.launcher.screenshot("after.png"), *probe)
        self.assertGreater(sum(after), sum(before) + 30, (before, after))

    def test_moving_with_the_button_held_hands_the_pressed_look_to_the_next_button(self):
        width = self.window[2]
        home = caption_button(width, 265, 225)
        charge = caption_button(width, 220, 180)
        probe = (home[0] - 16, 20)
        normal = pixel(self.launcher.screenshot("normal.png"), *probe)
        run(["xdotool", "mousemove", "--sync", str(home[0]), str(home[1]), "mousedown", "1"])
        time.sleep(0.3)
        pressed = pixel(self.launcher.screenshot("pressed.png"), *probe)
        for step in range(home[0], charge[0] + 1, 5):
            run(["xdotool", "mousemove", "--sync", str(step), str(charge[1])])
        time.sleep(0.5)
        left = pixel(self.launcher.screenshot("left.png"), *probe)
        run(["xdotool", "mouseup", "1"])
        self.assertNotEqual(pressed, normal)
        self.assertEqual(left, normal, (normal, pressed, left))
        opened = wait_for(self.launcher.opened_in_browser, 10, what="the desktop's browser")
        self.assertEqual(opened, [self.site.url + "/order.html?gkey=drelk"])

    def test_refresh_and_clear_cache(self):
        width = self.window[2]
        refresh = caption_button(width, 130, 90)
        clean = caption_button(width, 175, 135)
        static_before = sum(1 for p in self.site.paths() if p.startswith("/static/"))
        self.launcher.click(*refresh)
        wait_for(lambda: len(self.logins()) >= 2, 15, what="the login address again")
        time.sleep(1.0)
        self.assertTrue(self.logins()[1]["path"].startswith("/login.php?sid=1&server_name="))
        # Cached: the page's resources were not fetched again.
        self.assertEqual(sum(1 for p in self.site.paths() if p.startswith("/static/")), static_before)
        self.launcher.click(*clean)
        time.sleep(1.0)
        self.launcher.key("Return")  # Yes
        time.sleep(1.5)
        self.launcher.click(*refresh)
        wait_for(lambda: len(self.logins()) >= 3, 15, what="the third load")
        wait_for(lambda: sum(1 for p in self.site.paths() if p.startswith("/static/")) > static_before, 15,
                 what="the resources fetched again")
        self.assertIn("drelk_session=", self.logins()[2]["cookie"])

    def test_official_site_opens_in_the_default_browser(self):
        self.launcher.click(*caption_button(self.window[2], 265, 225))
        opened = wait_for(self.launcher.opened_in_browser, 10, what="the desktop's browser")
        self.assertEqual(opened, [self.site.url + "/index.html"])

    def test_close_asks_then_a_new_launcher_replaces_the_old_process(self):
        zonelists = sum(1 for p in self.site.paths() if p.startswith("/mini/zonelist"))
        self.launcher.click(*caption_button(self.window[2], 30, 10))
        time.sleep(1.0)
        self.launcher.key("Return")  # Yes
        self.assertTrue(self.launcher.exited(15))
        wait_for(lambda: sum(1 for p in self.site.paths() if p.startswith("/mini/zonelist")) > zonelists, 20,
                 what="the new launcher's server list")
        pids = run(["pgrep", "-f", self.launcher.program]).split()
        self.assertTrue(pids, "a new launcher process runs")
        self.check_the_logs_of_the_cycle()

    def check_the_logs_of_the_cycle(self):
        """Each process wrote its own log: the events in order, and nothing of the player's session."""
        logs = wait_for(lambda: (lambda l: l if len(l) == 2 and "server list: document" in l[1] else None)(
            self.launcher.logs()), 20, what="two logs, the second with its list")
        first, second = logs
        host = "http://127.0.0.1"
        expected = ["start: drelk 1.0, Linux, GTK ",
                    "settings: pm_config.ini gives page, home, bbs, service, charge, airclient",
                    "first-open report: none on this platform",
                    f"server list: document {host}/mini/zonelist.html",
                    f"login navigation recognised: {host}/login.php",
                    "login: the address goes to the game window",
                    "the launcher ended; the game window opens",
                    f"game page: document {host}/login.php",
                    "close question: Yes",
                    f"relaunch {self.launcher.directory}/drelk: started",
                    "the game window ended",
                    "end (exit code 0)"]
        position = 0
        for event in expected:
            found = first.find(event, position)
            self.assertGreaterEqual(found, 0, f"{event!r} after position {position} in:\n{first}")
            position = found
        self.assertIn("start: drelk 1.0", second)
        self.assertIn("; command line: (none)", second)
        for text in (first, second):
            self.assertNotIn("sid=", text)
            self.assertNotIn("server_name", text)
            self.assertNotIn("?", text)
            for address in adapter_addresses():
                self.assertNotIn(address, text)
        print("\n---- the log of the first run ----\n" + first, flush=True)


def adapter_addresses():
    """This machine's hardware addresses as the first-open report would write them."""
    texts = []
    for name in os.listdir("/sys/class/net"):
        try:
            with open(f"/sys/class/net/{name}/address") as stream:
                text = stream.read().strip().replace(":", "").upper()
        except OSError:
            continue
        if text and text != "000000000000":
            texts.append(text)
    return texts


if __name__ == "__main__":
    unittest.main()
