#!/usr/bin/env bash
# The Windows binaries as a user's machine sees them: cryptbox.dll exports exactly
# Descrypt at ordinal 1, and nothing needs a DLL that Windows itself lacks.
set -euo pipefail

objdump=$1
shift
# Windows' own DLLs, and cryptbox.dll, which ships beside the programs that use it.
allowed_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|WS2_32|IPHLPAPI|msvcrt|cryptbox)\.dll$'
passed=0
failed=0
verdict() { if [ "$1" = ok ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $2"; fi; }

for binary in "$@"; do
  imports=$("$objdump" -p "$binary" | awk '/DLL Name:/ {print $3}' | sort -u)
  bad=$(grep -viE "$allowed_dlls" <<<"$imports" || true)
  [ -z "$bad" ] && verdict ok || verdict no "$(basename "$binary") imports $bad"
  if [[ $(basename "$binary") == cryptbox.dll ]]; then
    table=$("$objdump" -p "$binary" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s+\[')
    [ "$table" = "$(printf '\t[   0] Descrypt')" ] && verdict ok || verdict no "export names: $table"
    base=$("$objdump" -p "$binary" | grep -oP 'Ordinal Base \K\d+')
    count=$("$objdump" -p "$binary" | grep -cE '^\s+\[\s*[0-9]+\] \+base\[')
    [ "$base" = 1 ] && [ "$count" = 1 ] && verdict ok || verdict no "ordinal base $base, $count exports"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
