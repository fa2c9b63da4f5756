#!/usr/bin/env bash
# The panel's CPU time while its first probe takes 3 seconds, read from Linux
# (/proc of the Wine process): a panel that sleeps in its wait uses next to none.
set -euo pipefail

bin=$1
fixture=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/tools/wine-run.sh" --can-run "$bin/svcpanel.exe" || exit
bundle=$(mktemp -d "/tmp/svcpanel cpu.XXXXXX")
trap 'rm -rf "$bundle"' EXIT

mkdir -p "$bundle/Ext"
cp "$fixture"/Ext/*.ini "$bundle/Ext/"
cp "$bundle/Ext/B_Stop.ini" "$bundle/Ext/B_Stop.bat"
cp "$bundle/Ext/B_Port.ini" "$bundle/Ext/B_Port.bat"
printf 'a0m0\r\n' >"$bundle/Ext/T_Port.txt"
cp "$bin/gate.exe" "$bin/svcpanel.exe" "$bundle/" && mv "$bundle/gate.exe" "$bundle/Ext/"
printf '3000' >"$bundle/Ext/arm-port"

winpath="Z:$(echo "$bundle/svcpanel.exe" | tr / '\\')"
"$root/tools/wine-run.sh" "$winpath" >/dev/null 2>&1 &
runner=$!

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
for _ in $(seq 300); do [ -e "$bundle/Ext/waiting-port" ] && break; sleep 0.1; done
[ -e "$bundle/Ext/waiting-port" ] || { echo "the probe never started"; exit 1; }
pid=$(pgrep -f -n "^Z:.*svcpanel cpu.*svcpanel.exe") || { echo "no panel process"; exit 1; }
before=$(ticks "$pid")
start=$(date +%s.%N)
while [ -e "$bundle/Ext/waiting-port" ]; do sleep 0.05; done
after=$(ticks "$pid")
elapsed=$(echo "$(date +%s.%N) - $start" | bc)
kill "$pid" 2>/dev/null || true
wait "$runner" 2>/dev/null || true

hz=$(getconf CLK_TCK)
cpu=$(echo "scale=3; ($after - $before) / $hz" | bc)
echo "panel CPU during a ${elapsed}s script wait: ${cpu}s"
if [ "$(echo "$cpu < 0.1" | bc)" = 1 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; exit 1; fi
