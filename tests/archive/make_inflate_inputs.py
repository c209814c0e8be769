#!/usr/bin/env python3
"""Makes the real-data inputs of the inflate tests: raw deflate and Deflate64 data compressed by
real tools (gzip, zip -1..-9, 7-Zip), each next to the bytes it must decode to.

Usage: make_inflate_inputs.py OUT_DIR [SHARED_DEFLATE64_DIR]
Writes OUT_DIR/manifest.txt, one line per input: "<method> <data file> <original file>", with
method 8 (deflate) or 9 (Deflate64)."""
import os, random, shutil, struct, subprocess, sys, tempfile, zipfile, zlib

def corpora(rng):
    words = ("the a zip archive window icon folder package theme cursor wallpaper colour lorem "
             "ipsum dolor sit amet registry value key shell desktop program extract").split()
    text = " ".join(rng.choice(words) for _ in range(60000)).encode()
    binary = bytearray()
    while len(binary) < 300000:  # structured binary: records with small counters and noise
        binary += struct.pack("<IHBB", len(binary), rng.randrange(50), 7, rng.randrange(256))
        if rng.random() < 0.1:
            binary += bytes(rng.randrange(256) for _ in range(rng.randrange(40)))
    runs = b"a" * 200000 + b"b" * 70000  # long matches, Deflate64 lengths above 258
    noise = bytes(rng.randrange(256) for _ in range(70000))  # stored blocks
    return {"text": text, "binary": bytes(binary), "runs": runs, "noise": noise, "empty": b"",
            "one": b"x", "short": b"hello, hello, hello inflate"}

def raw_entries(path):
    """(method, raw compressed bytes) of every entry, read through the local headers."""
    out = []
    with zipfile.ZipFile(path) as z, open(path, "rb") as f:
        for info in z.infolist():
            f.seek(info.header_offset)
            head = f.read(30)
            name_len, extra_len = struct.unpack("<HH", head[26:30])
            f.seek(info.header_offset + 30 + name_len + extra_len)
            out.append((info.compress_type, info.CRC, f.read(info.compress_size)))
    return out

def main():
    out_dir = sys.argv[1]
    shared = sys.argv[2] if len(sys.argv) > 2 else None
    os.makedirs(out_dir, exist_ok=True)
    rng = random.Random(1951)
    manifest = []
    work = tempfile.mkdtemp()
    try:
        for name, data in corpora(rng).items():
            src = os.path.join(work, name)
            with open(src, "wb") as f:
                f.write(data)
            orig = name + ".orig"
            shutil.copy(src, os.path.join(out_dir, orig))
            # gzip: the raw data follows a ten-byte header (no name with -n) and ends 8 bytes early.
            gz = subprocess.run(["gzip", "-9", "-n", "-c", src], check=True,
                                stdout=subprocess.PIPE).stdout
            assert gz[3] == 0
            runs = [("gzip", 8, gz[10:-8])]
            for level in range(1, 10):
                arc = os.path.join(work, "%s-%d.zip" % (name, level))
                subprocess.run(["zip", "-q", "-j", "-%d" % level, arc, src], check=True)
                runs += [("zip%d" % level, m, d) for m, _, d in raw_entries(arc)]
            for tag, extra in (("7z", []), ("7z64", ["-mm=Deflate64"]), ("7z64x", ["-mm=Deflate64", "-mx=9"])):
                arc = os.path.join(work, "%s-%s.zip" % (name, tag))
                subprocess.run(["7zz", "a", "-tzip", *extra, arc, src], check=True,
                               stdout=subprocess.DEVNULL)
                runs += [(tag, m, d) for m, _, d in raw_entries(arc)]
            for tag, method, raw in runs:
                if method not in (8, 9):
                    continue  # zip stores what does not compress
                fname = "%s.%s.raw" % (name, tag)
                with open(os.path.join(out_dir, fname), "wb") as f:
                    f.write(raw)
                manifest.append("%d %s %s" % (method, fname, orig))
        if shared and os.path.isdir(shared):  # the shared archives may be absent
            for arc_name, orig_name in (("lorem-ipsum-deflate64.zip", "lorem-ipsum.txt"),
                                        ("COMPRESS-380.zip", "COMPRESS-380-input"),
                                        ("COMPRESS-380-dd.zip", "COMPRESS-380-input")):
                shutil.copy(os.path.join(shared, orig_name), os.path.join(out_dir, orig_name))
                with open(os.path.join(shared, orig_name), "rb") as f:
                    crc = zlib.crc32(f.read())
                for i, (method, entry_crc, raw) in enumerate(
                        raw_entries(os.path.join(shared, arc_name))):
                    if entry_crc != crc:
                        continue  # another file of the archive
                    fname = "%s.%d.raw" % (arc_name, i)
                    with open(os.path.join(out_dir, fname), "wb") as f:
                        f.write(raw)
                    manifest.append("%d %s %s" % (method, fname, orig_name))
    finally:
        shutil.rmtree(work)
    with open(os.path.join(out_dir, "manifest.txt"), "w") as f:
        f.write("\n".join(manifest) + "\n")

if __name__ == "__main__":
    main()
