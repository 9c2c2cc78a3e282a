#!/usr/bin/env bash
# Picking off a real screen: the root is painted one colour, the pointer and keys end a
# pick on a spot the window leaves free, and Copy shows what the number fields took.
# Usage: pick.sh PROGRAM
set -euo pipefail

SCENARIO=pick
CHROMALYNX=${1:?path of the program}
# shellcheck source=../x11/session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../x11/session.sh"

# The picker's covers, one per monitor: the program's windows besides its main window.
covers() { xdotool search --onlyvisible --pid "$APP_PID" --name . 2>/dev/null | grep -vx "$APP_WINDOW"; }
# Keys must reach the cover, not the window beneath.
cover_has_keyboard() { local c; c=$(covers) && [[ "$c" == "$(xdotool getactivewindow 2>/dev/null)" ]]; }
covers_gone() { ! covers >/dev/null; }

# pick XDOTOOL-COMMAND... : points at 10,10 in a fresh pick and ends it with the command.
pick() {
    keys ctrl+p
    wait_until 10 "the picker" cover_has_keyboard || fail "no picker took the keyboard"
    xdotool mousemove 10 10 "$@"
    wait_until 10 "the picker to close" covers_gone || fail "the picker stayed"
    wait_until 10 "the keyboard back" app_has_focus || fail "the window did not get the keyboard back"
    keys space
}

session_start
xsetroot -solid '#123456'
app_start
pick key Escape
expect_clipboard "#FFFFFF"
pick click 1
expect_clipboard "#123456"
keys ctrl+q
app_wait_exit
log "passed: $SCENARIO"
