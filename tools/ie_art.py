#!/usr/bin/env python3
"""Draws the Explorer look's samples into a program folder: tool-bar backgrounds in IEBG\\ (tiles
that repeat without a seam) and animated logo strips in IELogo_L\\ (38 x 38 frames) and
IELogo_S\\ (22 x 22 frames). A logo strip is one column of square frames: the first is shown
while the browser rests, the others play in turn while it loads.

Usage: ie_art.py <program folder>
"""
import math
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from pictures import bmp  # noqa: E402


def tile(w, h, colour):
    return [[colour(x / w, y / h) for x in range(w)] for y in range(h)]


def clamp(v):
    return max(0, min(255, int(v)))


def dunes(u, v):
    # Sand ridges: a sine in both directions over whole periods, so the edges meet.
    t = 0.5 + 0.25 * math.sin(2 * math.pi * (u * 2 + v)) + 0.25 * math.sin(2 * math.pi * v * 3)
    return (clamp(214 + 30 * t), clamp(190 + 28 * t), clamp(140 + 20 * t))


def slate(u, v):
    t = 0.5 + 0.5 * math.sin(2 * math.pi * (u * 3)) * math.sin(2 * math.pi * (v * 2))
    return (clamp(96 + 40 * t), clamp(110 + 40 * t), clamp(130 + 44 * t))


def meadow(u, v):
    blade = abs(math.sin(2 * math.pi * (u * 16 + 0.3 * math.sin(2 * math.pi * v))))
    return (clamp(70 + 60 * blade), clamp(150 + 70 * blade), clamp(60 + 30 * blade))


def logo_frame(size, phase):
    """A four-leaf sprig turned by phase (0..1) on white, supersampled."""
    rows = []
    n = 3
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    u = (x + (sx + 0.5) / n) / size - 0.5
                    v = (y + (sy + 0.5) / n) / size - 0.5
                    c = (255, 255, 255)
                    r = math.hypot(u, v)
                    a = math.atan2(v, u) - 2 * math.pi * phase
                    petal = 0.42 * abs(math.cos(2 * a))
                    if r < petal:
                        c = (40, 140 + int(80 * r / 0.42), 70)
                    if r < 0.08:
                        c = (240, 200, 40)
                    for i in range(3):
                        acc[i] += c[i]
            row.append(tuple(v // (n * n) for v in acc))
        rows.append(row)
    return rows


def strip(size, frames):
    rows = []
    for f in range(frames):
        rows += logo_frame(size, f / frames / 4)
    return rows


def main(out):
    out = Path(out)
    for folder in ('IEBG', 'IELogo_L', 'IELogo_S'):
        (out / folder).mkdir(parents=True, exist_ok=True)
    (out / 'IEBG' / 'Dunes.bmp').write_bytes(bmp(tile(192, 96, dunes)))
    (out / 'IEBG' / 'Slate.bmp').write_bytes(bmp(tile(120, 80, slate)))
    (out / 'IEBG' / 'Meadow.bmp').write_bytes(bmp(tile(64, 48, meadow)))
    (out / 'IELogo_L' / 'Sprig.bmp').write_bytes(bmp(strip(38, 10)))
    (out / 'IELogo_S' / 'Sprig.bmp').write_bytes(bmp(strip(22, 10)))


if __name__ == '__main__':
    main(sys.argv[1])
