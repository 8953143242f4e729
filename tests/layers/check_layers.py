#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the build's targets keep their layers.

Reads the records CMake writes at generation time (target, folder, direct
links, sources) and fails, naming the file and the targets, when:
- a file includes a header that belongs to a target its own target does
  not link, directly or through others (an include that reaches a layer
  above its own);
- a source file under src/ or tools/ belongs to no target;
- the store, the companion tool, or a test of either links the window
  toolkit, or the skin links a window target.
"""
import os
import re
import sys

WINDOW_TOOLKIT = {"Qt6::Gui", "Qt6::Widgets", "Qt6::PrintSupport", "Qt6::GuiPrivate", "Cups::Cups"}
WINDOW_TARGETS = {"sentalia_app", "sentalia_windows", "sentalia_main"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_records(path):
    targets = {}
    current = None
    with open(path, encoding="utf-8") as records:
        for line in records:
            key, _, value = line.rstrip("\n").partition("\t")
            if key == "target":
                current = {"links": [], "sources": [], "folder": ""}
                targets[value] = current
            elif key == "folder":
                current["folder"] = value
            elif key in ("links", "sources"):
                current[key] = [item for item in value.split(";") if item]
    for record in targets.values():
        folder = record["folder"]
        record["sources"] = [os.path.normpath(s if os.path.isabs(s) else os.path.join(folder, s))
                             for s in record["sources"]]
    return targets


def closure(targets, name):
    seen = set()
    pending = [name]
    while pending:
        current = pending.pop()
        for link in targets.get(current, {}).get("links", []):
            if link not in seen:
                seen.add(link)
                pending.append(link)
    return seen


def main():
    records, source_root, build_root = sys.argv[1:4]
    targets = read_records(records)
    failures = []
    for needed in ("sentalia_store", "sentalia_skin", "sentalia_app", "sentalia_windows", "sentalia_main",
                   "sentalia_dbtool"):
        if needed not in targets:
            failures.append(f"the build has no target {needed}")
    if failures:
        print("\n".join(failures))
        return 1

    # A header may be listed by several targets (a benchmark's shared data).
    owner = {}
    for name, record in targets.items():
        for source in record["sources"]:
            owner.setdefault(source, set()).add(name)
    reach = {name: closure(targets, name) for name in targets}

    # The bottom layers.
    for name in ("sentalia_store", "sentalia_dbtool", "sentalia-db"):
        toolkit = sorted(reach.get(name, set()) & WINDOW_TOOLKIT)
        if toolkit:
            failures.append(f"{name} links {', '.join(toolkit)}: the store and the tool link no window code")
    if reach["sentalia_store"] & set(targets):
        failures.append("sentalia_store links " + ", ".join(sorted(reach["sentalia_store"] & set(targets))) +
                        ": nothing of the program lies below the store")
    if reach["sentalia_skin"] & WINDOW_TARGETS:
        failures.append("sentalia_skin links " + ", ".join(sorted(reach["sentalia_skin"] & WINDOW_TARGETS)) +
                        ": the skin knows no window")
    for name in targets:
        if name.startswith(("store_", "tools_")):
            toolkit = sorted(reach[name] & WINDOW_TOOLKIT)
            if toolkit:
                failures.append(f"the test {name} links {', '.join(toolkit)}: store and tool tests link no window code")

    # Every source file is built by some target.
    for folder in ("src", "tools"):
        for directory, _, files in os.walk(os.path.join(source_root, folder)):
            for file in files:
                path = os.path.normpath(os.path.join(directory, file))
                if file.endswith((".cpp", ".h")) and path not in owner:
                    failures.append(f"{os.path.relpath(path, source_root)} belongs to no target")

    # Includes reach only the file's own target and the ones it links.
    roots = [os.path.join(source_root, "src"), os.path.join(source_root, "tools", "sentalia-db"),
             os.path.join(source_root, "tests", "support"), os.path.join(build_root, "src", "generated")]
    for name, record in sorted(targets.items()):
        allowed = reach[name] | {name}
        for source in record["sources"]:
            if not source.startswith(source_root) or not os.path.isfile(source):
                continue
            with open(source, encoding="utf-8") as text:
                includes = INCLUDE.findall(text.read())
            for include in includes:
                if include.endswith(".moc") or include.startswith("moc_"):
                    continue
                candidates = [os.path.dirname(source)] + roots
                found = next((os.path.normpath(os.path.join(c, include)) for c in candidates
                              if os.path.isfile(os.path.join(c, include))), None)
                where = os.path.relpath(source, source_root)
                if found is None:
                    failures.append(f"{where} includes \"{include}\", which is nowhere in the source tree")
                    continue
                owners = owner.get(found)
                if owners is None:
                    if not found.startswith(build_root):
                        failures.append(f"{where} includes \"{include}\", which belongs to no target")
                elif not owners & allowed:
                    failures.append(f"{where} ({name}) includes \"{include}\" of {', '.join(sorted(owners))}, "
                                    f"which {name} does not link: a layer above its own")
    if failures:
        print("\n".join(failures))
        return 1
    print(f"{len(targets)} targets keep their layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
