"""Makes the picture fuzz targets' seeds into OUT/BitmapFuzz and OUT/JpegFuzz.

  make_picture_seeds.py OUT CJPEG CMYK_SEEDS

BitmapFuzz: .bmp files of every depth and compression the reader knows, written here field by
field: 1, 4 and 8 bits with whole and partial palettes, run-length rows (4 and 8 bits, with runs,
absolute runs of odd lengths, moves, row and picture ends), 16 bits as 5-5-5, 5-6-5 and odd bit
fields, 24 bits, 32 bits plain and with bit fields, the OS/2 core header, the long headers of later
Windows versions, top-down rows, pixels after a gap; and some DIBs alone (no file header), as
bitmap resources hold them.
JpegFuzz: cjpeg's pictures of a colour and a grey picture under its options (qualities, grey,
progressive, arithmetic coding, restart markers, every sampling, the DCTs, smoothing, RGB, scan
scripts of many scans, up to the reader's limit), and the CMYK ones CMYK_SEEDS writes.
"""
import os
import struct
import subprocess
import sys
import tempfile

WIDTH, HEIGHT = 13, 7  # 13: rows need padding at every depth


def info_header(size, width, height, bpp, compression=0, image=0, colours=0):
    head = struct.pack('<IiiHHIIiiII', size, width, height, 1, bpp, compression, image, 2835,
                       2835, colours, 0)
    return head + bytes(size - len(head))  # later versions' fields left zero


def core_header(width, height, bpp):
    return struct.pack('<IHHHH', 12, width, height, 1, bpp)


def bmp(dib_header, table, pixels, gap=0):
    offset = 14 + len(dib_header) + len(table) + gap
    return (struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset) + dib_header + table
            + bytes(gap) + pixels)


def palette(n, entry=4):
    out = bytearray()
    for i in range(n):
        colour = ((i * 67) & 255, (i * 131) & 255, (255 - i * 29) & 255)
        out += bytes(colour) + (b'\0' if entry == 4 else b'')
    return bytes(out)


