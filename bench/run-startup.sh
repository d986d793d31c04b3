#!/usr/bin/env bash
# The launcher's start-up benchmark on a virtual screen with a window manager and the demo site.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset linux >/dev/null
cmake --build --preset linux --target drelk drelk_startup_bench >/dev/null
work="$(mktemp -d)"
trap 'kill $site 2>/dev/null; rm -rf "$work"' EXIT
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy
python3 tools/demo-site/server.py --port 0 --log "$work/site.jsonl" --port-file "$work/port" >/dev/null 2>&1 &
site=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
mkdir -p "$work/Drelk"
cp build/linux/app/drelk "$work/Drelk/drelk"
printf 'page=http://127.0.0.1:%s/mini/zonelist.html\r\n' "$(cat "$work/port")" >"$work/Drelk/pm_config.ini"
export DRELK_BENCH_PROGRAM="$work/Drelk/drelk" DRELK_BENCH_DIR="$work" XDG_CACHE_HOME="$work/cache"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c 'openbox >/dev/null 2>&1 & sleep 0.5; build/linux/bench/drelk_startup_bench'
