#!/usr/bin/env bash
# Builds and runs every test: the demo operator site, the Linux build (headless unit tests and the
# real Linux services), the same under AddressSanitizer + UBSan, the Linux program end to end under
# Xvfb, every fuzz target for 30 s, then the Windows cross-build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
# Test servers listen on 127.0.0.1; nothing of ours may go through a proxy.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}

echo "== demo operator site =="
python3 -m unittest discover -s tests/tools -p "test_*.py"

for preset in linux asan; do
    echo "== $preset =="
    build "$preset"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --preset "$preset"
done

echo "== Linux program end to end (Xvfb + openbox, demo site; the desktop matrix) =="
tests/e2e/run_e2e.sh

echo "== fuzz targets (clang, ASan + UBSan), 30 s each =="
fuzz/run-all.sh 30

echo "== win32 (under Wine) =="
build win32
export WINEPREFIX="$PWD/build/win32/wineprefix" WINEDEBUG=-all
tools/wine-prefix.sh || true
# On a virtual screen with a window manager (the native windows' tests make real windows, move them
# and read them back from the screen), with one persistent server for
# all test programs. Wine's own service processes are started here, with their output going nowhere:
# started by a test they would hold its output pipe open.
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    openbox >/dev/null 2>&1 &
    /usr/lib/wine/wineserver -p
    timeout 120 /usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null || true
    ctest --preset win32
    status=$?
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    exit $status'

