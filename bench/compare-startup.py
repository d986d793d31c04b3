#!/usr/bin/env python3
"""Start-up and memory side by side, in one run on one virtual screen (Xvfb 1920 x 1080 + openbox):
our launcher, a minimal GTK 3 + WebKitGTK window of our own (peers/minimal_webkit.c) and Chromium in
--app mode (a fresh profile each run), each showing the same loopback page (the demo operator's
server list, with a beacon at its load event), in interleaved rounds, the first discarded.

For each it prints medians and minimums of: process start -> first top-level window mapped (X
MapNotify), -> the page's load event (the beacon's request), the proportional set size (PSS) of the
whole process tree 3 s after the load, and the ratios to Chromium and to the minimal window; and,
beside them, when the server list's request reached the page server.

Run as bench/compare-startup.py [ROUNDS] [--also NAME=PROGRAM ...] from the repository (--also adds
another build of the launcher, e.g. the one before a change, as one more peer of the same run) (it builds what it needs and, as root,
installs Debian's chromium when it is missing). Needs no display of its own."""

import http.server
import os
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BEACON = b'<script>addEventListener("load", function () { new Image().src = "/bench-loaded"; });</script>'


class Page(http.server.BaseHTTPRequestHandler):
    """Forwards to the demo site, adds the load beacon to the server list, and notes its arrival."""
    site = ""
    loaded = []     # monotonic ns of each /bench-loaded
    requested = []  # monotonic ns of each request for the server list

    def do_GET(self):
        if self.path.startswith("/bench-loaded"):
            Page.loaded.append(time.monotonic_ns())
            self.send_response(204)
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            return
        if self.path.startswith("/mini/zonelist"):
            Page.requested.append(time.monotonic_ns())
        try:
            with urllib.request.urlopen(Page.site + self.path, timeout=10) as answer:
                body = answer.read()
                kind = answer.headers.get("Content-Type", "application/octet-stream")
                status = answer.status
        except urllib.error.HTTPError as error:
            body, kind, status = error.read(), "text/html", error.code
        if self.path.startswith("/mini/zonelist"):
            body = body.replace(b"</body>", BEACON + b"</body>")
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *arguments):
        pass


