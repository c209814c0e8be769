#!/usr/bin/env python3
"""Draws the tray helper's icon (.ico, 32 x 32 and 16 x 16, 32-bit with alpha): a small hut with a
lit window under a leaf-green roof, on the program's sky-blue disc.

    hovelin_art.py OUTPUT_FOLDER
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from make_art import ico, leaf  # noqa: E402


def hut(u, v):
    # The roof: a triangle from the eaves (0.16 .. 0.84 at v 0.50) up to the ridge (0.5, 0.16).
    if 0.16 <= v <= 0.52:
        half = (v - 0.16) / 0.34 * 0.36
        if abs(u - 0.5) <= half:
            return (34, 110, 70) if abs(u - 0.5) > half - 0.06 else (60, 179, 113)
    # The walls, the door and the lit window.
    if 0.24 <= u <= 0.76 and 0.50 <= v <= 0.84:
        if 0.30 <= u <= 0.44 and 0.62 <= v <= 0.84:
            return (110, 70, 40)
        if 0.54 <= u <= 0.70 and 0.58 <= v <= 0.72:
            return (255, 214, 90)
        return (214, 170, 110)
    # A leaf on the ridge.
    if leaf(u, v, 0.70, 0.16, 0.12, 0.7):
        return (46, 139, 87)
    if (u - 0.5) ** 2 + (v - 0.5) ** 2 <= 0.47 ** 2:
        return (200, 228, 250)
    return None


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / 'hovelin.ico').write_bytes(ico(hut))


if __name__ == '__main__':
    main()
