#!/usr/bin/env bash
# The main job: build everything and show Descrypt at work, natively and as the Windows DLLs under Wine.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/build.sh native win32 win64

message="Hello, Velmora!"
echo "== native: descrypt -e -k 12345678 '$message'"
hex=$(./build/native/bin/descrypt -e -k 12345678 "$message")
echo "$hex"
echo "== native: descrypt -d -k 12345678 $hex"
./build/native/bin/descrypt -d -k 12345678 "$hex" | od -c | head -3
echo "== OpenSSL's DES on the same key (zero-filled message) for comparison"
printf '%s\0' "$message" | openssl enc -des-ecb -provider legacy -provider default -nopad \
  -K 1234567800000000 | xxd -p | tr -d '\n'; echo
for arch in win32 win64; do
  echo "== $arch: descrypt.exe with cryptbox.dll under Wine"
  tools/wine-run.sh "build/$arch/bin/descrypt.exe" -e -k 12345678 "$message"
done
echo "== a refused key"
./build/native/bin/descrypt -e -k 1234 "$message" || true
