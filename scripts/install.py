#!/usr/bin/env python3
"""Installs the build's program folder into a Windows program folder, as an installer updates a
program: the program's own files are brought up to date, what the user added or changed there is
kept.

    install.py BUILD_FOLDER TARGET_FOLDER RECORD_FILE

RECORD_FILE (kept outside the target folder, so the program never sees it) lists each file this
installer put in place with the digest it had then. A file in the target is replaced only while
it still holds what was installed: Config.ini once the program wrote a setting, a sample the user
edited, a package the user installed are all left alone. A file the build no longer ships is
removed under the same rule.
"""
import hashlib
import os
import shutil
import sys

# Written by the program itself at close; an old build folder may still hold one.
NOT_SHIPPED = {"desktop.ini"}


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def shipped_files(build):
    for folder, _, files in os.walk(build):
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), build)
            if rel.lower() not in NOT_SHIPPED:
                yield rel


def read_record(path):
    record = {}
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                sha, sep, rel = line.rstrip("\n").partition(" ")
                if sep:
                    record[rel] = sha
    return record


def write_record(path, record):
    tmp = path + ".new"
    with open(tmp, "w", encoding="utf-8") as f:
        for rel in sorted(record):
            f.write(f"{record[rel]} {rel}\n")
    os.replace(tmp, path)


def place(source, target):
    # Through a temporary name: a program still running from the old file keeps its copy.
    os.makedirs(os.path.dirname(target), exist_ok=True)
    tmp = target + ".lumagrove-new"
    shutil.copyfile(source, tmp)
    os.replace(tmp, target)


def install(build, target, record_file):
    record = read_record(record_file)
    updated, kept = 0, []
    shipped = set()
    for rel in sorted(shipped_files(build)):
        shipped.add(rel)
        source, dest = os.path.join(build, rel), os.path.join(target, rel)
        new = digest(source)
        if os.path.exists(dest):
            current = digest(dest)
            if current == new:
                record[rel] = new
                continue
            if record.get(rel) != current:
                # Changed since we put it there (or not ours at all): the user's now.
                kept.append(rel)
                continue
        place(source, dest)
        record[rel] = new
        updated += 1
    for rel in sorted(set(record) - shipped):
        dest = os.path.join(target, rel)
        if os.path.exists(dest) and digest(dest) == record[rel]:
            os.remove(dest)
        del record[rel]
    write_record(record_file, record)
    print(f"install: {updated} file(s) of the program updated in {target}")
    for rel in kept:
        print(f"install: kept {rel} as it is there (changed since it was installed)")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    install(*sys.argv[1:])
