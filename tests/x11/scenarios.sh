#!/usr/bin/env bash
# Real-window scenarios: each starts the program in a desktop of its own and drives it the
# way a user would, with real key presses, then looks at the result from outside: the
# frame the window manager drew, the window-manager state, the clipboard and the settings
# file. The offscreen tests cannot see any of these.
#
# Usage: scenarios.sh SCENARIO PROGRAM
#
# The keyboard drives the window wherever it can. Client coordinates depend on the menu
# bar's height, so a scenario that needs the pointer or reads pixels first finds the client
# area on the screen (locate_client). At start the focus is on Copy; Shift+Tab from there
# enters the code field, Tab from the code field returns to Copy, and the scenarios keep
# to that.
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

# press_times COUNT KEY: the same key COUNT times.
press_times() {
    local count=$1 presses=()
    while ((count-- > 0)); do
        presses+=("$2")
    done
    keys "${presses[@]}"
}

# --- Pointer and pixels in client coordinates ----------------------------------------
#
# Where the pointer is needed, or pixels are looked at, positions are given in the client
# area: the central widget below the menu bar, in pixels (the layout's twips / 15). The
# menu bar's height depends on the font, so locate_client measures where the client area
# lies on the screen.
CLIENT_X=
CLIENT_Y=
COPY_BUTTON=(176 8)     # the middle of Copy, at (152,0), 48 × 17
PREVIEW_MIDDLE=(104 48) # the middle of the preview swatch, at (56,36), 97 × 25 framed

# locate_client RRGGBB: finds the client area from the preview swatch, which shows that
# colour (not black and not white, which other controls show as well).
locate_client() {
    wait_until 10 "the preview swatch to show #$1" preview_found "$1" \
        || fail "the window shows no 95x23 area of #$1 at x 57, where the preview's inside lies; it shows $LAST_SEEN"
    local y
    read -r _ y _ _ < <(window_geometry "$APP_WINDOW")
    log "client area at $CLIENT_X,$CLIENT_Y below a menu bar of $((CLIENT_Y - y)) px"
}

client_click() {
    click_at $((CLIENT_X + $1)) $((CLIENT_Y + $2)) "${3:-1}"
}

client_drag() {
    drag_to $((CLIENT_X + $1)) $((CLIENT_Y + $2)) $((CLIENT_X + $3)) $((CLIENT_Y + $4))
}

# client_pixel X Y: that pixel of the last shot, as RRGGBB.
client_pixel() {
    pixel $((CLIENT_X + $1)) $((CLIENT_Y + $2))
}

copy_by_pointer() {
    client_click "${COPY_BUTTON[@]}"
}

# Tooltips are windows of the program too; with the pointer in the screen's corner none
# shows up where a dialog is looked for or pixels are read.
park_pointer() {
    pointer_to 0 0
}

