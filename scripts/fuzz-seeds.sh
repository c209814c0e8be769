#!/usr/bin/env bash
# Makes the fuzz targets' seed inputs with real tools into OUT/<target>/ (called by the fuzz build).
#   InflateFuzz:       [mode][piece seed][stream]; mode bit 0 = Deflate64, bit 1 = wrapped
#   CipherInflateFuzz: [mode][password length][password][flags:2][crc:4][dos time:4][12-byte
#                      header][enciphered stream], little-endian numbers, mode as above (raw only)
#   DetectFuzz:        whole files, as archive detection sees them
#   LegacyFuzz:        [mode][stream]; mode = method - 1 + 6 * (flags >> 1 & 3)
#   UnZipFuzz:         whole archives: every archive the extraction tests' script makes (by the
#                      real tools and hostile ones), the zip archives made here, split sets
#                      (their first and last volumes, and each whole set concatenated) and the
#                      shared legacy archives
# Raw streams come from gzip, zip and 7-Zip (Deflate64); the wrapped ones add the two-byte header
# and the Adler-32 trailer around gzip's raw stream; enciphered entries come from zip -P.
set -euo pipefail
out=${1:?usage: fuzz-seeds.sh OUT}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out/InflateFuzz" "$out/CipherInflateFuzz" "$out/DetectFuzz" "$out/LegacyFuzz" \
  "$out/UnZipFuzz"
# No tool here makes shrunk, reduced or imploded entries: besides a few streams written below,
# those seeds are the shared test data's streams and archive entries, when it is beside the project.
shared=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/shared/testdata/zip/legacy

# Sample contents: text, repetitive data, a little binary data, an empty file and a long run.
{ for i in $(seq 1 300); do echo "line $i: the quick brown fox jumps over the lazy dog"; done; } \
  >"$work/text.txt"
head -c 3000 /dev/zero | tr '\0' 'a' >"$work/run.txt"
python3 -c 'import sys; sys.stdout.buffer.write(bytes((i * 7 + (i >> 5)) & 255 for i in range(20000)))' \
  >"$work/bin.dat"
: >"$work/empty.txt"
python3 -c 'import sys; sys.stdout.buffer.write((b"abcdefgh" * 40000) + bytes(range(256)) * 300)' \
  >"$work/long.dat"
samples=(text.txt run.txt bin.dat empty.txt long.dat)

# Raw deflate from gzip (-n: no name, so the header is 10 bytes; the trailer is 8).
for f in "${samples[@]}"; do
  for level in 1 9; do
    gzip -n -c -"$level" "$work/$f" >"$work/$f.$level.gz"
  done
done
# Zip archives: deflate (zip), Deflate64 (7-Zip), enciphered deflate (zip -P).
(cd "$work" && zip -q -9 deflate.zip "${samples[@]}")
(cd "$work" && zip -q -1 -P secret enc.zip text.txt bin.dat long.dat)
(cd "$work" && zip -q -P 'a much longer password, with spaces' enc2.zip text.txt run.txt)
(cd "$work" && 7zz a -bd -tzip -mm=Deflate64 d64.zip "${samples[@]}" >/dev/null)
(cd "$work" && 7zz a -bd -tzip -mm=Deflate64 -mx=9 -psecret -mem=ZipCrypto d64enc.zip text.txt \
  bin.dat >/dev/null)

# Whole archives for the extraction target.
python3 "$(dirname "${BASH_SOURCE[0]}")/../tests/archive/make_zip_inputs.py" "$work/zipin" >/dev/null
n=0
for f in "$work"/zipin/tools/* "$work"/zipin/hostile/* "$work"/zipin/package/* "$work"/*.zip; do
  n=$((n + 1))
  cp "$f" "$out/UnZipFuzz/seed-$(printf %03d $n)"
done
# Split sets (zip -s, 7-Zip's pieces, the legacy archives split inside their entries): the first
# volume, the last, and the whole set concatenated; and every shared legacy archive as it is.
python3 "$(dirname "${BASH_SOURCE[0]}")/../tests/archive/make_span_inputs.py" "$work/span" \
  "$shared/.." >/dev/null
for set in "$work"/span/*/ "$shared/../split/split_zip_created_by_zip"; do
  case "$(basename "$set")" in tree | many) continue ;; esac
  volumes=()
  for f in "$set"*; do [ -f "$f" ] && volumes+=("$f"); done
  [ "${#volumes[@]}" -ge 2 ] || continue
  n=$((n + 1)); cp "${volumes[0]}" "$out/UnZipFuzz/seed-$(printf %03d $n)"
  n=$((n + 1)); cp "${volumes[-1]}" "$out/UnZipFuzz/seed-$(printf %03d $n)"
  n=$((n + 1)); cat "${volumes[@]}" >"$out/UnZipFuzz/seed-$(printf %03d $n)"
