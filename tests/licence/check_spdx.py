#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Every source file carries the licence's SPDX line near its top.

    check_spdx.py SOURCE_DIR

Source files are the C++ sources and headers, the CMake files, the shell
and Python scripts (by ending or by a #! first line), the help pages, the
style sheet, the manual pages and the packaging files that hold text of the
project's own. The line must stand in the first five lines.
"""

import os
import subprocess
import sys

LINE = "SPDX-License-Identifier: GPL-3.0-or-later"
ENDINGS = (".cpp", ".h", ".py", ".sh", ".cmake", ".htm", ".css", ".1", ".in", ".qrc", ".desktop", ".xml", ".svg",
           ".bash", ".zsh")
NAMES = ("CMakeLists.txt",)
# Data, pictures and files whose format leaves no room for a comment.
SKIP_FOLDERS = ("resources/img/", "docs/", "resources/data/")
SKIP_FILES = (".gitignore", "packaging/changelog", "packaging/copyright", "COPYING", "README.md",
              # Its metadata is CC0-1.0, and its SPDX line says so.
              "packaging/org.example.sentalia.metainfo.xml")


def tracked(root):
    """The project's files: git's list in a checkout, else every file below
    root but the build folders."""
    run = subprocess.run(["git", "-C", root, "ls-files", "-co", "--exclude-standard"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True)
    if run.returncode == 0:
        return [name for name in run.stdout.splitlines() if name]
    names = []
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = [d for d in subfolders if not d.startswith((".", "build"))]
        names += [os.path.relpath(os.path.join(folder, f), root) for f in files]
    return names


def is_source(root, name):
    if name in SKIP_FILES or name.startswith(SKIP_FOLDERS):
        return False
    base = os.path.basename(name)
    if base.endswith(ENDINGS) or base in NAMES:
        return True
    path = os.path.join(root, name)
    try:
        with open(path, "rb") as f:
            return f.read(2) == b"#!"
    except OSError:
        return False


def main():
    root = sys.argv[1]
    missing = []
    checked = 0
    for name in tracked(root):
        if not is_source(root, name) or not os.path.isfile(os.path.join(root, name)):
            continue
        checked += 1
        with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
            head = [f.readline() for _ in range(5)]
        if not any(LINE in line for line in head):
            missing.append(name)
    for name in missing:
        print("no SPDX line: %s" % name)
    print("checked %d files, %d without the licence line" % (checked, len(missing)))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
