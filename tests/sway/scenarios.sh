#!/usr/bin/env bash
# Real-window scenarios on Wayland: each starts the program as a native Wayland client of
# its own headless sway and drives it with real key presses through the virtual keyboard,
# then looks at the result from outside: the window's size, the clipboard, the screen and
# the settings file.
#
# Usage: scenarios.sh SCENARIO PROGRAM
#
# At start the focus is on Copy; Shift+Tab from there enters the code field, Tab from the
# code field returns to Copy, and the scenarios keep to that, as the X11 ones do.
set -euo pipefail

SCENARIO=${1:?scenario name}
CHROMALYNX=${2:?path of the program}
# shellcheck source=session.sh
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"
sway_enter_user "${BASH_SOURCE[0]}" "$SCENARIO" "$CHROMALYNX"

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

# expect_copied CODE WHAT: Copy must put CODE on the clipboard; WHAT names what a
# different value shows is broken.
expect_copied() {
    copy_code
    wait_until 10 "the clipboard to hold \"$1\"" clipboard_is "$1" \
        || fail "the clipboard holds \"$LAST_SEEN\", expected \"$1\": $2"
    log "clipboard \"$1\""
}

# expect_field TABS TEXT WHAT: the number field TABS Tab stops after Copy holds TEXT.
# Ctrl+Insert copies the selected text (Ctrl+C belongs to the menu).
expect_field() {
    local tabs=$1 back=()
    local forward=()
    while ((${#forward[@]} < tabs)); do
        forward+=(Tab)
        back+=(shift+Tab)
    done
    keys "${forward[@]}" Home shift+End ctrl+Insert "${back[@]}"
    wait_until 10 "the clipboard to hold \"$2\"" clipboard_is "$2" \
        || fail "the field holds \"$LAST_SEEN\", expected \"$2\": $3"
    log "field $tabs: \"$2\""
}

expect_exit_ok() {
    app_wait_exit
    ((APP_STATUS == 0)) || fail "the program ended with status $APP_STATUS, expected 0"
}

# seed_settings TEXT: the settings file as the program will find it.
seed_settings() {
    mkdir -p "$(dirname "$(settings_file)")"
    printf '%s\n' "$1" >"$(settings_file)"
}

# The first start: white everywhere, HTML notation, the window at its fixed size.
scenario_start() {
    sway_session_start
    app_start
    expect_size 322x207
    screenshot wayland-start.png
    expect_copied "#FFFFFF" "the start colour"
    expect_field 2 255 "the R field at start"
    expect_field 4 255 "the B field at start"
    keys ctrl+q
    expect_exit_ok
    local key
    for key in 1 2 3 4 5 6 7 8 9; do
        expect_setting favorite "$key" 16777215
    done
    for key in formtop colornamelist char; do
        expect_setting condition "$key" 0
    done
}

scenario_typing() {
    sway_session_start
    app_start
    # A number field selects its text when it takes the focus, so typing replaces it;
    # letters never get in.
    keys Tab Tab
    type_text 1a2x8
    keys shift+Tab shift+Tab
    expect_copied "#80FFFF" "1a2x8 typed into the R field"
    # 300 is clamped to 255; taking away the last digit then leaves 25, where the
    # unclamped text would leave 30.
    keys Tab Tab Tab
    type_text 300
    keys End BackSpace
    keys shift+Tab shift+Tab shift+Tab
    expect_copied "#8019FF" "300 typed into the G field, then its last digit taken away"
    expect_field 3 25 "the G field after the clamping"
    # An emptied field becomes 0.
    keys Tab Tab Tab Tab BackSpace shift+Tab shift+Tab shift+Tab shift+Tab
    expect_copied "#801900" "the B field emptied"

    local row typed key expected
    for row in "${CODE_ENTRY_ROWS[@]}"; do
        IFS='|' read -r typed key expected <<<"$row"
        log "entering \"$typed\" ${key:-without Enter}"
        enter_code "$typed" "$key"
        expect_copied "$expected" "\"$typed\" entered ${key:-without Enter}"
    done
    enter_code 123456 Return
    expect_field 2 18 "the R field after #123456 was entered"

    # The notation. Six Tab stops from Copy reach the chosen option button of the first
    # two; the arrow keys choose the next one. DEC comes last in the Tab order, just
    # before the code field, which takes a code (always hexadecimal) and shows it in DEC.
    keys Tab Tab Tab Tab Tab Tab Right shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
    expect_copied "&H00563412" "the VB notation"
    keys Tab Tab Tab Tab Tab Tab Right Tab
    type_text 654321
    keys Return Tab
    expect_copied "2179941" "654321 entered in the DEC notation (blue × 65536 + green × 256 + red)"
    keys shift+Tab shift+Tab Left Left shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
    expect_copied "#654321" "back to the HTML notation"

    # Junk pasted from another program (Shift+Insert): a number field shows the number
    # the slider takes, the code field reads it only on Enter.
    put_on_clipboard "7z9"
    keys Tab Tab Home shift+End shift+Insert shift+Tab shift+Tab
    expect_copied "#074321" "7z9 pasted into the R field"
    put_on_clipboard "9999x"
    keys Tab Tab Tab Home shift+End shift+Insert shift+Tab shift+Tab shift+Tab
    expect_copied "#07FF21" "9999x pasted into the G field"
    put_on_clipboard "zz-!"
    keys shift+Tab shift+Insert Return Tab
    expect_copied "#000000" "zz-! pasted into the code field and entered"
    keys ctrl+q
    expect_exit_ok
}

# Menu shortcuts with a text field's neighbour focused: the list column, the readme, the
# favourites by F-keys, and clearing them with the question answered both ways.
scenario_shortcuts() {
    sway_session_start
    local tools=$SESSION_DIR/tools opened=$SESSION_DIR/opened
    mkdir "$tools"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$opened" >"$tools/xdg-open"
    chmod +x "$tools/xdg-open"
    app_start PATH="$tools:$PATH"
    keys ctrl+d
    expect_size 537x207
    screenshot wayland-list-column.png
    # Hidden again, the window is 324 wide, not the 322 it started with.
    keys ctrl+d
    expect_size 324x207

    # The readme goes to xdg-open, here a stand-in that notes what it was given.
    keys ctrl+h
    wait_until 10 "the readme to be handed to xdg-open" test -s "$opened" \
        || fail "the readme beside the program was not handed to xdg-open"
    local url
    url=$(head -n 1 "$opened")
    [[ "$url" == file://*/readme.txt ]] || fail "xdg-open was given \"$url\", expected the readme"
    log "xdg-open was given $url"

    enter_code FF0000 Return
    keys shift+F4
    enter_code 00FF00 Return
    keys shift+F9
    enter_code 0000FF Return
    expect_copied "#0000FF" "the colour entered last"
    keys F4
    expect_copied "#FF0000" "favourite 4 recalled with F4"
    keys F9
    expect_copied "#00FF00" "favourite 9 recalled with F9"

    # Escape answers the question with Cancel: the favourites stay.
    keys ctrl+c
    expect_dialog "the confirmation box" '^確認$'
    screenshot wayland-clear-question.png
    keys Escape
    expect_dialog_closed "the confirmation box" '^確認$'
    keys F4
    expect_copied "#FF0000" "favourite 4 after the clearing was cancelled"
    # Enter answers OK: every favourite is white again.
    keys ctrl+c
    expect_dialog "the confirmation box" '^確認$'
    keys Return
    expect_dialog_closed "the confirmation box" '^確認$'
    keys F9
    expect_copied "#FFFFFF" "favourite 9 after the favourites were cleared"
    keys ctrl+q
    expect_exit_ok
    local key
    for key in 1 2 3 4 5 6 7 8 9; do
        expect_setting favorite "$key" 16777215
    done

    # With no readme.txt beside the program a box says so.
    local program=$CHROMALYNX bare=$SESSION_DIR/bare
    mkdir "$bare"
    cp "$program" "$bare/"
    CHROMALYNX=$bare/${program##*/}
    app_start
    CHROMALYNX=$program
    keys ctrl+h
    expect_dialog "the box about the missing readme" '^readme$'
    keys Return
    expect_dialog_closed "the box about the missing readme" '^readme$'
    keys ctrl+q
    expect_exit_ok
}

# Ctrl+Q writes the settings, and the next start reads them back.
scenario_restart() {
    sway_session_start
    app_start
    enter_code FF0000 Return
    keys shift+F4
    keys ctrl+d
    expect_size 537x207
    keys ctrl+q
    expect_exit_ok
    expect_setting favorite 4 255
    expect_setting favorite 1 16777215
    expect_setting condition colornamelist 1

    app_start
    expect_size 537x207
    expect_copied "#FFFFFF" "the start colour after a restart"
    keys F4
    expect_copied "#FF0000" "favourite 4 after a restart"
    keys ctrl+q
    expect_exit_ok
    expect_setting favorite 4 255
    expect_setting condition colornamelist 1
}

# On a desktop that cannot keep a window above others and has no screenshot portal, both
# options are greyed: their keys do nothing, and the stored always-on-top value goes back
# to the settings as it was read.
scenario_greyed() {
    SWAY_BARE_BUS=1 sway_session_start
    local stored
    for stored in 1 0; do
        seed_settings "[condition]
formtop=$stored"
        app_start
        keys ctrl+t
        # The About box switches an always-on-top in force off; this one is not in force.
        keys alt+h Up Return
        expect_dialog "the About box" '^バージョン情報$'
        keys Return
        expect_dialog_closed "the About box" '^バージョン情報$'
        keys ctrl+p
        expect_no_dialog 2 "picker without a screenshot portal" '^画面から色を取得$'
        keys alt+d
        screenshot "wayland-greyed-$stored.png"
        keys Escape
        keys ctrl+q
        expect_exit_ok
        expect_setting condition formtop "$stored"
        log "always on top stored as $stored came back as $stored"
    done
}

# pick_with KEY... : Ctrl+P, then the keys on the picker's cover, which must close it.
pick_with() {
    keys ctrl+p
    expect_dialog "the picker" '^画面から色を取得$'
    screenshot "wayland-picker-scale$(swaymsg -t get_outputs | jq -r '.[0].scale').png"
    keys "$@"
    expect_dialog_closed "the picker" '^画面から色を取得$'
}

# Picking from the screen through the real screenshot portal, at output scale 1 and 2.
# The output shows a picture of its own size: one colour, but in the top-left corner a
# block of 16 × 16 pixels that all differ, pixel (x, y) being red 16x, green 16y, blue
# 128. The crosshair starts where the pointer was last seen, the screen's corner (the
# window lies in the middle); each arrow key moves it by one pixel of the screen, so the
# number fields and the code field must take exactly the pixel the keys lead to.
scenario_pick() {
    sway_session_start
    portal_start
    local picture=$SESSION_DIR/corner.png
    convert -size 1280x1024 "xc:#$BACKGROUND" \
        \( -size 16x16 xc:black -channel R -fx 'i*16/255' -channel G -fx 'j*16/255' \
        -channel B -fx '128/255' +channel \) -geometry +0+0 -composite "PNG24:$picture"
    # Stretched over an output of the picture's size, its pixels are the output's, also
    # at scale 2, where the output has half as many logical pixels.
    swaymsg output "$OUTPUT" bg "$picture" stretch >/dev/null
    wait_until 10 "the picture on the output" output_pixel_is 3 2 302080 \
        || fail "the output's pixel (3, 2) is #$LAST_SEEN, expected #302080"
    app_start
    pick_with Escape
    expect_copied "#FFFFFF" "a pick cancelled with Escape"
    pick_with Right Right Right Down Down Return
    expect_copied "#302080" "a pick of pixel (3, 2)"
    expect_field 2 48 "the R field after the pick"
    expect_field 3 32 "the G field after the pick"
    expect_field 4 128 "the B field after the pick"

    swaymsg output "$OUTPUT" scale 2 >/dev/null
    wait_until 10 "the output to be scaled" output_scale_is 2 || fail "the output did not scale"
    wait_until 10 "the picture on the scaled output" output_pixel_is 5 1 501080 \
        || fail "the scaled output's pixel (5, 1) is #$LAST_SEEN, expected #501080"
    pick_with Right Right Right Right Right Down Return
    expect_copied "#501080" "a pick of pixel (5, 1) at scale 2"
    expect_field 2 80 "the R field after the pick at scale 2"
    expect_field 3 16 "the G field after the pick at scale 2"
    expect_field 4 128 "the B field after the pick at scale 2"
    keys ctrl+q
    expect_exit_ok
    log "screenshot portal: $(portal_backend)"
}

output_scale_is() {
    [[ "$(swaymsg -t get_outputs | jq -r '.[0].scale')" == "$1"* ]]
}

# output_pixel_is X Y RRGGBB: that pixel of the output, in the output's own pixels.
output_pixel_is() {
    grim -o "$OUTPUT" "$SESSION_DIR/output.png" 2>/dev/null || return 1
    LAST_SEEN=$(convert "$SESSION_DIR/output.png" -format "%[hex:p{$1,$2}]" info:)
    [[ "$LAST_SEEN" == "$3" ]]
}

case "$SCENARIO" in
    start | typing | shortcuts | restart | greyed | pick)
        "scenario_${SCENARIO//-/_}"
        log "passed: $SCENARIO"
        ;;
    *)
        echo "unknown scenario: $SCENARIO" >&2
        exit 2
        ;;
esac
