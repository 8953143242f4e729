#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a virtual display (Xvfb) inside its own D-Bus session
# with the accessibility bus running, as a desktop with a screen reader
# has it, and Qt's accessibility switched on.
#   bench/a11y-bus.sh COMMAND [ARGS...]
# Examples, from the build folder:
#   ../bench/a11y-bus.sh ./bench/bench_listing 100000 5
#   ../bench/a11y-bus.sh /usr/bin/python3 ../bench/a11y_dump.py ./bench/a11y_scene
#   SENTALIA_ORCA=1 ../bench/a11y-bus.sh ./sentalia
#     listens with Orca: openbox and Orca run on the display (braille and key
#     echo off, speech into nothing, a temporary HOME), Orca's debug file is
#     ./orca-debug.log (or $SENTALIA_ORCA_LOG); drive the program with
#     DISPLAY=... xdotool key Down, and grep 'SPEECH OUTPUT' the file.
# Needs xvfb, dbus, at-spi2-core and, for the dump, python3-pyatspi; with
# Orca also orca, openbox and xdotool.
set -eu
if [ -z "${SENTALIA_A11Y_SESSION:-}" ]; then
    export SENTALIA_A11Y_SESSION=1
    exec dbus-run-session -- "$0" "$@"
fi

WORK=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
LAUNCHER=$!
ORCA=""
WM=""
cleanup() {
    # Orca runs in a process group of its own, and may ignore SIGTERM.
    if [ -n "$ORCA" ]; then
        kill -TERM -"$ORCA" 2>/dev/null || true
        sleep 1
        kill -KILL -"$ORCA" 2>/dev/null || true
    fi
    [ -n "$WM" ] && kill "$WM" 2>/dev/null || true
    kill "$LAUNCHER" 2>/dev/null || true
    kill "$XVFB" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && break
    sleep 0.1
done

if [ -n "${SENTALIA_ORCA:-}" ]; then
    if pgrep -u "$(id -u)" -x orca >/dev/null; then
        echo "Another Orca of this user runs; it is left alone and none is started." >&2
        exit 1
    fi
    HERE=$(cd "$(dirname "$0")" && pwd)
    LOG=$(realpath -m "${SENTALIA_ORCA_LOG:-orca-debug.log}")
    export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run"
    mkdir -p "$HOME" "$WORK/orca"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    cp "$HERE/../tests/screenreader/orca/"*.py "$WORK/orca/"
    openbox >/dev/null 2>&1 &
    WM=$!
    for _ in $(seq 100); do xdotool get_desktop >/dev/null 2>&1 && break; sleep 0.1; done
    setsid orca -u "$WORK/orca" --debug-file "$LOG" >/dev/null 2>&1 &
    ORCA=$!
    for _ in $(seq 300); do grep -q "Screen reader on" "$LOG" 2>/dev/null && break; sleep 0.1; done
    echo "DISPLAY=$DISPLAY; Orca's debug file: $LOG" >&2
fi

export QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_ACCESSIBILITY=1
"$@"
