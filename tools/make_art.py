#!/usr/bin/env python3
"""Draws the program's own artwork: the icons (.ico, 32 x 32 and 16 x 16, 32-bit with alpha), its
cursors as .cur files (32 x 32, 32-bit with alpha, with their hot spots) and the main window's
pictures (24-bit .bmp): the nine feature-link pictures, the tool-bar strip, the background
picture, the password prompt's padlock and the Explorer tool-bar picture of the preview window.

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


def cur(shape, hot_spot):
    data = dib(render(shape, 32))
    out = struct.pack('<HHH', 0, 2, 1)
    out += struct.pack('<BBBBHHII', 32, 32, 0, 0, hot_spot[0], hot_spot[1], len(data), 6 + 16)
    return out + data


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


def capsule(x, y, x0, y0, x1, y1, r):
    # A stroke of radius r from (x0, y0) to (x1, y1) with round ends.
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= r * r


def rounded_box(x, y, left, top, right, bottom, r):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + r), right - r)
    cy = min(max(y, top + r), bottom - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


# The pointing hand, in pixels of the 32 x 32 cell: the index finger up with its tip at the top,
# where the hot spot is (11, 1); three folded fingers, the palm and the thumb.
HAND_HOT_SPOT = (11, 1)


def hand_silhouette(x, y, finger, palm_bottom):
    if capsule(x, y, 11.5, 1.0 + finger, 11.5, 18.0, finger):
        return True
    for cx, top in ((11.5 + 2 * finger, 12.0), (11.5 + 4 * finger, 13.0),
                    (11.5 + 6 * finger - 0.4, 14.5)):
        if capsule(x, y, cx, top + finger, cx, 19.0, finger):
            return True
    right = 11.5 + 7 * finger - 0.4
    if rounded_box(x, y, 7.0, 16.0, right, palm_bottom, 3.0):
        return True
    return capsule(x, y, 9.0, 22.0, 4.5, 16.5, finger - 0.1)


def hand(fill, line, finger, palm_bottom, cuff=None):
    d = 1.2

    def inside(x, y):
        return hand_silhouette(x, y, finger, palm_bottom)

    def shape(u, v):
        x, y = u * 32, v * 32
        if cuff and 8.0 <= x <= 11.5 + 7 * finger - 1.4 and palm_bottom - 1 <= y <= palm_bottom + 5:
            edge = y > palm_bottom + 5 - d or x < 8.0 + d or x > 11.5 + 7 * finger - 1.4 - d \
                or y < palm_bottom - 1 + d
            return line if edge else cuff
        if not inside(x, y):
            return None
        solid = all(inside(x + a, y + b) for a, b in ((d, 0), (-d, 0), (0, d), (0, -d)))
        return fill if solid else line

    return shape


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, shape in (('fallback', fallback_icon), ('app', app_icon), ('folder', folder_icon)):
        (out / f'{name}.ico').write_bytes(ico(shape))
    # The web link's hand is the classic white one; the feature links' is slimmer, warmer, with a
    # shirt cuff.
    (out / 'urlhand.cur').write_bytes(
        cur(hand((255, 255, 255), (0, 0, 0), 2.5, 28.0), HAND_HOT_SPOT))
    (out / 'urlhand2.cur').write_bytes(
        cur(hand((255, 236, 205), (70, 45, 20), 2.2, 25.0, cuff=(60, 110, 200)), HAND_HOT_SPOT))
    import pictures
    pictures.draw_all(out)


if __name__ == '__main__':
    main()