# expect_copied CODE WHAT: the clipboard must come to hold CODE; WHAT names what a
# different value shows is broken.
expect_copied() {
    wait_until 10 "the clipboard to hold \"$1\"" clipboard_is "$1" \
        || fail "the clipboard holds \"$LAST_SEEN\", expected \"$1\": $2"
    log "clipboard \"$1\""
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
    local row typed key expected
    for row in "${CODE_ENTRY_ROWS[@]}"; do
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

scenario_sliders() {
    session_start
    app_start
    # A number field selects its text when it takes the focus, so typing replaces it.
    keys Tab Tab
    type_text 128
    keys shift+Tab shift+Tab
    copy_code
    expect_copied "#80FFFF" "128 typed into the R field"

    # From Copy, Tab runs through Palette, the R, G and B fields, Clear, the chosen
    # notation and the two check boxes to the red slider; the hidden list column is
    # skipped. There, as on any horizontal scroll bar, Left, Up and Page Up lower the value
    # and Right, Down and Page Down raise it.
    press_times 9 Tab
    keys Home Page_Down Page_Down Page_Up Down Down Up Right Right Left
    press_times 9 shift+Tab
    copy_code
    expect_copied "#12FFFF" "on the red slider Home, Page Down twice, Page Up, Down twice, Up, Right twice and Left (0 + 32 - 16 + 2 - 1 + 2 - 1)"

    # 300 in the G field is clamped to 255, which leaves the colour as it was; taking away
    # the last digit then leaves 25, where the unclamped text would leave 30.
    keys Tab Tab Tab
    type_text 300
    keys End BackSpace
    keys shift+Tab shift+Tab shift+Tab
    copy_code
    expect_copied "#1219FF" "300 typed into the G field, then its last digit taken away"

    # At 255 the blue slider's thumb lies against its right arrow: the slider spans client
    # x 31 to 271 and the thumb, as Qt draws it here, 231 to 258. Dragged past the left
    # end it stops at 0.
    locate_client 1219FF
    client_drag 244 108 10 108
    copy_by_pointer
    expect_copied "#121900" "the blue slider's thumb dragged to the far left (a press beside the thumb pages by 16 instead)"

    # The wheel turned down over the red slider raises it by three, turned up lowers it.
    pointer_to $((CLIENT_X + 150)) $((CLIENT_Y + 74))
    xdotool click --repeat 2 --delay 100 5
    xdotool click 4
    copy_by_pointer
    expect_copied "#151900" "the wheel turned down twice and up once over the red slider (18 + 3 + 3 - 3)"
    keys ctrl+q
    expect_exit_ok
}

scenario_notation() {
    session_start
    app_start
    enter_code 123456 Return
    locate_client 123456
    park_pointer
    shoot
    local found
    found=$(client_pixel "${PREVIEW_MIDDLE[@]}")
    [[ "$found" == 123456 ]] || fail "the preview's middle is #$found, expected #123456"
    log "the preview shows #123456"

    # The option buttons lie on the row at client y 21, 12 pixels high; each is clicked on
    # the round mark at its left end.
    client_click 163 27 # DEC
    copy_by_pointer
    expect_copied "5649426" "the DEC notation (blue × 65536 + green × 256 + red)"
    client_click 115 27 # VB
    copy_by_pointer
    expect_copied "&H00563412" "the VB notation"
    client_click 62 27 # HTML
    copy_by_pointer
    expect_copied "#123456" "back to the HTML notation"
    keys ctrl+q
    expect_exit_ok
}

scenario_palette() {
    session_start
    app_start
    park_pointer
    enter_code 123456 Return
    # Tab from Copy reaches Palette; Shift+Tab from there returns to Copy.
    keys Tab space
    expect_dialog "the colour dialog"
    keys Escape
    expect_dialog_closed "the colour dialog"
    keys shift+Tab
    copy_code
    # Before any OK the dialog's colour is its first one, black, and Cancel takes it too.
    expect_copied "#000000" "Cancel before any OK in the colour dialog"

    # The dialog first offers black, and Enter takes it.
    keys Tab space
    expect_dialog "the colour dialog"
    keys Return
    expect_dialog_closed "the colour dialog"
    keys shift+Tab
    copy_code
    expect_copied "#000000" "OK in the colour dialog as first shown"

    # A colour typed into the dialog's HTML field (Alt+H), then OK.
    keys Tab space
    expect_dialog "the colour dialog"
    keys alt+h ctrl+a
    type_text "#abcdef"
    keys Return
    expect_dialog_closed "the colour dialog"
    keys shift+Tab
    copy_code
    expect_copied "#ABCDEF" "OK in the colour dialog after #abcdef was typed into its HTML field"

    # Cancel brings back the colour last taken with OK.
    enter_code 123456 Return
    keys Tab space
    expect_dialog "the colour dialog"
    keys Escape
    expect_dialog_closed "the colour dialog"
    keys shift+Tab
    copy_code
    expect_copied "#ABCDEF" "Cancel in the colour dialog after an OK"
    keys ctrl+q
    expect_exit_ok
}

# The list column: client (324,1), 203 × 124, right of the 320 pixels the window shows
# while it is hidden. The area looked at, x y width height, keeps clear of the list's
# frame and scroll bar.
LIST_AREA=(330 5 160 110)

# While hidden, the list area is the bare root window, of one colour with its corner.
list_area_is_root() {
    shoot
    local root count first
    root=$(pixel 0 $((SCREEN_HEIGHT - 1)))
    read -r count first < <(region_colours $((CLIENT_X + LIST_AREA[0])) \
        $((CLIENT_Y + LIST_AREA[1])) "${LIST_AREA[2]}" "${LIST_AREA[3]}")
    LAST_SEEN="$count colours, the first #$first, where the root window is #$root"
    [[ "$count $first" == "1 $root" ]]
}

# Shown, it is the list's white background with a few short lines of text.
list_area_is_list() {
    shoot
    LAST_SEEN=$(region_lightness $((CLIENT_X + LIST_AREA[0])) $((CLIENT_Y + LIST_AREA[1])) \
        "${LIST_AREA[2]}" "${LIST_AREA[3]}")
    ((LAST_SEEN >= 80))
}

scenario_names() {
    session_start
    app_start
    enter_code 123456 Return
    locate_client 123456
    park_pointer
    wait_until 5 "the bare screen right of the window" list_area_is_root \
        || fail "right of the window, where the hidden list lies, the screen shows $LAST_SEEN"
    log "the hidden list is not on the screen"
    keys ctrl+d
    expect_outer_size 537x207
    wait_until 5 "the list to show" list_area_is_list \
        || fail "the list area's lightness is $LAST_SEEN of 100, expected a white list"
    log "the list shows, lightness $LAST_SEEN"

    # Code order starts with "#000000 black"; a double click applies an entry.
    client_click 370 9 2
    copy_by_pointer
    expect_copied "#000000" "a double click on the first entry of the code-order list"

    # Name order: a click on an entry applies it, as does moving on with the arrow keys.
    client_click 419 144 # アルファベット順
    client_click 370 9
    copy_by_pointer
    expect_copied "#F0F8FF" "a click on \"aliceblue\", the first entry in name order"
    client_click 370 9
    keys Down
    copy_by_pointer
    expect_copied "#FAEBD7" "Down from \"aliceblue\" to \"antiquewhite\""
    keys ctrl+q
    expect_exit_ok
}

# A favourite swatch N (1 to 9): client (19 + 24 × (N - 1), 123), 25 × 25 with its frame.
favourite_x() {
    printf '%d\n' $((19 + 24 * ($1 - 1)))
}

# The marker, drawn at the inside's top-left corner, starts with a light pixel and a dark
# one diagonally below it.
MARKED="FCFEFC 040204"

favourite_corner_is() {
    shoot
    local x
    x=$(favourite_x "$1")
    LAST_SEEN="$(client_pixel $((x + 1)) 124) $(client_pixel $((x + 2)) 125)"
    [[ "$LAST_SEEN" == "$2" ]]
}

# expect_corner N "RRGGBB RRGGBB": the swatch's pixels (1,1) and (2,2).
expect_corner() {
    wait_until 5 "favourite $1's corner to show $2" favourite_corner_is "$1" "$2" \
        || fail "favourite $1's pixels (1,1) and (2,2) are $LAST_SEEN, expected $2"
    log "favourite $1's corner: $2"
}

scenario_favourites_drag() {
    session_start
    app_start
    enter_code 123456 Return
    locate_client 123456
    local fav3
    fav3=$(($(favourite_x 3) + 12))

    # The preview dragged onto favourite 3 stores its colour there and marks it.
    client_drag "${PREVIEW_MIDDLE[@]}" "$fav3" 135
    park_pointer
    expect_corner 3 "$MARKED"
    expect_corner 1 "FFFFFF FFFFFF"

    # Another colour stored with Shift+F5 takes the marker to favourite 5.
    enter_code FF8000 Return
    keys shift+F5
    expect_corner 5 "$MARKED"
    expect_corner 3 "123456 123456"

    # Favourite 3 dragged onto the preview applies its colour and marks it again.
    client_drag "$fav3" 135 "${PREVIEW_MIDDLE[@]}"
    park_pointer
    copy_code
    expect_copied "#123456" "favourite 3 dragged onto the preview"
    expect_corner 3 "$MARKED"
    expect_corner 5 "FF8000 FF8000"

    # Escape answers the confirmation with Cancel: both favourites stay.
    keys ctrl+c
    expect_dialog "the confirmation box" '^確認$'
    keys Escape
    expect_dialog_closed "the confirmation box" '^確認$'
    keys F5
    copy_code
    expect_copied "#FF8000" "favourite 5 after the clearing was cancelled"
    keys F3
    copy_code
    expect_copied "#123456" "favourite 3 after the clearing was cancelled"

    # Enter answers OK: every favourite is white again.
    keys ctrl+c
    expect_dialog "the confirmation box" '^確認$'
    keys Return
    expect_dialog_closed "the confirmation box" '^確認$'
    keys F3
    copy_code
    expect_copied "#FFFFFF" "favourite 3 after the favourites were cleared"
    keys ctrl+q
    expect_exit_ok
    local key
    for key in 1 2 3 4 5 6 7 8 9; do
        expect_setting favorite "$key" 16777215
    done
}

# The readme is looked for beside the executable only. With no readme.txt there a box
# says so; with one, it goes to xdg-open, here a stand-in that notes what it was given.
scenario_help_about() {
    session_start
    local program=$CHROMALYNX bare=$SESSION_DIR/bare
    mkdir "$bare"
    cp "$program" "$bare/"
    CHROMALYNX=$bare/${program##*/}
    app_start
    keys ctrl+h
    expect_dialog "the box about the missing readme" '^readme$'
    keys Return
    expect_dialog_closed "the box about the missing readme" '^readme$'
    keys ctrl+q
    expect_exit_ok
    CHROMALYNX=$program

    local tools=$SESSION_DIR/tools opened=$SESSION_DIR/opened
    mkdir "$tools"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$opened" >"$tools/xdg-open"
    chmod +x "$tools/xdg-open"
    local path=$PATH
    export PATH=$tools:$PATH
    app_start
    PATH=$path
    keys ctrl+h
    wait_until 10 "the readme to be handed to xdg-open" test -s "$opened" \
        || fail "the readme beside the program was not handed to xdg-open"
    local url readme
    url=$(head -n 1 "$opened")
    readme=$(realpath "$(dirname "$program")")/readme.txt
    # The URL may carry %-escapes; printf %b turns them back into characters.
    if [[ "$url" != file://* || "$(printf '%b' "${url//%/\\x}")" != "file://$readme" ]]; then
        fail "xdg-open was given \"$url\", expected file://$readme"
    fi
    log "xdg-open was given $url"
    expect_no_dialog 2 "box about the readme" '^readme$'

    # The About box takes the window out of the always-on-top band; the entry is the
    # last of the Help menu (Alt+H, then Up from the first entry).
    keys ctrl+t
    expect_above
    keys alt+h Up Return
    expect_dialog "the About box" '^バージョン情報$'
    expect_not_above
    keys Return
    expect_dialog_closed "the About box" '^バージョン情報$'
    expect_not_above
    keys ctrl+q
    expect_exit_ok
    expect_setting condition formtop 0
}

# expect_fixed_buttons WINDOW WHAT MINIMISE: the window's hints offer no maximise button,
# and a minimise button exactly when MINIMISE is "yes"; its size is fixed, and the window
# manager allows no maximising. Motif bits: functions 1 all (inverted), 8 minimise,
# 16 maximise; decorations 1 all (inverted), 32 minimise, 64 maximise.
expect_fixed_buttons() {
    local window=$1 what=$2 minimise=$3 values flags functions decorations
    values=$(xprop -id "$window" _MOTIF_WM_HINTS | sed -n 's/.* = //p' | tr -d ,)
    read -r flags functions decorations _ <<<"$values"
    ((flags == (flags | 3))) || fail "$what: _MOTIF_WM_HINTS ($values) set no functions and decorations"
    ((!(functions & 17) && !(decorations & 65))) \
        || fail "$what: _MOTIF_WM_HINTS ($values) offer maximising"
    if [[ "$minimise" == yes ]]; then
        (((functions & 8) && (decorations & 32))) \
            || fail "$what: _MOTIF_WM_HINTS ($values) offer no minimise button"
    else
        ((!(functions & 8) && !(decorations & 32))) \
            || fail "$what: _MOTIF_WM_HINTS ($values) offer a minimise button"
    fi
    local hints smallest largest
    hints=$(xprop -id "$window" WM_NORMAL_HINTS)
    smallest=$(sed -n 's/.*minimum size: //p' <<<"$hints")
    largest=$(sed -n 's/.*maximum size: //p' <<<"$hints")
    [[ -n "$smallest" && "$smallest" == "$largest" ]] \
        || fail "$what: WM_NORMAL_HINTS do not fix the size: $hints"
    ! xprop -id "$window" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE \
        || fail "$what: the window manager allows maximising: $(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)"
    local offered="no maximise button"
    [[ "$minimise" == yes ]] || offered+=", no minimise button"
    log "$what: $offered, size $smallest fixed"
}

# centre_of WINDOW: "X Y", the centre of its frame.
centre_of() {
    local x y w h
    read -r x y w h < <(outer_geometry "$1")
    printf '%d %d\n' $((x + w / 2)) $((y + h / 2))
}

about_centred() {
    local ax ay mx my
    read -r ax ay < <(centre_of "$DIALOG_WINDOW")
    read -r mx my < <(centre_of "$APP_WINDOW")
    LAST_SEEN="the About box's centre $ax,$ay, the main window's $mx,$my"
    ((ax - mx <= 2 && mx - ax <= 2 && ay - my <= 2 && my - ay <= 2))
}

frame_moved_from() {
    LAST_SEEN=$(outer_geometry "$APP_WINDOW")
    [[ "$LAST_SEEN" != "$1" ]]
}

# The window offers no maximising, the About box and the confirmation neither minimising nor
# maximising; the About box opens centred on the main window wherever that was moved to.
scenario_decorations() {
    session_start
    app_start
    park_pointer
    expect_outer_size 322x207
    expect_fixed_buttons "$APP_WINDOW" "the main window" yes

    # A double click on the title bar, which maximises a window under openbox, changes
    # nothing.
    local x y w h
    read -r x y w h < <(outer_geometry "$APP_WINDOW")
    click_at $((x + w / 2)) $((y + 8)) 2
    park_pointer
    expect_no_dialog 1 "window after the double click on the title bar"
    expect_outer_size 322x207

    local before
    before=$(outer_geometry "$APP_WINDOW")
    xdotool windowmove "$APP_WINDOW" 140 90
    wait_until 10 "the window to move" frame_moved_from "$before" \
        || fail "the window did not move from $before"
    log "the window moved to $LAST_SEEN"
    keys alt+h Up Return
    expect_dialog "the About box" '^バージョン情報$'
    wait_until 5 "the About box to be centred on the main window" about_centred \
        || fail "the About box is not centred on the main window: $LAST_SEEN"
    log "centred: $LAST_SEEN"
    expect_fixed_buttons "$DIALOG_WINDOW" "the About box" no
    screenshot decorations-about.png
    keys Return
    expect_dialog_closed "the About box" '^バージョン情報$'

    keys ctrl+c
    expect_dialog "the confirmation box" '^確認$'
    expect_fixed_buttons "$DIALOG_WINDOW" "the confirmation box" no
    keys Escape
    expect_dialog_closed "the confirmation box" '^確認$'
    keys ctrl+q
    expect_exit_ok
}

details_above() {
    xprop -id "$DIALOG_WINDOW" _NET_WM_STATE 2>/dev/null | grep -q '_NET_WM_STATE_ABOVE'
}

details_not_above() { ! details_above; }

# The colour-details window: opened with Ctrl+I beside the main window, a colour typed
# into it reaches the main window's number fields, and it names the colour.
scenario_details() {
    session_start
    app_start
    keys ctrl+i
    expect_dialog "the colour-details window" '^色の詳細$'
    local details=$DIALOG_WINDOW
    type_text "hsl(207 44% 49%)"
    keys Return
    # Alt+N takes the keyboard to the nearest name's field, whose text is then copied whole.
    keys alt+n ctrl+a ctrl+c
    expect_clipboard "steelblue（完全一致）"
    # It opens beside the main window, not over it.
    local mx my mw mh dx dy dw dh
    read -r mx my mw mh < <(outer_geometry "$APP_WINDOW")
    read -r dx dy dw dh < <(outer_geometry "$details")
    if ((dx < mx + mw && mx < dx + dw && dy < my + mh && my < dy + dh)); then
        fail "the details window ($dw x $dh at $dx,$dy) covers the main window ($mw x $mh at $mx,$my)"
    fi
    screenshot details.png

    # Back in the main window: from Copy, Tab goes through Palette to the number fields,
    # each of which selects its text when entered; Ctrl+Insert copies it.
    xdotool windowactivate "$APP_WINDOW" >/dev/null 2>&1 || true
    wait_until 10 "the main window to get the keyboard" app_has_focus \
        || fail "the main window did not get the keyboard back"
    keys Tab Tab ctrl+Insert
    expect_clipboard 70
    keys Tab ctrl+Insert
    expect_clipboard 130
    keys Tab ctrl+Insert
    expect_clipboard 180

    # It stays above the main window while that one is kept on top.
    keys ctrl+t
    expect_above
    wait_until 10 "the details window to be kept above too" details_above \
        || fail "the details window is not kept above with the main window"
    keys ctrl+t
    expect_not_above
    wait_until 10 "the details window to leave the band too" details_not_above \
        || fail "the details window is still kept above"

    # Ctrl+I raises the same window again; it closes with the main window.
    keys ctrl+i
    expect_dialog "the colour-details window" '^色の詳細$'
    [[ "$DIALOG_WINDOW" == "$details" ]] || fail "Ctrl+I opened a second details window"
    xdotool windowactivate "$APP_WINDOW" >/dev/null 2>&1 || true
    wait_until 10 "the main window to get the keyboard" app_has_focus \
        || fail "the main window did not get the keyboard back"
    keys ctrl+q
    expect_exit_ok
}

case "$SCENARIO" in
    smoke | code-copy | list-column | favourites | restart | centred | sliders | notation | palette \
        | names | favourites-drag | help-about | decorations | details)
        "scenario_${SCENARIO//-/_}"
        log "passed: $SCENARIO"
        ;;
    *)
        echo "unknown scenario: $SCENARIO" >&2
        exit 2
        ;;
esac
