"""The launcher and the game window under the window managers and Wayland compositors players use.

Each desktop gets a screen of its own (Xvfb 1280 x 800, or a headless Wayland compositor with its
XWayland) and its window manager; the tests set DISPLAY themselves, so they do not depend on the
display the rest of the e2e run uses. Every start of the program is checked as a player sees it:
both layers one picture, centred in the work area, the buttons on their frames, a drag moving both,
a tab reaching the desktop's browser, the game window maximised with its title drawn, and one
taskbar entry. At the end the run prints a table desktop x check.

Every wait and every process is bounded; the whole module takes well under four minutes.
"""

import contextlib
import ctypes
import glob
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from harness import ROOT, DemoSite, Launcher, run, wait_for

STARTS = int(os.environ.get("DRELK_DESKTOP_STARTS", "2"))
SCREEN = (1280, 800)
LAUNCHER_SIZE = (1024, 635)
RES = os.path.join(ROOT, "res")
CLOSE_FROM_RIGHT = 43
# (bitmap, left, top) of the controls window's buttons; the close button's left is from the right edge.
BUTTONS = (("close_135.bmp", -CLOSE_FROM_RIGHT, 7), ("tab_site_155.bmp", 316, 45), ("tab_forum_153.bmp", 422, 45),
           ("tab_service_156.bmp", 528, 45), ("tab_topup_154.bmp", 634, 45))
HOME_TAB = (316 + 52, 45 + 15)
SERVER_1 = (316 + 120, 98 + 95)
DRAG = (-60, -40)

CHECKS = ("layers", "centred", "buttons", "taskbar", "drag", "tab", "game window", "title")
WAYLAND_CHECKS = ("XWayland", "layers", "centred", "buttons", "taskbar")
RESULTS = {}  # desktop -> check -> list of outcomes, one per start


def record(desktop, check, outcome):
    RESULTS.setdefault(desktop, {}).setdefault(check, []).append(outcome)


def table():
    checks = list(CHECKS) + [c for c in WAYLAND_CHECKS if c not in CHECKS]
    rows = [["desktop"] + checks]
    for desktop, outcomes in RESULTS.items():
        row = [desktop]
        for check in checks:
            found = outcomes.get(check, [])
            if not found:
                row.append("-")
            elif "fail" in found:
                row.append(f"FAIL {found.count('fail')}/{len(found)}")
            elif "not reached" in found:
                row.append(f"n/r {found.count('not reached')}/{len(found)}")
            elif all(o == "skip" for o in found):
                row.append("skip")
            else:
                row.append(f"pass {found.count('pass')}/{len(found)}")
        rows.append(row)
    widths = [max(len(r[i]) for r in rows) for i in range(len(rows[0]))]
    return "\n".join("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip() for r in rows)


# ---- what the X server says ----


def root_cardinals(name):
    text = run(["xprop", "-root", name], timeout=5)
    separator = "=" if "=" in text else "#"  # CARDINAL = 0, 0, ... / WINDOW: window id # 0x...
    if separator not in text:
        return None
    return [int(v, 0) for v in re.findall(r"0x[0-9a-fA-F]+|\d+", text.split(separator, 1)[1])]


def window_property(window, name):
    text = run(["xprop", "-id", str(window), name], timeout=5)
    for separator in ("=", "window id #"):
        if separator in text:
            return text.split(separator, 1)[1].strip()
    return ""


def work_area():
    """The work area the window manager publishes, or the whole screen when it publishes none."""
    values = root_cardinals("_NET_WORKAREA")
    return tuple(values[:4]) if values and len(values) >= 4 else (0, 0) + SCREEN


def centred(area, size):
    """Where the program centres a window of this size on this work area."""
    x, y, width, height = area
    return (2 * x + width) // 2 - size[0] // 2, (2 * y + height) // 2 - size[1] // 2


def selection_owned(name):
    """Whether a client owns this selection (_NET_WM_CM_S0: a compositing manager runs)."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetSelectionOwner.restype = ctypes.c_ulong
    x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        return False
    try:
        return x11.XGetSelectionOwner(display, x11.XInternAtom(display, name.encode(), 0)) != 0
    finally:
        x11.XCloseDisplay(display)


def program_windows(pid):
    """(id, x, y, width, height) of a process's viewable windows, largest first."""
    found = []
    for window in run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], timeout=5).split():
        info = run(["xwininfo", "-id", window], timeout=5)
        values = dict(re.findall(r"(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s+(-?\d+)", info))
        if len(values) == 4 and "IsViewable" in info:
            found.append((int(window), int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                          int(values["Width"]), int(values["Height"])))
    return sorted(found, key=lambda w: -w[3] * w[4])


