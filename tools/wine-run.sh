#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, for CTest and the scripts.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Code page 936, as on a Chinese Windows, though glibc has no such locale here.
wine_locale=${WINE_LC_ALL:-zh_CN.UTF-8}

# One prefix, made once, even when CTest starts several tests at the same time.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    LC_ALL=$wine_locale wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$WINEPREFIX.lock"

# A process started by the program may hold our stdout open long after the
# program ends: collect output in a file instead of a pipe.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
LC_ALL=$wine_locale wine "$@" >"$out" 2>&1 </dev/null || status=$?
cat "$out"
exit "$status"
