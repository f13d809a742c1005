#!/usr/bin/env bash
# Runs a Windows program under Wine with a private prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created on first use (under a lock, so parallel test runs wait for one another).
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
mkdir -p "$prefix"
if [ ! -f "$prefix/system.reg" ]; then
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      wineserver=/usr/lib/wine/wineserver
      [ -x "$wineserver" ] || wineserver=$(command -v wineserver64 || command -v wineserver)
      "$wineserver" -w || true
    fi
  ) 9>"$prefix.lock"
fi
exec "$wine" "$@"
