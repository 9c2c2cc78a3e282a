#!/usr/bin/env bash
# The Windows program folder under Wine, in a real X session (Xvfb and openbox), driven
# with real key presses and looked at from outside: the window, the clipboard, the
# registry, screenshots. Each run has a fresh Wine prefix and no WINEPATH, as a machine
# with nothing else installed.
#
# Usage: wine-scenario.sh SCENARIO PROGRAM-FOLDER WINDOWRECT   (run in the build folder)
# WINDOWRECT is windowrect.exe, which reads a window's size inside Wine.
#   start     no DLL missing, screenshots of the main window, the About box and the
#             confirmation (wine-main.png, wine-about.png, wine-confirm.png), a clean end
#             on Ctrl+Q
#   size      the designed outer size, with and without the list column
#   typing    the number and code fields typed, Copy to the X clipboard
#   registry  a favourite stored with Shift+F4 survives Ctrl+Q and a restart; the
#             registry holds the twelve values
#   seeded    values in the registry as the platform's settings API writes them are
#             shown at start-up
# The last two read and write the program's registry key: they fail while the program
# keeps its settings anywhere else.
set -euo pipefail

SCENARIO=${1:?scenario}
PROGRAM=$(cd "${2:?program folder}" && pwd)/chromalynx.exe
WINDOWRECT=${3:?windowrect.exe}
WORK=$PWD/wine-$SCENARIO
KEY='HKCU\Software\VB and VBA Program Settings\Chromalynx'

log() { printf 'wine-%s: %s\n' "$SCENARIO" "$*"; }
fail() {
    log "FAILED: $*" >&2
    if [[ -n ${DISPLAY:-} ]]; then
        import -window root "$WORK/failure.png" 2>/dev/null && log "the screen: $WORK/failure.png"
    fi
    exit 1
}

for tool in wine Xvfb openbox xdotool xclip xwininfo import convert; do
    if ! command -v "$tool" >/dev/null; then
        [[ ${CI:-} == true ]] && fail "$tool is missing"
        log "skipped: $tool is missing (scripts/setup.sh installs it)"
        exit 77
    fi
done

rm -rf "$WORK"
mkdir -p "$WORK"
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH WAYLAND_DISPLAY

pids=()
finish() {
    wineserver -k >/dev/null 2>&1 || true
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
}
trap finish EXIT

# wait_until SECONDS WHAT COMMAND...: polls until COMMAND succeeds; WHAT is for the reader.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift 2
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
wait_until 10 "the X server" test -s "$WORK/display" || fail "Xvfb did not start"
DISPLAY=:$(head -n 1 "$WORK/display")
export DISPLAY
openbox >"$WORK/openbox.log" 2>&1 &
pids+=($!)

wine wineboot --init >"$WORK/wineboot.log" 2>&1
# A Japanese Windows has MS UI Gothic; here VL Gothic takes its place.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ \
    /d 'VL Gothic' /f >/dev/null 2>&1

APP_WINDOW=
APP_PID=
find_window() {
    APP_WINDOW=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [[ -n $APP_WINDOW ]]
}

app_start() {
    # err+module names every DLL that fails to load.
    WINEDEBUG=err+module wine "$PROGRAM" >"$WORK/program.log" 2>&1 &
    APP_PID=$!
    wait_until 30 "the main window" find_window Chromalynx || fail "no window appeared"
    wait_until 10 "the keyboard" has_focus || fail "the window did not get the keyboard"
    sleep 1
    if grep -E 'import_dll|not found' "$WORK/program.log"; then
        fail "a DLL is missing beside the program"
    fi
}

has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$APP_WINDOW" ]]; }

app_quit() {
    keys ctrl+q
    local status=0
    wait "$APP_PID" || status=$?
    ((status == 0)) || fail "the program ended with status $status"
    # What the program wrote reaches the registry files once the server is idle.
    wineserver -w
}

keys() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 60 -- "$1"; }

clipboard_is() {
    LAST_SEEN=$(xclip -selection clipboard -o 2>/dev/null || true)
    [[ $LAST_SEEN == "$1" ]]
}

# From Copy, where the focus starts: Tab Tab is the R field, whose text is selected on
# entry; Shift+Tab is the code field.
copy_expect() {
    keys space
    wait_until 10 "the clipboard" clipboard_is "$1" \
        || fail "the clipboard holds \"$LAST_SEEN\", expected \"$1\" ($2)"
    log "copied \"$1\""
}

