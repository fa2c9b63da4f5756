#!/usr/bin/env bash
# Runs the panel on a demo bundle inside Wine's desktop window and saves a screenshot
# (default build/svcpanel.png). Needs the win32 and win64 builds (tools/build.sh win32 win64);
# runs the 32-bit panel where this host can, else the 64-bit one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/wine-arch.sh
source "$root/tools/wine-arch.sh"
shot=${1:-$root/build/svcpanel.png}
bundle=$(mktemp -d "/tmp/svcpanel demo.XXXXXX")
trap 'rm -rf "$bundle"' EXIT

mkdir -p "$bundle/Ext"
cp "$root/build/$(runnable_windows_build)/bin/svcpanel.exe" "$bundle/"
printf '@echo off\r\necho a0m1>"%%~dp0T_Port.txt"\r\n' >"$bundle/Ext/B_Port.bat"
printf '@echo off\r\n' >"$bundle/Ext/B_Stop.bat"

take() {
  "$root/tools/wine-run.sh" explorer /desktop=svcpanel,800x500 \
    "Z:$(echo "$bundle/svcpanel.exe" | tr / '\\')" >/dev/null 2>&1 &
  for _ in $(seq 100); do
    [ -e "$bundle/Ext/T_Port.txt" ] && xdotool search --name 'Velmora' >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 2
  import -window root -crop 800x500+0+0 "$shot"
  WINEPREFIX=$root/build/wineprefix wineserver -k 2>/dev/null || true
}
export -f take
export root bundle shot
"$root/tools/with-display.sh" bash -c take
echo "screenshot: $shot"
