"""Runs the real Linux launcher as a player would: under the X display of the test run (Xvfb with
openbox), against the demo operator site on 127.0.0.1, driven with xdotool.

Every session gets a program directory, a settings file, a fake game client and home directories of
its own, and ends everything it started. Every wait is bounded.
"""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROGRAM = os.environ.get("DRELK_PROGRAM", os.path.join(ROOT, "build", "linux", "app", "drelk"))
SITE = os.path.join(ROOT, "tools", "demo-site", "server.py")
BACKDROP = os.path.join(ROOT, "res", "backdrop_143.png")

PROXY_VARIABLES = ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy")

# A game client that records its argument vector (NUL-separated) and exits.
FAKE_CLIENT = """#!/bin/sh
echo start >> "$(dirname "$0")/starts"
out="$(dirname "$0")/started"
for argument in "$@"; do printf '%s\\0' "$argument"; done > "$out.part"
mv "$out.part" "$out"
"""

# A desktop browser registered as the default handler of web addresses, recording what it opens.
FAKE_BROWSER = """#!/bin/sh
printf '%s\\n' "$1" >> "{log}"
"""


def wait_for(condition, timeout=20.0, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


def read_text(path):
    with open(path, encoding="utf-8") as stream:
        return stream.read()


def run(arguments, timeout=20):
    return subprocess.run(arguments, capture_output=True, text=True, timeout=timeout, check=False).stdout


class DemoSite:
    def __init__(self, folder, arguments=()):
        self.log = os.path.join(folder, "site.jsonl")
        port_file = os.path.join(folder, "port")
        self.process = subprocess.Popen(
            ["python3", SITE, "--port", "0", "--log", self.log, "--port-file", port_file, *arguments],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(port_file) and read_text(port_file).strip(), what="the demo site")
        self.url = "http://127.0.0.1:" + read_text(port_file).strip()

    def requests(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as stream:
            return [json.loads(line) for line in stream if line.strip()]

    def paths(self):
        return [request["path"] for request in self.requests()]

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Launcher:
    """One launcher process in a program directory of its own."""

    def __init__(self, site, settings=None, arguments=(), settings_file=True, directory="Drelk",
                 prepare=None, installed=None, extra_env=None):
        self.folder = tempfile.mkdtemp(prefix="drelk-e2e-")
        self.site = site
        if installed is None:
            self.directory = os.path.join(self.folder, directory)
            os.makedirs(os.path.join(self.directory, "game"))
            self.program = os.path.join(self.directory, "drelk")
            shutil.copy(PROGRAM, self.program)
        else:  # a game folder as a package installed it
            self.directory = installed
            self.program = os.path.join(self.directory, "drelk")
        client = os.path.join(self.directory, "game", "DrelkClient")
        with open(client, "w") as stream:
            stream.write(FAKE_CLIENT)
        os.chmod(client, 0o755)
        self.settings_path = os.path.join(self.directory, "pm_config.ini")
        if settings_file:
            entries = {
                "page": site.url + "/mini/zonelist.html",
                "home": site.url + "/index.html",
                "bbs": site.url + "/forum-2449-1.html",
                "service": site.url + "/cs?type=game&gamekey=drelk",
                "charge": site.url + "/order.html?gkey=drelk",
            }
            entries.update(settings or {})
            with open(self.settings_path, "wb") as stream:
                stream.write("\r\n".join(f"{k}={v}" for k, v in entries.items()).encode("utf-8"))
        if prepare is not None:
            prepare(self)  # the test's changes to the program folder before the start
        self.browser_log = os.path.join(self.folder, "browser-opened.txt")
        self.env = self._environment()
        self.env.update(extra_env or {})
        self.output = open(os.path.join(self.folder, "drelk.out"), "w")
        self.process = subprocess.Popen([self.program, *arguments], cwd=self.folder, env=self.env,
                                        stdout=self.output, stderr=subprocess.STDOUT)

    def _environment(self):
        env = {k: v for k, v in os.environ.items() if k not in PROXY_VARIABLES}
        home = os.path.join(self.folder, "home")
        for name, sub in (("HOME", ""), ("XDG_CACHE_HOME", ".cache"), ("XDG_DATA_HOME", ".local/share"),
                          ("XDG_CONFIG_HOME", ".config"), ("XDG_STATE_HOME", ".local/state")):
            env[name] = os.path.join(home, sub)
            os.makedirs(env[name], exist_ok=True)
        applications = os.path.join(env["XDG_DATA_HOME"], "applications")
        os.makedirs(applications)
        browser = os.path.join(self.folder, "fake-browser")
        with open(browser, "w") as stream:
            stream.write(FAKE_BROWSER.format(log=self.browser_log))
        os.chmod(browser, 0o755)
        with open(os.path.join(applications, "drelk-test-browser.desktop"), "w") as stream:
            stream.write("[Desktop Entry]\nType=Application\nName=Test browser\n"
                         f"Exec={browser} %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;\n")
        with open(os.path.join(env["XDG_CONFIG_HOME"], "mimeapps.list"), "w") as stream:
            stream.write("[Default Applications]\nx-scheme-handler/http=drelk-test-browser.desktop\n"
                         "x-scheme-handler/https=drelk-test-browser.desktop\n")
        return env

    # ---- what the player sees ----

    def windows(self):
        """Geometry (x, y, width, height) of the program's mapped windows, largest first."""
        return self.windows_of(self.process.pid)

    @staticmethod
    def windows_of(pid):
        """The same for any process (a relaunched launcher)."""
        ids = run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)]).split()
        found = []
        for window in ids:
            info = run(["xwininfo", "-id", window])
            values = {}
            for line in info.splitlines():
                line = line.strip()
                for key in ("Absolute upper-left X:", "Absolute upper-left Y:", "Width:", "Height:"):
                    if line.startswith(key):
                        values[key] = int(line.split(":")[1])
            if len(values) == 4 and "IsViewable" in info:
                found.append((values["Absolute upper-left X:"], values["Absolute upper-left Y:"],
                              values["Width:"], values["Height:"]))
        return sorted(found, key=lambda g: -g[2] * g[3])

    def window_named(self, name, pid=None):
        """The id of the program's visible message box (a dialog window) with this caption, or None."""
        pid = self.process.pid if pid is None else pid
        ids = run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", f"^{name}$"])
        for window in ids.split():
            if "_NET_WM_WINDOW_TYPE_DIALOG" in run(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"]):
                return window
        return None

    def answer_box(self, name, key="Return", timeout=20, pid=None):
        """Waits for a message box with this caption and answers it with a key."""
        wait_for(lambda: self.window_named(name, pid), timeout, what=f"the box '{name}'")
        time.sleep(0.5)  # mapped, focused by the window manager
        run(["xdotool", "key", key])
        wait_for(lambda: not self.window_named(name, pid), 10, what=f"the box '{name}' to close")

    def launcher_windows(self, timeout=20):
        """The backdrop and the controls window, once both are mapped at full size."""
        def both():
            full = [g for g in self.windows() if g[2] == 1024 and g[3] == 635]
            return full if len(full) >= 2 else None
        return wait_for(both, timeout, what="both launcher windows")

    def wait_for_server_list(self, timeout=30):
        wait_for(lambda: any(p.startswith("/mini/zonelist") for p in self.site.paths()), timeout,
                 what="the server list request")
        time.sleep(1.5)  # loaded, placed and painted

    def screenshot(self, name="screen.png"):
        path = os.path.join(self.folder, name)
        run(["import", "-window", "root", path])
        return path

    # ---- what the player does ----

    @staticmethod
    def click(x, y):
        run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"])

    @staticmethod
    def drag(x, y, dx, dy):
        run(["xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1"])
        steps = 10
        for i in range(1, steps + 1):
            run(["xdotool", "mousemove", "--sync", str(x + dx * i // steps), str(y + dy * i // steps)])
            time.sleep(0.03)
        run(["xdotool", "mouseup", "1"])

    @staticmethod
    def key(name):
        run(["xdotool", "key", name])

    def started_client(self):
        path = os.path.join(self.directory, "game", "started")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as stream:
            return stream.read().decode("utf-8").split("\0")[:-1]

    def client_starts(self):
        path = os.path.join(self.directory, "game", "starts")
        return len(read_text(path).split()) if os.path.exists(path) else 0

    def opened_in_browser(self):
        if not os.path.exists(self.browser_log):
            return []
        return read_text(self.browser_log).split()

    def logs(self):
        """The texts of the run logs in the player's state folder, oldest first."""
        folder = os.path.join(self.env["XDG_STATE_HOME"], "drelk", "logs")
        if not os.path.isdir(folder):
            return []
        return [read_text(os.path.join(folder, name)) for name in sorted(os.listdir(folder))]

    def settings_bytes(self):
        if not os.path.exists(self.settings_path):
            return None
        with open(self.settings_path, "rb") as stream:
            return stream.read()

    def exited(self, timeout=15):
        try:
            return self.process.wait(timeout=timeout) is not None
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self.output.closed:
            return  # stopped already
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=5)
        self.output.close()
        subprocess.run(["chmod", "-R", "u+rwX", self.folder], check=False)
        shutil.rmtree(self.folder, ignore_errors=True)


def pixel(path, x, y):
    """The (r, g, b) of a pixel of a picture file."""
    text = run(["convert", path, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"])
    colour = text.splitlines()[-1].split("(")[1].split(")")[0].split(",")
    return tuple(int(float(c)) for c in colour[:3])


def desktop_colour(path):
    """What the screen shows where no window is (black without a compositor, grey with xcompmgr):
    the bottom-right pixel of a screenshot taken while only the launcher is up."""
    size = run(["identify", "-format", "%w %h", path]).split()
    return pixel(path, int(size[0]) - 1, int(size[1]) - 1)


def close_enough(a, b, tolerance=12):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))
