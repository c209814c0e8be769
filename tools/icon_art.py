#!/usr/bin/env python3
"""Draws the icon feature's artwork: the two sample icon packages shipped in IconThemes\\ (an
icon for every key of a package file, in the colours of each package, with the package file
itself), the shortcut overlays of Data\\Shortcut.icl, and the pictures of the icon forms (the
My Computer picture and the two pop-up menu images).

    icon_art.py OUT

writes into OUT: mycomputer.ico, iconmenu.bmp (32 x 16 over the key colour), shortcut/*.ico with
shortcut.rc, and per package <Name>/*.ico, <Name>/<Name>.rc and <Name>/<Name>.iptheme. The .rc
files number the icons from 1 in the order a package file's indexes count them, so each builds a
resource-only icon collection (.icl) the system's icon extraction reads.
"""
import math
import sys
from multiprocessing import Pool
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_art  # noqa: E402  (render, dib)
import pictures  # noqa: E402  (bmp, render)

# ---- primitives: each answers, for a point of the unit square, whether it is inside ---------


def box(u, v, l, t, r, b):
    return l <= u <= r and t <= v <= b


def disc(u, v, cx, cy, r):
    return (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def ring(u, v, cx, cy, r_out, r_in):
    d = (u - cx) ** 2 + (v - cy) ** 2
    return r_in * r_in <= d <= r_out * r_out


def rbox(u, v, l, t, r, b, rad):
    if not box(u, v, l, t, r, b):
        return False
    cx = min(max(u, l + rad), r - rad)
    cy = min(max(v, t + rad), b - rad)
    return (u - cx) ** 2 + (v - cy) ** 2 <= rad * rad


def capsule(u, v, x0, y0, x1, y1, r):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((u - x0) * dx + (v - y0) * dy) / (dx * dx + dy * dy)))
    return (u - x0 - t * dx) ** 2 + (v - y0 - t * dy) ** 2 <= r * r


