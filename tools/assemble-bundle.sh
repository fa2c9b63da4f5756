#!/usr/bin/env bash
# Assembles dist/: the bundle (panel, Ext scripts and templates, server folders with
# their READMEs) and its zip, and the two cryptbox.dll builds with header and import
# libraries. Needs the win32 and win64 builds (tools/build.sh win32 win64).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dist=$root/dist
bin32=$root/build/win32/bin
bin64=$root/build/win64/bin
rm -rf "$dist"
mkdir -p "$dist/bundle"

cp -r "$root/bundle/Ext" "$root/bundle/apache" "$root/bundle/MySQL" "$root/bundle/PHP" "$root/bundle/www" \
  "$root/bundle/README.txt" "$dist/bundle/"
cp "$bin32/svcpanel.exe" "$dist/bundle/"
cp "$bin32/portcheck.exe" "$dist/bundle/Ext/"
# The panel writes httpd.conf there, before or after Apache is unpacked; the start script
# makes the other folders the configs name.
mkdir -p "$dist/bundle/apache/conf"
(cd "$dist" && zip -qr velmora-bundle.zip bundle)

for arch in x86:win32 x64:win64; do
  name=${arch%%:*}
  build=$root/build/${arch#*:}
  mkdir -p "$dist/cryptbox/$name"
  cp "$build/bin/cryptbox.dll" "$build/cryptbox/libcryptbox.dll.a" "$root/cryptbox/cryptbox.def" \
    "$dist/cryptbox/$name/"
done
mkdir -p "$dist/cryptbox/include"
cp "$root/cryptbox/cryptbox.h" "$dist/cryptbox/include/"
# The PHP class loads cryptbox.dll from its own folder: one copy beside each build.
for name in x86 x64; do cp "$root/cryptbox/php/Cryptbox.php" "$dist/cryptbox/$name/"; done
echo "assembled $dist"
