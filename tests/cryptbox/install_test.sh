#!/usr/bin/env bash
# cmake --install of the native build, then a C program built against it twice:
# with find_package(cryptbox) and with pkg-config.
set -euo pipefail

build=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# DES-ECB of "12345678" under key 12 34 56 78 00 00 00 00, from OpenSSL.
expected=$(printf 12345678 | openssl enc -des-ecb -provider legacy -provider default -nopad \
  -K 1234567800000000 | xxd -p)

cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(dirname "$(find "$work/prefix" -name 'libcryptbox.so' | head -1)")

cmake -S "$here/consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
by_package=$(LD_LIBRARY_PATH=$libdir "$work/consumer/consumer")

export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
cc "$here/consumer/main.c" $(pkg-config --cflags --libs cryptbox) -o "$work/by-pkg-config"
by_pkg_config=$(LD_LIBRARY_PATH=$libdir "$work/by-pkg-config")

passed=0
failed=0
for result in "$by_package" "$by_pkg_config"; do
  if [ "$result" = "$expected" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "got $result, want $expected"; fi
done
# Only Descrypt is exported from the shared library.
exports=$(nm -D --defined-only "$libdir/libcryptbox.so" | awk '$2 == "T" {print $3}')
if [ "$exports" = "Descrypt" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "exports: $exports"; fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
