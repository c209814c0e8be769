#!/usr/bin/env python3
"""Makes the detection tests' inputs with the real tools (zip, 7-Zip, tar, gzip, Python's
zipfile) and a few hand-built files for the kinds no installed tool writes.

Usage: make_detect_inputs.py OUT_DIR
Writes OUT_DIR/manifest.txt, one line per input: "<file> <key>=<value> ...", where the keys are
the facts the test expects: type (the TArcType name), offset (archive offset), shift."""
import binascii, os, random, shutil, struct, subprocess, sys, tempfile, zipfile

def end_record(data):
    """(position, central size, central offset, this disk) of the last end record."""
    at = data.rfind(b"PK\x05\x06")
    this_disk, _, _, _, size, offset = struct.unpack("<HHHHII", data[at + 4:at + 20])
    return at, size, offset, this_disk

def sample_files(folder, rng):
    os.makedirs(os.path.join(folder, "icons"), exist_ok=True)
    files = {"readme.txt": b"theme package readme\n" * 40,
             "icons/a.ico": bytes(rng.randrange(256) for _ in range(3000)),
             "icons/b.ico": b"\x00\x00\x01\x00" + b"icon " * 500}
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    return sorted(files)

def run(args, cwd):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rng = random.Random(2026)
    work = tempfile.mkdtemp()
    manifest = []
    def add(name, **facts):
        manifest.append(name + "".join(" %s=%s" % kv for kv in facts.items()))
    try:
        names = sample_files(work, rng)
        z = lambda *a: run(["zip", "-q", "-X"] + list(a), work)

        z("plain.zip", *names)
        data = open(os.path.join(work, "plain.zip"), "rb").read()
        add("plain.zip", type="atZip", offset=end_record(data)[2], shift=0)

        z("-fz", "zip64.zip", *names)
        data = open(os.path.join(work, "zip64.zip"), "rb").read()
        loc = data.rfind(b"PK\x06\x07")
        rec = struct.unpack("<Q", data[loc + 8:loc + 16])[0]
        cd = struct.unpack("<Q", data[rec + 48:rec + 56])[0]
        add("zip64.zip", type="atZip", offset=cd, shift=0, zip64=1)

        path = os.path.join(work, "forced.zip")
        with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as zf:
            for n in names:
                with zf.open(n, "w", force_zip64=True) as f:
                    f.write(open(os.path.join(work, n), "rb").read())
        data = open(path, "rb").read()
        add("forced.zip", type="atZip", offset=end_record(data)[2], shift=0)

        run(["7zz", "a", "-tzip", "seven.zip"] + names, work)
        data = open(os.path.join(work, "seven.zip"), "rb").read()
        add("seven.zip", type="atZip", offset=end_record(data)[2], shift=0)
        run(["7zz", "a", "-t7z", "seven.7z"] + names, work)
        add("seven.7z", type="atUnknown")

        shutil.copy(os.path.join(work, "plain.zip"), os.path.join(work, "THEME.JAR"))
        add("THEME.JAR", type="atJar")

        # A self-extractor made by appending an archive to a program stub, offsets as they were
        # (then the same with the offsets adjusted by zip -A).
        stub = bytearray(b"MZ" + bytes(20000 - 2))
        for i in range(64, len(stub)):
            stub[i] = rng.randrange(1, 0x4B)  # no "P" anywhere: nothing to find in the stub
        plain = open(os.path.join(work, "plain.zip"), "rb").read()
        open(os.path.join(work, "sfx.exe"), "wb").write(bytes(stub) + plain)
        add("sfx.exe", type="atZipExe", offset=len(stub) + end_record(plain)[2], shift=len(stub))
        shutil.copy(os.path.join(work, "sfx.exe"), os.path.join(work, "sfxadj.exe"))
        z("-A", "sfxadj.exe")
        data = open(os.path.join(work, "sfxadj.exe"), "rb").read()
        add("sfxadj.exe", type="atZipExe", offset=end_record(data)[2], shift=0)

        # A split set: its first volume opens with the split marker.
        big = bytes(rng.randrange(256) for _ in range(200000))
        open(os.path.join(work, "big.bin"), "wb").write(big)
        z("-0", "-s", "64k", "split.zip", "big.bin")
        add("split.z01", split=1)
        add("split.zip", split=1)

        run(["tar", "cf", "plain.tar"] + names, work)
        add("plain.tar", type="atTar", offset=0)
        run(["tar", "cf", "label.tar", "-V", "themes"] + names, work)
        add("label.tar", type="atTar", offset=512)
        run(["sh", "-c", "gzip -9 -n -c plain.tar > plain.tar.gz"], work)
        add("plain.tar.gz", type="atGZip")

        text = open(os.path.join(work, "readme.txt"), "rb").read()
        lines = [binascii.b2a_uu(text[i:i + 45]) for i in range(0, len(text), 45)]
        uue = b"begin 644 readme.txt\n" + b"".join(lines) + b"`\nend\n"
        open(os.path.join(work, "readme.uue"), "wb").write(uue)
        add("readme.uue", type="atUUE")
        uue4 = b"Subject: the theme\n\nbegin 400 readme.txt\n" + b"".join(lines) + b"`\nend\n"
        open(os.path.join(work, "mail.uue"), "wb").write(uue4)
        add("mail.uue", type="atUUE")
        open(os.path.join(work, "notes.txt"), "wb").write(b"begin the theme notes here\n" * 20)
        add("notes.txt", type="atUnknown")

        for name in ["plain.zip", "zip64.zip", "forced.zip", "seven.zip", "seven.7z", "THEME.JAR",
                     "sfx.exe", "sfxadj.exe", "split.z01", "split.zip", "plain.tar",
                     "label.tar", "plain.tar.gz", "readme.uue", "mail.uue", "notes.txt"]:
            shutil.copy(os.path.join(work, name), os.path.join(out, name))
        with open(os.path.join(out, "manifest.txt"), "w") as f:
            f.write("\n".join(manifest) + "\n")
    finally:
        shutil.rmtree(work, ignore_errors=True)

if __name__ == "__main__":
    main()
