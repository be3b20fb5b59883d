#!/usr/bin/env bash
# Makes a fresh Wine prefix at $1 (a folder of the build tree) for the tests:
# any old one and its wineserver are removed first. No network is used.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -d "$prefix" ]; then wineserver -k 2>/dev/null || true; rm -rf "$prefix"; fi
mkdir -p "$(dirname "$prefix")"
wineboot -i >/dev/null 2>&1
wineserver -w
[ -f "$prefix/system.reg" ] || { echo "wine_prefix: no prefix was made in $prefix" >&2; exit 1; }
