#!/usr/bin/env python3
"""Where the launcher's start-up time goes: one start under strace (execve, openat, connect of the
whole process tree, with wall-clock stamps), the program's own trace of its windows' first map and
paint (DRELK_STARTUP_TRACE), and the server list page's load beacon, printed as a timeline from the
process start. strace slows every system call, so the run also starts the program untraced and
prints both totals; read the timeline as proportions.

Run as bench/startup-breakdown.py from the repository (after the linux build); it makes its own
virtual screen (Xvfb 1920 x 1080 + openbox)."""

import importlib.util
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

spec = importlib.util.spec_from_file_location("compare", os.path.join(os.path.dirname(__file__), "compare-startup.py"))
compare = importlib.util.module_from_spec(spec)
spec.loader.exec_module(compare)

ROOT = compare.ROOT


def milestones(lines, page_port):
    """The process start's stamp and (stamp, what) for the first time each milestone is seen."""
    found = {}
    start = None

    def note(key, stamp, text):
        if key not in found:
            found[key] = (stamp, text)

    for line in lines:
        match = re.match(r"(?:\[pid\s+\d+\]\s+|\d+\s+)?(\d+\.\d+) (\w+)\((.*)", line)
        if not match:
            continue
        stamp, call, rest = float(match.group(1)), match.group(2), match.group(3)
        if call == "execve" and start is None and "drelk" in rest:
            start = stamp
            note("exec", stamp, "process start (execve)")
        elif call == "execve" and "WebKitNetworkProcess" in rest:
            note("network", stamp, "WebKit's network process started")
        elif call == "execve" and "WebKitWebProcess" in rest:
            note("web", stamp, "WebKit's web process started")
        elif call == "openat" and "libgtk-3.so" in rest:
            note("libs", stamp, "GTK library opened (dynamic loading)")
        elif call == "connect" and ".X11-unix" in rest:
            note("x", stamp, "connected to the X server (GTK start)")
        elif call == "openat" and "pm_config.ini" in rest:
            note("settings", stamp, "settings file read")
        elif call == "connect" and f"htons({page_port})" in rest:
            note("page", stamp, "server list requested")
    return start, sorted(found.values())


def main():
    work = tempfile.mkdtemp(prefix="drelk-breakdown-")
    environment = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    site, server, page = compare.serve_page(work)
    try:
        program = compare.launcher_folder(work, page)
        home = os.path.join(work, "home")
        os.makedirs(home)
        env = dict(environment, HOME=home, XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   DRELK_STARTUP_TRACE=os.path.join(work, "trace.txt"))

        for traced in (False, True):
            compare.Page.loaded.clear()
            trace_file = os.path.join(work, "trace.txt")
            if os.path.exists(trace_file):
                os.remove(trace_file)
            strace_out = os.path.join(work, "strace.txt")
            command = [program]
            if traced:
                command = ["strace", "-f", "-ttt", "-e", "trace=execve,openat,connect", "-o", strace_out, *command]
            wall_start = time.time()
            mono_start = time.monotonic()
            process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       start_new_session=True)
            deadline = time.monotonic() + 60
            while not compare.Page.loaded and time.monotonic() < deadline:
                time.sleep(0.005)
            loaded_s = compare.Page.loaded[0] / 1e9 - mono_start if compare.Page.loaded else None
            time.sleep(1)
            compare.kill_tree(process)
            trace = []
            if os.path.exists(trace_file):
                for line in open(trace_file):
                    event, kind, microseconds = line.split()
                    trace.append((event, kind, int(microseconds) / 1e6 - mono_start))
            if not traced:
                print(f"untraced: loaded {loaded_s * 1000:.0f} ms after the spawn; "
                      + ", ".join(f"{e} ({k}) {t * 1000:.0f} ms" for e, k, t in trace))
                continue
            start, found = milestones(open(strace_out).read().splitlines(), server.server_port)
            offset = start - wall_start if start else 0.0
            rows = [(stamp - start, text) for stamp, text in found]
            rows += [(t - offset, f"first {e} of a window ({k})") for e, k, t in trace]
            if loaded_s is not None:
                rows.append((loaded_s - offset, "the page's load event (beacon)"))
            print("\nunder strace, from the process start:")
            seen = set()
            for seconds, text in sorted(rows):
                if text not in seen:
                    seen.add(text)
                    print(f"  {seconds * 1000:7.0f} ms  {text}")
    finally:
        site.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    if os.environ.get("DRELK_COMPARE_NESTED") is None:
        script = ("openbox >/dev/null 2>&1 & sleep 0.5; DRELK_COMPARE_NESTED=1 "
                  f"{sys.executable} {os.path.abspath(__file__)}")
        sys.exit(subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24", "bash", "-c", script]).returncode)
    main()
