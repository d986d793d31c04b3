#!/usr/bin/env python3
"""Where the launcher's start-up time goes: the program's own trace points (DRELK_STARTUP_TRACE: the
application object's construction in static initialisation, main, GTK ready, the web context and
view, each navigation and completed document, files read, HTTP requests, pictures decoded, window
shapes, first maps and paints) and the server list page's load beacon, as a timeline from the
spawn of the process: the median over several starts, with the minimum and maximum.

Run as bench/startup-breakdown.py [STARTS] from the repository (after the linux build); it makes its
own virtual screen (Xvfb 1920 x 1080 + openbox) and uses the same page as compare-startup.py."""

import importlib.util
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

spec = importlib.util.spec_from_file_location("compare", os.path.join(os.path.dirname(__file__), "compare-startup.py"))
compare = importlib.util.module_from_spec(spec)
spec.loader.exec_module(compare)


def label(event, detail, page):
    """A short name for one trace line; repeated events are numbered by the caller."""
    if detail == "-":
        return event
    if detail == page:
        detail = "server list"
    elif detail.startswith("http://127.0.0.1"):
        detail = detail.split("/", 3)[-1].split("?")[0]
    elif "/" in detail:
        detail = os.path.basename(detail)
    return f"{event} {detail}"


def one_start(program, env, trace_file, page):
    """{name: ms after the spawn} for one start, or None when the page did not load."""
    if os.path.exists(trace_file):
        os.remove(trace_file)
    compare.Page.loaded.clear()
    compare.Page.requested.clear()
    spawn = time.monotonic_ns()
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        deadline = time.monotonic() + 30
        while not compare.Page.loaded and time.monotonic() < deadline:
            time.sleep(0.005)
        if not compare.Page.loaded:
            return None
        loaded = compare.Page.loaded[0]
        time.sleep(0.5)
    finally:
        compare.kill_tree(process)
    seen, points = {}, {}
    for line in open(trace_file):
        parts = line.split()
        if len(parts) < 3:
            continue
        event, detail, micros = parts[0], " ".join(parts[1:-1]), int(parts[-1])
        name = label(event, detail, page)
        seen[name] = seen.get(name, 0) + 1
        if seen[name] > 1:
            name += f" ({seen[name]})"
        points[name] = (micros * 1000 - spawn) / 1e6
    points["the page's load event (beacon)"] = (loaded - spawn) / 1e6
    if compare.Page.requested:
        points["server list request reaches the server"] = (compare.Page.requested[0] - spawn) / 1e6
    return points


def main():
    starts = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    work = tempfile.mkdtemp(prefix="drelk-breakdown-")
    subprocess.run(["cmake", "--build", "--preset", "linux", "--target", "drelk"], cwd=compare.ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    environment = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    site, server, page = compare.serve_page(work)
    try:
        program = compare.launcher_folder(work, page)
        trace_file = os.path.join(work, "trace.txt")
        runs = []
        for number in range(starts + 1):
            home = os.path.join(work, f"home-{number}")
            os.makedirs(home)
            env = dict(environment, HOME=home, XDG_CACHE_HOME=os.path.join(home, ".cache"),
                       XDG_DATA_HOME=os.path.join(home, ".local"), DRELK_STARTUP_TRACE=trace_file)
            points = one_start(program, env, trace_file, page)
            if points is None:
                print(f"start {number}: the page did not load", file=sys.stderr)
            elif number > 0:  # the first start warms the disk cache
                runs.append(points)
        def median(name):
            return statistics.median(r[name] for r in runs if name in r)

        order = sorted(runs[0], key=median)
        print(f"{len(runs)} starts (one more discarded), ms after the spawn: median (min - max)\n")
        index = 0
        while index < len(order):
            # A run of the same event (the buttons' pictures, say) is one line with its count.
            base = order[index].split(" (")[0]
            end = index + 1
            while end < len(order) and order[end].split(" (")[0] == base:
                end += 1
            values = [r[order[index]] for r in runs if order[index] in r]
            text = order[index] if end - index == 1 else f"{base} x {end - index}, the last at {median(order[end - 1]):.0f}"
            print(f"  {statistics.median(values):7.0f}  ({min(values):5.0f} - {max(values):5.0f})  {text}")
            index = end
    finally:
        site.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    if os.environ.get("DRELK_COMPARE_NESTED") is None:
        script = ("openbox >/dev/null 2>&1 & sleep 0.5; DRELK_COMPARE_NESTED=1 "
                  f"{sys.executable} {os.path.abspath(__file__)} {' '.join(sys.argv[1:])}")
        sys.exit(subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24", "bash", "-c", script]).returncode)
    main()
