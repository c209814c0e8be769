#!/usr/bin/env python3
"""Makes the inputs of the zip extraction tests: archives made by the real tools, each beside the
tree that `unzip` (or `7zz x` for what only 7-Zip reads) extracts from it, and hostile archives
built record by record, each with what an extraction of it must and may leave behind.

Usage: make_zip_inputs.py OUT_DIR [--shared DIR] [--stub PROGRAM]
  --shared: the shared test archives (their deflate64/, encryption/ and zip64/ folders are listed)
  --stub:   a small program of the project to put in front of the self-extractor (else an MZ stub)

Writes OUT_DIR/manifest.txt, one case a line, tab-separated key=value fields after the kind:
  tool     name= archive= ref= [password=]
  shared   name= archive= ref= files= [password=]
  package  name= archive= ref= files= [failed=]
  hostile  name= archive= entries= codes= [expect=] [maybe=]
  oem      name= archive= files=   (two names in code page 437: f\x81r.txt, \x8erger/\x94.txt)
Paths are relative to OUT_DIR except shared archives, which stay where they are (absolute).
  ref:        a folder whose files must come out exactly (names, sizes, bytes), and no others
  expect:     a list of "output name<TAB>content file" lines: files that must come out exactly
  maybe:      the same for files that may come out; when one does, it may differ only if the
              entry was counted as failed. No file outside these two lists may come out.
  entries:    file entries in the archive; every one not extracted exactly must count as failed
  codes:      error codes that must reach OnError ("none": OnError must not fire at all; "any":
              no requirement)"""
import os, random, shutil, struct, subprocess, sys, zipfile, zlib

OUT = None
MANIFEST = []


def run(args, cwd=None, stdin=None, stdout=subprocess.DEVNULL):
    subprocess.run(args, cwd=cwd, check=True, stdin=stdin, stdout=stdout, stderr=subprocess.DEVNULL)


