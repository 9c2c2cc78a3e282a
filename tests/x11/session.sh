# Helpers for driving Chromalynx in a real X session; sourced by scenarios.sh.
#
# session_start gives the caller a desktop of its own: a fresh Xvfb on a free display, the
# openbox window manager (the program's frame size depends on a manager reparenting it),
# and private config, cache and runtime folders, so that the settings file starts empty
# and nothing of the user's desktop or settings is touched. An EXIT trap takes down only
# what the session started.
#
# Every wait polls with a deadline; nothing sleeps for a fixed long time. X11_TIME_SCALE
# stretches all deadlines (sanitizer builds start slowly on a loaded machine).

X11_TIME_SCALE=${X11_TIME_SCALE:-1}
SCREEN_WIDTH=1280
SCREEN_HEIGHT=1024
SESSION_DIR=
SESSION_XVFB_PID=
SESSION_WM_PID=
SESSION_DISPLAY=
APP_PID=
APP_WINDOW=
APP_STATUS=
APP_RUNS=0

log() { printf '[%s] %s\n' "$(date +%T.%3N)" "$*"; }

fail() {
    log "FAIL: $*" >&2
    exit 1
}

# wait_until SECONDS DESCRIPTION COMMAND... : runs COMMAND every 0.1 s until it succeeds.
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds * X11_TIME_SCALE))
    until "$@"; do
        if ((SECONDS >= deadline)); then
            log "timed out after $((seconds * X11_TIME_SCALE)) s waiting for $what" >&2
            return 1
        fi
        sleep 0.1
    done
}

