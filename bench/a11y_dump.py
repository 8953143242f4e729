#!/usr/bin/python3
"""Prints what the accessibility bus shows of a running Sentalia scene, as a
screen reader reads it: every showing object with its role and name, its
actions, and the character count of the texts. Run it inside
bench/a11y-bus.sh:  a11y_dump.py SCENE_PROGRAM [ARGS...]"""
import subprocess
import sys
import time

import pyatspi


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


def main():
    scene = subprocess.Popen(sys.argv[1:], stdout=subprocess.PIPE, text=True)
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
        return 0
    finally:
        scene.terminate()
        scene.wait()


if __name__ == "__main__":
    sys.exit(main())
