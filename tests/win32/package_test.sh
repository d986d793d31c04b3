#!/usr/bin/env bash
# The Windows game folder's zip: built by CPack, unpacked as a player would, and its Drelk.exe started
# under Wine from there until the launcher's two windows are on the (virtual) screen.
# Usage: package_test.sh BUILD_DIR (the win32 build); needs DISPLAY and WINEPREFIX.
set -euo pipefail
build=$(cd "$1" && pwd)
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G ZIP -B "$work/out" >/dev/null)
zip=$(ls "$work"/out/Drelk-*-windows.zip)
(cd "$work" && cmake -E tar xf "$zip")
folder=$(ls -d "$work"/Drelk-*-windows)
for file in Drelk.exe pm_config.ini game/README.txt; do
    [ -f "$folder/$file" ] || { echo "missing in the zip: $file"; exit 1; }
done
grep -q 'DrelkClient.exe' "$folder/game/README.txt"

# Started from its folder, it shows the backdrop and the controls window over it (1024 x 635 each).
cd "$folder"
DRELK_WINE_TIMEOUT=60 "$tools/wine-run.sh" ./Drelk.exe >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 100); do
    if [ "$(xwininfo -root -tree 2>/dev/null | grep -c '"drelk.exe").*1024x635')" -ge 2 ]; then
        echo "the unpacked Drelk.exe shows the launcher"
        exit 0
    fi
    sleep 0.2
done
echo "the unpacked Drelk.exe showed no launcher"
xwininfo -root -tree | grep -i drelk || true
exit 1