def launcher_layers(launcher, timeout=15):
    """The backdrop and the controls window (the one transient for the other), once both are mapped at
    full size; on a timeout the assertion names what was there."""
    def both():
        full = [w for w in program_windows(launcher.process.pid) if w[3:] == LAUNCHER_SIZE]
        return full if len(full) >= 2 else None
    try:
        full = wait_for(both, timeout, 0.2, "both launcher windows")
    except AssertionError:
        raise AssertionError(f"not both layers at {LAUNCHER_SIZE}: {program_windows(launcher.process.pid)}")
    transient = [w for w in full if window_property(w[0], "WM_TRANSIENT_FOR")]
    if len(transient) != 1:
        raise AssertionError(f"expected one window transient for the other, got {transient} of {full}")
    controls = transient[0]
    backdrop = [w for w in full if w is not controls][0]
    return backdrop, controls


def differing_pixels(screenshot, bitmap, left, top):
    """How many pixels of the screenshot's rectangle at (left, top) differ from the bitmap file."""
    crop = screenshot + f".{left}.{top}.png"
    size = run(["identify", "-format", "%w %h", bitmap], timeout=10).split()
    run(["convert", screenshot, "-crop", f"{size[0]}x{size[1]}+{left}+{top}", "+repage", crop], timeout=10)
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "8%", bitmap, crop, "null:"],
                            capture_output=True, text=True, timeout=10, check=False)
    try:
        return int(float(result.stderr.split()[0])), int(size[0]) * int(size[1])
    except (IndexError, ValueError):
        return int(size[0]) * int(size[1]), int(size[0]) * int(size[1])


def title_pixels(screenshot, origin):
    """Bright pixels where the game window's caption draws its title (white text over a dark caption)."""
    width, height = 260 - 97, 28 - 16
    data = subprocess.run(["convert", screenshot, "-crop", f"{width}x{height}+{origin[0] + 97}+{origin[1] + 16}",
                           "+repage", "-depth", "8", "rgb:-"], capture_output=True, timeout=10, check=False).stdout
    return sum(1 for i in range(0, len(data) - 2, 3) if min(data[i:i + 3]) > 200)


# ---- screens and window managers ----


def start_process(arguments, env, log_path, **options):
    """A process in a group of its own (a window manager's helpers go with it), its output in a file."""
    with open(log_path, "w") as log:
        return subprocess.Popen(arguments, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                start_new_session=True, **options)


def stop_process(process):
    if process is None or process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait(timeout=5)


class Xvfb:
    """A virtual screen of its own (SCREEN unless told) on a display number the server picks."""

    def __init__(self, folder, size=SCREEN):
        read_end, write_end = os.pipe()
        self.process = start_process(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{size[0]}x{size[1]}x24", "-nolisten", "tcp"],
            None, os.path.join(folder, "xvfb.log"), pass_fds=(write_end,))
        os.close(write_end)
        text = b""
        deadline = time.monotonic() + 10
        while not text.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.5)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                text += chunk
        os.close(read_end)
        if not text.strip().isdigit():
            stop_process(self.process)
            raise AssertionError("Xvfb did not start")
        self.display = ":" + text.decode().strip()

    def stop(self):
        stop_process(self.process)


class Desktop:
    """A desktop: its screen, its window manager or compositor, and the environment the program and the
    X tools get there."""

    wayland = False

    def __init__(self, name):
        self.name = name
        self.env = {}
        self.processes = []

    def start(self, folder):
        raise NotImplementedError

    def stop(self):
        for process in reversed(self.processes):
            process.stop() if isinstance(process, Xvfb) else stop_process(process)
        self.processes = []
        # A compositor ended before it could clean up leaves its XWayland displays' lock files.
        for number in getattr(self, "displays", ()):
            lock = f"/tmp/.X{number}-lock"
            try:
                with open(lock) as stream:
                    owner = int(stream.read().strip())
            except (OSError, ValueError):
                continue
            def gone():
                try:
                    os.kill(owner, 0)
                except ProcessLookupError:
                    return True
                return False
            with contextlib.suppress(AssertionError):
                wait_for(gone, 5, 0.1, "the X server to end")
                for path in (lock, f"/tmp/.X11-unix/X{number}"):
                    with contextlib.suppress(OSError):
                        os.remove(path)


