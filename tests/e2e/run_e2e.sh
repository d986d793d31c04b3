#!/usr/bin/env bash
# Runs the end-to-end tests of the Linux program on a virtual screen with a window manager: every
# test without a compositing manager, then the window-shape tests again under xcompmgr. The desktop
# matrix (test_desktops.py) starts a screen and a window manager or compositor of its own for each
# desktop, whatever display it is run on.
set -euo pipefail
cd "$(dirname "$0")"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY
exec xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    openbox >/dev/null 2>&1 &
    sleep 0.5
    timeout 1740 python3 -m unittest discover -s . -p "test_*.py" -v
    status=$?
    if [ $status -eq 0 ]; then
        echo "== again with a compositing manager (xcompmgr) =="
        xcompmgr >/dev/null 2>&1 &
        sleep 0.5
        timeout 600 python3 -m unittest test_launcher_windows test_game_window -v
        status=$?
    fi
    kill $(jobs -p) 2>/dev/null
    exit $status'
