#!/usr/bin/env python3
"""Draws the program's own artwork: the icons (.ico, 32 x 32 and 16 x 16, 32-bit with alpha) and
the main window's pictures (24-bit .bmp): the nine feature-link pictures, the tool-bar strip, the
background picture and the Explorer tool-bar picture of the preview window.

Shapes are described as functions that say, for a point in the unit square, which colour covers
it; each pixel is supersampled so edges come out smooth.
"""
import math
import struct
import sys
from pathlib import Path


def mix(c, a):
    return (c[0], c[1], c[2], a)


def render(shape, size):
    rows = []
    n = 4
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    u = (x + (sx + 0.5) / n) / size
                    v = (y + (sy + 0.5) / n) / size
                    c = shape(u, v)
                    if c:
                        for i in range(3):
                            acc[i] += c[i]
                        acc[3] += 1
            cov = acc[3]
            if cov:
                row.append((int(acc[0] / cov), int(acc[1] / cov), int(acc[2] / cov),
                            int(255 * cov / (n * n))))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def dib(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('BBBB', r[2], r[1], r[0], r[3])
                      for row in reversed(rows) for r in row)
    stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = 0
        line = bytearray(stride)
        for x, r in enumerate(row):
            if r[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + pixels + mask


def ico(shape):
    images = [dib(render(shape, s)) for s in (32, 16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def leaf(u, v, cx, cy, r, angle):
    # A leaf: the intersection of two discs, turned by angle.
    x, y = u - cx, v - cy
    ca, sa = math.cos(angle), math.sin(angle)
    x, y = x * ca - y * sa, x * sa + y * ca
    d = r * 0.75
    inside = (x ** 2 + (y - d) ** 2 <= r * r) and (x ** 2 + (y + d) ** 2 <= r * r)
    vein = inside and abs(x) < 0.018
    return 'vein' if vein else inside


def app_icon(u, v):
    # The grove: three leaves on a round, sky-blue ground.
    for cx, cy, r, a, col in ((0.5, 0.40, 0.30, 1.571, (46, 139, 87)),
                              (0.32, 0.62, 0.24, 0.9, (60, 179, 113)),
                              (0.68, 0.62, 0.24, 2.24, (34, 110, 70))):
        hit = leaf(u, v, cx, cy, r, a)
        if hit == 'vein':
            return (220, 245, 220)
        if hit:
            return col
    if (u - 0.5) ** 2 + (v - 0.5) ** 2 <= 0.46 ** 2:
        return (200, 228, 250)
    return None


def folder_icon(u, v):
    hit = leaf(u, v, 0.64, 0.58, 0.20, 0.8)
    if hit == 'vein':
        return (220, 245, 220)
    if hit:
        return (46, 139, 87)
    if 0.08 <= u <= 0.45 and 0.18 <= v <= 0.30:
        return (214, 160, 40)
    if 0.06 <= u <= 0.94 and 0.26 <= v <= 0.86:
        return (240, 196, 70) if v > 0.34 else (226, 178, 54)
    return None


def fallback_icon(u, v):
    # A blank document with a folded corner.
    if 0.2 <= u <= 0.8 and 0.08 <= v <= 0.92:
        if u - 0.6 > v - 0.08:
            return None
        if u >= 0.6 and v <= 0.28:
            return (190, 190, 190)
        edge = u < 0.24 or u > 0.76 or v < 0.12 or v > 0.88
        if edge:
            return (120, 120, 120)
        if 0.3 <= u <= 0.7 and any(abs(v - y) < 0.02 for y in (0.42, 0.54, 0.66, 0.78)):
            return (160, 160, 160)
        return (252, 252, 252)
    return None


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, shape in (('fallback', fallback_icon), ('app', app_icon), ('folder', folder_icon)):
        (out / f'{name}.ico').write_bytes(ico(shape))
    import pictures
    pictures.draw_all(out)


if __name__ == '__main__':
    main()
