#!/usr/bin/env bash
# Repeatable cost figures for Descrypt on the native build (tools/build.sh native):
# instructions counted by callgrind for 1 MiB each way against mbed TLS's own one-block
# ECB over the same bytes (the ratio DES / Descrypt; 1.00 would be the cipher alone),
# and the peak memory a 256 MiB message adds to the caller's own buffers.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
measure=$root/build/native/bin/cryptbox_measure
size=$((1 << 20))

instructions() { # mode function
  valgrind --tool=callgrind --callgrind-out-file=/dev/null --toggle-collect="$2" "$measure" "$1" "$size" 2>&1 |
    awk '/Collected :/ {print $NF}'
}

echo "instructions for $((size >> 20)) MiB (callgrind):"
for direction in encrypt decrypt; do
  des=$(instructions "des-$direction" measured_des_ecb)
  ours=$(instructions "descrypt-$direction" Descrypt)
  printf '  %-8s DES %11d   Descrypt %11d   ratio DES / Descrypt %.4f\n' "$direction" "$des" "$ours" \
    "$(echo "scale=6; $des / $ours" | bc)"
done
"$measure" memory $((256 << 20))
