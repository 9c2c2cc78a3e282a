#!/usr/bin/env bash
# The main window at a display scale (QT_SCALE_FACTOR) or under a window manager whose
# title bar is taller than the layout was drawn for. openbox's title bar does not follow
# Qt's scale, so at 1.5 and 2 the client area below a fixed outer height grows; a large
# title font makes it shrink. Either way the row of favourite numbers must show whole, and
# nothing that lies below it in the layout (the marker's two pictures, the stored option's
# check box) may come into view. Screenshots of the main window and the About box land in
# the build folder as scale-SCALE-main.png and scale-SCALE-about.png (tall-title-*.png).
#
# Usage: scaling.sh SCALE|tall-title PROGRAM
set -euo pipefail

SCENARIO=${1:?scale or tall-title}
CHROMALYNX=${2:?path of the program}
# shellcheck source=session.sh
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

SCALE=1
NAME=scale-$SCENARIO
if [[ "$SCENARIO" == tall-title ]]; then
    NAME=tall-title
else
    SCALE=$SCENARIO
fi

# device LOGICAL: that many logical pixels in device pixels, rounded.
device() {
    awk -v v="$1" -v s="$SCALE" 'BEGIN { printf "%d\n", v * s + 0.5 }'
}

# shoot_window WINDOW FILE: the frame of that window, as the screen shows it.
shoot_window() {
    local x y w h
    read -r x y w h < <(outer_geometry "$1")
    convert "$SHOT" -crop "${w}x${h}+$x+$y" +repage "$PWD/$2"
    log "screenshot $PWD/$2"
}

# Where the client area begins: the preview's inside, one pixel in from the swatch at
# (56,36), is the only area of the typed colour.
CLIENT_X=
CLIENT_Y=
preview_located() {
    local x y w h box
    read -r x y w h < <(window_geometry "$APP_WINDOW")
    shoot
    box=$(colour_box 123456 "$x" "$y" "$w" "$h")
    LAST_SEEN=$box
    [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    ((BASH_REMATCH[1] >= $(device 90) && BASH_REMATCH[2] >= $(device 20))) || return 1
    CLIENT_X=$x
    CLIENT_Y=$((y + BASH_REMATCH[4] - $(device 37)))
}

# The digits 1 to 9 stand at client (27 + 24 × i, 148), 9 pixels wide, their glyphs 12
# pixels high; each must show ink, and the client area must reach below them.
numbers_whole() {
    local x y w h i count
    read -r x y w h < <(window_geometry "$APP_WINDOW")
    local bottom=$((CLIENT_Y + $(device 160)))
    if ((bottom > y + h)); then
        LAST_SEEN="the client area ends at screen y $((y + h)), the digits at $bottom"
        return 1
    fi
    shoot
    for ((i = 0; i < 9; i++)); do
        read -r count _ < <(region_colours $((CLIENT_X + $(device $((27 + 24 * i))))) \
            $((CLIENT_Y + $(device 148))) "$(device 9)" "$(device 12)")
        if ((count < 2)); then
            LAST_SEEN="no ink where the digit $((i + 1)) stands"
            return 1
        fi
    done
}

# Below the digits the client area shows the bare window background to its bottom edge.
nothing_below_numbers() {
    local x y w h top count first
    read -r x y w h < <(window_geometry "$APP_WINDOW")
    top=$((CLIENT_Y + $(device 161)))
    if ((top >= y + h)); then
        LAST_SEEN="no client area below the digits"
        return 0
    fi
    shoot
    read -r count first < <(region_colours "$x" "$top" "$w" $((y + h - top)))
    LAST_SEEN="$count colours in the $((y + h - top)) rows below the digits, the first #$first"
    ((count == 1))
}

# openbox reads its configuration again from the session's own folder.
tall_title_bar() {
    mkdir -p "$XDG_CONFIG_HOME/openbox"
    sed '/<font place="\(Active\|Inactive\)Window">/,/<\/font>/ s|<size>[0-9]*</size>|<size>22</size>|' \
        /etc/xdg/openbox/rc.xml >"$XDG_CONFIG_HOME/openbox/rc.xml"
    openbox --reconfigure
}

title_bar_at_least() {
    local frame_y client_y
    read -r _ frame_y _ _ < <(outer_geometry "$APP_WINDOW")
    read -r _ client_y _ _ < <(window_geometry "$APP_WINDOW")
    LAST_SEEN=$((client_y - frame_y))
    ((LAST_SEEN >= $1))
}

session_start
[[ -f /etc/xdg/openbox/rc.xml ]] || fail "openbox's rc.xml is missing"
if [[ "$NAME" == tall-title ]]; then
    tall_title_bar
fi
export QT_SCALE_FACTOR=$SCALE
app_start
park_pointer() { pointer_to 0 0; }
park_pointer
if [[ "$NAME" == tall-title ]]; then
    wait_until 10 "a title bar of 30 px or more" title_bar_at_least 30 \
        || fail "the title bar is $LAST_SEEN px high; the larger title font did not take"
    log "title bar $LAST_SEEN px"
fi

keys shift+Tab
type_text 123456
keys Return Tab
wait_until 10 "the preview to show #123456" preview_located \
    || fail "no preview of #123456 found in the window: $LAST_SEEN"
log "client area at $CLIENT_X,$CLIENT_Y; window $(window_geometry "$APP_WINDOW"), frame $(outer_geometry "$APP_WINDOW")"

wait_until 10 "the favourite numbers to show whole" numbers_whole \
    || fail "the favourite numbers are not whole: $LAST_SEEN"
log "the favourite numbers show whole"
wait_until 10 "nothing to show below the favourite numbers" nothing_below_numbers \
    || fail "something shows below the favourite numbers: $LAST_SEEN"
log "below the numbers: $LAST_SEEN"
shoot
shoot_window "$APP_WINDOW" "$NAME-main.png"

# The About box is the last entry of the Help menu.
keys alt+h Up Return
expect_dialog "the About box" '^バージョン情報$'
sleep 0.3
shoot
shoot_window "$DIALOG_WINDOW" "$NAME-about.png"
keys Return
expect_dialog_closed "the About box" '^バージョン情報$'
keys ctrl+q
app_wait_exit
((APP_STATUS == 0)) || fail "the program ended with status $APP_STATUS"
log "passed: $NAME"
