#!/usr/bin/env bash
# The whole test suite: native tests, sanitizer tests and a bounded fuzz run, then the
# Windows tests of both targets under Wine in a private prefix. Where this host cannot
# run 32-bit code (or VELMORA_WINE_64BIT_ONLY=1), the win32 Wine tests are skipped and
# say why; the last lines say which architectures ran under Wine.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=tools/wine-arch.sh
source tools/wine-arch.sh
bash tools/build.sh native sanitize win32 win64

for preset in native sanitize; do
  echo "== test $preset"
  ctest --preset "$preset"
done

echo "== fuzz cryptbox (bounded)"
mkdir -p build/fuzz-corpus
./build/sanitize/bin/cryptbox_fuzz -max_total_time="${FUZZ_SECONDS:-60}" -max_len=512 \
  -close_fd_mask=1 -print_final_stats=1 build/fuzz-corpus 2>build/fuzz.log ||
  { tail -40 build/fuzz.log; exit 1; }
grep -E "stat::number_of_executed_units" build/fuzz.log
echo "fuzz: clean"

# The Windows tests share one Wine prefix and one display; the panel's need a display.
for preset in win32 win64; do
  echo "== test $preset (Wine)"
  tools/with-display.sh ctest --preset "$preset"
done
WINEPREFIX=$root/build/wineprefix wineserver -k 2>/dev/null || true

no_win32=$(why_no_win32)
echo "== Wine: win64 tests ran"
if [ -z "$no_win32" ]; then
  echo "== Wine: win32 tests ran"
else
  echo "== Wine: win32 tests skipped: $no_win32 (their static checks ran)"
fi
