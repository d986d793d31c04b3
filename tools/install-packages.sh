#!/usr/bin/env bash
# Installs the Debian packages of tools/packages.txt that are missing (needs root).
set -euo pipefail
cd "$(dirname "$0")"
mapfile -t packages < <(grep -v '^\s*#' packages.txt | grep -v '^\s*$')
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Code page 936 for the Windows tests under Wine.
locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$' || localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
