#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives Sentalia on a virtual display and saves a picture of every window:
# the user-name dialog, the splash, the main window with the listing of
# every quotation, the search dialog in both faces, the new-quote dialog,
# the about box (and its panel), the help window and the exit question.
# Needs a built program and collection (./tools/sentalia-run) and the
# packages xvfb, xdotool, x11-utils, imagemagick and openbox (a window
# manager, so that the main window really opens maximized).
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR] [THEME]
# THEME is the desktop look the program meets:
#   default        Qt's own (Fusion, light)
#   qt6ct-darker   qt6ct as platform theme with its "darker" colour scheme
#                  (package qt6ct)
#   adwaita-dark   GNOME's dark theme through the GTK platform theme
#                  (packages qt6-gtk-platformtheme, adwaita-qt6)
# The pictures are named after the window, with the theme behind a dash
# unless it is the default one.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
OUT=${2:-$ROOT/docs}
THEME=${3:-default}
mkdir -p "$OUT"
BUILD=$(cd "$BUILD" && pwd)
OUT=$(cd "$OUT" && pwd)

CONFIG=$(mktemp -d)
case "$THEME" in
default)
    SUFFIX=""
    unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE GTK_THEME 2>/dev/null || true
    ;;
qt6ct-darker)
    SUFFIX="-qt6ct-darker"
    SCHEME=/usr/share/qt6ct/colors/darker.conf
    [ -f "$SCHEME" ] || { echo "qt6ct is not installed (package qt6ct)" >&2; exit 1; }
    mkdir -p "$CONFIG/qt6ct"
    cat >"$CONFIG/qt6ct/qt6ct.conf" <<EOF
[Appearance]
color_scheme_path=$SCHEME
custom_palette=true
style=Fusion
EOF
    export XDG_CONFIG_HOME="$CONFIG" QT_QPA_PLATFORMTHEME=qt6ct
    ;;
adwaita-dark)
    SUFFIX="-adwaita-dark"
    [ -f /usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqgtk3.so ] ||
        { echo "the GTK platform theme is not installed (package qt6-gtk-platformtheme)" >&2; exit 1; }
    export XDG_CONFIG_HOME="$CONFIG" QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
    ;;
*)
    echo "unknown theme '$THEME': default, qt6ct-darker or adwaita-dark" >&2
    exit 2
    ;;
esac

# A display of its own, whatever number is free.
FIFO="$CONFIG/display"
mkfifo "$FIFO"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$FIFO" >/dev/null 2>&1 &
XVFB_PID=$!
read -r NUMBER <"$FIFO"
export DISPLAY=":$NUMBER"
APP_PID=""
WM_PID=""
trap 'kill $APP_PID $WM_PID $XVFB_PID 2>/dev/null || true; rm -rf "$CONFIG"' EXIT
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
    echo "window '$1' did not appear; shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' ',')" >&2
    return 1
}

shot() { # NAME: the whole screen, once what was asked for has been drawn
    sleep 1
    import -window root "$OUT/$1$SUFFIX.png"
    echo "Saved $OUT/$1$SUFFIX.png"
}

where() { # TITLE: where the window with that title lies on the screen
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    if [ -z "$id" ]; then
        echo "$1: no visible window"
        return 0
    fi
    xwininfo -id "$id" | awk -v t="$1" '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {printf "%s: %dx%d at %d,%d (centred: %d,%d)\n", t, w, h, x, y, (1280-w)/2, (800-h)/2}'
}

close_dialog() { # clicks the close picture at the top right of the active dialog
    eval "$(xdotool getactivewindow getwindowgeometry --shell)"
    xdotool mousemove $((X + WIDTH - 22)) $((Y + 22)) click 1
    sleep 0.5
}

wait_window "Nombre de usuario"
xdotool search --onlyvisible --name "Nombre de usuario" windowactivate --sync 2>/dev/null || true
where "Nombre de usuario"
xdotool type --delay 40 "Ana"
shot user
xdotool key Return
sleep 1.5
where "^Sentalia$"
shot splash
wait_window "Sentalia para"
sleep 1
xdotool key ctrl+o
shot main-window
xdotool key ctrl+u
shot search-author
close_dialog
xdotool key ctrl+t
shot search-topic
close_dialog
xdotool key ctrl+n
shot new-quote
close_dialog
xdotool key F5
shot about
close_dialog
xdotool key F1
shot help
close_dialog
xdotool key ctrl+s
shot exit-question