class X11Desktop(Desktop):
    def __init__(self, name, command, panel=False, compositor=False, packages=()):
        super().__init__(name)
        self.command = command
        self.panel = panel
        self.compositor = compositor
        self.packages = packages or (command[0],)

    def start(self, folder):
        missing = [p for p in self.packages if shutil.which(p) is None]
        if missing:
            raise unittest.SkipTest(f"{', '.join(missing)} not installed")
        screen = Xvfb(folder)
        self.processes.append(screen)
        self.env = {"DISPLAY": screen.display}
        os.environ.update(self.env)
        command = [a.replace("{folder}", folder) for a in self.command]
        env = {**os.environ, "HOME": folder, "XDG_CONFIG_HOME": os.path.join(folder, ".config")}
        self.processes.append(start_process(command, env, os.path.join(folder, "wm.log")))
        wait_for(lambda: root_cardinals("_NET_SUPPORTING_WM_CHECK"), 10, 0.1, f"{self.name} to manage the screen")
        if self.panel:  # its panel's strut, which the work area leaves out
            wait_for(lambda: work_area()[3] < SCREEN[1], 10, 0.1, f"{self.name}'s panel")
        if self.compositor:
            wait_for(lambda: selection_owned("_NET_WM_CM_S0"), 10, 0.1, f"{self.name}'s compositor")
        elif self.compositor is False and selection_owned("_NET_WM_CM_S0"):
            raise AssertionError(f"{self.name} composites though asked not to")
        time.sleep(0.3)


class WaylandDesktop(Desktop):
    """A headless Wayland compositor with its XWayland; the program gets WAYLAND_DISPLAY and DISPLAY and no
    GDK_BACKEND, as on a Wayland session."""

    wayland = True

    def __init__(self, name, command, display_pattern, auth_pattern=None, packages=(), places_windows=True,
                 screenshooter=None):
        super().__init__(name)
        self.command = command
        self.display_pattern = display_pattern
        self.auth_pattern = auth_pattern
        self.packages = packages
        self.places_windows = places_windows  # its X window manager puts a window where it asked to be
        self.screenshooter = screenshooter  # a client that writes a PNG of the output into its folder

    def screenshot(self, folder):
        """A picture of what the compositor shows, or None where it has no way to take one."""
        if self.screenshooter is None:
            return None
        shots = os.path.join(folder, "shots")
        os.makedirs(shots, exist_ok=True)
        before = set(os.listdir(shots))
        subprocess.run([self.screenshooter], cwd=shots, capture_output=True, timeout=10, check=False)
        made = sorted(set(os.listdir(shots)) - before)
        return os.path.join(shots, made[-1]) if made else None

    def start(self, folder):
        missing = [p for p in self.packages if shutil.which(p) is None]
        if missing:
            raise unittest.SkipTest(f"{', '.join(missing)} not installed")
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        socket = f"drelk-{os.getpid()}-{len(RESULTS)}"
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        env.update(XDG_RUNTIME_DIR=runtime, HOME=folder)
        log_path = os.path.join(folder, "compositor.log")
        self.processes.append(start_process([a.replace("{socket}", socket) for a in self.command], env, log_path))
        def log():
            with open(log_path, errors="replace") as stream:
                return stream.read()
        def display():
            match = re.search(self.display_pattern, log())
            return match.group(1) if match and os.path.exists(os.path.join(runtime, socket)) else None
        try:
            number = wait_for(display, 20, 0.2, f"{self.name}'s XWayland display")
        except AssertionError:
            tail = log()[-600:]
            raise AssertionError(f"{self.name} gave no XWayland display; its log ends: {tail}")
        # Every X display it holds (mutter keeps a second one for its own services).
        line = re.search(self.display_pattern + ".*", log()).group(0)
        self.displays = set(re.findall(r":(\d+)", line))
        self.env = {"DISPLAY": ":" + number, "WAYLAND_DISPLAY": socket, "XDG_RUNTIME_DIR": runtime}
        if self.auth_pattern:
            auth = wait_for(lambda: glob.glob(os.path.join(runtime, self.auth_pattern)), 10, 0.2, "the X auth file")
            self.env["XAUTHORITY"] = auth[0]
        os.environ.update(self.env)
        # XWayland may start on the first X client: this one.
        wait_for(lambda: root_cardinals("_NET_SUPPORTING_WM_CHECK"), 20, 0.2, f"{self.name}'s X window manager")
        time.sleep(0.3)


