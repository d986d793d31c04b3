#!/usr/bin/env bash
# The player's setup program under Wine, in a prefix of its own (a machine Drelk was never installed
# on): its pages in Chinese; a silent install and what it put where (the files, the shortcuts, the
# uninstall entry); Drelk.exe started from the installed folder, on baidu, appending
# firstopen=false; setup and uninstaller refusing to touch the folder while it runs; an upgrade
# keeping that line; the uninstall keeping a game client another installer put into game\. Then an
# operator's installer, made from the same Drelk.exe with the operator's pm_config.ini, game client
# and publisher and a throw-away certificate (its key behind a password): what osslsigncode
# verifies, the operator's zip, and an install into a folder of the player's choice (/D) whose
# uninstall leaves no folder behind.
# Usage: setup_test.sh BUILD_DIR (the win32 build); needs DISPLAY.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
tools=$source/tools
work=$(mktemp -d)
site=
drelk=
cleanup() {
    if [ -n "$drelk" ]; then kill "$drelk" 2>/dev/null || true; fi
    if [ -n "$site" ]; then kill "$site" 2>/dev/null || true; fi
    timeout 30 /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}

# A prefix of its own, and a home of its own: Wine links the prefix's desktop to the home's, and its
# menu builder (off here) would put the Start-menu shortcuts into the home's menus.
export WINEPREFIX=$work/prefix HOME=$work/home WINEDLLOVERRIDES="winemenubuilder.exe=d"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DESKTOP_DIR
mkdir -p "$HOME"
wine() { DRELK_WINE_TIMEOUT=${timeout_s:-120} "$tools/wine-run.sh" "$@" </dev/null; }
# Waits until every program of the prefix has ended (the uninstaller goes on from a copy of itself).
settle() { timeout 120 /usr/lib/wine/wineserver -w; }

setup=$build/Drelk-1.0-setup.exe
[ -f "$setup" ] || fail "no setup program: $setup (target drelk_setup)"
"$tools/wine-prefix.sh"
user=$(basename "$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)")
home_c="$WINEPREFIX/drive_c/users/$user"
folder="$home_c/AppData/Local/Programs/Drelk"
folder_w="C:\\users\\$user\\AppData\\Local\\Programs\\Drelk"
menu_lnk="$home_c/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Drelk.lnk"
desktop_lnk="$home_c/Desktop/Drelk.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Drelk'

# What the build's install rules lay out is what the setup program must install.
expected=$work/expected
cmake --install "$build" --prefix "$expected" >/dev/null
# The files of a folder with their checksums, the uninstaller aside.
listing() { (cd "$1" && find . -type f ! -name Uninstall.exe -print0 | sort -z | xargs -0 -r sha256sum); }
# The uninstall entry's values as NAME=VALUE lines (reg prints them in the ANSI code page, 936).
entry() { wine reg query "$key" | iconv -f GBK -t UTF-8 | tr -d '\r' |
              sed -n 's/^    \([A-Za-z]*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p'; }
expect_value() { # NAME VALUE
    local values=$1 name=$2 value=$3
    grep -qxF "$name=$value" <<<"$values" || fail "uninstall entry: $name is not '$value':"$'\n'"$values"
}
# A shortcut names the installed program as its target and its icon (ANSI and UTF-16 strings).
expect_shortcut() { # FILE PROGRAM
    [ -f "$1" ] || fail "no shortcut $1"
    local text
    text=$(strings "$1"; strings -el "$1")
    grep -qiF "$2" <<<"$text" || fail "shortcut $1 does not name $2"
}

echo "== the setup program's pages =="
(exec env DRELK_WINE_TIMEOUT=60 "$tools/wine-run.sh" "$setup" >/dev/null 2>&1 </dev/null) &
pages=$!
shown=
for _ in $(seq 1 150); do
    if xdotool search --onlyvisible --name '^Drelk 安装' >/dev/null 2>&1; then
        shown=yes
        break
    fi
    sleep 0.2
done
kill "$pages" 2>/dev/null || true
wait "$pages" 2>/dev/null || true
[ -n "$shown" ] || fail "the setup program showed no window 'Drelk 安装'"
settle
echo "its first page is up, in Chinese"

