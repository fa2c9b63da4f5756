#!/usr/bin/env bash
# The panel's pictures, icon and resources, read by independent parsers:
# file(1), icoutils' icotool and wrestool.
set -euo pipefail

exe=$1
res=$(cd "$(dirname "$0")/../../svcpanel/res" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
expect() { # what, actual, expected
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); printf 'FAILED: %s\n got: %s\nwant: %s\n' "$1" "$2" "$3"; fi
}

expect "panel picture" "$(file -b "$res/panel.bmp")" \
  "PC bitmap, Windows 3.x format, 510 x 316 x 24, image size 484112, resolution 3780 x 3780 px/m, cbSize 484166, bits offset 54"
for button in start stop; do
  expect "$button picture" "$(file -b "$res/$button.bmp")" \
    "PC bitmap, Windows 3.x format, 16 x 16 x 32, image size 1024, resolution 3780 x 3780 px/m, cbSize 1078, bits offset 54"
done
expect "icon file size" "$(stat -c %s "$res/svcpanel.ico")" 13270
icon_images='--icon --index=1 --width=16 --height=16 --bit-depth=8 --palette-size=256
--icon --index=2 --width=24 --height=24 --bit-depth=8 --palette-size=256
--icon --index=3 --width=32 --height=32 --bit-depth=8 --palette-size=256
--icon --index=4 --width=16 --height=16 --bit-depth=32 --palette-size=0
--icon --index=5 --width=24 --height=24 --bit-depth=32 --palette-size=0
--icon --index=6 --width=32 --height=32 --bit-depth=32 --palette-size=0'
expect "icon images" "$(icotool -l "$res/svcpanel.ico")" "$icon_images"

# In the executable: icon group 1 over images 30001-30006, all in Chinese (PRC).
listing=$(wrestool -l "$exe" | sed 's/ \[.*//')
expect "resource table" "$listing" "--type=2 --name=101 --language=2052
--type=2 --name=102 --language=2052
--type=2 --name=103 --language=2052
--type=3 --name=30001 --language=2052
--type=3 --name=30002 --language=2052
--type=3 --name=30003 --language=2052
--type=3 --name=30004 --language=2052
--type=3 --name=30005 --language=2052
--type=3 --name=30006 --language=2052
--type=14 --name=1 --language=2052
--type=16 --name=1 --language=2052
--type=24 --name=1 --language=0"
wrestool -x --type=14 --name=1 "$exe" -o "$work/group.ico"
expect "icon group 1 rebuilt from the executable" "$(icotool -l "$work/group.ico")" "$icon_images"
# wrestool pads its rebuilt file; the directory and the six images must match byte for byte.
expect "icon group images equal the icon file" \
  "$(cmp -s -n "$(stat -c %s "$res/svcpanel.ico")" "$work/group.ico" "$res/svcpanel.ico" && echo same)" same

wrestool -x --raw --type=16 --name=1 "$exe" -o "$work/version.bin"
strings=$(iconv -f UTF-16LE -t UTF-8 "$work/version.bin" 2>/dev/null | tr -c '[:print:]' '\n' | grep -E '.{3,}' | paste -sd'|')
expect "version strings" "$strings" \
  "VS_VERSION_INFO|StringFileInfo|080404B0|FileVersion|1.00|ProductVersion|1.00|InternalName|svcpanel|OriginalFilename|svcpanel.exe|VarFileInfo|Translation"
# VS_FIXEDFILEINFO follows the key: signature, struct version, then file and product version 1.0.0.0.
fixed=$(od -An -tx4 -j40 -N24 "$work/version.bin" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')
expect "fixed version 1.0.0.0" "$fixed" "feef04bd 00010000 00010000 00000000 00010000 00000000"
translation=$(tail -c 4 "$work/version.bin" | od -An -tx2 | tr -s ' ' | sed 's/^ //')
expect "translation 0x0804, code page 1200" "$translation" "0804 04b0"

# The manifest: well-formed XML asking for an administrator and naming Vista to 11.
wrestool -x --raw --type=24 --name=1 "$exe" -o "$work/manifest.xml"
expect "manifest is well-formed XML" "$(xmllint --noout "$work/manifest.xml" 2>&1 && echo ok)" ok
xpath() { xmllint --xpath "$1" "$work/manifest.xml" 2>/dev/null; }
expect "requireAdministrator" \
  "$(xpath 'string(//*[local-name()="requestedExecutionLevel"]/@level)') $(xpath 'string(//*[local-name()="requestedExecutionLevel"]/@uiAccess)')" \
  "requireAdministrator false"
expect "supported Windows: Vista, 7, 8, 8.1, 10 and 11" \
  "$(xpath '//*[local-name()="supportedOS"]/@Id' | tr -s ' ' '\n' | grep -oE '[0-9a-f-]{36}' | paste -sd' ')" \
  "e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
