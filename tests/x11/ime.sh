#!/usr/bin/env bash
# The number and code fields behind a real input method: ibus with Mozc switched on in
# hiragana mode, the usual state of a Japanese desktop. A plain Qt text field (the probe)
# first shows that Mozc really composes in this session; then digits and a code typed into
# the program must arrive as typed keys, and the colour must follow them.
#
# Usage: ime.sh PROGRAM PROBE
#
# mozc_server will not run as root. Started as root, the script makes an unprivileged user
# of its own and runs itself again as that user, in a folder of its own; the screenshots
# come back into the current folder.
set -euo pipefail

CHROMALYNX=$(realpath "${1:?path of the program}")
PROBE=$(realpath "${2:?path of the probe}")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SCENARIO=input-method
IME_USER=chromalynx-ime
MOZC_ENGINE=/usr/lib/ibus-mozc/ibus-engine-mozc
MOZC_SERVER=/usr/lib/mozc/mozc_server
IBUS_MEMCONF=/usr/libexec/ibus-memconf

say() { printf '[%s] %s\n' "$(date +%T.%3N)" "$*"; }

# Like session.sh: a missing tool skips the test, except in CI, where it fails.
require() {
    local tool missing=()
    for tool in "$@"; do
        if [[ "$tool" == /* ]]; then
            [[ -x "$tool" ]] || missing+=("$tool")
        else
            command -v "$tool" >/dev/null || missing+=("$tool")
        fi
    done
    ((${#missing[@]} == 0)) && return 0
    if [[ "${CI:-}" == true ]]; then
        say "FAIL: missing: ${missing[*]} (scripts/setup.sh installs them)" >&2
        exit 1
    fi
    say "skipped: missing: ${missing[*]} (scripts/setup.sh installs them)"
    exit 77
}

# --- As root: the same test as an unprivileged user ------------------------------------

# runs_as_user FILE: whether the user can reach and run FILE where it lies.
runs_as_user() {
    runuser -u "$IME_USER" -- test -x "$1" 2>/dev/null
}

rerun_as_user() {
    require runuser useradd ibus-daemon ibus dbus-daemon "$MOZC_ENGINE" "$MOZC_SERVER" \
        "$IBUS_MEMCONF"
    if ! id -u "$IME_USER" >/dev/null 2>&1; then
        # A test running in parallel may create it at the same moment.
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
            "$IME_USER" 2>/dev/null || true
        id -u "$IME_USER" >/dev/null 2>&1 || {
            say "FAIL: could not create the user $IME_USER" >&2
            exit 1
        }
    fi
    # A folder that only that user and root can enter; the programs are copied there when
    # the build folder is out of the user's reach.
    local work status=0 program=$CHROMALYNX probe=$PROBE
    work=$(mktemp -d /tmp/chromalynx-ime.XXXXXX)
    cp "$HERE/ime.sh" "$HERE/session.sh" "$work/"
    chown -R "$IME_USER" "$work"
    chmod 700 "$work"
    if ! runs_as_user "$program"; then
        program=$work/chromalynx
        install -o "$IME_USER" -m 755 "$CHROMALYNX" "$program"
    fi
    if ! runs_as_user "$probe"; then
        probe=$work/imeprobe
        install -o "$IME_USER" -m 755 "$PROBE" "$probe"
    fi
    # A leak-suppression file named in LSAN_OPTIONS must be readable by the user too.
    local option lsan_options=()
    IFS=: read -r -a lsan_options <<<"${LSAN_OPTIONS:-}"
    for option in "${!lsan_options[@]}"; do
        if [[ "${lsan_options[option]}" == suppressions=* ]]; then
            install -o "$IME_USER" -m 644 "${lsan_options[option]#suppressions=}" \
                "$work/lsan-suppressions.txt"
            lsan_options[option]=suppressions=$work/lsan-suppressions.txt
        fi
    done
    say "running the session as $IME_USER in $work"
    runuser -u "$IME_USER" -- env -i PATH="$PATH" HOME="$work" TMPDIR="$work" LANG=C.UTF-8 \
        CI="${CI:-}" X11_TIME_SCALE="${X11_TIME_SCALE:-1}" IME_SHOTS="$work" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        LSAN_OPTIONS="$(IFS=:; printf '%s' "${lsan_options[*]}")" \
        bash "$work/ime.sh" "$program" "$probe" || status=$?
    cp "$work"/*.png . 2>/dev/null || true
    rm -rf "$work"
    exit "$status"
}

if ((EUID == 0)); then
    rerun_as_user
fi

# --- The session -----------------------------------------------------------------------

# shellcheck source=session.sh
source "$HERE/session.sh"
require ibus-daemon ibus dbus-daemon "$MOZC_ENGINE" "$MOZC_SERVER" "$IBUS_MEMCONF"
[[ -n "${IME_SHOTS:-}" ]] && cd "$IME_SHOTS"

IME_DBUS_PID=
IME_IBUS_PID=
PROBE_PID=

# The processes this session started that outlive their parents (ibus starts its engine,
# and Mozc's engine starts mozc_server as a daemon): every process of this user whose
# environment names this session's folder. The X server, the window manager and the
# program are session_end's.
session_leftovers() {
    local dir pid
    for dir in /proc/[0-9]*; do
        pid=${dir#/proc/}
        case "$pid" in
            "$$" | "$BASHPID" | "$SESSION_XVFB_PID" | "$SESSION_WM_PID" | "$APP_PID") continue ;;
        esac
        [[ -O "$dir" ]] || continue
        { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "XDG_CONFIG_HOME=$XDG_CONFIG_HOME" \
            && printf '%s\n' "$pid"
    done
}

ime_end() {
    local status=$? pid
    set +e
    if ((status != 0)); then
        local output
        for output in "$SESSION_DIR"/dbus.log "$SESSION_DIR"/ibus.log "$SESSION_DIR"/probe.log; do
            [[ -s "$output" ]] || continue
            log "output of ${output##*/}:"
            sed 's/^/  /' "$output"
        done
    fi
    for pid in "$PROBE_PID" "$IME_IBUS_PID" "$IME_DBUS_PID"; do
        [[ -n "$pid" ]] && stop_process "$pid"
    done
    for pid in $(session_leftovers); do
        stop_process "$pid"
    done
    (exit "$status")
    session_end
}

session_start
trap ime_end EXIT
# Mozc keeps its profile under HOME: a fresh one, so that nothing learnt elsewhere counts.
export HOME=$SESSION_DIR/home
mkdir -p "$HOME" "$XDG_CONFIG_HOME/mozc"

# Mozc switched on at start, in hiragana mode, as a Japanese user has it.
cat >"$XDG_CONFIG_HOME/mozc/ibus_config.textproto" <<'EOF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
EOF

export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS" \
    >"$SESSION_DIR/dbus.log" 2>&1 </dev/null &
IME_DBUS_PID=$!
wait_until 10 "the session bus" test -S "$XDG_RUNTIME_DIR/bus" || fail "no session bus"

# ibus on an address of its own, which every client is told directly.
export IBUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/ibus
ibus-daemon --xim --panel=disable --config="$IBUS_MEMCONF" --address="$IBUS_ADDRESS" \
    >"$SESSION_DIR/ibus.log" 2>&1 </dev/null &
IME_IBUS_PID=$!

# Setting the engine reports a failure while no input context has the focus, and sets it
# all the same.
mozc_is_engine() {
    ibus engine mozc-jp >/dev/null 2>&1 || true
    [[ "$(ibus engine 2>/dev/null)" == mozc-jp ]]
}
wait_until 30 "ibus to run Mozc" mozc_is_engine || fail "ibus did not switch to Mozc"
log "ibus runs Mozc"
export QT_IM_MODULE=ibus

# --- Mozc composes in a plain Qt field --------------------------------------------------

probe_window() {
    PROBE_WINDOW=$(xdotool search --all --pid "$PROBE_PID" --onlyvisible --name '^probe:' 2>/dev/null \
        | head -n 1)
    [[ -n "$PROBE_WINDOW" ]] && [[ "$(xdotool getactivewindow 2>/dev/null)" == "$PROBE_WINDOW" ]] \
        && return 0
    [[ -n "$PROBE_WINDOW" ]] && xdotool windowactivate "$PROBE_WINDOW" >/dev/null 2>&1
    return 1
}

probe_shows() {
    LAST_SEEN=$(xdotool getwindowname "$PROBE_WINDOW" 2>/dev/null)
    [[ "$LAST_SEEN" == "probe:$1" ]]
}

# Typed ff8000 and Enter, Mozc in hiragana mode commits っｆ８０００. The field's input
# context may reach ibus only after the first keys, so a miss is cleared and typed again.
"$PROBE" >"$SESSION_DIR/probe.log" 2>&1 </dev/null &
PROBE_PID=$!
wait_until 30 "the probe window to take the keyboard" probe_window \
    || fail "the probe's window did not appear with the keyboard focus"
composed=false
for attempt in 1 2 3; do
    type_text ff8000
    keys Return
    if wait_until 5 "Mozc to commit っｆ８０００ in the probe" probe_shows 'っｆ８０００'; then
        composed=true
        break
    fi
    log "attempt $attempt: the probe shows \"${LAST_SEEN#probe:}\""
    keys ctrl+a BackSpace
done
$composed || fail "with ff8000 and Enter typed, a plain Qt field shows \"${LAST_SEEN#probe:}\": Mozc is not composing in hiragana mode, so this session cannot test the input method"
log "Mozc composes: the probe shows っｆ８０００"
stop_process "$PROBE_PID" || true
PROBE_PID=

# --- The program behind Mozc ------------------------------------------------------------

# Client coordinates, as in scenarios.sh: the preview's inside (95 × 23 at client (57,37))
# is the only area of its colour in the window, which shows where the client area lies.
CLIENT_X=
CLIENT_Y=
CODE_FIELD=(104 9)  # the middle of the code field, at (56,0), 97 × 18
B_FIELD=(296 108)   # the middle of the B field, at (280,99), 33 × 18
COPY_BUTTON=(176 8) # the middle of Copy, at (152,0), 48 × 17

expect_preview() {
    wait_until 10 "the preview to show #$1" preview_found "$1" \
        || fail "the preview does not show #$1: the window shows $LAST_SEEN"
    log "the preview shows #$1"
}

expect_copied() {
    wait_until 10 "the clipboard to hold \"$1\"" clipboard_is "$1" \
        || fail "the clipboard holds \"$LAST_SEEN\", expected \"$1\": $2"
    log "clipboard \"$1\""
}

client_click() {
    click_at $((CLIENT_X + $1)) $((CLIENT_Y + $2))
}

app_start
# From Copy, Tab reaches Palette, then the R field. With its text selected, 1 2 8 and
# Enter must give 128: a pre-edit would have deleted the selection and set the colour.
keys Tab Tab End shift+Home
type_text 128
keys Return shift+Tab shift+Tab space
expect_copied "#80FFFF" "1 2 8 and Enter typed into the selected R field"
expect_preview 80FFFF

# A click into the code field leaves "#" there; ff8000 and Enter give 255, 128, 0.
client_click "${CODE_FIELD[@]}"
type_text ff8000
keys Return
client_click "${COPY_BUTTON[@]}"
expect_copied "#FF8000" "ff8000 and Enter typed into the code field"
expect_preview FF8000

# A middle click pastes the primary selection where it points, here after the B field's
# "0"; full-width digits in it arrive as ASCII, so "0" and "１２" make 12.
printf '１２' | xclip -selection primary -t UTF8_STRING
pointer_to $((CLIENT_X + B_FIELD[0])) $((CLIENT_Y + B_FIELD[1]))
xdotool click 2
client_click "${COPY_BUTTON[@]}"
expect_copied "#FF800C" "１２ pasted with the middle button after the 0 of the B field"
pointer_to 0 0
screenshot input-method.png
keys ctrl+q
app_wait_exit
((APP_STATUS == 0)) || fail "the program ended with status $APP_STATUS, expected 0"
log "passed: $SCENARIO"
