#!/usr/bin/env bash
# Installs what is needed, builds the Linux program, starts the demo operator site on a free
# loopback port, prepares a program directory whose pm_config.ini points at it, and starts the
# launcher. With a display the player uses it. Without one it runs under Xvfb, waits until the
# server list is shown, writes a screenshot, picks the first server, writes a screenshot of the game
# window, prints their paths and ends everything it started.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if [ "$(id -u)" = 0 ]; then
    tools/install-packages.sh
fi
cmake --preset linux >/dev/null
cmake --build --preset linux --target drelk

demo="$root/build/demo"
program="$demo/Drelk"
rm -rf "$demo"
mkdir -p "$program"
cp build/linux/app/drelk "$program/drelk"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY

python3 tools/demo-site/server.py --port 0 --log "$demo/site-requests.jsonl" --port-file "$demo/port" \
    >"$demo/site.out" 2>&1 &
site=$!
trap 'kill $site 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$demo/port" ] && break; sleep 0.1; done
site_url="http://127.0.0.1:$(cat "$demo/port")"
printf 'page=%s\r\nhome=%s\r\nbbs=%s\r\nservice=%s\r\ncharge=%s\r\n' \
    "$site_url/mini/zonelist.html" "$site_url/index.html" "$site_url/forum-2449-1.html" \
    "$site_url/cs?type=game&gamekey=drelk" "$site_url/order.html?gkey=drelk" >"$program/pm_config.ini"
echo "demo operator site: $site_url (requests logged to $demo/site-requests.jsonl)"

if [ -n "${DISPLAY:-}" ]; then
    "$program/drelk"
    exit 0
fi

# No display: a virtual screen, a window manager, the launcher, then a picture of it.
export DRELK_DEMO_DIR="$demo"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    openbox >/dev/null 2>&1 &
    wm=$!
    "$DRELK_DEMO_DIR/Drelk/drelk" >"$DRELK_DEMO_DIR/drelk.out" 2>&1 &
    app=$!
    for _ in $(seq 150); do
        grep -q "\"/static/" "$DRELK_DEMO_DIR/site-requests.jsonl" 2>/dev/null && break
        grep -q "zonelist" "$DRELK_DEMO_DIR/site-requests.jsonl" 2>/dev/null && sleep 0.5 && break
        sleep 0.1
    done
    sleep 1.5
    import -window root "$DRELK_DEMO_DIR/launcher.png"
    # A player picks the first server: the game window opens on it.
    geometry=$(xdotool search --onlyvisible --pid $app 2>/dev/null | head -n 1 | xargs -r xwininfo -id 2>/dev/null)
    x=$(echo "$geometry" | sed -n "s/.*Absolute upper-left X: *//p")
    y=$(echo "$geometry" | sed -n "s/.*Absolute upper-left Y: *//p")
    xdotool mousemove --sync $((x + 436)) $((y + 193)) click 1
    for _ in $(seq 150); do
        grep -q "/static/game.css" "$DRELK_DEMO_DIR/site-requests.jsonl" 2>/dev/null && break
        sleep 0.1
    done
    sleep 1.5
    import -window root "$DRELK_DEMO_DIR/game-window.png"
    kill $app $wm 2>/dev/null
    wait $app 2>/dev/null
    true'
echo "screenshot of the launcher: $demo/launcher.png"
echo "screenshot of the game window after picking a server: $demo/game-window.png"
