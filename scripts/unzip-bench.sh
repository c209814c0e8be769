#!/usr/bin/env bash
# The extraction benchmark: makes a ~100 MB package of mixed content (text, pictures, icons and a
# few large files), compresses it with zip -6 and with 7-Zip's Deflate64, and extracts each with
# TUnZip and with the real tool (unzip -o -q, 7zz x -y) in the same run; prints times and ratios.
#   scripts/unzip-bench.sh [rounds, default 3]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
rounds=${1:-3}
native="$LUMAGROVE_BUILD/native"
[ -f "$native/CMakeCache.txt" ] || cmake -S "$LUMAGROVE_ROOT" -B "$native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$native" -j4 --target unzip_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/package" <<'PY'
import os, random, struct, sys
root = sys.argv[1]
rng = random.Random(2026)
words = ("icon theme cursor package logon wallpaper registry folder shell desktop the a of and "
         "colour window start button tray program").split()
def put(name, data):
    path = os.path.join(root, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
total = 0
# Text: settings, readmes, scripts (about 25 MB).
for i in range(250):
    data = "\n".join(" ".join(rng.choice(words) for _ in range(14)) for _ in range(1300)).encode()
    put("text/doc%03d.txt" % i, data); total += len(data)
# Pictures: bitmaps of smooth gradients with noise (about 40 MB).
for i in range(40):
    w, h = 640, 480
    rows = bytearray()
    for y in range(h):
        rows += bytes(((x + y + i * 7) // 3 + rng.randrange(4)) & 255 for x in range(w * 3 // 3)) * 3
    data = b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54) + bytes(40) + bytes(rows)
    put("pictures/wall%02d.bmp" % i, data); total += len(data)
# Icons: many small files (about 10 MB).
for i in range(1200):
    data = bytes(rng.randrange(256) for _ in range(200)) * 40 + bytes(rng.randrange(256) for _ in range(600))
    put("icons/set%02d/icon%04d.ico" % (i // 100, i), data); total += len(data)
# A few large files: a random one (stored by zip) and repetitive ones (about 25 MB).
put("large/random.bin", os.urandom(8 << 20)); total += 8 << 20
put("large/records.dat", b"".join(struct.pack("<IIHH", i, i * 7, i % 300, 1) for i in range(700000)))
put("large/log.txt", b"".join(b"2026-12-09 00:%02d:%02d entry %d ok\n" % (i // 60 % 60, i % 60, i) for i in range(250000)))
PY
(cd "$work/package" && zip -q -r -6 "$work/package-zip6.zip" .)
(cd "$work/package" && 7zz a -bd -tzip -mm=Deflate64 "$work/package-deflate64.zip" . >/dev/null)
echo "package: $(du -sm "$work/package" | cut -f1) MB in $(find "$work/package" -type f | wc -l) files;" \
  "zip -6 $(du -sm "$work/package-zip6.zip" | cut -f1) MB, Deflate64 $(du -sm "$work/package-deflate64.zip" | cut -f1) MB"
"$native/unzip_bench" "$work/package-zip6.zip" "$work/out" "unzip -o -q {archive} -d {folder}" "$rounds"
"$native/unzip_bench" "$work/package-deflate64.zip" "$work/out" "7zz x -y -bd -o{folder} {archive} >/dev/null" "$rounds"

# The legacy methods beside deflate on the same texts: the shared imploded, shrunk and reduced
# archives, and the same texts compressed by zip -9.
shared="$LUMAGROVE_ROOT/../shared/testdata/zip"
if [ -d "$shared/legacy" ]; then
  zip -q -j -9 "$work/lorem-ipsum-deflated.zip" "$shared/deflate64/lorem-ipsum.txt"
  zip -q -j -9 "$work/first-deflated.zip" "$shared/legacy/folder/first.txt"
  "$native/unzip_bench" --methods "$work/out" "$shared/legacy/lorem-ipsum-implode.zip" \
    "$work/lorem-ipsum-deflated.zip" "$shared/legacy/implode.zip" "$shared/legacy/shrink.zip" \
    "$shared/legacy/reduce.zip" "$work/first-deflated.zip"
else
  echo "legacy methods: the shared test archives are not beside the project"
fi