done
for f in "$shared"/*.zip "$shared"/*.ZIP; do
  [ -f "$f" ] || continue
  n=$((n + 1))
  cp "$f" "$out/UnZipFuzz/seed-$(printf %03d $n)"
done
echo "fuzz-seeds: UnZipFuzz $n"

python3 - "$work" "$out" "$shared" <<'PY'
import glob, os, struct, sys, zlib
work, out, shared = sys.argv[1], sys.argv[2], sys.argv[3]
count = {"InflateFuzz": 0, "CipherInflateFuzz": 0, "LegacyFuzz": 0}

def put(target, data):
    count[target] += 1
    with open(os.path.join(out, target, "seed-%03d" % count[target]), "wb") as f:
        f.write(data)

def entries(path):
    """The local entries of a zip file: (flags, method, dos time, crc, data)."""
    blob = open(path, "rb").read()
    pos = 0
    while blob[pos:pos + 4] == b"PK\x03\x04":
        flags, method, time, date, crc, csize = struct.unpack_from("<HHHHII", blob, pos + 6)
        nlen, xlen = struct.unpack_from("<HH", blob, pos + 26)
        start = pos + 30 + nlen + xlen
        yield flags, method, time | (date << 16), crc, blob[start:start + csize]
        pos = start + csize
        if flags & 8:  # a data descriptor follows, with or without its signature
            if blob[pos:pos + 4] == b"PK\x07\x08":
                pos += 4
            pos += 12

pieces = [1, 7, 64, 200]
for gz in sorted(glob.glob(os.path.join(work, "*.gz"))):
    raw = open(gz, "rb").read()[10:-8]
    for p in pieces[:2]:
        put("InflateFuzz", bytes([0, p]) + raw)
    # Wrapped: the same stream between a two-byte header and the Adler-32 of the content.
    content = open(gz[:gz.rindex(".", 0, gz.rindex("."))], "rb").read()
    wrapped = b"\x78\x9c" + raw + struct.pack(">I", zlib.adler32(content))
    put("InflateFuzz", bytes([2, pieces[2]]) + wrapped)
for path, mode in (("deflate.zip", 0), ("d64.zip", 1)):
    for flags, method, time, crc, data in entries(os.path.join(work, path)):
        if method in (8, 9):
            put("InflateFuzz", bytes([mode, pieces[3]]) + data)
            put("InflateFuzz", bytes([mode | 2, 3]) + data)
for path, password in (("enc.zip", b"secret"), ("enc2.zip", b"a much longer password, with spaces"),
                       ("d64enc.zip", b"secret")):
    for flags, method, time, crc, data in entries(os.path.join(work, path)):
        if flags & 1 and method in (8, 9):
            mode = 1 if method == 9 else 0
            put("CipherInflateFuzz", bytes([mode, len(password)]) + password
                + struct.pack("<HII", flags, crc, time) + data)

def legacy_mode(method, flags):
    return method - 1 + 6 * (flags >> 1 & 3)

# Small legacy streams written here, so the target has seeds without the shared data: a shrunk
# stream of 9-bit codes and a reduced one with empty follower sets (plain bytes), LSB first.
def pack(values):
    acc, bits, data = 0, 0, bytearray()
    for value, width in values:
        acc |= value << bits
        bits += width
        while bits >= 8:
            data.append(acc & 255)
            acc >>= 8
            bits -= 8
    return bytes(data + (bytes([acc]) if bits else b""))

text = b"the legacy decoders and their follower sets"
put("LegacyFuzz", bytes([legacy_mode(1, 0)]) + pack([(c, 9) for c in text] + [(257, 9), (256, 9),
                                                    (2, 9), (258, 9), (256, 9), (1, 9), (300, 10)]))
for method in (2, 5):
    put("LegacyFuzz", bytes([legacy_mode(method, 0)]) + pack([(0, 6)] * 256 + [(c, 8) for c in text]
                                                             + [(0x90, 8), (0x13, 8), (4, 8)]))
if os.path.isdir(shared):
    implode_flags = {"implode_hamlet_256.bin": 0}
    for path in sorted(glob.glob(os.path.join(shared, "*.bin"))):
        method = 6 if "implode" in os.path.basename(path) else 5
        flags = implode_flags.get(os.path.basename(path), 0)
        put("LegacyFuzz", bytes([legacy_mode(method, flags)]) + open(path, "rb").read())
    for path in sorted(glob.glob(os.path.join(shared, "*.zip")) + glob.glob(os.path.join(shared, "*.ZIP"))):
        for flags, method, time, crc, data in entries(path):
            if 1 <= method <= 6 and len(data) <= 8192:
                put("LegacyFuzz", bytes([legacy_mode(method, flags)]) + data)
for target, n in count.items():
    if n == 0:
        sys.exit("fuzz-seeds: no seeds made for " + target)
print("fuzz-seeds: " + ", ".join("%s %d" % kv for kv in count.items()))
PY
# DetectFuzz: whole files made by zip, 7-Zip, tar, gzip and Python's zipfile, and the archives above.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python3 "$here/../tests/archive/make_detect_inputs.py" "$work/detect"
find "$work/detect" -type f ! -name manifest.txt -exec cp {} "$out/DetectFuzz/" \;
cp "$work/deflate.zip" "$work/enc.zip" "$work/d64.zip" "$out/DetectFuzz/"
