#!/usr/bin/env python3
"""Makes the inputs of the multi-volume tests with the real tools: split sets written by zip -s
at several volume sizes (stored and deflated, with entries whose data crosses volumes), the raw
pieces 7-Zip's -v writes, and split sets of the shared legacy archives (shrunk, reduced,
imploded), cut between volumes inside an entry's data the way zip cuts its own sets.

Usage: make_span_inputs.py OUT_DIR [SHARED_ZIP_TESTDATA]
Writes OUT_DIR/manifest.txt, one line per input, tab-separated: the kind ("set", "pieces",
"legacy"), then key=value fields."""
import os, random, shutil, struct, subprocess, sys

def run(args, cwd):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

def make_tree(folder):
    rng = random.Random(2026)
    files = {
        "big.bin": bytes(rng.randrange(256) for _ in range(150000)),
        "mid.bin": bytes(rng.randrange(256) for _ in range(70000)),
        "docs/readme.txt": b"".join(b"line %d of the theme package readme\n" % i
                                    for i in range(3000)),
        "docs/deep/small.txt": b"a small file at the bottom of the tree\n",
        "docs/empty.txt": b"",
        "icons/run.ico": b"\x00\x00\x01\x00" + b"icon " * 9000,
    }
    for name, data in files.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

def volumes_of(folder, base):
    """The volume files of the set whose last volume is base + ".zip", first to last."""
    names = sorted(n for n in os.listdir(folder)
                   if n.startswith(base + ".z") and n[len(base) + 2:].isdigit())
    return names + [base + ".zip"]

def end_record(data):
    at = data.rfind(b"PK\x05\x06")
    (this_disk, central_disk, _, count, size, offset) = struct.unpack("<HHHHII",
                                                                     data[at + 4:at + 20])
    return at, this_disk, central_disk, count, size, offset

def split_zip(data, cut, folder, base):
    """Writes a one-volume zip as a split set (marker, volumes of about Cut bytes, the directory
    on the last one); a cut never falls inside a local header. The number of volumes."""
    at, _, _, count, size, offset = end_record(data)
    central = data[offset:offset + size]
    stream = b"PK\x07\x08" + data[:offset]
    headers = []  # (start, end) of each local header with its name and extra field
    entries = []
    p = 0
    for _ in range(count):
        fields = struct.unpack("<IHHHHHHIIIHHHHHII", central[p:p + 46])
        name_len, extra_len, comment_len = fields[10], fields[11], fields[12]
        local = fields[16] + 4
        lname, lextra = struct.unpack("<HH", stream[local + 26:local + 30])
        headers.append((local, local + 30 + lname + lextra))
        entries.append((p, local))
        p += 46 + name_len + extra_len + comment_len
    cuts = []
    position = cut
    while position < len(stream):
        for start, end in headers:
            if start < position < end:
                position = start
        if cuts and position <= cuts[-1] or position <= 0:
            position = (cuts[-1] if cuts else 0) + cut
            continue
        cuts.append(position)
        position += cut
    bounds = [0] + cuts + [len(stream)]
    pieces = [stream[bounds[i]:bounds[i + 1]] for i in range(len(bounds) - 1)]
    last = len(pieces) - 1
    new_central = bytearray(central)
    for p, local in entries:
        disk = max(i for i in range(len(bounds) - 1) if bounds[i] <= local)
        struct.pack_into("<HI", new_central, p + 34, disk, 0)
        struct.pack_into("<I", new_central, p + 42, local - bounds[disk])
    end = bytearray(data[at:at + 22])
    struct.pack_into("<HHHHII", end, 4, last, last, count, count, size, len(pieces[last]))
    pieces[last] = pieces[last] + bytes(new_central) + bytes(end)
    for i, piece in enumerate(pieces):
        name = base + (".zip" if i == last else ".z%02d" % (i + 1))
        with open(os.path.join(folder, name), "wb") as f:
            f.write(piece)
    return len(pieces)

