#!/usr/bin/env bash
# Prints every function a Windows binary imports, one "DLL!Function" a line, sorted.
set -euo pipefail
objdump=$1
binary=$2
"$objdump" -p "$binary" | awk '
  /DLL Name:/ { dll = toupper($3); next }
  /^$/ { dll = "" }
  dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll "!" $3 }
' | sort -u
