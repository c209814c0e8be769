#!/usr/bin/env python3
"""Draws what the folder customisation ships: the folder icons of Data\\foldericon.icl (each a
folder in its own colour with an emblem, as .ico files of 32 x 32 and 16 x 16 pixels) and the
folder backgrounds of FolderBG\\ (24-bit .bmp pictures that tile, since the shell repeats a folder's
background picture across the window).

    folder_art.py ICON_DIR PICTURE_DIR
"""
import math
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_art  # noqa: E402  (the icon writer)
import pictures  # noqa: E402  (the picture writer)


def shade(c, f):
    return tuple(max(0, min(255, int(v * f))) for v in c)


# ---- emblems, in the unit square of the folder's front -----------------------------------------

def leaf(u, v):
    return make_art.leaf(u, v, 0.5, 0.5, 0.46, 0.8)


def note(u, v):
    # A quaver: a round head and a stem with its flag.
    return (pictures.disc(u, v, 0.36, 0.72, 0.17) or pictures.box(u, v, 0.46, 0.18, 0.54, 0.72)
            or (0.54 <= u <= 0.8 and 0.18 <= v <= 0.34 - (u - 0.54) * 0.4))


def mountain(u, v):
    # A photograph: a sun over two hills.
    return (pictures.disc(u, v, 0.72, 0.3, 0.12) or v >= 0.85 - 0.5 * max(0.0, 0.3 - abs(u - 0.35))
            * 2.2 or v >= 0.85 - 0.45 * max(0.0, 0.25 - abs(u - 0.7)) * 2.2)


def heart(u, v):
    x, y = (u - 0.5) * 2.4, (0.45 - v) * 2.4
    return (x * x + y * y - 1) ** 3 - x * x * y ** 3 <= 0


def star(u, v):
    x, y = u - 0.5, v - 0.53
    r = math.hypot(x, y)
    a = math.atan2(y, x) + math.pi / 2
    edge = 0.2 + 0.22 * (0.5 + 0.5 * math.cos(a * 5))
    return r <= edge * 0.9


def gear(u, v):
    x, y = u - 0.5, v - 0.5
    r = math.hypot(x, y)
    tooth = 0.42 if math.cos(math.atan2(y, x) * 8) > 0.3 else 0.33
    return 0.13 < r <= tooth


def document(u, v):
    if not pictures.box(u, v, 0.22, 0.1, 0.78, 0.9):
        return False
    return not any(abs(v - y) < 0.035 and 0.32 <= u <= 0.68 for y in (0.32, 0.47, 0.62, 0.77))


def globe(u, v):
    x, y = u - 0.5, v - 0.5
    r = math.hypot(x, y)
    if r > 0.4:
        return False
    # Meridians and parallels cut out of the ball.
    lines = abs(y) < 0.025 or abs(abs(y) - 0.2) < 0.025 or abs(x) < 0.025
    if r > 0.02 and abs(x) > 0.01:
        lines = lines or abs(abs(x) - 0.4 * math.sqrt(max(0.0, 1 - (y / 0.4) ** 2)) * 0.55) < 0.03
    return not lines


def lock(u, v):
    body = pictures.box(u, v, 0.22, 0.45, 0.78, 0.9) and not pictures.disc(u, v, 0.5, 0.64, 0.06)
    hoop = 0.16 <= math.hypot(u - 0.5, v - 0.45) <= 0.25 and v <= 0.45
    return body or hoop


def arrow(u, v):
    # Downloads: an arrow onto a tray.
    shaft = pictures.box(u, v, 0.42, 0.12, 0.58, 0.5)
    head = 0.5 <= v <= 0.74 and abs(u - 0.5) <= (0.74 - v) * 1.1
    tray = pictures.box(u, v, 0.16, 0.8, 0.84, 0.9)
    return shaft or head or tray