def main():
    out = sys.argv[1]
    shared = sys.argv[2] if len(sys.argv) > 2 else ""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    tree = os.path.join(out, "tree")
    make_tree(tree)
    manifest = []
    def add(kind, **fields):
        manifest.append(kind + "".join("\t%s=%s" % kv for kv in fields.items()))

    # zip's own split sets: the directory must be on the last volume, as the reader expects.
    for base, options in (("deflated_64k", ["-s", "64k"]), ("stored_64k", ["-0", "-s", "64k"]),
                          ("deflated_200k", ["-s", "200k"]), ("stored_100k", ["-0", "-s", "100k"])):
        folder = os.path.join(out, base)
        os.makedirs(folder)
        run(["zip", "-q", "-r", "-X"] + options + [os.path.join(folder, base + ".zip"), "."], tree)
        names = volumes_of(folder, base)
        with open(os.path.join(folder, names[-1]), "rb") as f:
            _, this_disk, central_disk, _, _, _ = end_record(f.read())
        assert this_disk == central_disk == len(names) - 1, base
        add("set", name=base + "/" + names[-1], volumes=len(names), tree="tree")

    # A directory too large for the last volume: it begins on an earlier one.
    many = os.path.join(out, "many")
    for i in range(1000):
        path = os.path.join(many, "folder %d" % (i // 100), "a file with a rather long name %04d.txt" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"file %d\n" % i * (i % 40))
    folder = os.path.join(out, "bigdir_64k")
    os.makedirs(folder)
    run(["zip", "-q", "-r", "-X", "-s", "64k", os.path.join(folder, "bigdir_64k.zip"), "."], many)
    names = volumes_of(folder, "bigdir_64k")
    with open(os.path.join(folder, names[-1]), "rb") as f:
        _, this_disk, central_disk, _, _, _ = end_record(f.read())
    assert central_disk < this_disk == len(names) - 1
    add("bigdir", name="bigdir_64k/" + names[-1], volumes=len(names), tree="many",
        central=central_disk + 1)

    # Traditional encryption goes on over the volumes as the data does.
    folder = os.path.join(out, "secret_64k")
    os.makedirs(folder)
    run(["zip", "-q", "-r", "-X", "-P", "lumagrove", "-s", "64k",
         os.path.join(folder, "secret_64k.zip"), "."], tree)
    add("secret", name="secret_64k/secret_64k.zip", password="lumagrove",
        volumes=len(volumes_of(folder, "secret_64k")))

    # 7-Zip's -v cuts one archive into raw pieces, with no marker and no volume numbers.
    folder = os.path.join(out, "pieces")
    os.makedirs(folder)
    run(["7zz", "a", "-tzip", "-v40k", os.path.join(folder, "pieces.zip"), "."], tree)
    count = len([n for n in os.listdir(folder) if n.startswith("pieces.zip.")])
    add("pieces", first="pieces/pieces.zip.001", count=count)

    # The legacy methods, split inside their entries' data.
    if shared and os.path.isdir(shared):
        for source, cut, expect in (
                ("legacy/lorem-ipsum-implode.zip", 16000, "deflate64/lorem-ipsum.txt"),
                ("legacy/shrink.zip", 300, "legacy/folder/first.txt"),
                ("legacy/reduce.zip", 400, "legacy/folder/first.txt"),
                ("legacy/implode.zip", 350, "legacy/folder/first.txt")):
            base = "split_" + os.path.splitext(os.path.basename(source))[0].replace("-", "_")
            folder = os.path.join(out, base)
            os.makedirs(folder)
            with open(os.path.join(shared, source), "rb") as f:
                volumes = split_zip(f.read(), cut, folder, base)
            assert volumes >= 2, source
            add("legacy", name=base + "/" + base + ".zip", volumes=volumes,
                expect=os.path.abspath(os.path.join(shared, expect)))

    with open(os.path.join(out, "manifest.txt"), "w") as f:
        f.write("\n".join(manifest) + "\n")

if __name__ == "__main__":
    main()
