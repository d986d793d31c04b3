#!/usr/bin/env bash
# Runs the end-to-end tests of the Linux program on a virtual screen with a window manager.
set -euo pipefail
cd "$(dirname "$0")"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY
exec xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    openbox >/dev/null 2>&1 &
    sleep 0.5
    timeout 900 python3 -m unittest discover -s . -p "test_*.py" -v
    status=$?
    kill %1 2>/dev/null
    exit $status'
