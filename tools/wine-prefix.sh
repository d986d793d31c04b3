#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in (WINEPREFIX), once: Wine's own set-up, then what
# Windows has and Wine lacks: "宋体" (SimSun), the program's font, is replaced by WenQuanYi Zen Hei.
# A program that crashes on purpose (the crash-report tests) ends without Wine's crash dialog, which
# would wait for a click on the virtual screen.
set -u
: "${WINEPREFIX:?}"
export WINEPREFIX WINEDEBUG=-all
wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 300 "$wine" wineboot -i >/dev/null 2>&1
    timeout 120 /usr/lib/wine/wineserver -w
fi
if ! grep -q '"SimSun"="WenQuanYi Zen Hei"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    for name in SimSun 宋体; do
        timeout 60 "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d "WenQuanYi Zen Hei" /f \
            >/dev/null 2>&1
    done
    timeout 120 /usr/lib/wine/wineserver -w
fi
if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    timeout 60 "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    timeout 120 /usr/lib/wine/wineserver -w
fi