echo "== silent install into a new prefix =="
start=$SECONDS
wine "$setup" /S || fail "silent install ended with $?"
[ "$(listing "$folder")" = "$(listing "$expected")" ] || {
    diff <(listing "$expected") <(listing "$folder") || true
    fail "the installed folder differs from the game folder"
}
[ -f "$folder/Uninstall.exe" ] || fail "no uninstaller"
expect_shortcut "$menu_lnk" "$folder_w\\Drelk.exe"
expect_shortcut "$desktop_lnk" "$folder_w\\Drelk.exe"
values=$(entry)
expect_value "$values" DisplayName Drelk
expect_value "$values" DisplayVersion 1.0
expect_value "$values" Publisher Drelk
expect_value "$values" DisplayIcon "$folder_w\\Drelk.exe,0"
expect_value "$values" InstallLocation "$folder_w"
expect_value "$values" UninstallString "\"$folder_w\\Uninstall.exe\""
expect_value "$values" QuietUninstallString "\"$folder_w\\Uninstall.exe\" /S"
expect_value "$values" NoModify 0x1
expect_value "$values" NoRepair 0x1
size=$(sed -n 's/^EstimatedSize=0x//p' <<<"$values")
[ -n "$size" ] && [ $((16#$size)) -ge $(($(stat -c %s "$folder/Drelk.exe") / 1024)) ] ||
    fail "EstimatedSize is not the folder's size in KiB: '$size'"
echo "installed in $((SECONDS - start)) s: files, shortcuts and uninstall entry in place"

echo "== Drelk.exe from the installed folder, on baidu =="
python3 "$tools/demo-site/server.py" --port 0 --log "$work/site.jsonl" --port-file "$work/port" >/dev/null &
site=$!
for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the report server did not start"
printf '\r\nplatform=baidu\r\nsuccess=http://127.0.0.1:%s/report?game=drelk' "$(cat "$work/port")" >>"$folder/pm_config.ini"
(cd "$folder" && exec env DRELK_WINE_TIMEOUT=120 "$tools/wine-run.sh" ./Drelk.exe >/dev/null 2>&1 </dev/null) &
drelk=$!
shown=
for _ in $(seq 1 150); do
    if [ "$(xwininfo -root -tree 2>/dev/null | grep -c '"drelk.exe").*1024x635')" -ge 2 ]; then
        shown=yes
        break
    fi
    sleep 0.2
done
[ -n "$shown" ] || fail "the installed Drelk.exe showed no launcher"
grep -q '"path": "/report?game=drelk&mac=' "$work/site.jsonl" || fail "no first-open report reached the server"
[ "$(tail -c 17 "$folder/pm_config.ini")" = $'\r\nfirstopen=false' ] || fail "firstopen=false was not appended"
echo "the launcher is shown; the report was made and firstopen=false appended"

echo "== setup and uninstaller while Drelk.exe runs =="
before=$(listing "$folder")
status=0
wine "$setup" /S || status=$?
[ "$status" -eq 2 ] || fail "the setup program ran over a running Drelk.exe (exit code $status)"
status=0
wine "$folder/Uninstall.exe" /S "_?=$folder_w" || status=$?
[ "$status" -eq 2 ] || fail "the uninstaller ran while Drelk.exe runs (exit code $status)"
[ "$(listing "$folder")" = "$before" ] || fail "the folder changed while Drelk.exe runs"
[ -f "$menu_lnk" ] && [ -f "$desktop_lnk" ] && grep -q '^DisplayName=' <<<"$(entry)" ||
    fail "shortcuts or the uninstall entry went while Drelk.exe runs"
echo "both refused (exit code 2) and left everything as it was"
kill "$drelk"
wait "$drelk" 2>/dev/null || true
drelk=
settle

echo "== upgrade over the installed folder, then the uninstall =="
settings=$(sha256sum <"$folder/pm_config.ini")
wine "$setup" /S || fail "second silent install ended with $?"
[ "$(sha256sum <"$folder/pm_config.ini")" = "$settings" ] || fail "the second install changed pm_config.ini"
printf 'client' >"$folder/game/DrelkClient.exe"
wine "$folder/Uninstall.exe" /S || fail "silent uninstall ended with $?"
settle
[ "$(cd "$folder" && find . -type f)" = "./game/DrelkClient.exe" ] ||
    fail "the uninstall left or removed the wrong files: $(cd "$folder" && find . -type f | tr '\n' ' ')"
[ ! -e "$menu_lnk" ] && [ ! -e "$desktop_lnk" ] || fail "the uninstall left a shortcut"
if wine reg query "$key" >/dev/null 2>&1; then fail "the uninstall left its entry"; fi
echo "the upgrade kept pm_config.ini; the uninstall removed its files, shortcuts and entry, kept game\\DrelkClient.exe"
rm -rf "$folder"

echo "== an operator's signed installer, into a folder of the player's choice =="
printf 'throw-away' >"$work/password"
openssl req -x509 -newkey rsa:2048 -keyout "$work/key.pem" -passout "file:$work/password" -out "$work/cert.pem" \
    -days 2 -subj "/CN=Drelk test operator" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
printf 'platform=37wan\r\npage=http://127.0.0.1:9/mini/zonelist.html\r\n' >"$work/operator.ini"
mkdir -p "$work/client/data"
printf 'operator client' >"$work/client/DrelkClient.exe"
printf 'data' >"$work/client/data/pack.dat"
operator=$work/operator-build
cmake -S "$source" -B "$operator" -G Ninja --toolchain "$source/cmake/mingw-w64-x86_64.cmake" \
    -DDRELK_PLATFORM=win32 -DDRELK_BUILD_TESTS=OFF -DDRELK_PREBUILT_PROGRAM="$build/app/Drelk.exe" \
    -DDRELK_SETTINGS_FILE="$work/operator.ini" -DDRELK_GAME_FOLDER="$work/client" -DDRELK_PUBLISHER=示例运营商 \
    -DDRELK_SIGN_CERT="$work/cert.pem" -DDRELK_SIGN_KEY="$work/key.pem" -DDRELK_SIGN_PASSWORD_FILE="$work/password" \
    >"$work/operator.log" ||
    { cat "$work/operator.log"; fail "configuring the operator's build"; }
cmake --build "$operator" >>"$work/operator.log" || { cat "$work/operator.log"; fail "building the operator's installer"; }
if grep -q "Not signing" "$work/operator.log"; then fail "the operator's build says it does not sign"; fi
(cd "$operator" && cpack -G ZIP -B "$work/zip" >/dev/null)
(cd "$work/zip" && cmake -E tar xf Drelk-1.0-windows.zip)
cmp -s "$work/zip/Drelk-1.0-windows/pm_config.ini" "$work/operator.ini" &&
    cmp -s "$work/zip/Drelk-1.0-windows/game/DrelkClient.exe" "$work/client/DrelkClient.exe" ||
    fail "the operator's zip does not carry the operator's settings and client"
operator_setup=$operator/Drelk-1.0-setup.exe
verify() { grep -q "^Signature verification: ok" <<<"$(osslsigncode verify -CAfile "$work/cert.pem" -in "$1" 2>&1)"; }
verify "$operator_setup" || fail "the operator's setup program is not signed"
if osslsigncode verify -in "$setup" >/dev/null 2>&1; then fail "the setup program without a certificate is signed"; fi
chosen='C:\游戏\Drelk运营版'
wine "$operator_setup" /S "/D=$chosen" || fail "silent install into $chosen ended with $?"
chosen_folder="$WINEPREFIX/drive_c/游戏/Drelk运营版"
cmp -s "$chosen_folder/pm_config.ini" "$work/operator.ini" || fail "the operator's pm_config.ini is not installed"
cmp -s "$chosen_folder/game/DrelkClient.exe" "$work/client/DrelkClient.exe" &&
    cmp -s "$chosen_folder/game/data/pack.dat" "$work/client/data/pack.dat" || fail "the operator's game client is not installed"
[ ! -e "$chosen_folder/game/README.txt" ] || fail "the example game folder came with the operator's"
verify "$chosen_folder/Drelk.exe" || fail "the installed Drelk.exe is not signed"
verify "$chosen_folder/Uninstall.exe" || fail "the uninstaller is not signed"
values=$(entry)
expect_value "$values" Publisher 示例运营商
expect_value "$values" InstallLocation "$chosen"
# Again without /D: an upgrade goes into the folder of the installation before.
wine "$operator_setup" /S || fail "the second silent install ended with $?"
[ ! -e "$folder" ] || fail "the upgrade went into the default folder, not into $chosen"
wine "$chosen_folder/Uninstall.exe" /S || fail "silent uninstall of the operator's installation ended with $?"
settle
[ ! -e "$chosen_folder" ] || fail "the uninstall left the folder: $(find "$chosen_folder" | tr '\n' ' ')"
[ -d "$WINEPREFIX/drive_c/游戏" ] || fail "the uninstall removed the folder above its own"
echo "signatures verified (setup, Drelk.exe, uninstaller); operator's files installed; folder gone after the uninstall"
echo "setup test: $SECONDS s"
