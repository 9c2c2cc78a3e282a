#!/usr/bin/env bash
# Real-window scenarios: each starts the program in a desktop of its own and drives it the
# way a user would, with real key presses, then looks at the result from outside: the
# frame the window manager drew, the window-manager state, the clipboard and the settings
# file. The offscreen tests cannot see any of these.
#
# Usage: scenarios.sh SCENARIO PROGRAM
#
# The keyboard drives everything because client coordinates depend on the menu bar's
# height. At start the focus is on Copy; Shift+Tab from there enters the code field, Tab
# from the code field returns to Copy, and the scenarios keep to that.
set -euo pipefail

SCENARIO=${1:?scenario name}
CHROMALYNX=${2:?path of the program}
# shellcheck source=session.sh
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

# Types into the code field and returns to Copy. With "Return" the entry is read;
# without, the typed text stays in the field as it is.
enter_code() {
    keys shift+Tab
    type_text "$1"
    if [[ "${2:-}" == Return ]]; then
        keys Return
    fi
    keys Tab
}

copy_code() {
    keys space
}

expect_exit_ok() {
    app_wait_exit
    ((APP_STATUS == 0)) || fail "the program ended with status $APP_STATUS, expected 0"
}

scenario_smoke() {
    session_start
    app_start
    expect_outer_size 322x207
    screenshot smoke.png
    keys ctrl+q
    expect_exit_ok

    # A first close with nothing changed stores every value at its default.
    local key
    for key in 1 2 3 4 5 6 7 8 9; do
        expect_setting favorite "$key" 16777215
    done
    for key in formtop colornamelist char; do
        expect_setting condition "$key" 0
    done
}

scenario_code_copy() {
    session_start
    app_start
    # typed | key after it | what Copy puts on the clipboard. Each row's colour differs
    # from the one before, since entering the current colour leaves the typed text as is.
    local rows=(
        "123456|Return|#123456"
        "ff8000|Return|#FF8000"
        "12345|Return|#123450"
        "1234567|Return|#123456"
        "#g 1-2|Return|#120000"
        "|Return|#000000"
        "00ff00|Return|#00FF00"
        "ab||#ab"
    )
    local row typed key expected
    for row in "${rows[@]}"; do
        IFS='|' read -r typed key expected <<<"$row"
        log "entering \"$typed\" ${key:-without Enter}"
        enter_code "$typed" "$key"
        copy_code
        expect_clipboard "$expected"
    done
    keys ctrl+q
    expect_exit_ok
}

scenario_list_column() {
    session_start
    app_start
    expect_outer_size 322x207
    keys ctrl+d
    expect_outer_size 537x207
    screenshot list-column.png
    # Hidden again, the window is 324 wide, not the 322 it started with.
    keys ctrl+d
    expect_outer_size 324x207
    keys ctrl+d
    expect_outer_size 537x207
    keys ctrl+q
    expect_exit_ok
}

scenario_favourites() {
    session_start
    app_start
    enter_code FF0000 Return
    keys shift+F4
    enter_code 00FF00 Return
    copy_code
    expect_clipboard "#00FF00"
    keys F4
    copy_code
    expect_clipboard "#FF0000"
    keys ctrl+q
    expect_exit_ok

    expect_setting favorite 4 255
    local key
    for key in 1 2 3 5 6 7 8 9; do
        expect_setting favorite "$key" 16777215
    done
}

scenario_restart() {
    session_start
    app_start
    enter_code FF0000 Return
    keys shift+F4
    keys ctrl+t
    expect_above
    keys ctrl+d
    expect_outer_size 537x207
    keys ctrl+q
    expect_exit_ok
    expect_setting condition formtop 1
    expect_setting condition colornamelist 1

    app_start
    expect_outer_size 537x207
    expect_above
    keys F4
    copy_code
    expect_clipboard "#FF0000"

    # Always-on-top switches on the same window, in place.
    local window=$APP_WINDOW geometry
    geometry=$(outer_geometry "$APP_WINDOW")
    keys ctrl+t
    expect_not_above
    keys ctrl+t
    expect_above
    find_app_window || fail "the window is gone after switching always-on-top"
    [[ "$APP_WINDOW" == "$window" ]] \
        || fail "switching always-on-top replaced window $window by $APP_WINDOW"
    [[ "$(outer_geometry "$APP_WINDOW")" == "$geometry" ]] \
        || fail "switching always-on-top moved the window from $geometry to $(outer_geometry "$APP_WINDOW")"
    keys ctrl+q
    expect_exit_ok
}

window_centred() {
    local x y w h
    read -r x y w h < <(outer_geometry "$APP_WINDOW")
    LAST_SEEN="$x,$y ${w}x$h"
    local cx=$(((SCREEN_WIDTH - w) / 2)) cy=$(((SCREEN_HEIGHT - h) / 2))
    ((x >= cx - 1 && x <= cx + 1 && y >= cy - 1 && y <= cy + 1))
}

scenario_centred() {
    session_start
    app_start
    expect_outer_size 322x207
    local screen="${SCREEN_WIDTH}x$SCREEN_HEIGHT"
    wait_until 5 "the frame to be centred on the $screen screen" window_centred \
        || fail "the frame lies at $LAST_SEEN, not centred on the $screen screen"
    keys ctrl+q
    expect_exit_ok
}

case "$SCENARIO" in
    smoke | code-copy | list-column | favourites | restart | centred)
        "scenario_${SCENARIO//-/_}"
        log "passed: $SCENARIO"
        ;;
    *)
        echo "unknown scenario: $SCENARIO" >&2
        exit 2
        ;;
esac
