#!/bin/sh
# Runs a command on a virtual display (Xvfb) inside its own D-Bus session
# with the accessibility bus running, as a desktop with a screen reader
# has it, and Qt's accessibility switched on.
#   bench/a11y-bus.sh COMMAND [ARGS...]
# Examples, from the build folder:
#   ../bench/a11y-bus.sh ./bench/bench_listing 100000 5
#   ../bench/a11y-bus.sh /usr/bin/python3 ../bench/a11y_dump.py ./bench/a11y_scene
# Needs xvfb, dbus, at-spi2-core and, for the dump, python3-pyatspi.
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
cleanup() {
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

export QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_ACCESSIBILITY=1
"$@"