def i3_config(folder):
    """i3's own default configuration, without its autostart lines (session helpers this machine lacks)."""
    path = os.path.join(folder, "i3.config")
    if os.path.exists("/etc/i3/config"):
        with open("/etc/i3/config") as stream:
            lines = [line for line in stream if not line.lstrip().startswith("exec")]
    else:
        lines = ["# i3 config file (v4)\n", "font pango:monospace 8\n"]
    with open(path, "w") as stream:
        stream.writelines(lines)
    return path


DESKTOPS = (
    X11Desktop("openbox", ["openbox"]),
    X11Desktop("xfwm4", ["xfwm4", "--compositor=off"]),
    X11Desktop("xfwm4 composited", ["xfwm4", "--compositor=on"], compositor=True),
    X11Desktop("fluxbox", ["fluxbox"], panel=True),
    X11Desktop("icewm", ["icewm"], panel=True),
    X11Desktop("i3", ["i3", "-c", "{folder}/i3.config"]),
    X11Desktop("metacity", ["metacity", "--replace"], compositor=None),  # its own compositor decides
    WaylandDesktop("mutter (Wayland)",
                   ["dbus-run-session", "--", "mutter", "--wayland", "--headless", "--virtual-monitor",
                    f"{SCREEN[0]}x{SCREEN[1]}", "--wayland-display={socket}"],
                   r"Using public X11 display :(\d+)", ".mutter-Xwaylandauth.*",
                   packages=("mutter", "dbus-run-session", "Xwayland")),
    WaylandDesktop("weston (Wayland)",
                   ["weston", "--backend=headless-backend.so", f"--width={SCREEN[0]}", f"--height={SCREEN[1]}",
                    "--socket={socket}", "--xwayland", "--use-pixman", "--debug"],  # --debug: screenshots allowed
                   r"xserver listening on display :(\d+)", packages=("weston", "Xwayland"), places_windows=False,
                   screenshooter="weston-screenshooter"),
)

SITE = None


def setUpModule():
    global SITE
    SITE = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))


def tearDownModule():
    if SITE is not None:
        SITE.stop()
    if RESULTS:
        sys.stderr.write("\n== desktop matrix ==\n" + table() + "\n")


