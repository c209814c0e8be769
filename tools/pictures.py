"""The main window's pictures, written as 24-bit .bmp files.

The link pictures and the background picture sit on the main window's own blue, so they are drawn
onto it. The tool-bar strip and the Explorer tool-bar picture are drawn over a key colour that the
program leaves out when it draws them; their edges are hard (or blended into a neutral grey) so no
pink fringe survives around the shapes.
"""
import math
import struct

FORM_BLUE = (0x63, 0x75, 0xD6)  # the main window's background
KEY = (255, 0, 255)  # left out when drawn: the tool-bar strip's mask, the Explorer glyph's
FACE = (212, 208, 200)  # what the tool-bar images' edges blend into
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


def bmp(pixels):
    """A bottom-up 24-bit BMP of rows of (r, g, b)."""
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


def render(shape, w, h, ground, n=3, edge=None):
    """Supersampled rendering of shape(u, v) -> colour or None over the ground colour. With edge,
    partly covered pixels blend into edge instead and uncovered ones keep the ground (a key)."""
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    c = shape((x + (sx + 0.5) / n) / w, (y + (sy + 0.5) / n) / h)
                    if c is None:
                        c = edge if edge else ground
                    else:
                        hits += 1
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
            if edge and hits == 0:
                row.append(ground)
            else:
                row.append(tuple(v // (n * n) for v in acc))
        rows.append(row)
    return rows


def disc(u, v, cx, cy, r):
    return (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def box(u, v, l, t, r, b):
    return l <= u <= r and t <= v <= b


def leaf(u, v, cx, cy, r, angle):
    x, y = u - cx, v - cy
    ca, sa = math.cos(angle), math.sin(angle)
    x, y = x * ca - y * sa, x * sa + y * ca
    d = r * 0.75
    inside = (x ** 2 + (y - d) ** 2 <= r * r) and (x ** 2 + (y + d) ** 2 <= r * r)
    if inside and abs(x) < r * 0.06:
        return 'vein'
    return inside


def shade(c, f):
    return tuple(max(0, min(255, int(v * f))) for v in c)


# ---- the nine feature-link pictures (48 x 48) -------------------------------------------------

def link_icons(u, v):
    # Four desktop icons in a grid.
    for (l, t), c in (((0.1, 0.1), (240, 196, 70)), ((0.55, 0.1), (90, 200, 120)),
                      ((0.1, 0.55), (250, 250, 250)), ((0.55, 0.55), (235, 110, 90))):
        if box(u, v, l, t, l + 0.35, t + 0.35):
            edge = min(u - l, v - t, l + 0.35 - u, t + 0.35 - v) < 0.04
            return shade(c, 0.7) if edge else c
    return None


def link_wallpaper(u, v):
    if not box(u, v, 0.06, 0.14, 0.94, 0.86):
        return None
    if not box(u, v, 0.12, 0.2, 0.88, 0.8):
        return (120, 84, 40)  # the frame
    if disc(u, v, 0.7, 0.36, 0.09):
        return (255, 220, 80)
    if v > 0.62 - 0.12 * math.sin((u - 0.12) * 5):
        return (70, 160, 80)
    return (170, 215, 250)


def link_cursor(u, v):
    # An arrow pointer: a triangle with a tail, outlined.
    def arrow(u, v, grow):
        x, y = u - 0.25, v - 0.14
        if y < -grow or x < -grow:
            return False
        if y <= 0.62 + grow and x <= y * 0.7 + grow:
            return True
        tx, ty = x - 0.17, y - 0.5
        along = tx * 0.45 + ty * 0.9
        across = -tx * 0.9 + ty * 0.45
        return -0.02 - grow <= along <= 0.34 + grow and abs(across) <= 0.07 + grow
    if arrow(u, v, 0):
        return WHITE
    if arrow(u, v, 0.045):
        return BLACK
    return None


def link_oem(u, v):
    if disc(u, v, 0.74, 0.28, 0.18):
        if box(u, v, 0.715, 0.2, 0.765, 0.22) or box(u, v, 0.715, 0.25, 0.765, 0.38):
            return WHITE
        return (40, 150, 60)
    if box(u, v, 0.08, 0.18, 0.82, 0.7):
        return (60, 60, 70) if not box(u, v, 0.13, 0.23, 0.77, 0.65) else (150, 200, 250)
    if box(u, v, 0.38, 0.7, 0.52, 0.8) or box(u, v, 0.24, 0.8, 0.66, 0.86):
        return (90, 90, 100)
    return None


def link_explorer(u, v):
    if not box(u, v, 0.06, 0.1, 0.94, 0.9):
        return None
    if v < 0.24:
        return (40, 90, 200)
    if v < 0.34:
        return (230, 226, 214) if not any(box(u, v, x, 0.26, x + 0.08, 0.32)
                                          for x in (0.12, 0.24, 0.36)) else (60, 140, 60)
    if box(u, v, 0.3, 0.45, 0.7, 0.78):
        return (240, 196, 70) if v > 0.5 else (220, 170, 50)
    return WHITE


def link_xplook(u, v):
    if not box(u, v, 0.06, 0.12, 0.94, 0.88):
        return None
    if v < 0.28:
        if disc(u, v, 0.84, 0.2, 0.055):
            return (220, 70, 50)
        return (30, 90, 230) if v > 0.17 else (80, 140, 250)
    if box(u, v, 0.16, 0.66, 0.44, 0.78):
        return (200, 200, 200)
    return (236, 233, 216)


def link_more(u, v):
    # A gear: a toothed ring around a hole.
    x, y = u - 0.5, v - 0.5
    r = math.hypot(x, y)
    a = math.atan2(y, x)
    tooth = 0.36 if math.cos(a * 8) > 0.3 else 0.29
    if r <= 0.11:
        return None
    if r <= tooth:
        return (230, 230, 235) if r > 0.16 else (150, 150, 160)
    return None


def link_folder(u, v):
    if box(u, v, 0.08, 0.2, 0.42, 0.32):
        return (214, 160, 40)
    if box(u, v, 0.06, 0.28, 0.94, 0.82):
        return (250, 206, 80) if v > 0.38 else (226, 178, 54)
    return None


def link_logon(u, v):
    # A person before a key: head, shoulders.
    if disc(u, v, 0.5, 0.3, 0.16):
        return (250, 214, 170)
    if v >= 0.52 and v <= 0.88 and (u - 0.5) ** 2 / 0.09 + (v - 0.88) ** 2 / 0.13 <= 1:
        return (60, 170, 90)
    return None


LINKS = (('link_icons', link_icons), ('link_wallpaper', link_wallpaper),
         ('link_cursor', link_cursor), ('link_oem', link_oem), ('link_explorer', link_explorer),
         ('link_xplook', link_xplook), ('link_more', link_more), ('link_folder', link_folder),
         ('link_logon', link_logon))


# ---- the tool-bar strip: Options, Update, Help (24 x 24 each) --------------------------------

def tool_options(u, v):
    x, y = u - 0.5, v - 0.5
    r = math.hypot(x, y)
    tooth = 0.44 if math.cos(math.atan2(y, x) * 6) > 0.2 else 0.33
    if 0.12 < r <= tooth:
        return (90, 100, 120)
    return None


def tool_update(u, v):
    # A globe with a green arrow pointing down into it.
    if box(u, v, 0.42, 0.04, 0.58, 0.4) or (v >= 0.36 and abs(u - 0.5) <= 0.5 - v + 0.2
                                            and v <= 0.58):
        return (40, 160, 60)
    if disc(u, v, 0.5, 0.66, 0.32):
        if abs(u - 0.5) < 0.04 or abs(v - 0.66) < 0.04:
            return (200, 230, 250)
        return (40, 110, 210)
    return None


def tool_help(u, v):
    if not disc(u, v, 0.5, 0.5, 0.46):
        return None
    x, y = u - 0.5, v - 0.42
    r = math.hypot(x, y)
    hook = 0.12 <= r <= 0.22 and (y < 0.02 or x > 0)
    stem = box(u, v, 0.45, 0.55, 0.55, 0.66)
    dot = disc(u, v, 0.5, 0.78, 0.06)
    return WHITE if (hook and v < 0.58) or stem or dot else (40, 110, 210)


# ---- the password prompt's padlock (48 x 48) -------------------------------------------------

def padlock(u, v):
    r = math.hypot(u - 0.5, v - 0.36)
    if v < 0.42 and 0.17 <= r <= 0.26:
        return (150, 150, 160)
    if box(u, v, 0.18, 0.42, 0.82, 0.92):
        if disc(u, v, 0.5, 0.6, 0.07) or box(u, v, 0.47, 0.6, 0.53, 0.78):
            return (90, 60, 10)
        return (230, 180, 50) if v > 0.47 else (250, 210, 90)
    return None


# ---- the background picture (bottom-right of the main panel) ----------------------------------

def background(u, v):
    # A branch of pale leaves growing in from the bottom-right corner.
    for cx, cy, r, a in ((0.78, 0.62, 0.22, 0.6), (0.55, 0.8, 0.2, 1.3), (0.92, 0.3, 0.16, 0.1),
                         (0.35, 0.95, 0.15, 1.9), (0.65, 0.38, 0.14, -0.4)):
        hit = leaf(u, v, cx, cy, r, a)
        if hit == 'vein':
            return (0x7C, 0x8E, 0xE2)
        if hit:
            return (0x72, 0x85, 0xDE)
    if abs((u - 1.0) + (v - 1.0) * 0.9 + 0.35 * (1 - u) ** 2) < 0.012 and u > 0.3:
        return (0x70, 0x82, 0xDC)
    return None


# ---- the Explorer tool-bar picture (791 x 86) -------------------------------------------------

FONT = {
    'A': '.###.#...##...#######...##...##...#', 'B': '####.#...##...#####.#...##...#####.',
    'E': '######....#....####.#....#....#####', 'F': '######....#....####.#....#....#....',
    'G': '.###.#...##....#.####...##...#.###.', 'H': '#...##...##...#######...##...##...#',
    'S': '.#####....#.....###.....#....#####.', 'T': '#####..#....#....#....#....#....#..',
    'V': '#...##...##...##...##...#.#.#...#..', 'a': '...........###.....#.#####...#.####',
    'c': '...........###.#....#....#.....###.', 'd': '....#....#.#####...##...##...#.####',
    'e': '..........' '.###.' '#...#' '#####' '#....' '.###.', 'h': '#....#....#.##.##..##...##...##...#',
    'i': '..#..' '.....' '.##..' '..#..' '..#..' '..#..' '.###.', 'k': '#....#....#..#.#.#..##...#.#..#..#.',
    'l': '.##....#....#....#....#....#...###.', 'o': '...........###.#...##...##...#.###.',
    'p': '..........####.#...#####.#....#....', 'r': '..........#.##.##..##....#....#....',
    's': '...........#####.....###.....#####.', 't': '.#....#...####..#....#....#..#..##.',
    'v': '..........#...##...##...#.#.#...#..', 'w': '..........#...##...##.#.##.#.#.#.#.',
    ' ': '.' * 35,
}


def text(pixels, x, y, s, colour=BLACK):
    for ch in s:
        bits = FONT[ch].ljust(35, '.')
        for gy in range(7):
            for gx in range(5):
                if bits[gy * 5 + gx] == '#':
                    pixels[y + gy][x + gx] = colour
        x += 6
    return x


def fill(pixels, l, t, r, b, colour):
    for y in range(t, b):
        for x in range(l, r):
            pixels[y][x] = colour


def stamp(pixels, x0, y0, size, shape):
    """A small icon drawn with hard edges, so nothing pinkish survives next to the key."""
    for y in range(size):
        for x in range(size):
            c = shape((x + 0.5) / size, (y + 0.5) / size)
            if c is not None:
                pixels[y0 + y][x0 + x] = c


def arrow_shape(colour, pointing_left):
    def shape(u, v):
        if not pointing_left:
            u = 1 - u
        if disc(u, v, 0.5, 0.5, 0.48):
            if (u >= 0.22 and abs(v - 0.5) <= (u - 0.22) * 0.9 and u <= 0.52) or \
                    box(u, v, 0.5, 0.42, 0.8, 0.58):
                return WHITE
            return colour
        return None
    return shape


def up_shape(u, v):
    if box(u, v, 0.1, 0.3, 0.9, 0.9):
        if box(u, v, 0.42, 0.35, 0.58, 0.75) or (v <= 0.55 and abs(u - 0.5) <= v - 0.2):
            return (40, 160, 60)
        return (240, 196, 70)
    if box(u, v, 0.1, 0.18, 0.45, 0.3):
        return (214, 160, 40)
    return None


def search_shape(u, v):
    r = math.hypot(u - 0.4, v - 0.4)
    if 0.2 <= r <= 0.3:
        return (60, 60, 70)
    if r < 0.2:
        return (190, 225, 250)
    if u > 0.55 and v > 0.55 and abs(u - v) < 0.1 and u < 0.95:
        return (120, 80, 40)
    return None


def folders_shape(u, v):
    if box(u, v, 0.08, 0.2, 0.42, 0.32):
        return (214, 160, 40)
    if box(u, v, 0.06, 0.28, 0.94, 0.84):
        return (250, 206, 80)
    return None


def explorer_toolbar():
    w, h = 791, 86
    px = [[KEY] * w for _ in range(h)]
    # Menu bar.
    x = 8
    for word in ('File', 'Edit', 'View', 'Favorites', 'Tools', 'Help'):
        x = text(px, x, 7, word) + 12
    fill(px, 0, 21, w, 22, (128, 128, 128))
    fill(px, 0, 22, w, 23, WHITE)
    # Buttons.
    x = 6
    for label, shape, dropdown in (('Back', arrow_shape((40, 160, 60), True), True),
                                   ('', arrow_shape((40, 160, 60), False), True),
                                   ('', up_shape, False), ('Search', search_shape, False),
                                   ('Folders', folders_shape, False)):
        stamp(px, x, 28, 24, shape)
        nx = x + 28
        if label:
            nx = text(px, nx, 36, label) + 4
        if dropdown:
            for i in range(4):
                fill(px, nx + i, 38 + i, nx + 7 - i, 39 + i, BLACK)
            nx += 10
        x = nx + 10
    fill(px, 0, 57, w, 58, (128, 128, 128))
    fill(px, 0, 58, w, 59, WHITE)
    # Address bar: label, a white box with a folder and a path, and Go.
    text(px, 8, 68, 'Address')
    fill(px, 56, 63, 730, 81, (127, 157, 185))
    fill(px, 57, 64, 729, 80, WHITE)
    stamp(px, 60, 65, 14, folders_shape)
    text(px, 80, 68, 'Folders', (0, 0, 0))
    stamp(px, 740, 63, 18, arrow_shape((40, 160, 60), False))
    text(px, 762, 68, 'Go')
    return px


def draw_all(out):
    for name, shape in LINKS:
        (out / f'{name}.bmp').write_bytes(bmp(render(shape, 48, 48, FORM_BLUE)))
    strip = [[] for _ in range(24)]
    for shape in (tool_options, tool_update, tool_help):
        image = render(shape, 24, 24, KEY, n=3, edge=FACE)
        for y in range(24):
            strip[y] += image[y]
    (out / 'toolbar.bmp').write_bytes(bmp(strip))
    (out / 'padlock.bmp').write_bytes(bmp(render(padlock, 48, 48, KEY, n=3, edge=FACE)))
    (out / 'background.bmp').write_bytes(bmp(render(background, 240, 200, FORM_BLUE, n=2)))
    (out / 'explorer.bmp').write_bytes(bmp(explorer_toolbar()))