def put(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def line(kind, **fields):
    MANIFEST.append("\t".join([kind] + ["%s=%s" % kv for kv in fields.items()]))


# ----- contents ------------------------------------------------------------------------------

def make_tree(root, rng):
    """A few hundred KB of mixed text and binary content, nested folders and empty files."""
    words = ("icon theme cursor package logon wallpaper registry folder shell desktop the a of "
             "and colour window start button tray program").split()
    text = lambda n: "\n".join(" ".join(rng.choice(words) for _ in range(12))
                               for _ in range(n)).encode()
    noise = lambda n: bytes(rng.randrange(256) for _ in range(n))
    records = lambda n: b"".join(struct.pack("<IHBB", i, rng.randrange(30), 7, rng.randrange(4))
                                 for i in range(n))
    files = {
        "readme.txt": text(400),
        "README": b"no dot in this name\n",
        "empty.txt": b"",
        "docs/manual.txt": text(2500),
        "docs/empty/zero.bin": b"",
        "docs/deep/er/still/deeper/leaf.txt": text(20),
        "icons/app.ico": records(3000),
        "icons/noise.bin": noise(70000),
        "icons/sub/run.dat": b"a" * 150000 + b"b" * 5000,
        "cursors/arrow.cur": records(800) + noise(500),
        "one.txt": b"x",
    }
    for name, data in files.items():
        put(os.path.join(root, name), data)
    return sorted(files)


def reference(archive, ref, password=None, seven=False):
    """The tree the real tool extracts from ARCHIVE, into REF."""
    shutil.rmtree(ref, ignore_errors=True)
    os.makedirs(ref)
    if seven:
        run(["7zz", "x", "-y", "-o" + ref] + (["-p" + password] if password else []) + [archive])
    else:
        run(["unzip", "-o", "-q"] + (["-P", password] if password else []) + [archive, "-d", ref])
    # Stored folders are not made by the component unless asked: only files are compared.


def rel(path):
    return os.path.relpath(path, OUT)


def tool_archives(tree, names, stub):
    arc = os.path.join(OUT, "tools")
    os.makedirs(arc, exist_ok=True)

    def made(name, password=None, seven=False):
        path = os.path.join(arc, name + ".zip")
        ref = os.path.join(OUT, "ref", name)
        reference(path, ref, password, seven)
        fields = dict(name=name, archive=rel(path), ref=rel(ref))
        if password:
            fields["password"] = password
        line("tool", **fields)

    def zip_(name, *options):
        path = os.path.join(arc, name + ".zip")
        if os.path.exists(path):
            os.remove(path)
        run(["zip", "-q", "-r", *options, path, "."], cwd=tree)
        return path

    zip_("zip-stored", "-0"); made("zip-stored")
    for level in range(1, 10):
        zip_("zip-%d" % level, "-%d" % level); made("zip-%d" % level)
    zip_("zip-password", "-P", "secret"); made("zip-password", "secret")
    zip_("zip-zip64", "-fz"); made("zip-zip64")
    # Streamed to a pipe: the sizes and CRCs follow each entry's data in a data descriptor.
    path = os.path.join(arc, "zip-streamed.zip")
    with open(path, "wb") as f:
        zipped = subprocess.Popen(["zip", "-q", "-r", "-", "."], cwd=tree, stdout=subprocess.PIPE)
        subprocess.run(["cat"], stdin=zipped.stdout, stdout=f, check=True)
        zipped.stdout.close()
        if zipped.wait() != 0:
            sys.exit("zip to a pipe failed")
    with open(path, "rb") as f:
        if struct.unpack_from("<H", f.read(8), 6)[0] & 8 == 0:
            sys.exit("zip to a pipe wrote no data descriptor")
    made("zip-streamed")
    path = zip_("zip-comment")
    subprocess.run(["zip", "-q", "-z", path], input=b"A package comment\nover two lines\n",
                   check=True, stdout=subprocess.DEVNULL)
    made("zip-comment")
    # Self-extractor: a program with the archive appended, its offsets then fixed by zip -A.
    if stub and os.path.isfile(stub):
        program = open(stub, "rb").read()
    else:  # a DOS stub that only says it cannot run, padded like a program's headers
        program = (b"MZ" + b"\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff" + b"\x00" * 48
                   + b"This program cannot be run in DOS mode.\r\n$" + b"\x00" * 400)
    inner = zip_("sfx-inner", "-6")
    path = os.path.join(arc, "zip-sfx.exe")
    put(path, program + open(inner, "rb").read())
    os.remove(inner)
    run(["zip", "-q", "-A", path])
    ref = os.path.join(OUT, "ref", "zip-sfx")
    reference(path, ref)
    line("tool", name="zip-sfx", archive=rel(path), ref=rel(ref))
    # 7-Zip: Deflate64 and its traditional encryption; bsdtar's zip writer.
    for name, options in (("7z-deflate64", ["-mm=Deflate64"]),
                          ("7z-deflate64-x9", ["-mm=Deflate64", "-mx=9"]),
                          ("7z-zipcrypto", ["-mem=ZipCrypto", "-psecret"])):
        path = os.path.join(arc, name + ".zip")
        run(["7zz", "a", "-bd", "-tzip", *options, path, "."], cwd=tree)
        made(name, "secret" if "crypto" in name else None, seven=True)
    path = os.path.join(arc, "bsdtar.zip")
    run(["bsdtar", "--format", "zip", "-cf", path, "."], cwd=tree)
    made("bsdtar")
    # Python: forced zip64 records, stored folders, names with the UTF-8 flag.
    path = os.path.join(arc, "python-zip64.zip")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for n in names:
            with open(os.path.join(tree, n), "rb") as src, z.open(n, "w", force_zip64=True) as dst:
                dst.write(src.read())
    made("python-zip64")
    path = os.path.join(arc, "python-utf8.zip")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("Thèmes/", b"")
        z.writestr("Thèmes/café.txt", b"un caf\xe9, s'il vous pla\xeet\n" * 20)
        z.writestr("Thèmes/Größe/naïve.txt", b"gr\xf6\xdfe\n" * 50)
        z.writestr("plain/", b"")
        z.writestr("plain/ascii.txt", b"plain name\n")
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            if "è" in info.filename and not info.flag_bits & 0x800:
                sys.exit("python wrote a non-ASCII name without the UTF-8 flag")
    made("python-utf8")


def shared_archives(shared):
    for sub in ("deflate64", "encryption", "zip64"):
        folder = os.path.join(shared, sub)
        if not os.path.isdir(folder):
            continue
        for file in sorted(os.listdir(folder)):
            if not file.endswith(".zip"):
                continue
            path = os.path.join(folder, file)
            password = "12345678" if sub == "encryption" else None
            with zipfile.ZipFile(path) as z:
                files = sum(1 for i in z.infolist() if not i.is_dir())
            name = "shared-" + file[:-4]
            ref = os.path.join(OUT, "ref", name)
            reference(path, ref, password, seven=True)
            fields = dict(name=name, archive=path, ref=rel(ref), files=files)
            if password:
                fields["password"] = password
            line("shared", **fields)


def package(tree_root, rng):
    """A theme package as the installers unpack it: icons, cursors and a settings file."""
    pkg = os.path.join(OUT, "work", "package")
    shutil.rmtree(pkg, ignore_errors=True)
    files = {"Theme.ini": b"[Theme]\r\nName=Grove\r\nIcons=12\r\n"}
    for i in range(12):
        files["Icons/icon%02d.ico" % i] = bytes(rng.randrange(256) for _ in range(766)) * 3
    for i in range(6):
        files["Cursors/Animated/c%d.ani" % i] = struct.pack("<I", i) * 2000
    files["Preview/preview.bmp"] = b"BM" + bytes(rng.randrange(16) for _ in range(40000))
    for n, d in files.items():
        put(os.path.join(pkg, n.replace("/", os.sep)), d)
    path = os.path.join(OUT, "package", "grove.iptheme")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.exists(path):
        os.remove(path)
    run(["zip", "-q", "-r", "-9", path, "."], cwd=pkg)
    ref = os.path.join(OUT, "ref", "package")
    reference(path, ref)
    line("package", name="package", archive=rel(path), ref=rel(ref), files=len(files), failed=0)
    # The same package with one stored entry's data damaged: that entry fails its CRC check.
    blob = bytearray(open(path, "rb").read())
    with zipfile.ZipFile(path) as z:
        info = z.getinfo("Theme.ini")
    start = info.header_offset + 30 + struct.unpack_from("<HH", blob, info.header_offset + 26)[0] \
        + struct.unpack_from("<HH", blob, info.header_offset + 26)[1]
    if info.compress_type != 0:
        sys.exit("the package's settings file was expected stored")
    blob[start + 8] ^= 0x20
    bad = os.path.join(OUT, "package", "grove-damaged.iptheme")
    put(bad, bytes(blob))
    line("package", name="package-damaged", archive=rel(bad), ref=rel(ref), files=len(files),
         failed=1)


# ----- hostile archives, record by record ----------------------------------------------------

DOS_TIME = 0x5A8A6000  # 2025-04-10 12:00


class Entry:
    def __init__(self, name, data, method=8, **over):
        self.name = name.encode() if isinstance(name, str) else name
        self.data = data
        self.method = method
        self.crc = zlib.crc32(data)
        if method == 8:
            c = zlib.compressobj(6, zlib.DEFLATED, -15)
            self.packed = c.compress(data) + c.flush()
        else:
            self.packed = data
        self.over = over  # csize, usize, crc, local_name, local_extra, central_extra, offset...

    def get(self, key, default):
        return self.over.get(key, default)


def build(entries, cd_offset=None, cd_count=None, tail=b""):
    """The archive's bytes and the offsets where its records start."""
    out = bytearray()
    bounds, offsets = [], []
    for e in entries:
        offsets.append(len(out))
        bounds.append(len(out))
        name = e.get("local_name", e.name)
        extra = e.get("local_extra", b"")
        out += struct.pack("<IHHHIIIIHH", 0x04034B50, 20, e.get("flags", 0), e.method, DOS_TIME,
                           e.get("crc", e.crc), e.get("csize", len(e.packed)),
                           e.get("usize", len(e.data)), e.get("local_name_len", len(name)),
                           len(extra))
        out += name + extra
        bounds.append(len(out))
        out += e.get("stored_bytes", e.packed)
    cd = len(out)
    for e, off in zip(entries, offsets):
        bounds.append(len(out))
        extra = e.get("central_extra", b"")
        out += struct.pack("<IHHHHIIIIHHHHHII", 0x02014B50, 20, 20, e.get("flags", 0), e.method,
                           DOS_TIME, e.get("crc", e.crc), e.get("csize", len(e.packed)),
                           e.get("usize", len(e.data)), len(e.name),
                           e.get("central_extra_len", len(extra)), 0, 0, 0,
                           e.get("attr", 0x20), e.get("offset", off))
        out += e.name + extra
    bounds.append(len(out))
    size = len(out) - cd
    n = len(entries) if cd_count is None else cd_count
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, n, n, size,
                       cd if cd_offset is None else cd_offset, 0)
    out += tail
    return bytes(out), bounds


