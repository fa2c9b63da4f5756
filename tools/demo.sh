#!/usr/bin/env bash
# The main job: set up, build everything, show Descrypt at work (natively and as the
# Windows DLLs under Wine), assemble dist/ (bundle, zip, DLLs), then run the panel
# on a demo bundle under Wine, click Start and Stop, print each button state seen
# and save screenshots. With a display of your own, the panel is left open.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=tools/wine-arch.sh
source tools/wine-arch.sh
bash tools/build.sh native win32 win64

message="Hello, Velmora!"
echo "== cryptbox, native: descrypt -e -k 12345678 '$message'"
hex=$(./build/native/bin/descrypt -e -k 12345678 "$message")
echo "$hex"
echo "== native: descrypt -d -k 12345678 $hex"
./build/native/bin/descrypt -d -k 12345678 "$hex" | od -c | head -3
echo "== OpenSSL's DES on the same key (zero-filled message), for comparison"
printf '%s\0' "$message" | openssl enc -des-ecb -provider legacy -provider default -nopad \
  -K 1234567800000000 | xxd -p | tr -d '\n'
echo
for arch in win32 win64; do
  echo "== $arch: descrypt.exe with cryptbox.dll under Wine"
  tools/wine-run.sh "build/$arch/bin/descrypt.exe" -e -k 12345678 "$message" || [ $? = 77 ]
done
echo "== a refused key"
./build/native/bin/descrypt -e -k 1234 "$message" || true

echo "== assemble dist/"
bash tools/assemble-bundle.sh

# The demo bundle: the assembled one, with test-only stand-ins where the Windows
# builds of Apache and MySQL would be unpacked (those cannot be had here). The bundle
# ships the 32-bit panel; a host that cannot run 32-bit code runs the 64-bit build.
arch=$(runnable_windows_build)
bin=$root/build/$arch/bin
demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp -r dist/bundle "$demo/Velmora Demo"
bundle="$demo/Velmora Demo"
mkdir -p "$bundle/apache/bin" "$bundle/MySQL/bin"
cp "$bin/svcpanel.exe" "$bundle/"
cp "$bin/portcheck.exe" "$bundle/Ext/"
cp "$bin/standin_server.exe" "$bundle/apache/bin/httpd.exe"
cp "$bin/standin_server.exe" "$bundle/MySQL/bin/mysqld.exe"
if [ "$arch" = win32 ]; then
  echo "== the demo runs the 32-bit panel, as shipped"
else
  echo "== the demo runs the 64-bit panel: $(why_no_win32)"
fi
winpath() { echo "Z:$1" | tr / '\\'; }

own_display=false
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then own_display=true; fi

run_demo() {
  hold=$demo/hold
  "$root/tools/wine-run.sh" explorer /desktop=velmora,800x500 "$(winpath "$bin/panel_demo.exe")" \
    "$(winpath "$bundle")" "$(winpath "$hold")" >"$demo/panel_demo.log" 2>&1 &
  runner=$!
  for stage in started stopped; do
    for _ in $(seq 1500); do
      [ "$(cat "$hold" 2>/dev/null)" = "$stage" ] && break
      kill -0 "$runner" 2>/dev/null || break
      sleep 0.1
    done
    [ -e "$hold" ] || continue
    import -window root -crop 800x500+0+0 "$root/build/demo-$stage.png"
    echo "screenshot: build/demo-$stage.png"
    rm -f "$hold"
  done
  status=0
  wait "$runner" || status=$?
  cat "$demo/panel_demo.log"
  return "$status"
}
export -f run_demo winpath
export root demo bundle bin

echo "== the panel on the demo bundle ($bundle)"
tools/with-display.sh bash -c run_demo
if $own_display; then
  echo "== the panel stays open on your display"
  tools/wine-run.sh "$(winpath "$bundle/svcpanel.exe")" >/dev/null 2>&1 &
else
  WINEPREFIX=$root/build/wineprefix wineserver -k 2>/dev/null || true
fi
