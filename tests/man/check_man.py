#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Keeps the manual pages true to the tool and free of formatter warnings.

    check_man.py SENTALIA_DB MAN_FOLDER

Every command and every option that `sentalia-db --help` lists has its place
in both sentalia-db(1) pages (English and Spanish), each command with an
example, and the pages name no command the tool lacks; both pages list the
tool's exit codes. Every page formats with `groff -ww` and `man --warnings`
without a single warning.
"""

import os
import re
import shutil
import subprocess
import sys

PAGES = ["man1/sentalia.1", "man1/sentalia-db.1", "es/man1/sentalia.1", "es/man1/sentalia-db.1"]
TOOL_PAGES = ["man1/sentalia-db.1", "es/man1/sentalia-db.1"]
COMMANDS_HEADING = {"man1/sentalia-db.1": "COMMANDS", "es/man1/sentalia-db.1": "ÓRDENES"}
EXIT_HEADING = {"man1/sentalia-db.1": "EXIT STATUS", "es/man1/sentalia-db.1": "CÓDIGOS DE SALIDA"}


def tool_help(tool):
    run = subprocess.run([tool, "--help"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                         env=dict(os.environ, LC_ALL="C.UTF-8"))
    if run.returncode != 0:
        sys.exit("%s --help failed: %s" % (tool, run.stderr))
    return run.stdout


def help_commands(text):
    """The command names of the help's list: lines indented by two blanks
    that start with a lower-case word, inside the block after "Órdenes:"."""
    block = text.split("Órdenes:", 1)[1]
    commands = []
    for line in block.splitlines():
        if line and not line.startswith(" "):
            break
        m = re.match(r"^  ([a-z][a-z-]*)(\s|$)", line)
        if m:
            commands.append(m.group(1))
    return commands


def help_exit_codes(text):
    block = text.split("Códigos de salida:", 1)[1]
    return sorted(set(re.findall(r"\b(\d+) ", block.replace("\n", " "))))


def plain(roff):
    """The page's text with roff's escapes for hyphens and fonts undone."""
    text = roff.replace("\\-", "-")
    return re.sub(r"\\f[BIRP]", "", text)


def sections(roff):
    """Section heading -> its lines, in order."""
    found = {}
    current = None
    for line in roff.splitlines():
        m = re.match(r'^\.SH\s+"?(.*?)"?\s*$', line)
        if m:
            current = m.group(1)
            found[current] = []
        elif current is not None:
            found[current].append(line)
    return found


def check_tool_page(name, roff, commands, options, codes):
    problems = []
    text = plain(roff)
    parts = sections(text)
    listed = parts.get(COMMANDS_HEADING[name])
    if listed is None:
        return ["%s: no section %s" % (name, COMMANDS_HEADING[name])]
    # One .SS per command; its first word is the command.
    documented = {}
    current = None
    for line in listed:
        m = re.match(r'^\.SS\s+"?([a-z][a-z-]*)', line)
        if m:
            current = m.group(1)
            documented[current] = []
        elif current:
            documented[current].append(line)
    for command in commands:
        if command not in documented:
            problems.append("%s: command %s is not documented" % (name, command))
        elif not any(line.startswith("sentalia-db %s" % command) for line in documented[command]):
            problems.append("%s: command %s has no example" % (name, command))
    for command in documented:
        if command not in commands:
            problems.append("%s: documents %s, which sentalia-db --help does not list" % (name, command))
    for option in options:
        if not re.search(r"(?<![\w-])%s(?![\w-])" % re.escape(option), text):
            problems.append("%s: option %s is not documented" % (name, option))
    exit_lines = parts.get(EXIT_HEADING[name], [])
    shown = sorted(re.match(r"^\.B\s+(\d+)", line).group(1) for line in exit_lines
                   if re.match(r"^\.B\s+\d+\s*$", line))
    if shown != codes:
        problems.append("%s: exit codes %s, the tool has %s" % (name, shown, codes))
    return problems


def formatter_warnings(path):
    problems = []
    runs = [["groff", "-ww", "-z", "-k", "-man", path]]
    if shutil.which("man"):
        runs.append(["man", "--warnings", "-l", path])
    for command in runs:
        if shutil.which(command[0]) is None:
            problems.append("%s is not installed (Debian: groff-base)" % command[0])
            continue
        run = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                             env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
        if run.returncode != 0 or run.stderr.strip():
            problems.append("%s: %s" % (" ".join(command), run.stderr.strip() or "failed"))
    return problems


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tool, folder = sys.argv[1:]
    text = tool_help(tool)
    commands = help_commands(text)
    options = sorted(set(re.findall(r"(?<![\w-])(--[a-z][a-z-]*)", text)))
    codes = help_exit_codes(text)
    if not commands or not codes:
        sys.exit("could not read the commands or exit codes from sentalia-db --help")
    problems = []
    for name in PAGES:
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            problems.append("%s: missing" % name)
            continue
        problems += formatter_warnings(path)
        if name in TOOL_PAGES:
            with open(path, encoding="utf-8") as f:
                problems += check_tool_page(name, f.read(), commands, options, codes)
    for problem in problems:
        print("problem:", problem)
    print("checked %d pages against %d commands and %d options" % (len(PAGES), len(commands), len(options)))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
