#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, the way the Windows tests expect: a prefix of our
# own (WINEPREFIX, created on first use), code page 936, no proxy, and a bounded run time.
set -u
: "${WINEPREFIX:=$(pwd)/wineprefix}"
export WINEPREFIX WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY
wine=/usr/lib/wine/wine64
"$(dirname "$0")/wine-prefix.sh"
exec timeout "${DRELK_WINE_TIMEOUT:-300}" "$wine" "$@"
