# shellcheck shell=bash
# Helpers for driving Chromalynx in a real Wayland session; sourced by scenarios.sh.
#
# sway_session_start gives the caller a Wayland desktop of its own: sway on its headless
# backend (it has a seat, so windows get the keyboard and the clipboard works), a private
# session bus, and private runtime, config and cache folders. Keys come through the
# virtual-keyboard protocol (wtype), the clipboard is read and written with wl-paste and
# wl-copy, the screen is read with grim, and swaymsg tells where the windows are.
#
# sway refuses to run as root, so as root the scenario script runs itself again as an
# unprivileged user of its own, in a private /tmp (the wlroots screenshot portal writes
# its picture to a fixed file name there).

# The generic helpers (log, fail, wait_until, stop_process, the settings file) are the
# X11 session's.
# shellcheck source=../x11/session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../x11/session.sh"

SWAY_USER=chromalynx-wl
SWAY_PID=
SWAY_HELPERS=()
OUTPUT=HEADLESS-1
BACKGROUND=123456

sway_require_tools() {
    local tool missing=()
    for tool in sway swaymsg swaybg wtype wl-copy wl-paste grim jq dbus-daemon convert \
        /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-wlr pipewire; do
        command -v "$tool" >/dev/null || missing+=("${tool##*/}")
    done
    ((${#missing[@]} == 0)) && return 0
    if [[ "${CI:-}" == true ]]; then
        fail "missing tools: ${missing[*]} (scripts/setup.sh installs them)"
    fi
    log "skipped: missing tools: ${missing[*]} (scripts/setup.sh installs them)"
    exit 77
}

# sway_enter_user SCRIPT SCENARIO PROGRAM: as root, runs SCRIPT SCENARIO PROGRAM again as
# the unprivileged user (made if missing) in a private /tmp, and exits with its status.
# The scripts, the program and its readme are copied to where that user can read them;
# screenshots come back into the working folder. Does nothing for another user.
sway_enter_user() {
    ((EUID == 0)) || return 0
    [[ -z "${SWAY_AS_USER:-}" ]] || return 0
    sway_require_tools
    local tool
    for tool in runuser unshare useradd mount; do
        command -v "$tool" >/dev/null || fail "running as root needs $tool"
    done
    if ! id -u "$SWAY_USER" >/dev/null 2>&1; then
        # Another test may be making it at the same moment.
        useradd --system --user-group --no-create-home --home-dir /nonexistent \
            --shell /usr/sbin/nologin "$SWAY_USER" 2>/dev/null || id -u "$SWAY_USER" >/dev/null \
            || fail "could not create the user $SWAY_USER"
    fi
    # Everything the user runs is copied out first: the private /tmp would hide a checkout
    # or a build folder that lies under the shared one. The copy lives in the folder that
    # becomes that private /tmp.
    local tests root stage readme
    tests=$(cd "$(dirname "$1")/.." && pwd)
    root=$(mktemp -d "${TMPDIR:-/tmp}/chromalynx-sway.XXXXXX")
    chmod 1777 "$root"
    mkdir -p "$root/stage/tests/sway" "$root/stage/tests/x11" "$root/stage/program" \
        "$root/stage/shots"
    cp "$tests"/sway/*.sh "$root/stage/tests/sway/"
    cp "$tests"/x11/session.sh "$root/stage/tests/x11/"
    cp "$3" "$root/stage/program/"
    readme=$(dirname "$3")/readme.txt
    if [[ -f "$readme" ]]; then cp "$readme" "$root/stage/program/"; fi
    chown -R "$SWAY_USER": "$root/stage"
    # A private /tmp where the kernel allows one; otherwise the shared one, where two
    # portal screenshots at once would share the portal's file.
    local run=(bash -c) stage=$root/stage private=
    if unshare --mount --propagation private true 2>/dev/null; then
        run=(unshare --mount --propagation private bash -c)
        stage=/tmp/stage private=yes
    else
        log "no private /tmp here: the screenshot portal writes into the shared one"
    fi
    local status=0
    # shellcheck disable=SC2016 # expanded by the inner shell
    "${run[@]}" '
        set -eu
        user=$1 root=$2 stage=$3 private=$4 script=$5 scenario=$6 program=$7
        if [[ -n "$private" ]]; then mount --bind "$root" /tmp; fi
        cd "$stage/shots"
        runuser -u "$user" -- env -i PATH="$PATH" LANG=C.UTF-8 \
            CI="${CI:-}" X11_TIME_SCALE="${X11_TIME_SCALE:-1}" SWAY_AS_USER=1 HOME="$stage" \
            ASAN_OPTIONS="${ASAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
            UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
            bash "$stage/tests/sway/${script##*/}" "$scenario" "$stage/program/${program##*/}"
    ' sway-session "$SWAY_USER" "$root" "$stage" "$private" "$1" "$2" "$3" || status=$?
    cp "$root"/stage/shots/*.png . 2>/dev/null || true
    rm -rf "$root"
    exit "$status"
}

sway_running() { [[ -n "$SWAY_PID" ]] && kill -0 "$SWAY_PID" 2>/dev/null; }

sway_socket_or_gone() {
    local socket
    socket=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1)
    if [[ -n "$socket" ]] && compgen -G "$XDG_RUNTIME_DIR/wayland-*.lock" >/dev/null; then
        export SWAYSOCK=$socket
        return 0
    fi
    ! sway_running
}

swaymsg_quiet() { swaymsg "$@" >/dev/null 2>&1; }

# sway_session_start: sway on a 1280 × 1024 headless output painted #BACKGROUND, with
# no window borders (the client area is the window's whole rectangle), and a session bus.
sway_session_start() {
    sway_require_tools
    SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/chromalynx-sway.XXXXXX")
    trap sway_session_end EXIT
    export XDG_CONFIG_HOME=$SESSION_DIR/config
    export XDG_CACHE_HOME=$SESSION_DIR/cache
    export XDG_RUNTIME_DIR=$SESSION_DIR/runtime
    export HOME=$SESSION_DIR/home
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS QT_IM_MODULE XMODIFIERS \
        GTK_IM_MODULE SESSION_MANAGER QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI
    export XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
    cat >"$SESSION_DIR/sway.conf" <<CONFIG
output $OUTPUT resolution 1280x1024 position 0 0 bg #$BACKGROUND solid_color
xwayland disable
default_border none
default_floating_border none
focus_follows_mouse no
CONFIG
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$SESSION_DIR/sway.conf" >"$SESSION_DIR/sway.log" 2>&1 </dev/null &
    SWAY_PID=$!
    wait_until 30 "sway to open its sockets" sway_socket_or_gone || fail "sway did not start"
    sway_running || fail "sway ended at start"
    local lock
    lock=$(compgen -G "$XDG_RUNTIME_DIR/wayland-*.lock" | head -n 1)
    lock=${lock##*/}
    export WAYLAND_DISPLAY=${lock%.lock}
    wait_until 10 "sway to answer" swaymsg_quiet -t get_outputs || fail "sway does not answer"

    # With no input device the seat has no keyboard, and each wtype's virtual keyboard
    # would give it one only for as long as wtype runs: a client then binds the keyboard
    # while the keys are already on their way, and loses them. A virtual keyboard that
    # stays for the whole session keeps the seat's keyboard in place.
    wtype -s 3600000 >"$SESSION_DIR/wtype.log" 2>&1 </dev/null &
    SWAY_HELPERS+=($!)

    # The bus passes this environment on to the services it starts (the portals). With
    # SWAY_BARE_BUS=1 it knows of no service at all, as on a desktop without portals.
    local bus=(--session)
    if [[ "${SWAY_BARE_BUS:-}" == 1 ]]; then
        cat >"$SESSION_DIR/bus.conf" <<'CONFIG'
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONFIG
        bus=(--config-file="$SESSION_DIR/bus.conf")
    fi
    dbus-daemon "${bus[@]}" --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" \
        >"$SESSION_DIR/dbus.log" 2>&1 </dev/null &
    SWAY_HELPERS+=($!)
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
    wait_until 10 "the session bus" test -S "$XDG_RUNTIME_DIR/bus" || fail "no session bus"
    log "sway running on $WAYLAND_DISPLAY, output painted #$BACKGROUND"
}

sway_session_end() {
    local status=$?
    trap - EXIT
    set +e
    if ((status != 0)) && sway_running; then
        grim "$PWD/${SCENARIO:-session}-failure.png" 2>/dev/null \
            && log "screenshot $PWD/${SCENARIO:-session}-failure.png"
        log "windows at the failure:"
        swaymsg -t get_tree 2>/dev/null | jq -r '.. | objects | select(.pid? != null)
            | "  \(.pid) \(.app_id) \"\(.name)\" \(.rect.width)x\(.rect.height)+\(.rect.x)+\(.rect.y) focused=\(.focused)"'
    fi
    if [[ -n "$APP_PID" ]]; then
        stop_process "$APP_PID" && log "the program had to be killed"
    fi
    if ((status != 0)); then
        local output
        for output in "$SESSION_DIR"/*.log; do
            [[ -s "$output" ]] || continue
            log "output of ${output##*/}:"
            tail -n 40 "$output" | sed 's/^/  /'
        done
    fi
    local pid
    for pid in "${SWAY_HELPERS[@]}"; do
        stop_process "$pid"
    done
    [[ -n "$SWAY_PID" ]] && stop_process "$SWAY_PID"
    [[ -n "$SESSION_DIR" ]] && rm -rf "$SESSION_DIR"
    exit "$status"
}

# --- The screenshot portal -----------------------------------------------------------

bus_has() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

# portal_start: xdg-desktop-portal with the wlroots backend for screenshots (which needs
# PipeWire running), each logging what it does.
portal_start() {
    pipewire >"$SESSION_DIR/pipewire.log" 2>&1 </dev/null &
    SWAY_HELPERS+=($!)
    wait_until 10 "PipeWire" test -S "$XDG_RUNTIME_DIR/pipewire-0" || fail "PipeWire did not start"
    /usr/libexec/xdg-desktop-portal-wlr --loglevel=DEBUG >"$SESSION_DIR/portal-wlr.log" 2>&1 </dev/null &
    SWAY_HELPERS+=($!)
    wait_until 10 "the wlroots portal backend" bus_has org.freedesktop.impl.portal.desktop.wlr \
        || fail "xdg-desktop-portal-wlr did not start"
    /usr/libexec/xdg-desktop-portal --verbose >"$SESSION_DIR/portal.log" 2>&1 </dev/null &
    SWAY_HELPERS+=($!)
    wait_until 20 "the desktop portal" bus_has org.freedesktop.portal.Desktop \
        || fail "xdg-desktop-portal did not start"
    log "xdg-desktop-portal running"
}

# portal_backend: which backend the portal chose for screenshots, and how many screenshots
# the portal was asked for.
portal_backend() {
    local chosen asked
    chosen=$(grep -o 'Using [^ ]* for org.freedesktop.impl.portal.Screenshot.*' \
        "$SESSION_DIR/portal.log" | head -n 1)
    asked=$(grep -c 'Handle Screenshot' "$SESSION_DIR/portal.log" || true)
    printf '%s (org.freedesktop.impl.portal.desktop.wlr); %s screenshots asked for\n' \
        "${chosen:-no backend chosen}" "$asked"
}

# --- The program ---------------------------------------------------------------------

# The program's windows as "ID FOCUSED X Y WIDTH HEIGHT NAME" lines, in logical pixels.
app_windows() {
    swaymsg -t get_tree 2>/dev/null | jq -r --argjson pid "$APP_PID" '.. | objects
        | select(.pid? == $pid and .visible == true)
        | "\(.id) \(.focused) \(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height) \(.name)"'
}

# find_app_window: APP_WINDOW is the container id of the program's main window.
find_app_window() {
    app_running || return 1
    local found
    found=$(app_windows | awk '$7 == "Chromalynx" && NF == 7 { print $1 }')
    [[ -n "$found" && $(wc -l <<<"$found") -eq 1 ]] || return 1
    APP_WINDOW=$found
}

app_has_focus() {
    [[ "$(app_windows | awk -v id="$APP_WINDOW" '$1 == id { print $2 }')" == true ]]
}

# app_start [ENVIRONMENT...]: starts the program as a native Wayland client and waits
# until its window is mapped and has the keyboard focus.
app_start() {
    APP_RUNS=$((APP_RUNS + 1))
    APP_WINDOW=
    APP_STATUS=
    env QT_QPA_PLATFORM=wayland "$@" "$CHROMALYNX" >"$SESSION_DIR/app-$APP_RUNS.log" 2>&1 </dev/null &
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

# app_rect: "X Y WIDTH HEIGHT" of the main window in logical pixels.
app_rect() {
    app_windows | awk -v id="$APP_WINDOW" '$1 == id { print $3, $4, $5, $6 }'
}

app_size_is() {
    local w h
    read -r _ _ w h < <(app_rect)
    LAST_SEEN="${w}x$h"
    [[ "$LAST_SEEN" == "$1" ]]
}

expect_size() {
    wait_until 10 "a window size of $1" app_size_is "$1" \
        || fail "the window is $LAST_SEEN, expected $1"
    log "window size $1"
}

# keys KEY... : key presses through the virtual keyboard; KEY is a key symbol name with
# optional ctrl+, shift+ and alt+ in front, as in ctrl+q or shift+Tab.
keys() {
    local key arguments=() modifiers modifier name
    for key in "$@"; do
        name=${key##*+}
        modifiers=()
        if [[ "$key" == *+* ]]; then
            IFS=+ read -r -a modifiers <<<"${key%+*}"
        fi
        for modifier in "${modifiers[@]}"; do
            arguments+=(-M "$modifier")
        done
        arguments+=(-k "$name")
        for modifier in "${modifiers[@]}"; do
            arguments+=(-m "$modifier")
        done
    done
    wtype -d 30 "${arguments[@]}"
}

type_text() {
    [[ -z "$1" ]] || wtype -d 30 -- "$1"
}

clipboard() {
    timeout 5 wl-paste --no-newline 2>/dev/null
}

# put_on_clipboard TEXT: another program offers TEXT as the clipboard's plain text.
put_on_clipboard() {
    wl-copy --type text/plain -- "$1"
    wait_until 5 "the clipboard to offer \"$1\"" clipboard_is "$1" \
        || fail "wl-copy did not put \"$1\" on the clipboard"
}

# --- The screen's pixels -------------------------------------------------------------

screenshot() {
    grim -o "$OUTPUT" "$PWD/$1" 2>/dev/null && log "screenshot $PWD/$1"
}

# shoot: the output in logical pixels (grim scales a scaled output down with -s 1) into
# SHOT, for the pixel helpers of the X11 session.
shoot() {
    SHOT=$SESSION_DIR/shot.png
    grim -s 1 -o "$OUTPUT" "$SHOT" 2>/dev/null
}

# --- Other windows of the program ----------------------------------------------------

DIALOG_WINDOW=

# find_dialog [TITLE]: a visible window of the program other than its main window, titled
# TITLE (an extended regular expression) when one is given; sets DIALOG_WINDOW.
find_dialog() {
    app_running || return 1
    DIALOG_WINDOW=$(app_windows | awk -v main="$APP_WINDOW" -v title="${1:-.*}" '
        $1 != main { name = $0; for (i = 1; i <= 6; i++) sub(/^[^ ]* /, "", name)
                     if (name ~ title) { print $1; exit } }')
    [[ -n "$DIALOG_WINDOW" ]]
}

dialog_has_focus() {
    find_dialog "$@" \
        && [[ "$(app_windows | awk -v id="$DIALOG_WINDOW" '$1 == id { print $2 }')" == true ]]
}

no_dialog() { ! find_dialog "$@"; }

expect_dialog() {
    local what=$1
    shift
    wait_until 20 "$what to appear with the keyboard focus" dialog_has_focus "$@" \
        || fail "$what did not appear with the keyboard focus"
    log "$what open"
}

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
        no_dialog "$@" || fail "unexpected window: $what"
        sleep 0.1
    done
    log "no $what appeared"
}
