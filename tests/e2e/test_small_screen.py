"""The launcher on a screen lower than its picture (1024 x 600, a netbook's): a screen of its own with
openbox, once without and once with a compositing manager (xcompmgr).

The launcher must start whole from the work area's top-left corner (it keeps its 1024 x 635 and goes
on below the screen's edge: the window manager neither moves nor shrinks it), the controls window
exactly over the backdrop, the buttons and the server list on screen and working, and a drag on the
picture moving both windows together.

Every wait and every process is bounded; the module takes well under a minute.
"""

import os
import shutil
import tempfile
import time
import unittest

from harness import ROOT, DemoSite, Launcher, run, wait_for
from test_desktops import (Xvfb, differing_pixels, launcher_layers, program_windows, root_cardinals, selection_owned,
                           start_process, stop_process)

SCREEN = (1024, 600)
LAUNCHER_SIZE = (1024, 635)
RES = os.path.join(ROOT, "res")
# (bitmap, left, top) of the controls window's buttons on the picture.
BUTTONS = (("close_135.bmp", 1024 - 43, 7), ("tab_site_155.bmp", 316, 45), ("tab_forum_153.bmp", 422, 45),
           ("tab_service_156.bmp", 528, 45), ("tab_topup_154.bmp", 634, 45))
HOME_TAB = (316 + 52, 45 + 15)
CLOSE_BUTTON = (1024 - 43 + 15, 7 + 16)
SERVER_LIST = (316, 98, 682, 502)  # left, top, width, height on the picture
QUIT_BOX = "关闭提示"
DRAG = (60, 40)

SITE = None


def setUpModule():
    global SITE
    SITE = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))


def tearDownModule():
    if SITE is not None:
        SITE.stop()


class SmallScreen:
    """Xvfb at SCREEN on a display number the server picks, with openbox and, if asked, xcompmgr."""

    def __init__(self, folder, compositor):
        self.xvfb = Xvfb(folder, SCREEN)
        self.processes = []
        os.environ["DISPLAY"] = self.xvfb.display
        env = {**os.environ, "HOME": folder, "XDG_CONFIG_HOME": os.path.join(folder, ".config")}
        self.processes.append(start_process(["openbox"], env, os.path.join(folder, "wm.log")))
        wait_for(lambda: root_cardinals("_NET_SUPPORTING_WM_CHECK"), 10, 0.1, "openbox to manage the screen")
        if compositor:
            self.processes.append(start_process(["xcompmgr"], env, os.path.join(folder, "xcompmgr.log")))
            wait_for(lambda: selection_owned("_NET_WM_CM_S0"), 10, 0.1, "xcompmgr to composite")
        elif selection_owned("_NET_WM_CM_S0"):
            raise AssertionError("a compositing manager runs though none was started")
        time.sleep(0.3)

    def stop(self):
        for process in reversed(self.processes):
            stop_process(process)
        self.processes = []
        self.xvfb.stop()


class SmallScreenTest(unittest.TestCase):
    compositor = False

    @classmethod
    def setUpClass(cls):
        missing = [p for p in ("Xvfb", "openbox", "xdotool", "xwininfo") + (("xcompmgr",) if cls.compositor else ())
                   if shutil.which(p) is None]
        if missing:
            raise unittest.SkipTest(f"{', '.join(missing)} not installed")
        cls.saved_env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "GDK_BACKEND"):
            os.environ.pop(name, None)
        cls.folder = tempfile.mkdtemp(prefix="drelk-small-")
        try:
            cls.screen = SmallScreen(cls.folder, cls.compositor)
        except BaseException:
            cls.restore()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.screen.stop()
        cls.restore()

    @classmethod
    def restore(cls):
        os.environ.clear()
        os.environ.update(cls.saved_env)
        shutil.rmtree(cls.folder, ignore_errors=True)

    def both_at(self, launcher, origin, timeout=5, tolerance=0):
        """Both layers together at this origin (give or take the tolerance) with the picture's size, as the
        X server has them; the origin found."""
        def there():
            try:
                backdrop, controls = launcher_layers(launcher, 1)
            except AssertionError:
                return None
            place = backdrop[1:3]
            if (backdrop[1:] == controls[1:] and backdrop[3:] == LAUNCHER_SIZE
                    and all(abs(p - o) <= tolerance for p, o in zip(place, origin))):
                return place
            return None
        try:
            return wait_for(there, timeout, 0.2, f"both windows at {origin}")
        except AssertionError:
            raise AssertionError(f"expected both windows at {origin + LAUNCHER_SIZE}: "
                                 f"{program_windows(launcher.process.pid)}")

    def test_the_launcher_is_whole_from_the_top_left_and_works(self):
        self.assertEqual(tuple(root_cardinals("_NET_WORKAREA")[:4]), (0, 0) + SCREEN)
        launcher = Launcher(SITE, settings={"airclient": "false"})
        self.addCleanup(launcher.stop)

        # Whole, from the work area's top-left corner: the bottom 35 pixels below the screen's edge.
        launcher_layers(launcher, 15)
        self.both_at(launcher, (0, 0))
        launcher.wait_for_server_list()
        # Still there once the window manager and the page have settled: not moved back, not squeezed.
        self.both_at(launcher, (0, 0))

        # The buttons on their places and the server list in its frame, on the screen.
        shot = launcher.screenshot("small.png")
        for bitmap, left, top in BUTTONS:
            differing, total = differing_pixels(shot, os.path.join(RES, bitmap), left, top)
            self.assertLess(differing, total // 20, f"{bitmap} at {left},{top}: {differing} of {total} differ")
        left, top, width, height = SERVER_LIST
        colours = run(["convert", shot, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-unique-colors",
                       "-format", "%w", "info:"], timeout=10)
        self.assertGreater(int(colours or 0), 20, "the server list's frame shows no page")

        # A tab opens its page in the desktop's browser.
        launcher.click(*HOME_TAB)
        self.assertEqual(wait_for(launcher.opened_in_browser, 10, 0.1, "the desktop's browser"),
                         [SITE.url + "/index.html"])

        # The close button asks first; No keeps the launcher where it is.
        launcher.click(*CLOSE_BUTTON)
        launcher.answer_box(QUIT_BOX, key="Escape")
        self.assertIsNone(launcher.process.poll())
        self.both_at(launcher, (0, 0))

        # A drag on the picture (its frame above the tabs, no button there) moves both windows together.
        # (Where the window manager takes the move from may differ by a step of the pointer.)
        launcher.drag(150, 20, *DRAG)
        self.both_at(launcher, DRAG, 8, tolerance=4)


class SmallScreenCompositedTest(SmallScreenTest):
    compositor = True


if __name__ == "__main__":
    unittest.main()