def rows(bpp, width=WIDTH, height=HEIGHT):
    """Rows of a pattern at a depth, padded to whole words."""
    stride = (width * bpp + 31) // 32 * 4
    out = bytearray()
    for y in range(height):
        values = [(x * 0x01F3A7 + y * 0x3C0507 + (x ^ y) * 0x9B) & ((1 << bpp) - 1)
                  for x in range(width)]
        if bpp >= 8:
            row = b''.join(v.to_bytes(bpp // 8, 'little') for v in values)
        else:  # the leftmost pixel in the high bits
            bits = ''.join(format(v, '0%db' % bpp) for v in values)
            bits += '0' * (-len(bits) % 8)
            row = bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
        out += row + bytes(stride - len(row))
    return bytes(out)


def rle8():
    data = bytearray()
    data += bytes((4, 1, 0, 5)) + bytes((0, 3, 9, 8, 7, 0))  # runs; an odd absolute run, padded
    data += bytes((0, 0))  # end of row
    data += bytes((0, 2, 3, 1))  # move right 3, up 1
    data += bytes((20, 2))  # runs past the right edge
    data += bytes((0, 0, 0, 4, 1, 2, 3, 4, 0, 0))
    return bytes(data + bytes((0, 1)))  # end of picture


def rle4():
    data = bytearray()
    data += bytes((5, 0x12, 0, 3, 0x34, 0x50, 0, 0))  # a run of two alternating pixels; absolute
    data += bytes((0, 2, 1, 2, 7, 0xAB, 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 1))
    return bytes(data)


def masks(*values):
    return b''.join(struct.pack('<I', v) for v in values)


def bitmaps():
    seeds = {}
    for bpp in (1, 4, 8):
        n = 1 << bpp
        seeds['pal%d.bmp' % bpp] = bmp(info_header(40, WIDTH, HEIGHT, bpp), palette(n), rows(bpp))
        seeds['pal%d-os2.bmp' % bpp] = bmp(core_header(WIDTH, HEIGHT, bpp), palette(n, 3),
                                           rows(bpp))
    seeds['pal4-partial.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 4, colours=5), palette(5),
                                    rows(4))
    seeds['pal8-topdown.bmp'] = bmp(info_header(40, WIDTH, -HEIGHT, 8, colours=3), palette(3),
                                    rows(8))
    seeds['pal8-gap.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 8, colours=16), palette(16),
                                rows(8), gap=6)
    seeds['rle8.bmp'] = bmp(info_header(40, 9, 4, 8, 1, len(rle8()), 10), palette(10), rle8())
    seeds['rle4.bmp'] = bmp(info_header(40, 9, 3, 4, 2, len(rle4()), 16), palette(16), rle4())
    seeds['rgb16.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 16), b'', rows(16))
    seeds['rgb16-565.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 16, 3), masks(0xF800, 0x7E0, 0x1F),
                                 rows(16))
    seeds['rgb16-444.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 16, 3), masks(0xF00, 0xF0, 0xF),
                                 rows(16))
    seeds['rgb24.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 24), b'', rows(24))
    seeds['rgb24-topdown.bmp'] = bmp(info_header(40, WIDTH, -HEIGHT, 24), b'', rows(24))
    seeds['rgb24-os2.bmp'] = bmp(core_header(WIDTH, HEIGHT, 24), b'', rows(24))
    seeds['rgb32.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 32), b'', rows(32))
    seeds['rgb32-fields.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 32, 3),
                                    masks(0xFF0000, 0xFF00, 0xFF), rows(32))
    seeds['rgb32-101010.bmp'] = bmp(info_header(40, WIDTH, HEIGHT, 32, 3),
                                    masks(0x3FF00000, 0xFFC00, 0x3FF), rows(32))
    # The longer headers hold the masks themselves (and alpha, colour space, profile fields).
    for size, name in ((56, 'v3'), (108, 'v4'), (124, 'v5')):
        head = bytearray(info_header(size, WIDTH, -HEIGHT, 16, 3))
        head[40:52] = masks(0x7C00, 0x3E0, 0x1F) if name != 'v5' else masks(0xF00, 0xF0, 0xF)
        seeds['rgb16-%s.bmp' % name] = bmp(bytes(head), b'', rows(16))
    head = bytearray(info_header(108, WIDTH, HEIGHT, 32, 3))
    head[40:56] = masks(0xFF00, 0xFF0000, 0xFF000000, 0xFF)
    seeds['rgb32-v4-alpha.bmp'] = bmp(bytes(head), b'', rows(32))
    # DIBs alone, as resources hold them: no file header, pixels straight after the table.
    for name in ('pal1.bmp', 'rle8.bmp', 'rgb16-565.bmp', 'pal8-os2.bmp'):
        seeds['dib-' + name.replace('.bmp', '')] = seeds[name][14:]
    return seeds


def picture(path, width, height, grey):
    """A PPM or PGM picture with soft gradients and hard edges."""
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            r, g, b = (x * 255 // width, y * 255 // height, 255 if (x // 5 + y // 5) % 2 else 0)
            pixels += bytes(((r + g + b) // 3,)) if grey else bytes((r, g, b))
    with open(path, 'wb') as f:
        f.write(b'%s\n%d %d\n255\n' % (b'P5' if grey else b'P6', width, height) + pixels)


def scan_script(path, count):
    """count progressive scans of a grey picture (65 to 127): its DC, the AC coefficients one at a
    time less their lowest bit, then that bit of all of them in the scans that are left."""
    lines = ['0: 0 0 0 0;'] + ['0: %d %d 0 1;' % (k, k) for k in range(1, 64)]
    bands = count - len(lines)
    for b in range(bands):
        lines.append('0: %d %d 1 0;' % (1 + b * 63 // bands, (b + 1) * 63 // bands))
    with open(path, 'w') as f:
        f.write('\n'.join(lines) + '\n')


def jpegs(cjpeg, work):
    colour, grey = os.path.join(work, 'colour.ppm'), os.path.join(work, 'grey.pgm')
    picture(colour, 37, 21, False)  # neither a whole number of blocks nor of MCUs
    picture(grey, 29, 18, True)
    few, many = os.path.join(work, 'few.scans'), os.path.join(work, 'many.scans')
    scan_script(few, 70)
    scan_script(many, 100)  # as many as the reader takes (and cjpeg writes)
    options = [[], ['-quality', '100'], ['-quality', '5'], ['-grayscale'], ['-progressive'],
               ['-optimize'], ['-arithmetic'], ['-arithmetic', '-progressive'],
               ['-restart', '1'], ['-restart', '3B'], ['-sample', '1x1'], ['-sample', '2x1'],
               ['-sample', '1x2'], ['-sample', '4x1'], ['-sample', '2x2,2x1,1x2'],
               ['-dct', 'float'], ['-dct', 'fast'], ['-smooth', '40'], ['-rgb'],
               ['-rgb', '-progressive']]
    seeds = {}
    for i, opts in enumerate(options):
        seeds['colour-%02d.jpg' % i] = [cjpeg] + opts + [colour]
    for i, opts in enumerate([[], ['-progressive'], ['-arithmetic'], ['-scans', few],
                              ['-scans', many]]):
        seeds['grey-%02d.jpg' % i] = [cjpeg] + opts + [grey]
    made = {}
    # cjpeg is instrumented like the targets; what it leaks at exit is no concern here.
    env = dict(os.environ, ASAN_OPTIONS='detect_leaks=0')
    for name, command in seeds.items():
        run = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        if run.returncode != 0:
            sys.exit('%s failed: %s' % (' '.join(command), run.stderr.decode(errors='replace')))
        made[name] = run.stdout
    return made


def main():
    out, cjpeg, cmyk = sys.argv[1:4]
    for target, seeds in (('BitmapFuzz', bitmaps()),):
        os.makedirs(os.path.join(out, target), exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(out, target, name), 'wb') as f:
                f.write(data)
    jpeg_dir = os.path.join(out, 'JpegFuzz')
    os.makedirs(jpeg_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        made = jpegs(cjpeg, work)
    for name, data in made.items():
        with open(os.path.join(jpeg_dir, name), 'wb') as f:
            f.write(data)
    subprocess.run([cmyk, jpeg_dir], check=True, env=dict(os.environ, ASAN_OPTIONS='detect_leaks=0'))
    print('picture seeds: BitmapFuzz %d, JpegFuzz %d' % (len(bitmaps()), len(os.listdir(jpeg_dir))))


if __name__ == '__main__':
    main()
