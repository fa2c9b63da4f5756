#!/usr/bin/env bash
# Remakes the panel's pictures and icon in svcpanel/res/ with ImageMagick and a CJK font;
# tools/pack-assets.py lays them out in the exact BMP, ICO and resource formats.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
res=$root/svcpanel/res
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
im=/usr/bin/convert  # ImageMagick itself, whatever else is on PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Panel picture: sky, clouds, a cartoon figure on the left, usage notes below the buttons.
"$im" -size 510x316 gradient:'#7cc4f2'-'#e9f6ff' \
  -fill white -stroke none \
  -draw 'ellipse 250,24 46,14 0,360' -draw 'ellipse 290,20 34,12 0,360' -draw 'ellipse 220,30 30,10 0,360' \
  -draw 'ellipse 440,118 40,12 0,360' -draw 'ellipse 470,110 28,10 0,360' \
  -draw 'ellipse 40,22 30,9 0,360' -draw 'ellipse 66,18 22,8 0,360' \
  -fill '#ffe0bd' -stroke '#5a3b22' -strokewidth 2 -draw 'circle 62,168 62,196' \
  -fill '#3a2a1a' -stroke none -draw 'ellipse 62,148 30,14 180,360' \
  -fill '#2b2b2b' -draw 'circle 52,166 52,170' -draw 'circle 72,166 72,170' \
  -fill none -stroke '#b0413e' -strokewidth 2 -draw 'arc 50,170 74,186 20,160' \
  -fill '#ff8c1a' -stroke '#8a4a0b' -strokewidth 2 -draw 'roundrectangle 36,198 88,268 10,10' \
  -stroke '#8a4a0b' -strokewidth 5 -draw 'line 36,210 16,240' -draw 'line 88,210 110,186' \
  -stroke '#2d4f8a' -strokewidth 7 -draw 'line 50,268 46,300' -draw 'line 74,268 80,300' \
  -fill '#ffffffcc' -stroke '#6fa8d6' -strokewidth 1 -draw 'roundrectangle 128,146 500,306 8,8' \
  -font "$font" -fill '#1d3557' -stroke none -pointsize 15 -annotate +140+168 '使用说明' \
  -pointsize 12 \
  -annotate +140+190 '1. 支持 Windows XP、Windows 7 及以后的 Windows 系统。' \
  -annotate +140+210 '2. 本软件占用本机 TCP 端口 666 和 667，请勿让其他程序占用。' \
  -annotate +140+230 '3. 请不要安装在 C 盘。' \
  -annotate +140+250 '4. 安装目录中不能含有中文字符。' \
  -annotate +140+270 '5. 先点“svcpanel”启动服务，用完点“停止服务”。' \
  -fill '#6b2737' -annotate +140+294 '技术支持：support@velmora.example  QQ群：666667' \
  -type TrueColor -density 96 -units PixelsPerInch "BMP3:$res/panel.bmp"

# Button pictures: a green square (Start) and a red one (Stop), as raw pixels.
"$im" -size 16x16 xc:'#1e7b34' -fill '#37c35a' -draw 'rectangle 1,1 14,14' \
  -fill '#8ee6a4' -draw 'rectangle 3,3 6,6' -depth 8 "rgba:$work/start.rgba"
"$im" -size 16x16 xc:'#8f1d1d' -fill '#e0403a' -draw 'rectangle 1,1 14,14' \
  -fill '#f59a94' -draw 'rectangle 3,3 6,6' -depth 8 "rgba:$work/stop.rgba"

# Program icon at 16, 24 and 32 pixels: a blue tile with a white power sign.
for size in 16 24 32; do
  "$im" -size 128x128 xc:none -fill '#1f6fbf' -stroke '#0d3b6e' -strokewidth 6 \
    -draw 'roundrectangle 6,6 121,121 24,24' \
    -fill none -stroke white -strokewidth 14 -draw 'arc 30,34 98,102 -60,240' \
    -draw 'line 64,22 64,62' \
    -resize "${size}x${size}" -depth 8 "rgba:$work/icon$size.rgba"
done

python3 "$root/tools/pack-assets.py" "$work" "$res"
