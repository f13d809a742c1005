#!/usr/bin/env bash
# Runs a Windows program under Wine with a private prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# "wine-run.sh PREFIX --stop" ends the prefix's Wine server and its services.
# The prefix is created on first use (under a lock, so parallel test runs wait for one another).
# Wine starts background services that inherit the standard streams of the program that woke
# them; the program's output therefore goes through a file, so whoever reads this script's
# output (ctest) sees it end when the program ends.
set -uo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver64 || command -v wineserver)
if [ "${1:-}" = "--stop" ]; then
  [ -d "$prefix" ] && "$wineserver" -k >/dev/null 2>&1
  exit 0
fi
mkdir -p "$prefix"
if [ ! -f "$prefix/system.reg" ]; then
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 </dev/null
      "$wineserver" -w
    fi
  ) 9>"$prefix.lock"
fi
# Keep the server up between the programs of one test run; it leaves after 30 idle seconds.
"$wineserver" -p30 >/dev/null 2>&1 </dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$wine" "$@" >"$out" 2>&1
status=$?
cat "$out"
exit $status
