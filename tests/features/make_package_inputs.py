#!/usr/bin/env python3
"""Makes the theme packages the cursor and logon form tests install, with the zip tool:

  Mice.zip         a cursor package: Mice.ctheme beside two of the sample package's cursors
  Blue.zip         a logon package without folders: Blue.exe (the sample logon screen) and its
                   preview.bmp
  AuroraSetup.exe  a self-extracting logon package: a program of the project with a zip archive
                   of Aurora/Aurora.exe and Aurora/Aurora.bmp appended, its offsets fixed by zip -A

Usage: make_package_inputs.py OUT_DIR CURSOR_DIR LOGON_EXE LOGON_PREVIEW STUB_EXE
"""
import os
import shutil
import subprocess
import sys
import tempfile


def zip_folder(folder, archive):
    if os.path.exists(archive):
        os.remove(archive)
    subprocess.run(["zip", "-q", "-X", "-r", archive, "."], cwd=folder, check=True,
                   stdout=subprocess.DEVNULL)


def main():
    out, cursors, logon, preview, stub = sys.argv[1:6]
    out = os.path.abspath(out)
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        mice = os.path.join(work, "mice")
        os.makedirs(mice)
        shutil.copy(os.path.join(cursors, "arrow.cur"), mice)
        shutil.copy(os.path.join(cursors, "busy.ani"), mice)
        with open(os.path.join(mice, "Mice.ctheme"), "wb") as f:
            f.write(b"[Cursors]\r\nArrow=%ThemeDir%arrow.cur\r\nWait=%ThemeDir%busy.ani\r\n"
                    b"[Software Credits]\r\nAuthor=Mouse Works\r\n")
        zip_folder(mice, os.path.join(out, "Mice.zip"))

        blue = os.path.join(work, "blue")
        os.makedirs(blue)
        shutil.copy(logon, os.path.join(blue, "Blue.exe"))
        shutil.copy(preview, os.path.join(blue, "preview.bmp"))
        zip_folder(blue, os.path.join(out, "Blue.zip"))

        aurora = os.path.join(work, "aurora", "Aurora")
        os.makedirs(aurora)
        shutil.copy(logon, os.path.join(aurora, "Aurora.exe"))
        shutil.copy(preview, os.path.join(aurora, "Aurora.bmp"))
        inner = os.path.join(work, "inner.zip")
        zip_folder(os.path.dirname(aurora), inner)
        setup = os.path.join(out, "AuroraSetup.exe")
        with open(setup, "wb") as f:
            f.write(open(stub, "rb").read() + open(inner, "rb").read())
        subprocess.run(["zip", "-q", "-A", setup], check=True, stdout=subprocess.DEVNULL)
    open(os.path.join(out, "done"), "w").close()


if __name__ == "__main__":
    main()
