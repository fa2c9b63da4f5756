#!/usr/bin/env bash
# The whole test suite: native tests, sanitizer tests and a bounded fuzz run,
# then the Windows tests of both targets under Wine in a private prefix.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/build.sh native sanitize win32 win64

for preset in native sanitize; do
  echo "== test $preset"
  ctest --preset "$preset"
done
# The Windows tests share one Wine prefix and one display; the panel's need a display.
for preset in win32 win64; do
  echo "== test $preset (Wine)"
  tools/with-display.sh ctest --preset "$preset"
done
WINEPREFIX=$root/build/wineprefix wineserver -k 2>/dev/null || true

echo "== fuzz cryptbox (bounded)"
mkdir -p build/fuzz-corpus
./build/sanitize/bin/cryptbox_fuzz -max_total_time="${FUZZ_SECONDS:-60}" -max_len=512 \
  -close_fd_mask=1 -print_final_stats=1 build/fuzz-corpus 2>build/fuzz.log ||
  { tail -40 build/fuzz.log; exit 1; }
grep -E "stat::number_of_executed_units" build/fuzz.log
echo "fuzz: clean"