class DesktopCase(unittest.TestCase):
    desktop = None

    @classmethod
    def setUpClass(cls):
        cls.saved_env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "GDK_BACKEND"):
            os.environ.pop(name, None)
        cls.folder = tempfile.mkdtemp(prefix="drelk-desktop-")
        if cls.desktop.name == "i3":
            i3_config(cls.folder)
        try:
            cls.desktop.start(cls.folder)
        except unittest.SkipTest as skip:
            for check in WAYLAND_CHECKS if cls.desktop.wayland else CHECKS:
                record(cls.desktop.name, check, "skip")
            cls.restore()
            raise skip
        except BaseException:
            for check in WAYLAND_CHECKS if cls.desktop.wayland else CHECKS:
                record(cls.desktop.name, check, "fail")
            cls.desktop.stop()
            cls.restore()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()
        cls.restore()

    @classmethod
    def restore(cls):
        os.environ.clear()
        os.environ.update(cls.saved_env)
        shutil.rmtree(cls.folder, ignore_errors=True)

    def check(self, start, name, function):
        """Runs one check of one start as a subtest; its outcome goes into the table. None when it failed."""
        outcome = "fail"
        with self.subTest(desktop=self.desktop.name, start=start, check=name):
            try:
                value = function()
                outcome = "pass"
                return value
            except unittest.SkipTest:
                outcome = "skip"
                raise
            finally:
                record(self.desktop.name, name, outcome)
        return None

    def not_reached(self, start, checks):
        """Marks the checks of this start that a failure before them left out."""
        outcomes = RESULTS.setdefault(self.desktop.name, {})
        for name in checks:
            if len(outcomes.get(name, [])) < start:
                record(self.desktop.name, name, "not reached")

    def start_launcher(self):
        launcher = Launcher(SITE, settings={"airclient": "false"})
        self.addCleanup(launcher.stop)
        return launcher

    def run_starts(self):
        for start in range(1, STARTS + 1):
            launcher = self.start_launcher()
            try:
                self.one_start(start, launcher)
            finally:
                launcher.stop()

    def check_layers(self, launcher):
        backdrop, controls = launcher_layers(launcher)
        self.assertEqual(backdrop[1:], controls[1:], "the controls window is not on the backdrop")
        return backdrop, controls

    def check_centred(self, origin):
        if self.desktop.wayland and not self.desktop.places_windows:
            raise unittest.SkipTest(f"{self.desktop.name} places X11 windows itself, wherever they asked to be")
        if self.desktop.name == "i3":
            raise unittest.SkipTest("i3 puts a floating window's frame where the window asked to be and the window "
                                    "below its (hidden) title inside it; the program follows where i3 put it")
        area = work_area()
        self.assertEqual(origin, centred(area, LAUNCHER_SIZE), f"work area {area}")

    def check_buttons(self, launcher, origin):
        if self.desktop.wayland:
            # XWayland's root window is not what the compositor shows.
            shot = self.desktop.screenshot(self.folder)
            if shot is None:
                raise unittest.SkipTest(f"no screenshot of what {self.desktop.name} shows")
        else:
            shot = launcher.screenshot(f"buttons-{time.monotonic_ns()}.png")
        for bitmap, left, top in BUTTONS:
            left = LAUNCHER_SIZE[0] + left if left < 0 else left
            differing, total = differing_pixels(shot, os.path.join(RES, bitmap), origin[0] + left, origin[1] + top)
            self.assertLess(differing, total // 20, f"{bitmap} at {left},{top}: {differing} of {total} pixels differ")

    def check_taskbar(self, backdrop, controls):
        supported = run(["xprop", "-root", "_NET_SUPPORTED"], timeout=5)
        clients = root_cardinals("_NET_CLIENT_LIST") or []
        skip_taskbar = "_NET_WM_STATE_SKIP_TASKBAR" in window_property(controls[0], "_NET_WM_STATE")
        if "_NET_CLIENT_LIST" in supported:
            self.assertIn(backdrop[0], clients, "the backdrop is not in the client list")
        self.assertTrue(controls[0] not in clients or skip_taskbar,
                        "the controls window is a taskbar entry of its own")
        self.assertIn('"Drelk"', window_property(backdrop[0], "WM_CLASS"))



class X11DesktopCase(DesktopCase):
    def one_start(self, start, launcher):
        layers = self.check(start, "layers", lambda: self.check_layers(launcher))
        if layers is None:
            self.not_reached(start, CHECKS)
            return
        backdrop, controls = layers
        origin = backdrop[1:3]
        self.check(start, "centred", lambda: self.check_centred(origin))
        launcher.wait_for_server_list()
        self.check(start, "buttons", lambda: self.check_buttons(launcher, origin))
        self.check(start, "taskbar", lambda: self.check_taskbar(backdrop, controls))
        moved = self.check(start, "drag", lambda: self.check_drag(launcher, origin))
        origin = moved or origin
        self.check(start, "tab", lambda: self.check_tab(launcher, origin))
        window = self.check(start, "game window", lambda: self.check_game_window(launcher, origin))
        if window is None:
            self.not_reached(start, CHECKS)
            return
        self.check(start, "title", lambda: self.check_title(launcher, window))

    def check_drag(self, launcher, origin):
        x, y = origin
        launcher.drag(x + 150, y + 20, *DRAG)  # the frame above the picture, no button there
        def moved():
            backdrop, controls = launcher_layers(launcher, 5)
            place = backdrop[1:3]
            # Where the window manager takes the move from may differ by a step of the pointer.
            if abs(place[0] - x - DRAG[0]) <= 4 and abs(place[1] - y - DRAG[1]) <= 4 and controls[1:] == backdrop[1:]:
                return place
            return None
        try:
            place = wait_for(moved, 8, 0.2, "both windows at the new place")
        except AssertionError:
            raise AssertionError(f"after a drag by {DRAG} from {origin}: {program_windows(launcher.process.pid)}")
        # The buttons follow.
        self.check_buttons(launcher, place)
        return place

    def check_tab(self, launcher, origin):
        launcher.click(origin[0] + HOME_TAB[0], origin[1] + HOME_TAB[1])
        opened = wait_for(launcher.opened_in_browser, 10, 0.1, "the desktop's browser")
        self.assertEqual(opened, [SITE.url + "/index.html"])

    def check_game_window(self, launcher, origin):
        logins = sum(1 for p in SITE.paths() if p.startswith("/login.php"))
        launcher.click(origin[0] + SERVER_1[0], origin[1] + SERVER_1[1])
        def game_window():
            big = [w for w in program_windows(launcher.process.pid) if w[3] >= 1000 and w[3:] != LAUNCHER_SIZE]
            return big[0] if big else None
        window = wait_for(game_window, 20, 0.2, "the game window")
        wait_for(lambda: sum(1 for p in SITE.paths() if p.startswith("/login.php")) > logins, 20, 0.2,
                 "the login address")
        area = self.game_area()
        def maximised():
            found = game_window()
            return found if found and tuple(found[1:]) == area else None
        try:
            return wait_for(maximised, 5, 0.2, "the game window on the work area")
        except AssertionError:
            raise AssertionError(f"game window {game_window()}, work area {area}")

    def game_area(self):
        if self.desktop.name == "i3":  # a tiling manager's work area is its workspace's
            workspaces = json.loads(run(["i3-msg", "-t", "get_workspaces"], timeout=5) or "[]")
            focused = [w["rect"] for w in workspaces if w.get("focused")]
            if focused:
                r = focused[0]
                return (r["x"], r["y"], r["width"], r["height"])
        return work_area()

    def check_title(self, launcher, window):
        counts = []
        def drawn():
            counts.append(title_pixels(launcher.screenshot(f"title-{len(counts)}.png"), window[1:3]))
            return counts[-1] > 30
        try:
            wait_for(drawn, 8, 0.3, "the title in the caption")
        except AssertionError:
            raise AssertionError(f"no title drawn in the caption (bright pixels per screenshot: {counts})")


class WaylandDesktopCase(DesktopCase):
    def one_start(self, start, launcher):
        def on_xwayland():
            # The two windows on the X display: GTK chose its X11 backend, though WAYLAND_DISPLAY is set.
            self.assertNotIn("GDK_BACKEND", launcher.env)
            self.assertIn("WAYLAND_DISPLAY", launcher.env)
            return launcher_layers(launcher)
        layers = self.check(start, "XWayland", on_xwayland)
        if layers is None:
            self.not_reached(start, WAYLAND_CHECKS)
            return
        backdrop, controls = layers
        def together():
            if backdrop[1:] != controls[1:] and not self.desktop.places_windows:
                raise unittest.SkipTest(f"{self.desktop.name}'s X window manager places each X11 window itself "
                                        f"and takes no move from the program: backdrop {backdrop[1:]}, controls "
                                        f"window {controls[1:]}")
            self.assertEqual(backdrop[1:], controls[1:], "the controls window is not on the backdrop")
            return True
        if self.check(start, "layers", together):
            self.check(start, "centred", lambda: self.check_centred(backdrop[1:3]))
            launcher.wait_for_server_list()
            self.check(start, "buttons", lambda: self.check_buttons(launcher, backdrop[1:3]))
        else:
            for name in ("centred", "buttons"):
                record(self.desktop.name, name, "skip")
        self.check(start, "taskbar", lambda: self.check_taskbar(backdrop, controls))


def _make_cases():
    for desktop in DESKTOPS:
        base = WaylandDesktopCase if desktop.wayland else X11DesktopCase
        name = "Test" + "".join(part.capitalize() for part in re.findall(r"[a-z0-9]+", desktop.name.lower()))
        globals()[name] = type(name, (base,), {"desktop": desktop, "__qualname__": name,
                                               "test_starts": base.run_starts})


_make_cases()
