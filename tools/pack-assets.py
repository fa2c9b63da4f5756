#!/usr/bin/env python3
"""Packs raw RGBA pixels from make-assets.sh into the panel's exact formats
(and sets the panel picture's resolution field to 96 DPI as Windows writes it):
16x16 32 bpp button BMPs, the six-image icon file, and the icon resources
(RT_ICON images 30001-30006 and the RT_GROUP_ICON directory) for svcpanel.rc."""
import struct
import sys
from pathlib import Path

ICON_SIZES = (16, 24, 32)
FIRST_ICON_ID = 30001


def rows_bottom_up(rgba, size):
    stride = size * 4
    return [rgba[y * stride:(y + 1) * stride] for y in reversed(range(size))]


def bgra(pixel):
    r, g, b, a = pixel
    return bytes((b, g, r, a))


def pixels(row):
    return [tuple(row[i:i + 4]) for i in range(0, len(row), 4)]


def button_bmp(rgba):
    body = b"".join(bgra(p) for row in rows_bottom_up(rgba, 16) for p in pixels(row))
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 32, 0, len(body), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return header + info + body


def palette():
    """A fixed 256-colour palette: the 6x6x6 cube, then 40 greys."""
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(round(i * 255 / 39),) * 3 for i in range(40)]
    return colours


def nearest(colours, pixel):
    r, g, b = pixel[:3]
    return min(range(len(colours)),
               key=lambda i: (colours[i][0] - r) ** 2 + (colours[i][1] - g) ** 2 + (colours[i][2] - b) ** 2)


def and_mask(rows, size):
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in rows:
        bits = 0
        for x, p in enumerate(pixels(row)):
            if p[3] < 128:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    return mask


def icon_image(rgba, size, bits):
    rows = rows_bottom_up(rgba, size)
    if bits == 8:
        colours = palette()
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        stride = (size + 3) // 4 * 4
        xor = b"".join(bytes(nearest(colours, p) if p[3] >= 128 else 0 for p in pixels(row)).ljust(stride, b"\0")
                       for row in rows)
    else:
        table = b""
        xor = b"".join(bgra(p) for row in rows for p in pixels(row))
    mask = and_mask(rows, size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask), 0, 0,
                       256 if bits == 8 else 0, 0)
    return info + table + xor + mask


def set_96_dpi(bmp_path):
    """ImageMagick writes 96 DPI as 3779 pixels per metre; Windows writes 3780."""
    data = bytearray(bmp_path.read_bytes())
    data[38:46] = struct.pack("<ii", 3780, 3780)
    bmp_path.write_bytes(bytes(data))


def main():
    work, res = Path(sys.argv[1]), Path(sys.argv[2])
    set_96_dpi(res / "panel.bmp")
    (res / "start.bmp").write_bytes(button_bmp((work / "start.rgba").read_bytes()))
    (res / "stop.bmp").write_bytes(button_bmp((work / "stop.rgba").read_bytes()))

    images = [(size, bits, icon_image((work / f"icon{size}.rgba").read_bytes(), size, bits))
              for bits in (8, 32) for size in ICON_SIZES]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    group = struct.pack("<HHH", 0, 1, len(images))
    for index, (size, bits, data) in enumerate(images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        group += struct.pack("<BBBBHHIH", size, size, 0, 0, 1, bits, len(data), FIRST_ICON_ID + index)
        offset += len(data)
        (res / f"icon-{FIRST_ICON_ID + index}.bin").write_bytes(data)
    (res / "svcpanel.ico").write_bytes(directory + b"".join(data for _, _, data in images))
    (res / "icon-group.bin").write_bytes(group)


if __name__ == "__main__":
    main()
