#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, for CTest and the scripts:
#   wine-run.sh PROGRAM [ARGS...]     (PROGRAM may be a Wine builtin such as explorer;
#                                      the architecture is that of the first .exe among the arguments)
#   wine-run.sh --can-run PROGRAM     exit 0 when this host can run it, else 77 with the reason
# A 64-bit program goes to the 64-bit loader, a 32-bit one to the 32-bit loader. Where this host
# cannot run 32-bit code, a 32-bit program is not run: the reason is printed and the exit code
# is 77, which CTest reports as skipped.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/wine-arch.sh
source "$root/tools/wine-arch.sh"
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Code page 936, as on a Chinese Windows.
wine_locale=${WINE_LC_ALL:-zh_CN.UTF-8}
skip_code=77

unix_path() { # a Z:\ path as Wine maps it, or the argument as it is
  case $1 in
    [Zz]:\\*) printf '%s' "${1:2}" | tr '\\' / ;;
    *) printf '%s' "$1" ;;
  esac
}

program_arch() {
  local arg arch
  for arg in "$@"; do
    arch=$(pe_arch "$(unix_path "$arg")")
    [ -n "$arch" ] && { echo "$arch"; return; }
  done
  echo win64
}

check_only=false
if [ "${1:-}" = --can-run ]; then
  check_only=true
  shift
fi
arch=$(program_arch "$@")
if [ "$arch" = win32 ]; then
  reason=$(why_no_win32)
  if [ -n "$reason" ]; then
    echo "skipped: a 32-bit Windows program cannot run here: $reason"
    exit "$skip_code"
  fi
fi
$check_only && exit 0
loader=$(wine_loader "$arch")
export WINELOADER=$loader

# One prefix, made once by the 64-bit loader, even when CTest starts several tests at the same time.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    LC_ALL=$wine_locale WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$WINEPREFIX.lock"

# A process started by the program may hold our stdout open long after the
# program ends: collect output in a file instead of a pipe.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
LC_ALL=$wine_locale "$loader" "$@" >"$out" 2>&1 </dev/null || status=$?
cat "$out"
exit "$status"