def polygon(u, v, points):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > v) != (yj > v) and u < (xj - xi) * (v - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def framed(u, v, l, t, r, b, fill, edge, w=0.045, rad=0.0):
    """A box filled with fill inside an edge of width w; None outside."""
    if not (rbox(u, v, l, t, r, b, rad) if rad else box(u, v, l, t, r, b)):
        return None
    inner = rbox(u, v, l + w, t + w, r - w, b - w, max(rad - w, 0.001)) if rad else \
        box(u, v, l + w, t + w, r - w, b - w)
    return fill if inner else edge


def shade(c, f):
    return tuple(max(0, min(255, int(x * f))) for x in c)


def sub(shape, l, t, size):
    """shape drawn into the square at (l, t) of the given size."""
    def inner(u, v, P):
        x, y = (u - l) / size, (v - t) / size
        if 0 <= x <= 1 and 0 <= y <= 1:
            return shape(x, y, P)
        return None
    return inner


def layers(*shapes):
    """The first shape that covers a point wins."""
    def inner(u, v, P):
        for s in shapes:
            c = s(u, v, P)
            if c is not None:
                return c
        return None
    return inner


# ---- the glyphs, in a package's colours P -------------------------------------------------

def monitor(u, v, P):
    c = framed(u, v, 0.08, 0.1, 0.92, 0.7, None, P['dark'], 0.06, 0.05)
    if c:
        return c
    if box(u, v, 0.13, 0.15, 0.87, 0.65):
        # The screen: a soft slope of the main colour, a hill of the second.
        if v > 0.52 - 0.1 * math.sin(u * 4):
            return P['main']
        return shade(P['accent'], 0.8 + 0.5 * v)
    if box(u, v, 0.42, 0.7, 0.58, 0.8):
        return shade(P['dark'], 1.4)
    if rbox(u, v, 0.26, 0.79, 0.74, 0.9, 0.03):
        return P['dark']
    return None


def folder_shape(open_=False):
    def shape(u, v, P):
        if open_ and polygon(u, v, [(0.2, 0.44), (0.98, 0.44), (0.86, 0.86), (0.06, 0.86)]):
            edge = v > 0.82 or v < 0.48
            return shade(P['second'], 0.8) if edge else shade(P['second'], 1.12)
        c = framed(u, v, 0.06, 0.26, 0.94, 0.86, P['second'], shade(P['second'], 0.7), 0.04,
                   0.03)
        if c:
            return c
        if rbox(u, v, 0.08, 0.17, 0.46, 0.3, 0.03):
            return shade(P['second'], 0.82)
        return None
    return shape


def with_badge(base, badge, l=0.42, t=0.42, size=0.56):
    return layers(sub(badge, l, t, size), base)


def globe(u, v, P):
    if not disc(u, v, 0.5, 0.5, 0.42):
        return None
    if not disc(u, v, 0.5, 0.5, 0.38):
        return shade(P['accent'], 0.6)
    x, y = u - 0.5, v - 0.5
    if abs(x) < 0.02 or abs(y) < 0.02 or ring(u, v, 0.5, 0.5, 0.2, 0.17) and abs(x) < 0.2:
        return shade(P['accent'], 0.7)
    land = (x + 0.1) ** 2 + (y + 0.12) ** 2 < 0.03 or (x - 0.15) ** 2 + (y - 0.15) ** 2 < 0.02
    return P['main'] if land else P['accent']


def bin_shape(full):
    def shape(u, v, P):
        if full and (disc(u, v, 0.38, 0.2, 0.11) or disc(u, v, 0.58, 0.16, 0.1) or
                     disc(u, v, 0.5, 0.27, 0.1)):
            return P['paper'] if not disc(u, v, 0.5, 0.22, 0.03) else shade(P['paper'], 0.8)
        if rbox(u, v, 0.18, 0.26, 0.82, 0.34, 0.02):
            return shade(P['main'], 0.7)
        w = 0.3 - (v - 0.34) * 0.12
        if 0.34 <= v <= 0.9 and abs(u - 0.5) <= w:
            if abs(u - 0.5) > w - 0.04 or v > 0.86:
                return shade(P['main'], 0.6)
            rib = any(abs(u - x) < 0.02 for x in (0.38, 0.5, 0.62))
            return shade(P['main'], 0.8) if rib else P['main']
        return None
    return shape


def envelope(u, v, P):
    c = framed(u, v, 0.08, 0.24, 0.92, 0.76, P['paper'], P['dark'], 0.035)
    if c is None:
        return None
    if c == P['paper'] and (abs(v - 0.24 - (u - 0.08) * 0.6) < 0.03 or
                            abs(v - 0.24 - (0.92 - u) * 0.6) < 0.03):
        return shade(P['second'], 0.8)
    return c


def magnifier(u, v, P):
    if capsule(u, v, 0.62, 0.62, 0.88, 0.88, 0.075):
        return shade(P['second'], 0.7)
    if ring(u, v, 0.42, 0.42, 0.3, 0.23):
        return P['dark']
    if disc(u, v, 0.42, 0.42, 0.23):
        return (255, 255, 255) if disc(u, v, 0.34, 0.34, 0.06) else shade(P['accent'], 1.25)
    return None


def lifebuoy(u, v, P):
    if not ring(u, v, 0.44, 0.5, 0.44, 0.18):
        return None
    if not ring(u, v, 0.5, 0.5, 0.4, 0.22):
        return shade(P['warn'], 0.6)
    a = math.atan2(v - 0.5, u - 0.5) + math.pi / 4
    band = int((a + math.pi) / (math.pi / 2)) % 2
    return P['warn'] if band else P['light']


def run_shape(u, v, P):
    c = framed(u, v, 0.08, 0.14, 0.92, 0.86, P['paper'], P['dark'], 0.04)
    if c is None:
        return None
    if box(u, v, 0.12, 0.18, 0.88, 0.28):
        return P['accent']
    if polygon(u, v, [(0.3, 0.4), (0.56, 0.4), (0.56, 0.32), (0.76, 0.55), (0.56, 0.78),
                      (0.56, 0.7), (0.3, 0.7)]):
        return P['main']
    return c


def photo(u, v, P):
    c = framed(u, v, 0.05, 0.12, 0.95, 0.88, None, P['paper'], 0.07)
    if c:
        return c
    if not box(u, v, 0.05, 0.12, 0.95, 0.88):
        return None
    if disc(u, v, 0.7, 0.33, 0.1):
        return P['second']
    if v > 0.88 - (0.5 - abs(u - 0.4)) * 0.9:
        return P['main']
    return shade(P['accent'], 1.2)


def note(u, v, P):
    if disc(u, v, 0.34, 0.76, 0.15) or box(u, v, 0.42, 0.14, 0.5, 0.76):
        return P['dark']
    if polygon(u, v, [(0.46, 0.12), (0.82, 0.28), (0.82, 0.42), (0.46, 0.28)]):
        return P['warn']
    return None


def sliders(u, v, P):
    c = framed(u, v, 0.08, 0.1, 0.92, 0.9, P['light'], P['dark'], 0.04, 0.04)
    if c is None:
        return None
    for x, k in ((0.3, 0.35), (0.5, 0.65), (0.7, 0.45)):
        if rbox(u, v, x - 0.07, k - 0.05, x + 0.07, k + 0.05, 0.02):
            return P['main']
        if abs(u - x) < 0.015 and 0.2 < v < 0.8:
            return P['dark']
    return c


def wrench(u, v, P):
    if capsule(u, v, 0.25, 0.75, 0.62, 0.38, 0.075):
        return shade(P['dark'], 1.6)
    if ring(u, v, 0.7, 0.3, 0.2, 0.09) and not polygon(
            u, v, [(0.7, 0.3), (0.95, 0.2), (0.95, 0.05), (0.8, 0.05)]):
        return shade(P['dark'], 1.6)
    return None


def letter_a(u, v, P):
    if capsule(u, v, 0.22, 0.86, 0.5, 0.14, 0.07) or capsule(u, v, 0.5, 0.14, 0.78, 0.86, 0.07) \
            or box(u, v, 0.33, 0.56, 0.67, 0.64):
        return P['main']
    return None


def bolt(u, v, P):
    if polygon(u, v, [(0.56, 0.04), (0.24, 0.54), (0.46, 0.54), (0.36, 0.96), (0.76, 0.4),
                      (0.54, 0.4), (0.68, 0.04)]):
        return P['second']
    return None


def printer(u, v, P):
    c = framed(u, v, 0.28, 0.08, 0.72, 0.42, P['paper'], shade(P['paper'], 0.6), 0.03)
    if c:
        return c
    c = framed(u, v, 0.06, 0.38, 0.94, 0.76, P['light'], P['dark'], 0.045, 0.05)
    if c:
        return P['main'] if disc(u, v, 0.8, 0.5, 0.04) else c
    if box(u, v, 0.22, 0.76, 0.78, 0.9):
        return P['paper'] if abs(v - 0.83) > 0.015 else shade(P['dark'], 1.5)
    return None


def camera(u, v, P):
    if ring(u, v, 0.5, 0.56, 0.22, 0.14):
        return P['dark']
    if disc(u, v, 0.5, 0.56, 0.14):
        return shade(P['accent'], 1.2)
    c = framed(u, v, 0.06, 0.3, 0.94, 0.84, P['main'], shade(P['main'], 0.6), 0.04, 0.06)
    if c:
        return c
    if box(u, v, 0.32, 0.2, 0.6, 0.3):
        return shade(P['main'], 0.6)
    return None


def clock(u, v, P):
    if not disc(u, v, 0.5, 0.5, 0.42):
        return None
    if not disc(u, v, 0.5, 0.5, 0.36):
        return P['main']
    if capsule(u, v, 0.5, 0.5, 0.5, 0.22, 0.03) or capsule(u, v, 0.5, 0.5, 0.7, 0.58, 0.03):
        return P['dark']
    return P['paper']


def gear(u, v, P):
    x, y = u - 0.5, v - 0.5
    r = math.hypot(x, y)
    a = math.atan2(y, x)
    outer = 0.34 + (0.08 if math.cos(8 * a) > 0 else 0)
    if r > outer or r < 0.12:
        return None
    return shade(P['dark'], 1.8) if r > 0.3 else shade(P['dark'], 2.2)


def star(u, v, P):
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 0.45 if i % 2 == 0 else 0.19
        pts.append((0.5 + r * math.cos(a), 0.53 + r * math.sin(a)))
    if polygon(u, v, pts):
        return P['warn']
    return None


def floppy(big):
    def shape(u, v, P):
        c = framed(u, v, 0.1, 0.1, 0.9, 0.9, P['main'] if big else P['dark'],
                   shade(P['dark'], 0.6), 0.04, 0.03)
        if c is None:
            return None
        if big:
            if ring(u, v, 0.5, 0.58, 0.13, 0.06):
                return P['paper']
            if box(u, v, 0.46, 0.74, 0.54, 0.86):
                return P['dark']
            if box(u, v, 0.2, 0.16, 0.8, 0.36):
                return P['paper']
            return c
        if box(u, v, 0.3, 0.1, 0.7, 0.36):
            return (200, 200, 205) if not box(u, v, 0.54, 0.14, 0.62, 0.32) else P['dark']
        if box(u, v, 0.2, 0.5, 0.8, 0.86):
            return P['paper'] if abs(v - 0.62) > 0.012 else P['accent']
        return c
    return shape


def drive(u, v, P):
    c = framed(u, v, 0.06, 0.34, 0.94, 0.72, (205, 205, 210), (90, 90, 96), 0.04, 0.04)
    if c is None:
        return None
    if disc(u, v, 0.8, 0.6, 0.045):
        return P['main']
    if abs(v - 0.46) < 0.015 and 0.12 < u < 0.88:
        return (150, 150, 156)
    return c


def drive_with(badge):
    return with_badge(drive, badge, 0.5, 0.02, 0.46)


def cable(u, v, P):
    # The drive's line to the network, below it.
    if capsule(u, v, 0.5, 0.7, 0.5, 0.88, 0.04) or capsule(u, v, 0.12, 0.88, 0.88, 0.88, 0.04):
        return P['accent']
    return None


def cross(u, v, P):
    if capsule(u, v, 0.2, 0.2, 0.8, 0.8, 0.12) or capsule(u, v, 0.8, 0.2, 0.2, 0.8, 0.12):
        return P['warn']
    return None


def up_arrow(u, v, P):
    if polygon(u, v, [(0.5, 0.08), (0.9, 0.5), (0.64, 0.5), (0.64, 0.92), (0.36, 0.92),
                      (0.36, 0.5), (0.1, 0.5)]):
        return P['main']
    return None


def cd(u, v, P):
    if not ring(u, v, 0.5, 0.5, 0.44, 0.08):
        return None
    if not ring(u, v, 0.5, 0.5, 0.41, 0.16):
        return (170, 170, 178)
    a = math.atan2(v - 0.5, u - 0.5)
    t = (math.sin(a * 2) + 1) / 2
    return tuple(int(P['light'][i] * (1 - t) + P['accent'][i] * t) for i in range(3))


def chip(u, v, P):
    if box(u, v, 0.22, 0.22, 0.78, 0.78):
        return P['dark'] if not disc(u, v, 0.32, 0.32, 0.04) else P['light']
    for k in (0.3, 0.43, 0.57, 0.7):
        if abs(u - k) < 0.035 and (0.1 < v < 0.22 or 0.78 < v < 0.9):
            return (200, 200, 205)
        if abs(v - k) < 0.035 and (0.1 < u < 0.22 or 0.78 < u < 0.9):
            return (200, 200, 205)
    return None


def overlay_arrow(u, v, P):
    # The shortcut arrow in the bottom-left corner; the rest stays clear.
    if not box(u, v, 0.0, 0.62, 0.38, 1.0):
        return None
    x, y = u / 0.38, (v - 0.62) / 0.38
    c = framed(x, y, 0.0, 0.0, 1.0, 1.0, P['paper'], P['dark'], 0.1)
    if capsule(x, y, 0.28, 0.8, 0.6, 0.4, 0.09) or polygon(
            x, y, [(0.4, 0.3), (0.78, 0.22), (0.72, 0.6)]):
        return P['main']
    return c


def sharing(u, v, P):
    if box(u, v, 0.0, 0.74, 1.0, 1.0) and v > 0.74 + (0.5 - abs(u - 0.5)) * 0.1:
        return shade(P['second'], 0.9) if abs(v - 0.9) > 0.02 else shade(P['second'], 0.6)
    return None


def window(dos):
    def shape(u, v, P):
        c = framed(u, v, 0.06, 0.12, 0.94, 0.88, P['dark'] if dos else P['paper'],
                   shade(P['dark'], 0.8), 0.035)
        if c is None:
            return None
        if box(u, v, 0.06, 0.12, 0.94, 0.26):
            return P['accent']
        if dos and (capsule(u, v, 0.2, 0.4, 0.32, 0.5, 0.025) or
                    capsule(u, v, 0.32, 0.5, 0.2, 0.6, 0.025) or box(u, v, 0.38, 0.58, 0.56, 0.62)):
            return (230, 230, 230)
        return c
    return shape


def desktop(u, v, P):
    return layers(sub(lambda x, y, Q: (shade(Q['second'], 1.1) if box(x, y, 0.2, 0.25, 0.36, 0.4)
                                       else None), 0, 0, 1), monitor)(u, v, P)


def workgroup(u, v, P):
    return layers(sub(monitor, 0.0, 0.0, 0.5), sub(monitor, 0.5, 0.0, 0.5),
                  sub(monitor, 0.25, 0.48, 0.52))(u, v, P)


def network(u, v, P):
    if capsule(u, v, 0.25, 0.5, 0.75, 0.5, 0.025):
        return P['dark']
    return layers(sub(monitor, 0.0, 0.05, 0.52), sub(monitor, 0.48, 0.43, 0.52))(u, v, P)


def film(u, v, P):
    if not box(u, v, 0.12, 0.1, 0.88, 0.9):
        return None
    if (u < 0.24 or u > 0.76) and int(v * 10) % 2 == 0 and 0.14 < v < 0.86:
        return P['paper']
    if 0.28 < u < 0.72 and (0.16 < v < 0.46 or 0.54 < v < 0.84):
        return shade(P['accent'], 1.2)
    return P['dark']


def wave(u, v, P):
    if abs(v - 0.5 - 0.3 * math.sin(u * 2 * math.pi * 1.5) * (1 - abs(u - 0.5))) < 0.06:
        return P['main']
    return None


def zipper(u, v, P):
    if not box(u, v, 0.3, 0.0, 0.7, 1.0):
        return None
    if abs(u - 0.5) < 0.06 and int(v * 12) % 2 == 0:
        return (200, 200, 205)
    if box(u, v, 0.38, 0.62, 0.62, 0.86):
        return (160, 160, 168)
    return P['second']


def page(badge=None, lines=True, tint=None):
    def shape(u, v, P):
        if badge:
            c = sub(badge, 0.38, 0.44, 0.58)(u, v, P)
            if c is not None:
                return c
        if not box(u, v, 0.16, 0.05, 0.78, 0.95) or u - 0.58 > v - 0.05:
            return None
        if u >= 0.58 and v <= 0.25:
            return shade(P['paper'], 0.78)
        edge = u < 0.2 or u > 0.74 or v < 0.09 or v > 0.91 or abs(u - 0.58 - (v - 0.05)) < 0.03
        if edge:
            return shade(P['dark'], 1.3)
        if lines and 0.26 <= u <= 0.66 and any(abs(v - y) < 0.018 for y in (0.36, 0.48, 0.6, 0.72)):
            return tint or shade(P['dark'], 2.2)
        return P['paper']
    return shape


# Every key of a package file (section, key) and its picture; the index in the icon collection
# is the position here.
GLYPHS = [
    ('Desktop Icons', 'My Documents', with_badge(folder_shape(), page(lines=True))),
    ('Desktop Icons', 'My Computer', monitor),
    ('Desktop Icons', 'Network Neighborhood', network),
    ('Desktop Icons', 'The Internet', globe),
    ('Desktop Icons', 'Recycle Bin (empty)', bin_shape(False)),
    ('Desktop Icons', 'Recycle Bin (full)', bin_shape(True)),
    ('Start Icons', 'Internet', globe),
    ('Start Icons', 'E-mail', envelope),
    ('Start Icons', 'Find', magnifier),
    ('Start Icons', 'Help', lifebuoy),
    ('Start Icons', 'Run', run_shape),
    ('Folder Icons', 'Closed Folder', folder_shape()),
    ('Folder Icons', 'Open Folder', folder_shape(True)),
    ('Folder Icons', 'Program Group', with_badge(folder_shape(), window(False))),
    ('Folder Icons', 'My Pictures', with_badge(folder_shape(), photo)),
    ('Folder Icons', 'My Music', with_badge(folder_shape(), note)),
    ('Folder Icons', 'Control Panel', sliders),
    ('Folder Icons', 'Administrative Tools', with_badge(folder_shape(), wrench)),
    ('Folder Icons', 'Fonts', with_badge(folder_shape(), letter_a)),
    ('Folder Icons', 'Dial-Up Networking', with_badge(monitor, bolt, 0.5, 0.0, 0.5)),
    ('Folder Icons', 'Printers', printer),
    ('Folder Icons', 'Scanners && Cameras', camera),
    ('Folder Icons', 'Scheduled Tasks', with_badge(folder_shape(), clock)),
    ('Folder Icons', 'Web Folders', with_badge(folder_shape(), globe)),
    ('Folder Icons', 'ActiveX Cache', with_badge(folder_shape(), gear)),
    ('Folder Icons', 'Favorites', with_badge(folder_shape(), star)),
    ('Folder Icons', 'Url History', with_badge(folder_shape(), lifebuoy)),
    ('Folder Icons', 'Subscriptions', with_badge(folder_shape(), envelope)),
    ('Drive Icons', 'Floppy Drive (5.25)', floppy(True)),
    ('Drive Icons', 'Floppy Drive (3.5)', floppy(False)),
    ('Drive Icons', 'Hard Drive', drive),
    ('Drive Icons', 'Network Drive (connected)', layers(cable, drive)),
    ('Drive Icons', 'Network Drive (offline)', drive_with(cross)),
    ('Drive Icons', 'CD-ROM Drive', cd),
    ('Drive Icons', 'Removable Drive', drive_with(up_arrow)),
    ('Drive Icons', 'RAM Drive', chip),
    ('Other Icons', 'Shortcut Overlay', overlay_arrow),
    ('Other Icons', 'Sharing Overlay', sharing),
    ('Other Icons', 'Desktop', desktop),
    ('Other Icons', 'Entire Network', with_badge(globe, network, 0.44, 0.44, 0.56)),
    ('Other Icons', 'Network Service', with_badge(monitor, gear, 0.5, 0.42, 0.5)),
    ('Other Icons', 'Workgroup', workgroup),
    ('Other Icons', 'Computer', with_badge(monitor, drive, 0.4, 0.55, 0.6)),
    ('Other Icons', 'Audio CD', with_badge(cd, note, 0.5, 0.45, 0.5)),
    ('File Icons', 'Bitmap Image', page(photo, lines=False)),
    ('File Icons', 'Configuration Settings', page(gear)),
    ('File Icons', 'Default Icon', window(False)),
    ('File Icons', 'Default Document', page(lines=False)),
    ('File Icons', 'GIF Image', page(star, lines=False)),
    ('File Icons', 'Internet Document', page(globe)),
    ('File Icons', 'JPEG Image', page(photo)),
    ('File Icons', 'Media Clip', page(film)),
    ('File Icons', 'MIDI Sequence', page(note)),
    ('File Icons', 'Movie Clip', film),
    ('File Icons', 'MS-DOS Application', window(True)),
    ('File Icons', 'MS-DOS Batch File', page(window(True))),
    ('File Icons', 'Rich Text Format', page(letter_a)),
    ('File Icons', 'Text Document', page()),
    ('File Icons', 'Video Clip', page(film, lines=False)),
    ('File Icons', 'Wave Sound', page(wave)),
    ('File Icons', 'Write Document', page(lines=True, tint=(90, 110, 200))),
    ('File Icons', 'Zip File', page(zipper, lines=False)),
]

# The two packages: their folder and file name, author and colours.
PACKAGES = {
    'Meadow': dict(author='Lumagrove (Meadow, drawn by our own art tool)', colours=dict(
        main=(64, 160, 96), second=(236, 190, 66), accent=(72, 146, 214), dark=(36, 64, 48),
        light=(232, 244, 228), paper=(252, 252, 246), warn=(216, 84, 60))),
    'Dusk': dict(author='Lumagrove (Dusk, drawn by our own art tool)', colours=dict(
        main=(128, 84, 178), second=(242, 142, 64), accent=(56, 172, 190), dark=(46, 32, 66),
        light=(240, 232, 250), paper=(250, 247, 252), warn=(210, 60, 90))),
}

# The overlays of Data\Shortcut.icl.
OVERLAY_COLOURS = [
    dict(main=(40, 96, 200), paper=(255, 255, 255), dark=(30, 30, 40)),
    dict(main=(40, 150, 70), paper=(255, 255, 255), dark=(30, 60, 30)),
    dict(main=(220, 110, 30), paper=(255, 248, 230), dark=(90, 50, 20)),
    dict(main=(255, 255, 255), paper=(50, 50, 60), dark=(20, 20, 24)),
]


def ico(shape, P, sizes=(32, 16)):
    """A multi-size .ico of shape in the colours P (32-bit with alpha)."""
    import struct
    images = [make_art.dib(make_art.render(lambda u, v: shape(u, v, P), s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def package_icon(job):
    name, index = job
    _, _, shape = GLYPHS[index]
    return name, index, ico(shape, PACKAGES[name]['colours'])


def rc_text(files):
    lines = ['// Drawn by tools/icon_art.py: a resource-only icon collection.']
    lines += [f'{i + 1} ICON "{f}"' for i, f in enumerate(files)]
    return '\n'.join(lines) + '\n'


def menu_strip():
    """ImageListpop's two images over the key colour: 0 restore (a turning arrow), 1 change (a
    pencil)."""
    def restore(u, v):
        a = math.atan2(v - 0.5, u - 0.5)
        if ring(u, v, 0.5, 0.52, 0.36, 0.22) and not (-2.0 < a < -0.9):
            return (40, 130, 60)
        if polygon(u, v, [(0.12, 0.12), (0.5, 0.14), (0.28, 0.45)]):
            return (40, 130, 60)
        return None

    def change(u, v):
        if capsule(u, v, 0.28, 0.72, 0.8, 0.2, 0.11):
            return (236, 190, 66) if not capsule(u, v, 0.7, 0.3, 0.82, 0.18, 0.12) else (210, 90, 90)
        if polygon(u, v, [(0.1, 0.9), (0.16, 0.64), (0.36, 0.84)]):
            return (60, 50, 40)
        return None

    rows = [[] for _ in range(16)]
    for shape in (restore, change):
        image = pictures.render(shape, 16, 16, pictures.KEY, n=3, edge=pictures.FACE)
        for y in range(16):
            rows[y] += image[y]
    return pictures.bmp(rows)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    meadow = PACKAGES['Meadow']['colours']
    (out / 'mycomputer.ico').write_bytes(ico(monitor, meadow, (48, 32, 16)))
    (out / 'iconmenu.bmp').write_bytes(menu_strip())

    jobs = [(name, i) for name in PACKAGES for i in range(len(GLYPHS))]
    with Pool() as pool:
        drawn = pool.map(package_icon, jobs)
    for name, package in PACKAGES.items():
        folder = out / name
        folder.mkdir(exist_ok=True)
        files = []
        for pname, index, data in drawn:
            if pname == name:
                file = f'{index:02d}.ico'
                (folder / file).write_bytes(data)
                files.append(file)
        (folder / f'{name}.rc').write_text(rc_text(files))
        lines = ['; An icon package drawn by Lumagrove\'s own art tool.',
                 '[Package Info]', f'Author={package["author"]}']
        section = None
        for index, (sec, key, _) in enumerate(GLYPHS):
            if sec != section:
                lines += ['', f'[{sec}]']
                section = sec
            lines.append(f'{key}=%ThemeDir%{name}.icl,{index}')
        (folder / f'{name}.iptheme').write_text('\r\n'.join(lines) + '\r\n')

    shortcut = out / 'shortcut'
    shortcut.mkdir(exist_ok=True)
    files = []
    for i, colours in enumerate(OVERLAY_COLOURS):
        (shortcut / f'overlay{i}.ico').write_bytes(ico(overlay_arrow, colours))
        files.append(f'overlay{i}.ico')
    (shortcut / 'shortcut.rc').write_text(rc_text(files))


if __name__ == '__main__':
    main()
