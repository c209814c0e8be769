"""The wallpaper page's own pictures: the three default wallpapers (baseline JPEG files) and the
logo the page shows in its corner (a GIF).

Usage: wallpaper_art.py <folder>   writes Lumagrove01.jpg, Lumagrove02.jpg, Lumagrove03.jpg and
wplogo.gif into the folder.

Both encoders are the plainest the formats allow: the JPEG files are baseline, 4:4:4, with
Huffman codes of one length per table (every symbol a picture uses gets a code of that length),
and the GIF's LZW stream sends every pixel as a literal and starts a fresh table before the code
width would grow. Every decoder reads them; they are a little larger than they could be.
"""
import math
import os
import struct
import sys

from pictures import leaf

# ---- JPEG ---------------------------------------------------------------------------------------

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20,
    13, 6, 7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59,
    52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63]

# The example tables of the JPEG standard's annex, at roughly quality 85.
LUMA_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57,
          69, 56, 14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64,
          81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMA_Q = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
            99, 99, 47, 66, 99, 99, 99, 99, 99, 99] + [99] * 32


def scaled(table, quality=85):
    s = 200 - quality * 2
    return [max(1, min(255, (q * s + 50) // 100)) for q in table]


COS = [[math.cos((2 * x + 1) * u * math.pi / 16) * (math.sqrt(0.5) if u == 0 else 1) / 2
        for x in range(8)] for u in range(8)]


def fdct(block):
    """The 8 x 8 forward DCT, rows then columns."""
    rows = [[sum(COS[u][x] * block[y * 8 + x] for x in range(8)) for u in range(8)]
            for y in range(8)]
    return [sum(COS[v][y] * rows[y][u] for y in range(8)) for v in range(8) for u in range(8)]


def magnitude(value):
    """The size category and the bits of a coefficient as the format codes it."""
    size = abs(value).bit_length()
    bits = value if value >= 0 else value + (1 << size) - 1
    return size, bits


def block_symbols(coeffs, previous_dc):
    """(symbol, size, bits) of one block: the DC difference, then the AC run-lengths."""
    size, bits = magnitude(coeffs[0] - previous_dc)
    out = [('dc', size, size, bits)]
    run = 0
    last = max([i for i in range(1, 64) if coeffs[i] != 0], default=0)
    for i in range(1, last + 1):
        if coeffs[i] == 0:
            run += 1
            continue
        while run > 15:
            out.append(('ac', 0xF0, 0, 0))
            run -= 16
        size, bits = magnitude(coeffs[i])
        out.append(('ac', (run << 4) | size, size, bits))
        run = 0
    if last < 63:
        out.append(('ac', 0x00, 0, 0))
    return out


def flat_code(symbols):
    """One code length for every symbol used: the shortest with room to spare (a code of all one
    bits is not allowed)."""
    symbols = sorted(symbols)
    length = 1
    while (1 << length) <= len(symbols):
        length += 1
    counts = [0] * 16
    counts[length - 1] = len(symbols)
    codes = {s: (i, length) for i, s in enumerate(symbols)}
    return counts, symbols, codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc = self.n = 0

    def flush(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)
        return bytes(self.out)


def segment(marker, body):
    return struct.pack('>BBH', 0xFF, marker, len(body) + 2) + body


def jpeg(pixels):
    """A baseline JPEG of rows of (r, g, b); width and height multiples of 8."""
    h, w = len(pixels), len(pixels[0])
    quant = [scaled(LUMA_Q), scaled(CHROMA_Q), scaled(CHROMA_Q)]
    planes = [[], [], []]
    for row in pixels:
        for c in range(3):
            planes[c].append([])
        for r, g, b in row:
            planes[0][-1].append(0.299 * r + 0.587 * g + 0.114 * b - 128)
            planes[1][-1].append(-0.168736 * r - 0.331264 * g + 0.5 * b)
            planes[2][-1].append(0.5 * r - 0.418688 * g - 0.081312 * b)
    # Every block's symbols, component after component within each block position.
    units = []
    dc = [0, 0, 0]
    for by in range(0, h, 8):
        for bx in range(0, w, 8):
            for c in range(3):
                block = [planes[c][by + y][bx + x] for y in range(8) for x in range(8)]
                freq = fdct(block)
                coeffs = [int(round(freq[ZIGZAG[k]] / quant[c][ZIGZAG[k]])) for k in range(64)]
                units.append((c, block_symbols(coeffs, dc[c])))
                dc[c] = coeffs[0]
    tables = {}
    for kind in ('dc', 'ac'):
        for cls in (0, 1):
            used = {s[1] for c, syms in units if (c > 0) == cls for s in syms if s[0] == kind}
            tables[(kind, cls)] = flat_code(used or {0})
    out = bytearray(b'\xFF\xD8')
    out += segment(0xE0, b'JFIF\0\x01\x01\0\0\x01\0\x01\0\0')
    for t in (0, 1):
        out += segment(0xDB, bytes([t]) + bytes(quant[t][ZIGZAG[k]] for k in range(64)))
    out += segment(0xC0, struct.pack('>BHHB', 8, h, w, 3) + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    for (kind, cls), (counts, symbols, _) in tables.items():
        out += segment(0xC4, bytes([(0 if kind == 'dc' else 0x10) | cls]) + bytes(counts) +
                       bytes(symbols))
    out += segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    bits = BitWriter()
    for c, syms in units:
        cls = 1 if c else 0
        for s in syms:
            code, length = tables[(s[0], cls)][2][s[1]]
            bits.put(code, length)
            size = s[2]
            if size:
                bits.put(s[3], size)
    out += bits.flush()
    out += b'\xFF\xD9'
    return bytes(out)


# ---- GIF ----------------------------------------------------------------------------------------

def gif(pixels, palette):
    """A GIF89a of rows of palette indices (16 colours at most)."""
    h, w = len(pixels), len(pixels[0])
    palette = list(palette) + [(0, 0, 0)] * (16 - len(palette))
    head = b'GIF89a' + struct.pack('<HHBBB', w, h, 0xF3, 0, 0)
    head += bytes(v for c in palette for v in c)
    image = b',' + struct.pack('<HHHHB', 0, 0, w, h, 0)
    # Literal codes of 5 bits, a clear code before the decoder's table would reach 32 entries.
    clear, end, width = 16, 17, 5
    acc = n = 0
    data = bytearray()

    def put(code):
        nonlocal acc, n
        acc |= code << n
        n += width
        while n >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            n -= 8

    flat = [p for row in pixels for p in row]
    for i in range(0, len(flat), 12):
        put(clear)
        for p in flat[i:i + 12]:
            put(p)
    put(end)
    if n:
        data.append(acc & 0xFF)
    blocks = bytearray([4])
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    blocks += b'\0'
    return head + image + bytes(blocks) + b';'


# ---- the pictures -------------------------------------------------------------------------------

W, H = 400, 304


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(x + (y - x) * t) for x, y in zip(a, b))


def dusk(x, y):
    """Hills under a dusk sky with a low sun."""
    u, v = x / W, y / H
    sky = mix((40, 30, 110), (250, 150, 90), v * 1.4)
    if (u - 0.68) ** 2 + ((v - 0.52) * 0.76) ** 2 < 0.008:
        sky = (255, 220, 150)
    hill1 = 0.62 + 0.07 * math.sin(u * 5.0 + 0.6)
    hill2 = 0.74 + 0.05 * math.sin(u * 8.0 + 2.0)
    if v > hill2:
        return mix((40, 70, 40), (20, 40, 25), (v - hill2) * 3)
    if v > hill1:
        return mix((70, 90, 80), (50, 70, 60), (v - hill1) * 4)
    return sky


def lagoon(x, y):
    """Rings spreading over blue water."""
    u, v = x / W, y / H
    base = mix((20, 90, 160), (10, 40, 90), v)
    for cx, cy, k in ((0.3, 0.4, 40), (0.72, 0.62, 55), (0.55, 0.2, 30)):
        d = math.hypot((u - cx) * 1.33, v - cy)
        ring = 0.5 + 0.5 * math.cos(d * k)
        base = mix(base, (150, 210, 240), ring * max(0.0, 0.45 - d) * 1.4)
    return base


def canopy(x, y):
    """Leaves over a green ground."""
    u, v = x / W, y / H * 0.76
    c = mix((30, 80, 40), (120, 170, 70), (u + v) / 1.6)
    for i, (cx, cy, r, a) in enumerate(((0.25, 0.3, 0.16, 0.6), (0.6, 0.35, 0.2, -0.5),
                                        (0.8, 0.15, 0.1, 1.2), (0.45, 0.62, 0.12, 2.2))):
        hit = leaf(u, v, cx, cy, r, a)
        if hit == 'vein':
            c = (230, 240, 190)
        elif hit:
            c = mix((180, 210, 60), (90, 150, 40), i / 3)
    return c


def logo():
    """A leaf in a ring: the corner mark the page shows over the pictures."""
    palette = [(0, 0, 0), (255, 255, 255), (90, 160, 50), (190, 220, 90), (40, 90, 40),
               (99, 117, 214)]
    size = 48
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            u, v = (x + 0.5) / size, (y + 0.5) / size
            d = math.hypot(u - 0.5, v - 0.5)
            hit = leaf(u, v, 0.5, 0.5, 0.3, 0.7)
            if hit == 'vein':
                row.append(3)
            elif hit:
                row.append(2)
            elif 0.42 < d < 0.49:
                row.append(5)
            elif d <= 0.42:
                row.append(1)
            else:
                row.append(0)
        rows.append(row)
    return gif(rows, palette)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, shape in (('Lumagrove01.jpg', dusk), ('Lumagrove02.jpg', lagoon),
                        ('Lumagrove03.jpg', canopy)):
        pixels = [[shape(x, y) for x in range(W)] for y in range(H)]
        with open(os.path.join(out, name), 'wb') as f:
            f.write(jpeg(pixels))
    with open(os.path.join(out, 'wplogo.gif'), 'wb') as f:
        f.write(logo())


if __name__ == '__main__':
    main()
