#!/bin/sh
# Drives Sentalia on a virtual display and saves the pictures shown in the
# README: the main window with the listing of every quotation, and the exit
# question. Needs a built program and collection (./tools/sentalia-run) and
# the packages xvfb, xdotool, x11-utils, imagemagick and openbox (a window
# manager, so that the main window really opens maximized).
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
OUT=${2:-$ROOT/docs}
mkdir -p "$OUT"

export DISPLAY=:88
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
trap 'kill "$APP_PID" "$WM_PID" "$XVFB_PID" 2>/dev/null || true' EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
WM_PID=$!

(cd "$BUILD" && exec ./sentalia) &
APP_PID=$!

wait_window() { # NAME: waits until a visible window with that title exists
    for _ in $(seq 150); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    echo "window '$1' did not appear" >&2
    return 1
}

wait_window "Nombre de usuario"
xdotool search --onlyvisible --name "Nombre de usuario" windowactivate --sync 2>/dev/null || true
xdotool type --delay 40 "Ana"
xdotool key Return
wait_window "Sentalia para"
sleep 1
xdotool key ctrl+o
sleep 2
import -window root "$OUT/main-window.png"
xdotool key ctrl+s
sleep 1
import -window root "$OUT/exit-question.png"
echo "Saved $OUT/main-window.png and $OUT/exit-question.png"