# Tools the scenarios call; scripts/setup.sh installs them.
session_require_tools() {
    local tool missing=()
    for tool in Xvfb xauth openbox xdpyinfo xwininfo xprop xdotool xclip import; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    ((${#missing[@]} == 0)) && return 0
    if [[ "${CI:-}" == true ]]; then
        fail "missing tools: ${missing[*]} (scripts/setup.sh installs them)"
    fi
    log "skipped: missing tools: ${missing[*]} (scripts/setup.sh installs them)"
    exit 77
}

display_is_free() {
    [[ ! -e /tmp/.X11-unix/X$1 && ! -e /tmp/.X$1-lock ]]
}

server_answers() {
    xdpyinfo >/dev/null 2>&1
}

xvfb_alive() {
    kill -0 "$SESSION_XVFB_PID" 2>/dev/null
}

server_ready_or_gone() {
    server_answers || ! xvfb_alive
}

wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts Xvfb on the first free display from a per-process starting point, so that tests
# run in parallel rarely try the same number; a server that loses the race for a display
# dies at once and the next number is tried.
start_xvfb() {
    local n tries=0 cookie
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    n=$((100 + $$ % 400))
    while ((tries < 50)); do
        tries=$((tries + 1))
        n=$((n + 1))
        display_is_free "$n" || continue
        : >"$XAUTHORITY"
        xauth -q -f "$XAUTHORITY" add ":$n" MIT-MAGIC-COOKIE-1 "$cookie"
        # Without -noreset the server resets whenever its last client leaves, and a client
        # connecting during the reset (openbox, right after the probe) is turned away.
        Xvfb ":$n" -screen 0 "${SCREEN_WIDTH}x${SCREEN_HEIGHT}x24" -nolisten tcp -noreset \
            -auth "$XAUTHORITY" >"$SESSION_DIR/xvfb.log" 2>&1 </dev/null &
        SESSION_XVFB_PID=$!
        export DISPLAY=":$n"
        wait_until 30 "Xvfb on :$n" server_ready_or_gone || fail "Xvfb on :$n did not answer"
        if server_answers; then
            SESSION_DISPLAY=$n
            log "Xvfb running on :$n"
            return 0
        fi
        wait "$SESSION_XVFB_PID" 2>/dev/null || true
        SESSION_XVFB_PID=
        log "display :$n was taken, trying another"
    done
    fail "no free X display found"
}

session_start() {
    session_require_tools
    SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/chromalynx-x11.XXXXXX")
    trap session_end EXIT

    # The program and the tools must see this session only: its own settings folder, no
    # input method, no other desktop's bus.
    export XDG_CONFIG_HOME=$SESSION_DIR/config
    export XDG_CACHE_HOME=$SESSION_DIR/cache
    export XDG_RUNTIME_DIR=$SESSION_DIR/runtime
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    export XAUTHORITY=$SESSION_DIR/Xauthority
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS QT_IM_MODULE XMODIFIERS GTK_IM_MODULE \
        SESSION_MANAGER QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI

    start_xvfb
    openbox >"$SESSION_DIR/openbox.log" 2>&1 </dev/null &
    SESSION_WM_PID=$!
    wait_until 30 "openbox to manage the screen" wm_running || fail "openbox did not start"
}

# stop_process PID : TERM, then KILL if it lingers; true when it had to be killed.
stop_process() {
    local pid=$1 deadline=$((SECONDS + 5))
    kill -0 "$pid" 2>/dev/null || return 1
    kill -TERM "$pid" 2>/dev/null || true
    while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do
        # A child that has ended but not been waited for still answers kill -0.
        [[ "$(process_state "$pid")" == Z ]] && break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null && [[ "$(process_state "$pid")" != Z ]]; then
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        return 0
    fi
    wait "$pid" 2>/dev/null || true
    return 1
}

process_state() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    # The state follows the command name, which is in parentheses and may hold spaces.
    stat=${stat##*) }
    printf '%s' "${stat%% *}"
}

session_end() {
    local status=$?
    trap - EXIT
    set +e
    if ((status != 0)) && [[ -n "$SESSION_DISPLAY" ]]; then
        screenshot "${SCENARIO:-session}-failure.png"
        log "windows on the screen at the failure:"
        xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do
            printf '  %s %s\n' "$w" "$(xdotool getwindowname "$w" 2>/dev/null)"
        done
    fi
    if [[ -n "$APP_PID" ]]; then
        stop_process "$APP_PID" && log "the program had to be killed"
    fi
    if ((status != 0)) && [[ -n "$SESSION_DIR" ]]; then
        local output
        for output in "$SESSION_DIR"/xvfb.log "$SESSION_DIR"/openbox.log "$SESSION_DIR"/app-*.log; do
            [[ -s "$output" ]] || continue
            log "output of ${output##*/}:"
            sed 's/^/  /' "$output"
        done
    fi
    [[ -n "$SESSION_WM_PID" ]] && stop_process "$SESSION_WM_PID"
    if [[ -n "$SESSION_XVFB_PID" ]]; then
        # A killed server leaves its lock and socket behind; they are ours to remove.
        if stop_process "$SESSION_XVFB_PID"; then
            rm -f "/tmp/.X$SESSION_DISPLAY-lock" "/tmp/.X11-unix/X$SESSION_DISPLAY"
        fi
    fi
    [[ -n "$SESSION_DIR" ]] && rm -rf "$SESSION_DIR"
    exit "$status"
}

# --- The program ---------------------------------------------------------------------

app_running() {
    [[ -n "$APP_PID" ]] && kill -0 "$APP_PID" 2>/dev/null \
        && [[ "$(process_state "$APP_PID")" != Z ]]
}

app_window_or_gone() {
    find_app_window || ! app_running
}

find_app_window() {
    app_running || return 1
    local found
    found=$(xdotool search --all --pid "$APP_PID" --onlyvisible --name '^Chromalynx$' 2>/dev/null) \
        || return 1
    [[ $(wc -l <<<"$found") -eq 1 ]] || return 1
    APP_WINDOW=$found
}

app_has_focus() {
    [[ "$(xdotool getactivewindow 2>/dev/null)" == "$APP_WINDOW" ]] && return 0
    # Openbox focuses a new window by itself; ask again in case it was not asked yet.
    xdotool windowactivate "$APP_WINDOW" >/dev/null 2>&1
    return 1
}

# Starts the program and waits until its window is mapped and has the keyboard focus;
# APP_WINDOW is then the program's own (client) window.
app_start() {
    APP_RUNS=$((APP_RUNS + 1))
    APP_WINDOW=
    APP_STATUS=
    "$CHROMALYNX" >"$SESSION_DIR/app-$APP_RUNS.log" 2>&1 </dev/null &
    APP_PID=$!
    wait_until 60 "the window \"Chromalynx\" to map" app_window_or_gone \
        || fail "no window titled \"Chromalynx\" appeared"
    if ! app_running; then
        APP_STATUS=0
        wait "$APP_PID" || APP_STATUS=$?
        APP_PID=
        fail "the program ended with status $APP_STATUS before its window appeared"
    fi
    wait_until 20 "the window to get the keyboard focus" app_has_focus \
        || fail "the window did not get the keyboard focus"
    log "program running, window $APP_WINDOW"
}

app_exited() { ! app_running; }

# Waits for the program to end and sets APP_STATUS to its exit status.
app_wait_exit() {
    wait_until 30 "the program to end" app_exited || fail "the program did not end"
    APP_STATUS=0
    wait "$APP_PID" || APP_STATUS=$?
    APP_PID=
    log "program ended with status $APP_STATUS"
}

# keys KEY... : real key presses (XTEST) into the focused window.
keys() {
    xdotool key --delay 40 "$@"
}

type_text() {
    [[ -z "$1" ]] || xdotool type --delay 40 -- "$1"
}

# --- What the window looks like from outside -----------------------------------------

# The window manager's frame around the client: the client's ancestor just below the root.
frame_of() {
    local window=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
    while true; do
        parent=$(xwininfo -tree -id "$window" | awk '/Parent window id:/ { print $4 }')
        [[ -n "$parent" ]] || return 1
        if ((parent == root)); then
            printf '%d\n' "$window"
            return 0
        fi
        window=$parent
    done
}

# outer_geometry WINDOW: "X Y WIDTH HEIGHT" of the frame, borders included.
outer_geometry() {
    local frame
    frame=$(frame_of "$1") || return 1
    xwininfo -id "$frame" | awk '
        /Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 }
        /Height:/ { h = $2 }
        /Border width:/ { b = $3 }
        END { print x, y, w + 2 * b, h + 2 * b }'
}

outer_size() {
    local geometry x y w h
    geometry=$(outer_geometry "$1") || return 1
    read -r x y w h <<<"$geometry"
    printf '%sx%s\n' "$w" "$h"
}

LAST_SEEN=
outer_size_is() {
    LAST_SEEN=$(outer_size "$APP_WINDOW" 2>/dev/null)
    [[ "$LAST_SEEN" == "$1" ]]
}

expect_outer_size() {
    wait_until 10 "an outer size of $1" outer_size_is "$1" \
        || fail "the window's outer size is $LAST_SEEN, expected $1"
    log "outer size $1"
}

window_state() {
    xprop -id "$APP_WINDOW" _NET_WM_STATE 2>/dev/null
}

is_above() { window_state | grep -q '_NET_WM_STATE_ABOVE'; }
is_not_above() { ! is_above; }

expect_above() {
    wait_until 10 "the window to be kept above" is_above \
        || fail "the window is not kept above others: $(window_state)"
    log "kept above others"
}

expect_not_above() {
    wait_until 10 "the window to leave the always-on-top band" is_not_above \
        || fail "the window is still kept above others: $(window_state)"
    log "not kept above others"
}

clipboard() {
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}

clipboard_is() {
    LAST_SEEN=$(clipboard)
    [[ "$LAST_SEEN" == "$1" ]]
}

expect_clipboard() {
    wait_until 10 "the clipboard to hold \"$1\"" clipboard_is "$1" \
        || fail "the clipboard holds \"$LAST_SEEN\", expected \"$1\""
    log "clipboard \"$1\""
}

screenshot() {
    if import -window root "$PWD/$1" 2>/dev/null; then
        log "screenshot $PWD/$1"
    fi
}

# --- Stored settings -----------------------------------------------------------------

settings_file() {
    printf '%s\n' "$XDG_CONFIG_HOME/Chromalynx/Chromalynx.ini"
}

# setting SECTION KEY: the text stored under that key, or nothing.
setting() {
    [[ -f "$(settings_file)" ]] || return 0
    awk -v section="[$1]" -v key="$2" '
        /^\[/ { here = ($0 == section); next }
        here && index($0, key "=") == 1 { print substr($0, length(key) + 2) }
    ' "$(settings_file)"
}

expect_setting() {
    local found
    found=$(setting "$1" "$2")
    [[ "$found" == "$3" ]] \
        || fail "setting [$1] $2 is \"$found\", expected \"$3\" in $(settings_file):
$(cat "$(settings_file)" 2>/dev/null)"
}

# --- Other windows of the program ----------------------------------------------------

DIALOG_WINDOW=

# find_dialog [TITLE]: a visible window of the program other than its main window, titled
# TITLE (an extended regular expression) when one is given; sets DIALOG_WINDOW.
find_dialog() {
    app_running || return 1
    local window
    DIALOG_WINDOW=
    for window in $(xdotool search --all --pid "$APP_PID" --onlyvisible --name "${1:-.*}" 2>/dev/null); do
        if [[ "$window" != "$APP_WINDOW" ]]; then
            DIALOG_WINDOW=$window
            return 0
        fi
    done
    return 1
}

dialog_has_focus() {
    find_dialog "$@" && [[ "$(xdotool getactivewindow 2>/dev/null)" == "$DIALOG_WINDOW" ]]
}

no_dialog() { ! find_dialog "$@"; }

# expect_dialog DESCRIPTION [TITLE]: waits for the window to appear and take the keyboard,
# so that the keys that follow go to it.
expect_dialog() {
    local what=$1
    shift
    wait_until 20 "$what to appear with the keyboard focus" dialog_has_focus "$@" \
        || fail "$what did not appear with the keyboard focus"
    log "$what open: window $DIALOG_WINDOW \"$(xdotool getwindowname "$DIALOG_WINDOW" 2>/dev/null)\""
}

# expect_dialog_closed DESCRIPTION [TITLE]: waits for it to go and the main window to have
# the keyboard again.
expect_dialog_closed() {
    local what=$1
    shift
    wait_until 10 "$what to close" no_dialog "$@" || fail "$what is still open"
    wait_until 10 "the main window to get the keyboard back" app_has_focus \
        || fail "the main window did not get the keyboard focus back after $what closed"
    log "$what closed"
}

# expect_no_dialog SECONDS DESCRIPTION [TITLE]: watches for that long that no such window
# appears.
expect_no_dialog() {
    local what=$2 deadline=$((SECONDS + $1 * X11_TIME_SCALE))
    shift 2
    while ((SECONDS < deadline)); do
        no_dialog "$@" || fail "unexpected window: $what (window $DIALOG_WINDOW \"$(xdotool getwindowname "$DIALOG_WINDOW" 2>/dev/null)\")"
        sleep 0.1
    done
    log "no $what appeared"
}

# --- The pointer ---------------------------------------------------------------------
#
# Real pointer events (XTEST), in screen coordinates.

pointer_is_at() {
    [[ "$(xdotool getmouselocation 2>/dev/null)" == "x:$1 y:$2 "* ]]
}

pointer_to() {
    xdotool mousemove "$1" "$2"
    wait_until 5 "the pointer to reach $1,$2" pointer_is_at "$1" "$2" \
        || fail "the pointer did not move to $1,$2"
}

# click_at X Y [COUNT]: COUNT clicks (2 for a double click) of the left button there.
click_at() {
    pointer_to "$1" "$2"
    xdotool click --repeat "${3:-1}" --delay 100 1
}

# drag_to X1 Y1 X2 Y2: presses the left button at the first point, moves to the second in
# a few steps (a slider follows motion events only) and releases it there.
drag_to() {
    local step steps=5
    pointer_to "$1" "$2"
    xdotool mousedown 1
    for ((step = 1; step <= steps; step++)); do
        sleep 0.05
        pointer_to $(($1 + ($3 - $1) * step / steps)) $(($2 + ($4 - $2) * step / steps))
    done
    sleep 0.05
    xdotool mouseup 1
}

# --- The screen's pixels -------------------------------------------------------------

# window_geometry WINDOW: "X Y WIDTH HEIGHT" of the window itself (no frame) on the screen.
window_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 }
        /Height:/ { h = $2 }
        END { print x, y, w, h }'
}

# shoot: a screenshot of the whole screen into the session folder, for the pixel helpers
# below; SHOT is its path. (screenshot keeps one in the build tree instead.)
SHOT=
shoot() {
    SHOT=$SESSION_DIR/shot.png
    import -window root "$SHOT" 2>/dev/null
}

# pixel X Y: the colour of that screen pixel in the last shot, as RRGGBB.
pixel() {
    convert "$SHOT" -format "%[hex:p{$1,$2}]" info:
}

# colour_box RRGGBB X Y WIDTH HEIGHT: the bounding box, "WxH+X+Y" relative to the region,
# of the pixels of exactly that colour (not black) in that region of the last shot.
colour_box() {
    convert "$SHOT" -crop "${4}x${5}+$2+$3" +repage \
        -fill black +opaque "#$1" -fill white -opaque "#$1" -format '%@' info: 2>/dev/null
}

# preview_found RRGGBB: the preview's inside, 95 × 23 within its one-pixel frame, is the only area of its colour
# in the window; its top-left corner is client (57,37), which tells where the client area
# lies (CLIENT_X, CLIENT_Y).
preview_found() {
    local x y w h box
    read -r x y w h < <(window_geometry "$APP_WINDOW")
    shoot
    box=$(colour_box "$1" "$x" "$y" "$w" "$h")
    LAST_SEEN="pixels of it within $box"
    [[ "$box" == 0x0* ]] && LAST_SEEN="no pixel of it"
    [[ "$box" =~ ^95x23\+57\+([0-9]+)$ ]] || return 1
    CLIENT_X=$x
    CLIENT_Y=$((y + BASH_REMATCH[1] - 37))
}

# region_colours X Y WIDTH HEIGHT: "COUNT RRGGBB" for that region of the last shot: how
# many distinct colours it holds and the first of them.
region_colours() {
    convert "$SHOT" -crop "${3}x${4}+$1+$2" +repage -unique-colors \
        -format '%w %[hex:p{0,0}]' info:
}

# region_lightness X Y WIDTH HEIGHT: the mean lightness of that region, 0 to 100.
region_lightness() {
    convert "$SHOT" -crop "${3}x${4}+$1+$2" +repage -colorspace gray \
        -format '%[fx:round(100 * mean)]' info:
}

# Code entries for the code field, shared by the X11 and Wayland scenarios:
# typed | key after it | what Copy puts on the clipboard. Each row's colour differs from
# the one before, since entering the current colour leaves the typed text as is.
CODE_ENTRY_ROWS=(
    "123456|Return|#123456"
    "ff8000|Return|#FF8000"
    "12345|Return|#123450"
    "1234567|Return|#123456"
    "#g 1-2|Return|#120000"
    "|Return|#000000"
    "00ff00|Return|#00FF00"
    "ab||#ab"
)
