#!/usr/bin/env python3
"""Draws the artwork of the cursor and logon features:

  roles/<ROLE>.bmp     the fourteen cursor-role pictures of the cursor form's previews, 32 x 32,
                       one bit per pixel: the shape's outline in black on white
  Grove/*.cur          the sample cursor package "Grove": every role as a 32 x 32 cursor with
                       alpha and its hot spot, and the busy pointer as an animated cursor
  Grove/busy.ani       (RIFF "ACON": eight frames of a ring of berries, one ripe in turn)
  nopreview.bmp        what the logon form shows for a logon screen without a picture
  logon_preview.bmp    the picture of the sample logon screen "Grove"

Usage: cursor_art.py OUT_DIR
"""
import math
import struct
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_art  # noqa: E402  (the icon and cursor writers)
import pictures  # noqa: E402  (the picture writer and its small font)

FILL = (86, 170, 102)  # leaf green
LINE = (18, 58, 30)  # the dark outline
RIPE = (150, 230, 70)  # the busy pointer's lit berry, and the colour its trail fades to
PALE = (196, 212, 198)
EDGE = 1.3  # outline width in pixels of the 32 x 32 cell


# ---- shapes in pixel coordinates of the 32 x 32 cell ------------------------------------------

def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def union(*parts):
    return lambda x, y: any(p(x, y) for p in parts)


def minus(part, hole):
    return lambda x, y: part(x, y) and not hole(x, y)


