#!/usr/bin/env bash
# Runs a program built for Windows under Wine in the tests' prefix ($1), with
# Wine's own messages off; the program's exit code is the script's.
set -uo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shift
exec wine "$@"
