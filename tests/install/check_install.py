#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Installs the build into a temporary DESTDIR under /usr and checks it.

    check_install.py tree BUILD_DIR APP_ID       the installed files and their modes
    check_install.py validate BUILD_DIR APP_ID   desktop-file-validate, appstreamcli, the icons

Exits 1 with the problems listed, 0 when everything holds.
"""

import os
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import zlib

HELP_PAGE = "usr/share/sentalia/Ayuda/default.htm"
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def expected_files(app_id):
    """Path below DESTDIR -> mode, for every file the package must hold."""
    files = {
        "usr/bin/sentalia": 0o755,
        "usr/bin/sentalia-db": 0o755,
        # The shipped collection is only ever copied, never opened in place:
        # root's and read-only for every user.
        "usr/share/sentalia/frase.mdb": 0o644,
        HELP_PAGE: 0o644,
        "usr/share/applications/%s.desktop" % app_id: 0o644,
        "usr/share/metainfo/%s.metainfo.xml" % app_id: 0o644,
        "usr/share/doc/sentalia/copyright": 0o644,
        "usr/share/bash-completion/completions/sentalia-db": 0o644,
        "usr/share/lintian/overrides/sentalia": 0o644,
        "usr/share/doc/sentalia/changelog.gz": 0o644,
    }
    for size in ICON_SIZES:
        files["usr/share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, app_id)] = 0o644
    files["usr/share/icons/hicolor/scalable/apps/%s.svg" % app_id] = 0o644
    for folder in ("usr/share/man/man1", "usr/share/man/es/man1"):
        for page in ("sentalia.1.gz", "sentalia-db.1.gz"):
            files["%s/%s" % (folder, page)] = 0o644
    return files


def install(build, destdir):
    env = dict(os.environ, DESTDIR=destdir)
    run = subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if run.returncode != 0:
        sys.exit("cmake --install failed:\n" + run.stdout)


def check_tree(build, app_id, destdir):
    problems = []
    wanted = expected_files(app_id)
    found = {}
    for folder, dirs, names in os.walk(destdir):
        for name in dirs:
            path = os.path.join(folder, name)
            mode = stat.S_IMODE(os.lstat(path).st_mode)
            if mode != 0o755:
                problems.append("%s: folder mode %o, want 755" % (os.path.relpath(path, destdir), mode))
        for name in names:
            path = os.path.join(folder, name)
            found[os.path.relpath(path, destdir)] = os.lstat(path)
    for path, mode in sorted(wanted.items()):
        if path not in found:
            problems.append("%s: missing" % path)
        elif stat.S_IMODE(found[path].st_mode) != mode:
            problems.append("%s: mode %o, want %o" % (path, stat.S_IMODE(found[path].st_mode), mode))
    for path, st in sorted(found.items()):
        if path in wanted:
            continue
        # Only the help pages may add files of their own.
        if not path.startswith("usr/share/sentalia/Ayuda/"):
            problems.append("%s: not expected in the package" % path)
        elif not stat.S_ISREG(st.st_mode) or stat.S_IMODE(st.st_mode) != 0o644:
            problems.append("%s: mode %o, want a plain file with 644" % (path, stat.S_IMODE(st.st_mode)))

    # The shipped collection is a sound collection, checked on a copy the
    # way the program uses it.
    shipped = os.path.join(destdir, "usr/share/sentalia/frase.mdb")
    if os.path.exists(shipped):
        with tempfile.TemporaryDirectory() as scratch:
            copy = os.path.join(scratch, "frase.mdb")
            shutil.copyfile(shipped, copy)
            os.chmod(copy, 0o600)
            run = subprocess.run([os.path.join(destdir, "usr/bin/sentalia-db"), "check", copy],
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            if run.returncode != 0:
                problems.append("shipped collection fails its check:\n" + run.stdout)
    return problems


def check_validators(app_id, destdir):
    problems = []
    checks = [
        ["desktop-file-validate", os.path.join(destdir, "usr/share/applications/%s.desktop" % app_id)],
        ["appstreamcli", "validate", "--no-net",
         os.path.join(destdir, "usr/share/metainfo/%s.metainfo.xml" % app_id)],
    ]
    for command in checks:
        if shutil.which(command[0]) is None:
            problems.append("%s is not installed (Debian: desktop-file-utils, appstream)" % command[0])
            continue
        run = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        # desktop-file-validate prints only what is wrong; appstreamcli
        # prints a last line of success and, like it, "I:" notes that are
        # not warnings.
        lines = [line for line in run.stdout.splitlines()
                 if line.strip() and not line.startswith("I:") and "Validation was successful" not in line]
        if run.returncode != 0 or lines:
            problems.append("%s:\n%s" % (" ".join(command[:-1]), run.stdout))
    return problems


def read_png(path):
    """(width, height, RGBA bytes) of an 8-bit RGBA or RGB PNG without
    interlacing, as Pillow and librsvg write them."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", chunk)
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {6: 4, 2: 3}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise ValueError("depth %d, colour type %d, interlace %d" % (depth, colour, interlace))
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(row))
        previous = row
    pixels = b"".join(rows)
    if channels == 3:
        pixels = b"".join(pixels[i:i + 3] + b"\xff" for i in range(0, len(pixels), 3))
    return width, height, pixels


def check_icons(app_id, destdir):
    """Every PNG has its size; the SVG renders through librsvg, as the
    desktop's icon loaders do, and shows the book of the 256-pixel PNG."""
    problems = []
    folder = os.path.join(destdir, "usr/share/icons/hicolor")
    for size in ICON_SIZES:
        width, height, _ = read_png(os.path.join(folder, "%dx%d/apps/%s.png" % (size, size, app_id)))
        if (width, height) != (size, size):
            problems.append("%dx%d icon is %dx%d" % (size, size, width, height))
    if shutil.which("rsvg-convert") is None:
        return problems + ["rsvg-convert is not installed (Debian: librsvg2-bin)"]
    with tempfile.TemporaryDirectory() as scratch:
        rendered = os.path.join(scratch, "icon.png")
        run = subprocess.run(["rsvg-convert", "-w", "256", "-h", "256", "-o", rendered,
                              os.path.join(folder, "scalable/apps/%s.svg" % app_id)],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if run.returncode != 0 or run.stdout.strip():
            return problems + ["rsvg-convert on the scalable icon:\n" + run.stdout]
        _, _, svg = read_png(rendered)
        _, _, png = read_png(os.path.join(folder, "256x256/apps/%s.png" % app_id))
        # Antialiasing differs at the edges only; a shape out of place or a
        # wrong colour costs several times this.
        difference = [sum(abs(svg[i] - png[i]) for i in range(k, len(png), 4)) / (len(png) / 4) for k in range(4)]
        if len(svg) != len(png) or max(difference) > 6:
            problems.append("the scalable icon differs from the 256-pixel one by %s on average (R, G, B, A)"
                            % ", ".join("%.1f" % d for d in difference))
    return problems


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("tree", "validate"):
        sys.exit(__doc__)
    kind, build, app_id = sys.argv[1:]
    with tempfile.TemporaryDirectory() as destdir:
        os.chmod(destdir, 0o755)
        install(build, destdir)
        if kind == "tree":
            problems = check_tree(build, app_id, destdir)
        else:
            problems = check_validators(app_id, destdir) + check_icons(app_id, destdir)
    for problem in problems:
        print("problem:", problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