def rotated(part, angle, cx=16.0, cy=16.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        return part(cx + dx * ca + dy * sa, cy - dx * sa + dy * ca)
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def bar(x0, y0, x1, y1, r):
    return lambda x, y: make_art.capsule(x, y, x0, y0, x1, y1, r)


def rect(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


ARROW = polygon([(1, 1), (1, 23.5), (6.2, 18.6), (10, 27.5), (13.6, 26), (9.9, 17.3),
                 (16.8, 17.3)])


def double_arrow(angle, half=13.5):
    # Along the x axis through the centre, turned by angle: a shaft and two heads.
    head = 6.0

    def along(x, y):
        dx, dy = abs(x - 16), abs(y - 16)
        if dx <= half - head:
            return dy <= 1.6
        return dx <= half and dy <= (half - dx) * 0.95
    return rotated(along, angle)


def question_mark(ox, oy, s):
    hook = lambda x, y: (ring(ox, oy, 2.2 * s, 3.6 * s)(x, y)
                         and not (x < ox - 0.5 * s and y > oy - 0.5 * s))
    return union(hook, bar(ox + 1.5 * s, oy + 2.5 * s, ox, oy + 4.2 * s, 1.0 * s),
                 bar(ox, oy + 4.2 * s, ox, oy + 5.6 * s, 1.0 * s),
                 disc(ox, oy + 8.2 * s, 1.2 * s))


def berry_ring():
    # Eight berries round the centre, the first at the top, going clockwise.
    return [disc(16 + 10.5 * math.sin(k * math.pi / 4), 16 - 10.5 * math.cos(k * math.pi / 4),
                 3.6) for k in range(8)]


HOURGLASS = union(polygon([(7, 3), (25, 3), (25, 6), (18, 15), (18, 17), (25, 26), (25, 29),
                           (7, 29), (7, 26), (14, 17), (14, 15), (7, 6)]))


SHAPES = {
    'Arrow': (ARROW, (1, 1)),
    'Help': (union(ARROW, question_mark(23, 6, 1.0)), (1, 1)),
    'AppStarting': (union(ARROW, ring(24, 24, 3.2, 6.8)), (1, 1)),
    'Crosshair': (union(rect(15, 1, 17, 12), rect(15, 20, 17, 31), rect(1, 15, 12, 17),
                        rect(20, 15, 31, 17)), (16, 16)),
    'IBeam': (union(rect(15, 6, 17, 26), rect(11, 4, 15, 6.5), rect(17, 4, 21, 6.5),
                    rect(11, 25.5, 15, 28), rect(17, 25.5, 21, 28)), (16, 16)),
    'No': (union(ring(16, 16, 8.5, 13), rotated(rect(4, 14.2, 28, 17.8), -math.pi / 4)),
           (16, 16)),
    'NWPen': (union(rotated(union(rect(6, 13.5, 26, 18.5), polygon([(6, 13.5), (6, 18.5),
                                                                   (1, 16)])),
                            -math.pi / 4), disc(27, 5, 1.6)), (3, 29)),
    'SizeAll': (union(double_arrow(0, 14.5), double_arrow(math.pi / 2, 14.5)), (16, 16)),
    'SizeNESW': (double_arrow(math.pi / 4), (16, 16)),
    'SizeNS': (double_arrow(math.pi / 2), (16, 16)),
    'SizeNWSE': (double_arrow(-math.pi / 4), (16, 16)),
    'SizeWE': (double_arrow(0), (16, 16)),
    'UpArrow': (union(polygon([(16, 1), (26, 12), (20, 12), (20, 30), (12, 30), (12, 12),
                               (6, 12)])), (16, 1)),
}

# The roles of a package and the file each is kept in.
FILES = {
    'Arrow': 'arrow.cur', 'AppStarting': 'working.cur', 'Crosshair': 'cross.cur',
    'Help': 'help.cur', 'IBeam': 'beam.cur', 'No': 'no.cur', 'NWPen': 'pen.cur',
    'SizeAll': 'move.cur', 'SizeNESW': 'nesw.cur', 'SizeNS': 'ns.cur', 'SizeNWSE': 'nwse.cur',
    'SizeWE': 'we.cur', 'UpArrow': 'up.cur', 'Wait': 'busy.ani', 'Hand': 'hand.cur',
}


def coloured(inside, fill=FILL, line=LINE):
    """A shape of make_art's kind (unit square to colour) with a dark outline."""
    def shape(u, v):
        x, y = u * 32, v * 32
        if not inside(x, y):
            return None
        solid = all(inside(x + a, y + b) for a, b in ((EDGE, 0), (-EDGE, 0), (0, EDGE),
                                                        (0, -EDGE)))
        if not solid:
            return line
        # Light falls from the top left.
        return tuple(min(255, int(c * (1.18 - 0.012 * (x + y)))) for c in fill)
    return shape


# ---- the monochrome role pictures -------------------------------------------------------------

def mono_bmp(inside):
    """32 x 32, one bit per pixel, black outline on white (palette 0 black, 1 white)."""
    rows = []
    for py in range(32):
        bits = 0
        for px in range(32):
            x, y = px + 0.5, py + 0.5
            edge = inside(x, y) and not all(inside(x + a, y + b) for a, b in
                                             ((1, 0), (-1, 0), (0, 1), (0, -1)))
            bits = bits << 1 | (0 if edge else 1)
        rows.append(struct.pack('>I', bits))
    body = b''.join(reversed(rows))
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, 32, 32, 1, 1, 0, len(body), 2835, 2835, 2, 2)
    return header + info + palette + body


# ---- the animated busy pointer ----------------------------------------------------------------

def chunk(tag, data):
    return tag + struct.pack('<I', len(data)) + data + (b'\0' if len(data) % 2 else b'')


def ani(frames, jiffies):
    header = struct.pack('<9I', 36, len(frames), len(frames), 0, 0, 0, 0, jiffies, 1)
    frame_list = b'fram' + b''.join(chunk(b'icon', f) for f in frames)
    body = b'ACON' + chunk(b'anih', header) + chunk(b'LIST', frame_list)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def busy_frame(step):
    berries = berry_ring()
    # The ripe berry goes round; the ones it passed fade behind it.
    def shape(u, v):
        x, y = u * 32, v * 32
        for k, part in enumerate(berries):
            if part(x, y):
                age = ((step - k) % 8) / 7
                fill = tuple(int(r + (p - r) * age) for r, p in zip(RIPE, PALE))
                return coloured(part, fill)(u, v)
        return None
    return make_art.cur(shape, (16, 16))


# ---- pictures of the logon form ---------------------------------------------------------------

GLYPHS = dict(pictures.FONT)
GLYPHS.update({
    'N': '#...###..##.#.##..###...##...##...#', 'W': '#...##...##...##.#.##.#.##.#.#.#.#.',
    'm': '..........##.#.#.#.##.#.##...##...#', 'n': '..........#.##.##..##...##...##...#',
    'u': '..........#...##...##...##..##.##.#', 'C': '.###.#...##....#....#....#...#.###.',
    'y': '.....#...##...#.####....#.###.', 'g': '......####.#...##...#.####....#.###.'[1:],
    'b': '#....#....#.##.##..##...##...#####.', 'k': GLYPHS.get('k', '.' * 35),
    'x': '..........#...#.#.#...#...#.#.#...#', 'f': '..##..#..#.###...#....#....#....#..',
    '.': '.' * 30 + '..#..', 'L': '#....#....#....#....#....#....#####', 'O': '.###.#...##...##...##...##...#.###.',
})


def big_text(px, x, y, s, scale, colour):
    for ch in s:
        bits = GLYPHS[ch].ljust(35, '.')
        for gy in range(7):
            for gx in range(5):
                if bits[gy * 5 + gx] == '#':
                    for dy in range(scale):
                        for dx in range(scale):
                            px[y + gy * scale + dy][x + gx * scale + dx] = colour
        x += 6 * scale
    return x


def text_width(s, scale):
    return len(s) * 6 * scale - scale


def no_preview():
    w, h = 288, 216
    px = [[(236, 236, 232) if (x // 12 + y // 12) % 2 else (226, 226, 222) for x in range(w)]
          for y in range(h)]
    for y in range(h):
        for x in range(w):
            if x < 2 or y < 2 or x >= w - 2 or y >= h - 2:
                px[y][x] = (170, 170, 165)
    # A picture frame with a question mark where the picture would be.
    frame = make_art.rounded_box
    for y in range(52, 132):
        for x in range(104, 184):
            if frame(x, y, 104, 52, 183, 131, 8):
                inner = frame(x, y, 110, 58, 177, 125, 5)
                px[y][x] = (250, 250, 248) if inner else (150, 150, 144)
    mark = question_mark(144, 76, 3.4)
    for y in range(52, 132):
        for x in range(104, 184):
            if mark(x + 0.5, y + 0.5):
                px[y][x] = (150, 150, 144)
    label = 'No preview'
    big_text(px, (w - text_width(label, 2)) // 2, 150, label, 2, (90, 90, 86))
    return px


def logon_preview():
    """The sample logon screen as it looks: the same gradient and leaves as the program draws."""
    w, h = 320, 240
    px = []
    for y in range(h):
        t = y / (h - 1)
        px.append([(int(24 + 30 * t), int(92 + 40 * t), int(54 + 20 * t)) for _ in range(w)])
    for y in range(h):
        for x in range(w):
            if 0.62 * h <= y <= 0.62 * h + 1:
                px[y][x] = (150, 210, 160)
    grove = make_art.app_icon
    for y in range(40):
        for x in range(40):
            c = grove((x + 0.5) / 40, (y + 0.5) / 40)
            if c:
                px[96 + y][70 + x] = c
    big_text(px, 122, 104, 'Welcome', 3, (240, 250, 240))
    hint = 'Click to log on'
    big_text(px, (w - text_width(hint, 1)) // 2, 200, hint, 1, (200, 230, 205))
    return px


def main():
    out = Path(sys.argv[1])
    (out / 'roles').mkdir(parents=True, exist_ok=True)
    (out / 'Grove').mkdir(parents=True, exist_ok=True)
    role_pictures = dict((role, shape) for role, (shape, _) in SHAPES.items())
    role_pictures['Wait'] = HOURGLASS
    for role, inside in role_pictures.items():
        (out / 'roles' / f'{role.upper()}.bmp').write_bytes(mono_bmp(inside))
    for role, (inside, hot) in SHAPES.items():
        (out / 'Grove' / FILES[role]).write_bytes(make_art.cur(coloured(inside), hot))
    (out / 'Grove' / FILES['Hand']).write_bytes(
        make_art.cur(make_art.hand((255, 240, 214), LINE, 2.4, 27.0, cuff=FILL),
                     make_art.HAND_HOT_SPOT))
    (out / 'Grove' / FILES['Wait']).write_bytes(ani([busy_frame(i) for i in range(8)], 6))
    (out / 'nopreview.bmp').write_bytes(pictures.bmp(no_preview()))
    (out / 'logon_preview.bmp').write_bytes(pictures.bmp(logon_preview()))


if __name__ == '__main__':
    main()
