#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints what the accessibility bus shows of a running Sentalia scene, as a
screen reader reads it: every showing object with its role and name, its
actions, and the character count of the texts. Run it inside
bench/a11y-bus.sh:  a11y_dump.py SCENE_PROGRAM [ARGS...]

With --listen it runs the program while listening, as a screen reader
does, to the text changes on the bus, and reports what it heard:
  a11y_dump.py --listen PROGRAM [ARGS...]"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def states_of(acc):
    state = acc.getState()
    return {s for s in (pyatspi.STATE_SHOWING, pyatspi.STATE_FOCUSED, pyatspi.STATE_EDITABLE,
                        pyatspi.STATE_MULTI_LINE) if state.contains(s)}


def describe(acc):
    parts = [acc.getRoleName(), repr(acc.name)]
    try:
        action = acc.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            parts.append("actions=" + ",".join(names))
    except NotImplementedError:
        pass
    try:
        text = acc.queryText()
        parts.append("characters=%d" % text.characterCount)
    except NotImplementedError:
        pass
    state = states_of(acc)
    if pyatspi.STATE_FOCUSED in state:
        parts.append("focused")
    if acc.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_DOCUMENT_FRAME, pyatspi.ROLE_ENTRY) \
            and pyatspi.STATE_EDITABLE not in state:
        parts.append("read-only")
    return "  ".join(parts)


def walk(acc, depth, found):
    if acc is None:
        return
    if depth > 1 and pyatspi.STATE_SHOWING not in states_of(acc):
        return
    print("  " * depth + describe(acc))
    if acc.getRole() == pyatspi.ROLE_DOCUMENT_FRAME:
        found.append(acc)
    for i in range(acc.childCount):
        walk(acc.getChildAtIndex(i), depth + 1, found)


def find(acc, role, name, contains=None):
    """The first showing object of the role under acc, by name or part of it."""
    if acc is None:
        return None
    if acc.getRole() == role and (name is None or acc.name == name) \
            and (contains is None or contains in acc.name):
        return acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None and pyatspi.STATE_SHOWING in states_of(child):
            found = find(child, role, name, contains)
            if found is not None:
                return found
    return None


def press(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            action.doAction(i)
            return


def main():
    scene = subprocess.Popen(sys.argv[1:], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        ready = scene.stdout.readline().strip()
        print("# scene:", ready)
        pid = scene.pid
        app = None
        for _ in range(100):
            desktop = pyatspi.Registry.getDesktop(0)
            for candidate in desktop:
                if candidate is not None and candidate.get_process_id() == pid:
                    app = candidate
            if app is not None:
                break
            time.sleep(0.1)
        if app is None:
            print("the program did not reach the accessibility bus")
            return 1
        documents = []
        walk(app, 0, documents)
        for document in documents:
            text = document.queryText()
            count = text.characterCount
            started = time.perf_counter()
            head = text.getText(0, min(count, 1000))
            elapsed = (time.perf_counter() - started) * 1000
            line = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
            print("# %s %r: %d characters; first 1,000 read in %.1f ms over the bus"
                  % (document.getRoleName(), document.name, count, elapsed))
            print("#   first line: %r" % (line[0],))
            print("#   first 160 characters: %r" % (head[:160],))

        # Choosing a letter and "Aceptar" through their press actions, as a
        # screen reader user does.
        dialog = find(app, pyatspi.ROLE_DIALOG, "Seleccione la letra del autor")
        if dialog is not None:
            press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "M"))
            time.sleep(0.3)
            press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Aceptar"))
            time.sleep(1.0)
            window = find(app, pyatspi.ROLE_FRAME, "Por Autor")
            document = find(app, pyatspi.ROLE_DOCUMENT_FRAME, "")
            counter = find(app, pyatspi.ROLE_LABEL, None, "Frases encontradas con la inicial")
            print("# pressed M and Aceptar: window %r, %s, document of %d characters"
                  % (window.name if window else None, repr(counter.name) if counter else "no counter",
                     document.queryText().characterCount if document else -1))

        # A new listing, as a screen reader is told of it.
        events = []

        def heard(event):
            if event.source is not None and event.source.getRole() == pyatspi.ROLE_DOCUMENT_FRAME:
                events.append("%s at %d, %d characters" % (event.type, event.detail1, event.detail2))

        pyatspi.Registry.registerEventListener(heard, "object:text-changed")
        loop = GLib.MainLoop()
        GLib.timeout_add(700, lambda: (scene.stdin.write("relist\n"), scene.stdin.flush(), False)[2])
        GLib.timeout_add(3000, loop.quit)
        loop.run()
        pyatspi.Registry.deregisterEventListener(heard, "object:text-changed")
        print("# events of a new listing:", "; ".join(events) if events else "none")
        return 0
    finally:
        scene.terminate()
        scene.wait()


def listen():
    heard = []

    def on_change(event):
        # The program may be too busy listing to answer questions now.
        heard.append((time.perf_counter(), event.type, event.detail2))

    pyatspi.Registry.registerEventListener(on_change, "object:text-changed")
    program = subprocess.Popen(sys.argv[2:])
    loop = GLib.MainLoop()

    def check():
        if program.poll() is None:
            return True
        loop.quit()
        return False

    GLib.timeout_add(100, check)
    loop.run()
    print("# text changes heard: %d" % len(heard))
    for when, kind, length in heard[:4]:
        print("#   %s, %d characters" % (kind, length))
    return program.returncode


if __name__ == "__main__":
    sys.exit(listen() if sys.argv[1:2] == ["--listen"] else main())
