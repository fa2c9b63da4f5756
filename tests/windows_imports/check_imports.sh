#!/usr/bin/env bash
# Every function each shipped Windows binary imports must be on the reviewed list of
# functions that exist on the oldest Windows it supports, and its PE header must not
# ask for a newer one. A new import fails here until it is checked and listed.
set -euo pipefail

objdump=$1
allowed=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
max_version=$(awk '$1 == "@subsystem" {print $2}' "$allowed")
passed=0
failed=0
verdict() { if [ "$1" = ok ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $2"; fi; }
version_le() { [ "$(printf '%s\n%s\n' "$1" "$2" | sort -V | head -1)" = "$1" ]; }

for binary in "$@"; do
  name=$(basename "$binary")
  unknown=$(comm -23 <("$here/list_imports.sh" "$objdump" "$binary") <(awk -F'\t' '!/^[#@]/ && /!/ {print $1}' "$allowed" | sort -u))
  [ -z "$unknown" ] && verdict ok || verdict no "$name imports functions not on $(basename "$allowed"): $(echo $unknown)"
  for field in OSystem Subsystem; do
    version=$("$objdump" -p "$binary" | awk -v f="$field" '$1 == "Major" f "Version" {major = $2} $1 == "Minor" f "Version" {minor = $2} END {print major "." minor}')
    version_le "$version" "$max_version" && verdict ok || verdict no "$name asks for $field version $version, above $max_version"
  done
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
