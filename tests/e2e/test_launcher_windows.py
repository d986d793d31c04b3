"""The launcher's two windows on a real X display."""

import unittest

from harness import BACKDROP, DemoSite, Launcher, close_enough, desktop_colour, pixel, run, wait_for


class LauncherWindowsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        import tempfile
        cls.site_folder = tempfile.mkdtemp(prefix="drelk-site-")
        cls.site = DemoSite(cls.site_folder)

    @classmethod
    def tearDownClass(cls):
        cls.site.stop()

    def setUp(self):
        self.launcher = Launcher(self.site)
        self.addCleanup(self.launcher.stop)

    def screen_size(self):
        line = [l for l in run(["xwininfo", "-root"]).splitlines() if "geometry" in l][0]
        width, height = line.split()[-1].split("+")[0].split("x")
        return int(width), int(height)

    def test_appears_centred_with_the_controls_window_exactly_over_it(self):
        backdrop, controls = self.launcher.launcher_windows()[:2]
        self.assertEqual(backdrop, controls)
        width, height = self.screen_size()
        self.assertEqual(backdrop[0], width // 2 - 512)
        self.assertEqual(backdrop[1], height // 2 - 317)

    def test_drag_on_the_picture_moves_both_windows_together(self):
        x, y, _, _ = self.launcher.launcher_windows()[0]
        self.launcher.wait_for_server_list()
        self.launcher.drag(x + 150, y + 20, -60, -40)  # the frame above the picture, no button there
        def moved():
            geometries = self.launcher.launcher_windows()
            return geometries if geometries[0][:2] == (x - 60, y - 40) and geometries[1][:2] == (x - 60, y - 40) else None
        wait_for(moved, 10, what="both windows at the new place")

    def test_press_on_a_transparent_pixel_does_not_reach_the_launcher(self):
        x, y, _, _ = self.launcher.launcher_windows()[0]
        self.launcher.wait_for_server_list()
        self.launcher.drag(x + 10, y + 60, 80, 80)  # the see-through strip left of the frame
        import time
        time.sleep(0.5)
        self.assertEqual(self.launcher.launcher_windows()[0][:2], (x, y))

    def test_screen_shows_the_picture_buttons_and_server_list(self):
        x, y, _, _ = self.launcher.launcher_windows()[0]
        self.launcher.wait_for_server_list()
        shot = self.launcher.screenshot()
        # Opaque parts of the picture, as the picture file has them.
        for px, py in ((150, 20), (60, 300), (800, 620)):
            self.assertTrue(close_enough(pixel(shot, x + px, y + py), pixel(BACKDROP, px, py)), (px, py))
        # Left of the frame, away from the figure: the desktop shows through.
        self.assertTrue(close_enough(pixel(shot, x + 10, y + 60), desktop_colour(shot)))
        # The tab bitmap over the picture, and the dark server list where the browser is placed.
        tab = pixel(shot, x + 316 + 52, y + 45 + 15)
        self.assertNotEqual(tab, pixel(BACKDROP, 316 + 52, 45 + 15))
        self.assertFalse(close_enough(pixel(shot, x + 600, y + 300), (255, 0, 255), 60))


if __name__ == "__main__":
    unittest.main()
