#!/usr/bin/env bash
# Configures and builds the given presets (default: all four), after set-up.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
mkdir -p build
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native win32 win64 sanitize)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >"build/$preset.log" 2>&1 || { cat "build/$preset.log"; exit 1; }
  cmake --build --preset "$preset" -- -k 0 >>"build/$preset.log" 2>&1 || { cat "build/$preset.log"; exit 1; }
  rm -f "build/$preset.log"
done