# Each icon: the folder's colour, the emblem and its colour.
FOLDERS = (
    ((240, 196, 70), leaf, (46, 139, 87)),
    ((86, 150, 230), note, (255, 255, 255)),
    ((90, 180, 100), mountain, (250, 240, 200)),
    ((225, 90, 90), heart, (255, 235, 235)),
    ((150, 100, 200), star, (255, 220, 90)),
    ((150, 155, 165), gear, (70, 75, 85)),
    ((245, 150, 60), document, (255, 255, 255)),
    ((50, 170, 170), globe, (230, 250, 250)),
    ((110, 110, 120), lock, (250, 200, 60)),
    ((60, 120, 200), arrow, (255, 255, 255)),
)


def folder(colour, emblem, emblem_colour):
    back = shade(colour, 0.82)
    edge = shade(colour, 0.6)

    def shape(u, v):
        # The tab and back leaf, then the front leaf with its emblem.
        if 0.06 <= u <= 0.44 and 0.14 <= v <= 0.3:
            return back
        if not (0.04 <= u <= 0.96 and 0.24 <= v <= 0.88):
            return None
        if u < 0.07 or u > 0.93 or v > 0.85 or v < 0.27:
            return edge
        if v < 0.36:
            return back
        eu, ev = (u - 0.27) / 0.46, (v - 0.39) / 0.44
        if 0 <= eu <= 1 and 0 <= ev <= 1 and emblem(eu, ev):
            return emblem_colour
        return colour

    return shape


# ---- backgrounds: pictures that tile ------------------------------------------------------------

def paper(u, v):
    # Cream paper with faint fibres; the pattern repeats with the picture.
    f = math.sin(u * 2 * math.pi * 7 + math.sin(v * 2 * math.pi * 3) * 2)
    g = math.sin(v * 2 * math.pi * 11 + math.sin(u * 2 * math.pi * 5) * 3)
    k = 0.97 + 0.015 * f + 0.015 * g
    return shade((250, 243, 225), k)


def leaves(u, v):
    # Pale green with scattered leaves, placed so that they wrap across the edges.
    for cx, cy, r, a in ((0.2, 0.25, 0.12, 0.6), (0.7, 0.2, 0.1, 2.2), (0.45, 0.65, 0.13, 1.2),
                         (0.9, 0.75, 0.11, 2.8), (0.1, 0.85, 0.09, 0.2)):
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                hit = make_art.leaf(u, v, cx + dx, cy + dy, r, a)
                if hit == 'vein':
                    return (200, 230, 200)
                if hit:
                    return (150, 205, 150)
    return (226, 242, 222)


def sky(u, v):
    # Soft clouds over blue, each cloud a cluster of discs that wraps across the edges.
    for cx, cy in ((0.25, 0.3), (0.75, 0.7)):
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                x, y = u - cx - dx, v - cy - dy
                if any((x - ox) ** 2 + (y - oy) ** 2 <= r * r
                       for ox, oy, r in ((-0.1, 0.02, 0.08), (0.0, -0.02, 0.11), (0.1, 0.02, 0.08))):
                    return (250, 252, 255)
    return (200, 222, 245)


def waves(u, v):
    # Sea-blue bands that ripple; whole periods across the picture, so it tiles.
    w = math.sin((v * 6 + 0.15 * math.sin(u * 2 * math.pi * 2)) * 2 * math.pi)
    return (170, 210, 230) if w > 0.55 else (205, 230, 242)


BACKGROUNDS = (('Paper', paper), ('Leaves', leaves), ('Sky', sky), ('Waves', waves))


def main():
    icons, backgrounds = Path(sys.argv[1]), Path(sys.argv[2])
    icons.mkdir(parents=True, exist_ok=True)
    backgrounds.mkdir(parents=True, exist_ok=True)
    for i, (colour, emblem, emblem_colour) in enumerate(FOLDERS):
        (icons / f'folder{i:02d}.ico').write_bytes(make_art.ico(folder(colour, emblem,
                                                                        emblem_colour)))
    for name, shape in BACKGROUNDS:
        rows = pictures.render(shape, 192, 192, (255, 255, 255), n=2)
        (backgrounds / f'{name}.bmp').write_bytes(pictures.bmp(rows))


if __name__ == '__main__':
    main()