def hostile(name, blob, entries, codes, expect=None, maybe=None):
    path = os.path.join(OUT, "hostile", name + ".zip")
    put(path, blob)
    fields = dict(name=name, archive=rel(path), entries=entries, codes=codes)
    # The files are listed, not laid out: some names cannot be files of this system.
    folder = os.path.join(OUT, "ref", "hostile", name)
    for key, files in (("expect", expect), ("maybe", maybe)):
        if files:
            listing = []
            for i, (n, d) in enumerate(files.items()):
                put(os.path.join(folder, "%s%d.bin" % (key, i)), d)
                listing.append("%s\t%s" % (n, rel(os.path.join(folder, "%s%d.bin" % (key, i)))))
            put(os.path.join(folder, key + ".txt"), ("\n".join(listing) + "\n").encode())
            fields[key] = rel(os.path.join(folder, key + ".txt"))
    line("hostile", **fields)


def hostile_archives(rng):
    keep = b"kept: the run goes on after a bad entry\n" * 30
    evil = b"this must never leave the target folder\n"
    K = lambda: Entry("keep.txt", keep)
    INVALID = "25245"  # "Invalid file name"

    # Names that climb out of the target folder, with either separator.
    es = [Entry("../evil1.txt", evil), Entry("sub/../../evil2.txt", evil),
          Entry("sub/../../../evil3.txt", evil, method=0), K()]
    hostile("dotdot-slash", build(es)[0], 4, INVALID, expect={"keep.txt": keep})
    es = [Entry("..\\evil4.txt", evil), Entry("a\\..\\..\\evil5.txt", evil),
          Entry("a\\b\\..\\..\\..\\..\\evil6.txt", evil), K()]
    hostile("dotdot-backslash", build(es)[0], 4, INVALID, expect={"keep.txt": keep})
    # A Unix symbolic link that points out of the target, then a file written "through" it.
    link = Entry("link", b"../../../evil12.txt", method=0, attr=0xA1FF0000)
    through = Entry("link", evil, method=0)
    # (Two entries share one name: the file of the second is what stays.)
    hostile("symlink-then-write", build([link, through, K()])[0], 2, "any",
            expect={"keep.txt": keep}, maybe={"link": evil})
    # A file whose name is already a folder of an earlier entry: it cannot be made.
    es = [Entry("x/y.txt", keep), Entry("x", evil), K()]
    hostile("file-over-folder", build(es)[0], 3, "25235",
            expect={"x/y.txt": keep, "keep.txt": keep})
    # A name that only looks like one: ".." inside a file name is harmless.
    dots = b"two dots inside a name\n"
    hostile("dots-in-name", build([Entry("a..b/c..txt", dots), K()])[0], 2, "none",
            expect={"a..b/c..txt": dots, "keep.txt": keep})
    # Absolute names land under the target: the drive and the leading separator are dropped.
    es = [Entry("/abs/evil7.txt", evil), Entry("C:\\x\\evil8.txt", evil),
          Entry("C:evil9.txt", evil), K()]
    hostile("absolute", build(es)[0], 4, "any", expect={"keep.txt": keep},
            maybe={"abs/evil7.txt": evil, "x/evil8.txt": evil, "evil9.txt": evil})
    es = [Entry("\\\\server\\share\\evil10.txt", evil), K()]
    hostile("unc", build(es)[0], 2, "any", expect={"keep.txt": keep},
            maybe={"server/share/evil10.txt": evil})
    # A colon after the first letter: on Windows a stream of file "a".
    es = [Entry("a:b", evil), Entry("sub/c:d.txt", evil), K()]
    hostile("colon", build(es)[0], 3, "any", expect={"keep.txt": keep},
            maybe={"b": evil, "sub/c:d.txt": evil, "b/c:d.txt": evil})
    # Device names: Windows would write them to a device instead of a file.
    dev = b"device name data\n"
    es = [Entry("CON", dev), Entry("sub/nul.txt", dev), Entry("aux.ico", dev, method=0), K()]
    hostile("devices", build(es)[0], 4, "any", expect={"keep.txt": keep},
            maybe={"CON": dev, "sub/nul.txt": dev, "aux.ico": dev})

    # Overlapping entries: the inner entry's local header lies inside the outer entry's data,
    # and two central entries share one local header.
    inner = Entry("inner.txt", b"inner data " * 40, method=0)
    inner_rec = struct.pack("<IHHHIIIIHH", 0x04034B50, 20, 0, 0, DOS_TIME, inner.crc,
                            len(inner.data), len(inner.data), len(inner.name), 0) + inner.name \
        + inner.data
    outer = Entry("outer.bin", b"head" + inner_rec + b"tail", method=0)
    blob, _ = build([outer, K()])
    inner_at = 30 + len(outer.name) + 4
    both = Entry("inner.txt", inner.data, method=0, offset=inner_at)
    twin = Entry("twin.txt", inner.data, method=0, offset=inner_at)
    blob, _ = build([outer, both, twin, K()])
    hostile("overlap", blob, 4, "any", expect={"keep.txt": keep},
            maybe={"outer.bin": outer.data, "inner.txt": inner.data, "twin.txt": inner.data})

    # A central directory said to lie past the end: the entries are found by their local headers.
    a, b = b"first entry\n" * 100, bytes(rng.randrange(256) for _ in range(3000))
    es = [Entry("a.txt", a), Entry("dir/b.bin", b, method=0), K()]
    blob, _ = build(es, cd_offset=10 ** 9)
    hostile("cd-past-end", blob, 3, "any", maybe={"a.txt": a, "dir/b.bin": b, "keep.txt": keep})
    blob, _ = build(es, cd_count=60000)
    hostile("cd-count-lies", blob, 3, "any", maybe={"a.txt": a, "dir/b.bin": b, "keep.txt": keep})
    # A central header in the middle of the directory damaged: the entries after it are in the
    # archive (the end record counts them) and may not vanish without a word.
    blob, bounds = build(es)
    second = bounds[2 * len(es) + 1]
    blob = blob[:second] + b"XX" + blob[second + 2:]
    hostile("cd-broken-middle", blob, 3, "any", expect={"a.txt": a},
            maybe={"dir/b.bin": b, "keep.txt": keep})
    # The directory says an entry's local header is somewhere it is not.
    es2 = [Entry("moved.txt", a, offset=7), K()]
    hostile("local-offset-wrong", build(es2)[0], 2, "25114", expect={"keep.txt": keep})
    es2 = [Entry("far.txt", a, offset=0xFFFFFF00), K()]
    hostile("local-offset-past-end", build(es2)[0], 2, "any", expect={"keep.txt": keep})

    # Truncated at every record boundary (and one byte into each record).
    # Every entry whose local header is whole before the cut must come out or count as failed.
    blob, bounds = build(es)
    data_starts = bounds[1:2 * len(es):2]
    cuts = sorted(set(bounds + [x + 1 for x in bounds] + [len(blob) - 1]))
    for cut in cuts:
        if 0 < cut < len(blob):
            whole = sum(1 for start in data_starts if start <= cut)
            hostile("truncated-%05d" % cut, blob[:cut], whole, "any",
                    maybe={"a.txt": a, "dir/b.bin": b, "keep.txt": keep})
    # No central directory and no end record at all: the local headers are all there is.
    hostile("no-directory", blob[:bounds[2 * len(es)]], 3, "any",
            expect={"a.txt": a, "dir/b.bin": b, "keep.txt": keep})

    # Sizes that lie, both ways, for stored and deflated entries.
    text = b"sizes that lie about this entry " * 200
    cases = {
        "stored-csize-small": Entry("lie.txt", text, method=0, csize=100),
        "stored-csize-large": Entry("lie.txt", text, method=0, csize=len(text) + 5000),
        "stored-usize-small": Entry("lie.txt", text, method=0, usize=100),
        "deflated-csize-small": Entry("lie.txt", text, csize=20),
        "deflated-csize-large": Entry("lie.txt", text, csize=100000),
        "deflated-usize-small": Entry("lie.txt", text, usize=100),
        "deflated-usize-large": Entry("lie.txt", text, usize=len(text) * 10),
        "crc-wrong": Entry("lie.txt", text, crc=0x12345678),
        "huge-usize": Entry("lie.txt", text, usize=0xFFFFFFF0),
        "huge-csize": Entry("lie.txt", text, method=0, csize=0xFFFFFFF0),
    }
    for name, e in cases.items():
        code = "25151" if name in ("crc-wrong", "stored-csize-small", "deflated-usize-small") \
            else "any"
        hostile("size-" + name, build([e, K()])[0], 2, code, expect={"keep.txt": keep},
                maybe={"lie.txt": text})
    # Huge sizes through zip64 extra fields (48 bits and more) on a small entry.
    z64 = struct.pack("<HHQQ", 1, 16, 1 << 47, len(Entry("lie.txt", text).packed))
    e = Entry("lie.txt", text, usize=0xFFFFFFFF, csize=0xFFFFFFFF, local_extra=z64,
              central_extra=z64)
    hostile("size-zip64-huge", build([e, K()])[0], 2, "any", expect={"keep.txt": keep},
            maybe={"lie.txt": text})
    # The same values given soundly: both headers send every size and the offset to the zip64
    # field, which holds the true values.
    d = Entry("z.txt", text)
    z64c = struct.pack("<HHQQQ", 1, 24, len(d.data), len(d.packed), 0)
    z64l = struct.pack("<HHQQ", 1, 16, len(d.data), len(d.packed))
    e = Entry("z.txt", text, usize=0xFFFFFFFF, csize=0xFFFFFFFF, offset=0xFFFFFFFF,
              local_extra=z64l, central_extra=z64c)
    hostile("zip64-fields-sound", build([e])[0], 1, "none", expect={"z.txt": text})
    # Unsupported and damaged methods.
    for method in (7, 99):
        e = Entry("m.txt", text, method=0)
        e.method = method
        hostile("method-%d" % method, build([e, K()])[0], 2, "25326", expect={"keep.txt": keep},
                maybe={"m.txt": text})
    e = Entry("garbage.txt", text)
    e.packed = bytes(rng.randrange(256) for _ in range(len(e.packed)))
    hostile("deflate-garbage", build([e, K()])[0], 2, "any", expect={"keep.txt": keep},
            maybe={"garbage.txt": text})

    # Extra fields whose lengths overrun their area, the record, or the file.
    over = struct.pack("<HH", 1, 0xFFF0) + b"\x01\x02"
    for name, kw in (("local", dict(local_extra=over)), ("central", dict(central_extra=over)),
                     ("both", dict(local_extra=over, central_extra=over)),
                     ("unknown-tag", dict(central_extra=struct.pack("<HH", 0x7777, 0x8000))),
                     ("central-len", dict(central_extra=b"", central_extra_len=0xFFFF))):
        e = Entry("x.txt", text, **kw)
        hostile("extra-" + name, build([e, K()])[0], 2, "any", maybe={"x.txt": text,
                                                                     "keep.txt": keep})
    # Names of 300 bytes (longer than the 255 a name buffer may hold), in folders and alone.
    long_dir = "d" * 100 + "/" + "e" * 100 + "/" + "f" * 89 + "/long.txt"
    long_file = "n" * 296 + ".txt"
    assert len(long_dir) == 300 and len(long_file) == 300
    es = [Entry(long_dir, text), Entry(long_file, text), K()]
    hostile("long-names", build(es)[0], 3, "any", expect={"keep.txt": keep},
            maybe={long_dir: text})
    # Local header name length that disagrees with the central one (longer, shorter, zero).
    for name, kw in (("longer", dict(local_name_len=40)), ("shorter", dict(local_name_len=2)),
                     ("zero", dict(local_name_len=0)),
                     ("other-name", dict(local_name=b"../evil11.txt"))):
        e = Entry("named.txt", text, **kw)
        if name == "longer":  # reaches into the next header, which then overlaps it: refused
            hostile("localname-" + name, build([e, K()])[0], 2, "25114",
                    maybe={"named.txt": text})
        else:
            hostile("localname-" + name, build([e, K()])[0], 2, "any", expect={"keep.txt": keep},
                    maybe={"named.txt": text})
    # A name in the OEM code page (437), as DOS and older Windows tools stored them, without the
    # UTF-8 flag: "für.txt" and "Ärger/ö.txt".
    oem = b"OEM code page name\n"
    es = [Entry(b"f\x81r.txt", oem), Entry(b"\x8erger/\x94.txt", oem, method=0)]
    path = os.path.join(OUT, "hostile", "oem-names.zip")
    put(path, build(es)[0])
    line("oem", name="oem-names", archive=rel(path), files=2)
    # An archive of no entries at all.
    hostile("empty", build([])[0], 0, "none")


def main():
    global OUT
    args = sys.argv[1:]
    OUT = os.path.abspath(args[0])
    shared = stub = None
    if "--shared" in args:
        shared = args[args.index("--shared") + 1]
    if "--stub" in args:
        stub = args[args.index("--stub") + 1]
    for sub in ("tools", "ref", "hostile", "package", "work"):
        shutil.rmtree(os.path.join(OUT, sub), ignore_errors=True)
    os.makedirs(OUT, exist_ok=True)
    rng = random.Random(4711)
    tree = os.path.join(OUT, "work", "tree")
    names = make_tree(tree, rng)
    tool_archives(tree, names, stub)
    if shared and os.path.isdir(shared):
        shared_archives(shared)
    package(tree, rng)
    hostile_archives(rng)
    with open(os.path.join(OUT, "manifest.txt"), "w") as f:
        f.write("\n".join(MANIFEST) + "\n")
    print("make_zip_inputs: %d cases" % len(MANIFEST))


if __name__ == "__main__":
    main()
