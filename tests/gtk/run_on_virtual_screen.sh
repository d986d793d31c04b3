#!/bin/sh
# Runs a test program on a virtual X screen (1280 x 800, or DRELK_SCREEN_SIZE) with openbox as its
# window manager: the screen from xvfb-run, openbox started first and the program once openbox has
# taken the screen. The program's exit status is the script's.
set -u
if [ -z "${DRELK_ON_VIRTUAL_SCREEN:-}" ]; then
    DRELK_ON_VIRTUAL_SCREEN=1 exec xvfb-run -a -s "-screen 0 ${DRELK_SCREEN_SIZE:-1280x800}x24" sh "$0" "$@"
fi
openbox >/dev/null 2>&1 &
openbox_pid=$!
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "openbox did not start" >&2
        kill "$openbox_pid" 2>/dev/null
        exit 1
    fi
    sleep 0.1
done
"$@"
status=$?
kill "$openbox_pid" 2>/dev/null
wait "$openbox_pid" 2>/dev/null
exit "$status"