# window_size: "OUTER CLIENT" of the main window, as Windows sizes them, and the X
# window that shows it.
window_size() {
    local x
    x=$(xwininfo -id "$APP_WINDOW" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    printf '%s x=%s\n' "$(wine "$WINDOWRECT" Chromalynx 2>/dev/null | tr -d '\r')" "$x"
}

size_is() {
    LAST_SEEN=$(window_size)
    [[ $LAST_SEEN == "$1 "* ]]
}

# expect_size OUTER WHAT: the outer size, in pixels; the X window must show the client area.
expect_size() {
    wait_until 10 "an outer size of $1" size_is "$1" \
        || fail "the window's outer and client size and its X window are $LAST_SEEN, expected an outer size of $1 ($2)"
    local client=${LAST_SEEN#* }
    client=${client%% *}
    [[ $LAST_SEEN == *" x=$client" ]] || fail "the X window does not show the client area: $LAST_SEEN"
    log "outer size $1, client $client"
}

list_column_shown() {
    LAST_SEEN=$(xwininfo -id "$APP_WINDOW" | awk '/Width:/ { print $2 }')
    ((LAST_SEEN > 500))
}

# The window manager's frame around a window: its ancestor just below the root.
frame_of() {
    local window=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
    while parent=$(xwininfo -tree -id "$window" | awk '/Parent window id:/ { print $4 }'); do
        if [[ -z $parent || $((parent)) == $((root)) ]]; then
            printf '%s\n' "$window"
            return
        fi
        window=$parent
    done
}

# shot WINDOW NAME: the screen, and the window in its frame cut out of it.
shot() {
    import -window root "$WORK/screen.png"
    local x y w h
    read -r x y w h < <(xwininfo -id "$(frame_of "$1")" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print x, y, w, h }')
    convert "$WORK/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$2"
    log "screenshot $2"
}

# client_pixel X Y: that pixel of the main window's client area in the last screenshot.
client_pixel() {
    local x y
    read -r x y < <(xwininfo -id "$APP_WINDOW" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
    convert "$WORK/screen.png" -format "%[hex:p{$((x + $1)),$((y + $2))}]" info: | cut -c1-6
}

registry_value() {
    { wine reg query "$KEY\\$1" /v "$2" 2>/dev/null || true; } |
        tr -d '\r' | awk -v name="$2" '$1 == name { print $3 }'
}

expect_registry() {
    local value
    value=$(registry_value "$1" "$2")
    [[ $value == "$3" ]] || fail "registry $1\\$2 holds \"$value\", expected \"$3\""
}

case $SCENARIO in
start)
    app_start
    log "outer and client size, X window: $(window_size)"
    shot "$APP_WINDOW" wine-main.png
    # Help menu, its second entry: the About box.
    keys alt+h
    sleep 0.5
    keys Down Return
    wait_until 10 "the About box" find_window 'バージョン情報' || fail "no About box"
    sleep 1
    shot "$APP_WINDOW" wine-about.png
    keys Escape
    find_window Chromalynx
    wait_until 10 "the main window's keyboard" has_focus || fail "the main window lost the keyboard"
    # The confirmation before clearing the favourites, whose buttons are Qt's own texts
    # from translations/qtbase_ja.qm; Escape answers no.
    keys ctrl+c
    sleep 2
    import -window root wine-confirm.png
    log "screenshot wine-confirm.png"
    keys Escape
    find_window Chromalynx
    wait_until 10 "the main window's keyboard" has_focus || fail "the main window lost the keyboard"
    app_quit
    ;;
size)
    app_start
    # The designed 4830 x 3105 twips, as the X11 scenarios expect them.
    expect_size 322x207 "as designed"
    keys ctrl+d
    expect_size 537x207 "8055 twips with the list column"
    app_quit
    ;;
typing)
    app_start
    keys Tab Tab
    type_text 70
    keys Tab
    type_text 130
    keys Tab
    type_text 999
    keys shift+Tab shift+Tab shift+Tab shift+Tab
    copy_expect "#4682FF" "70, 130 and 999 typed into R, G and B"
    keys shift+Tab
    type_text ff8000
    keys Return Tab
    copy_expect "#FF8000" "ff8000 typed into the code field"
    app_quit
    ;;
registry)
    app_start
    keys shift+Tab
    type_text FF0000
    keys Return Tab shift+F4
    keys shift+Tab
    type_text 00FF00
    keys Return Tab
    app_quit
    expect_registry favorite 4 255
    for key in 1 2 3 5 6 7 8 9; do
        expect_registry favorite "$key" 16777215
    done
    for key in formtop colornamelist char; do
        expect_registry condition "$key" 0
    done
    log "the registry holds the twelve values"
    app_start
    keys F4
    copy_expect "#FF0000" "favourite 4 after a restart"
    app_quit
    ;;
seeded)
    wine reg add "$KEY\\favorite" /v 1 /t REG_SZ /d 255 /f >/dev/null 2>&1
    wine reg add "$KEY\\condition" /v colornamelist /t REG_SZ /d 1 /f >/dev/null 2>&1
    wineserver -w
    app_start
    # The list column widens the window from 4830 to 8055 twips, 322 to 537 px; the size
    # scenario checks the exact sizes.
    wait_until 10 "the list column" list_column_shown \
        || fail "the window is $LAST_SEEN wide: the list column is not shown"
    shot "$APP_WINDOW" wine-seeded.png
    # The middle of favourite 1, below the menu bar.
    colour=$(client_pixel 31 152)
    [[ ${colour^^} == FF0000 ]] || fail "favourite 1 shows #$colour, expected red"
    log "favourite 1 red, list column shown"
    app_quit
    ;;
*)
    fail "no scenario $SCENARIO"
    ;;
esac
log passed