def tree_pss_kib(pid):
    """The PSS of a process and all its descendants, in KiB."""
    children = {}
    for name in os.listdir("/proc"):
        if name.isdigit():
            try:
                with open(f"/proc/{name}/stat") as stream:
                    parent = int(stream.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(parent, []).append(int(name))
            except (OSError, IndexError, ValueError):
                pass
    total, todo = 0, [pid]
    while todo:
        current = todo.pop()
        todo.extend(children.get(current, []))
        try:
            with open(f"/proc/{current}/smaps_rollup") as stream:
                for line in stream:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def kill_tree(process):
    subprocess.run(["pkill", "-KILL", "-s", str(os.getpgid(process.pid))], check=False)
    process.wait(timeout=10)


def measure(command, environment, work):
    """One start: (mapped ms, loaded ms, PSS MiB, server list requested ms) or None."""
    watcher = subprocess.Popen([os.path.join(work, "map_watch")], stdout=subprocess.PIPE, text=True)
    if watcher.stdout.readline().strip() != "ready":
        return None
    Page.loaded.clear()
    Page.requested.clear()
    start = time.monotonic_ns()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        mapped_line = [None]
        reader = threading.Thread(target=lambda: mapped_line.__setitem__(0, watcher.stdout.readline()))
        reader.start()
        deadline = time.monotonic() + 30
        while not Page.loaded and time.monotonic() < deadline:
            time.sleep(0.005)
        reader.join(timeout=max(0.0, deadline - time.monotonic()))
        if not Page.loaded or not mapped_line[0]:
            return None
        loaded = Page.loaded[0]
        time.sleep(3)
        pss = tree_pss_kib(process.pid)
        requested = Page.requested[0] if Page.requested else loaded
        return ((int(mapped_line[0]) - start) / 1e6, (loaded - start) / 1e6, pss / 1024, (requested - start) / 1e6)
    finally:
        watcher.kill()
        kill_tree(process)


def serve_page(work):
    """Starts the demo site and the forwarding page server; (the site's process, the server, the
    server list's address)."""
    site_log = os.path.join(work, "site.jsonl")
    port_file = os.path.join(work, "site.port")
    site = subprocess.Popen([sys.executable, os.path.join(ROOT, "tools", "demo-site", "server.py"), "--port", "0",
                             "--log", site_log, "--port-file", port_file], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    while not (os.path.exists(port_file) and open(port_file).read().strip()):
        time.sleep(0.05)
    Page.site = "http://127.0.0.1:" + open(port_file).read().strip()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Page)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return site, server, f"http://127.0.0.1:{server.server_port}/mini/zonelist.html"


def launcher_folder(work, page, program=None, name="Drelk"):
    """A program folder with the built launcher (or the given one) and settings that open the page."""
    folder = os.path.join(work, name)
    os.makedirs(os.path.join(folder, "game"))
    shutil.copy(program or os.path.join(ROOT, "build", "linux", "app", "drelk"), os.path.join(folder, "drelk"))
    with open(os.path.join(folder, "pm_config.ini"), "w") as stream:
        stream.write(f"page={page}\r\n")
    return os.path.join(folder, "drelk")


def main():
    arguments = sys.argv[1:]
    others = []
    while "--also" in arguments:
        at = arguments.index("--also")
        name, path = arguments[at + 1].split("=", 1)
        others.append((name, os.path.abspath(path)))
        del arguments[at:at + 2]
    rounds = int(arguments[0]) if arguments else 9
    work = tempfile.mkdtemp(prefix="drelk-compare-")
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "gtk+-3.0", "webkit2gtk-4.1"], check=True,
                           capture_output=True, text=True).stdout.split()
    subprocess.run(["gcc", "-O2", "-o", os.path.join(work, "minimal_webkit"),
                    os.path.join(ROOT, "bench", "peers", "minimal_webkit.c"), *flags], check=True)
    subprocess.run(["gcc", "-O2", "-o", os.path.join(work, "map_watch"),
                    os.path.join(ROOT, "bench", "peers", "map_watch.c"), "-lX11"], check=True)
    subprocess.run(["cmake", "--build", "--preset", "linux", "--target", "drelk"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    chromium = shutil.which("chromium")
    if chromium is None and os.geteuid() == 0:
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", "chromium"], check=True,
                       stdout=subprocess.DEVNULL)
        chromium = shutil.which("chromium")

    environment = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    site, server, page = serve_page(work)
    try:
        program = launcher_folder(work, page)

        def with_home(name):
            home = os.path.join(work, "home-" + name)
            shutil.rmtree(home, ignore_errors=True)
            os.makedirs(home)
            return dict(environment, HOME=home, XDG_CACHE_HOME=os.path.join(home, ".cache"),
                        XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_DATA_HOME=os.path.join(home, ".local"),
                        XDG_STATE_HOME=os.path.join(home, ".local", "state"))

        peers = [("launcher", lambda: [program])]
        for index, (name, path) in enumerate(others):
            other = launcher_folder(work, page, path, f"Other{index}")
            peers.append((name, lambda other=other: [other]))
        peers.append(("minimal WebKit window", lambda: [os.path.join(work, "minimal_webkit"), page]))
        if chromium:
            peers.append(("Chromium --app", lambda: [
                chromium, "--app=" + page, "--user-data-dir=" + tempfile.mkdtemp(dir=work), "--no-first-run",
                "--no-default-browser-check", "--disable-features=Translate", "--window-size=1024,635",
                *(["--no-sandbox"] if os.geteuid() == 0 else [])]))
        results = {name: [] for name, _ in peers}
        for round_number in range(rounds):
            for name, command in peers:
                sample = measure(command(), with_home(name.split()[0]), work)
                if sample is None:
                    print(f"round {round_number}: {name} did not map or load", file=sys.stderr)
                elif round_number > 0:
                    results[name].append(sample)
        print(f"{rounds} rounds (the first discarded), Xvfb 1920 x 1080 + openbox, one loopback page\n")
        print(f"{'':24} {'mapped ms':>18} {'loaded ms':>18} {'PSS MiB':>18} {'list requested ms':>18}")
        print(f"{'':24} {'median':>9}{'min':>9} {'median':>9}{'min':>9} {'median':>9}{'min':>9} {'median':>9}{'min':>9}")
        medians = {}
        for name, samples in results.items():
            if not samples:
                continue
            columns = list(zip(*samples))
            medians[name] = [statistics.median(c) for c in columns]
            cells = "".join(f"{statistics.median(c):9.0f}{min(c):9.0f} " for c in columns)
            print(f"{name:24} {cells}")
        ours = medians.get("launcher")
        for reference in ("Chromium --app", "minimal WebKit window"):
            if ours and reference in medians:
                ratios = " ".join(f"{a / b:9.2f}" for a, b in zip(ours[:3], medians[reference][:3]))
                print(f"launcher / {reference:22} mapped, loaded, PSS: {ratios}")
    finally:
        site.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    if "DISPLAY" not in os.environ or os.environ.get("DRELK_COMPARE_NESTED") is None:
        # On a virtual screen of its own, with a window manager.
        script = ("openbox >/dev/null 2>&1 & sleep 0.5; DRELK_COMPARE_NESTED=1 "
                  f"{sys.executable} {os.path.abspath(__file__)} {shlex.join(sys.argv[1:])}")
        sys.exit(subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24", "bash", "-c", script]).returncode)
    main()
