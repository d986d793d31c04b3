#!/usr/bin/env bash
# The native windows on a screen lower than the launcher's picture (1024 x 600, where openbox's work
# area is the whole screen): the launcher starts from the work area's top-left corner, whole, with the
# controls window over it; a tab and the close button's question work there.
#
# A virtual screen of its own with openbox, and a Wine prefix of its own beside the tests' one: the
# programs of one prefix share one Wine server, whose desktop process keeps the screen it started on.
# Usage: small_screen_test.sh BUILD_DIR DRELK_EXE DRELK_EXE_TESTS SCENARIO_TESTS (the win32 build's).
set -euo pipefail
build=$(cd "$1" && pwd)
drelk_exe=$2 drelk_exe_tests=$3 scenario_tests=$4
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
export WINEPREFIX="$build/wineprefix-small" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY DISPLAY
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
work=$(mktemp -d)
xvfb= openbox= drelk=
cleanup() {
    if [ -n "$drelk" ]; then kill "$drelk" 2>/dev/null || true; fi
    if [ -n "${DISPLAY:-}" ]; then timeout 30 "$wineserver" -k 2>/dev/null || true; fi
    for pid in $openbox $xvfb; do kill "$pid" 2>/dev/null || true; done
    for pid in $openbox $xvfb; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for a command to succeed.
wait_for() {
    local tries=$1
    shift
    for _ in $(seq 1 "$tries"); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}

# The screen, on a display number the server picks.
Xvfb -displayfd 3 -screen 0 1024x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
wait_for 100 grep -q '^[0-9]' "$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
openbox=$!
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || { echo "openbox did not start"; exit 1; }
xwininfo -root | grep -q 'geometry 1024x600' || { echo "the screen is not 1024 x 600"; exit 1; }

"$tools/wine-prefix.sh"
# Windows places and sizes the program's windows itself. Wine's X11 driver hands them to the window
# manager, and marks a window that covers a whole monitor (here the 1024 x 635 picture on the
# 1024 x 600 screen) as full-screen, which openbox then fits to the screen: no Windows player meets
# that. With unmanaged windows Wine keeps the rectangles the program gives them, as Windows does.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    timeout 60 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    timeout 120 "$wineserver" -w
fi
"$wineserver" -p
timeout 120 "$wine" cmd /c exit >/dev/null 2>&1 </dev/null || true

status=0
run() {
    echo "== $* =="
    timeout 180 "$wine" "$@" </dev/null || status=1
}
# What the program sees: SPI_GETWORKAREA and the windows' rectangles; the placement is computed from
# the work area, so on this screen it is the top-left corner.
run "$drelk_exe_tests" \
    --gtest_filter='DrelkExeTest.TheLauncherIsTwoLayeredWindows*:DrelkExeTest.EnterAndEscape*'
run "$scenario_tests" \
    --gtest_filter='LauncherScenario.ShowsTwoLayeredWindows*:LauncherScenario.EachTab*:LauncherScenario.EnterAndEscape*'

# What the X server shows: both of Drelk.exe's windows at 0,0 with the picture's size, so the window
# manager neither moved nor shrank them (and still does not a moment later).
echo "== Drelk.exe on the X screen =="
cd "$work"
timeout 60 "$wine" "$drelk_exe" >/dev/null 2>&1 </dev/null &
drelk=$!
# (xwininfo -tree: the size and place in the parent, a window manager's frame, then on the screen.)
placed() { [ "$(xwininfo -root -tree 2>/dev/null | grep -cE '"drelk.exe"\).* 1024x635[-+0-9]* +\+0\+0$')" -ge 2 ]; }
if wait_for 200 placed && sleep 1 && placed; then
    echo "both windows at 0,0, 1024 x 635"
else
    echo "Drelk.exe's windows are not both at 0,0, 1024 x 635:"
    xwininfo -root -tree | grep -i drelk || true
    status=1
fi
exit $status
