#!/usr/bin/env bash
# Faults around the settings file: the program killed while it writes at shut-down (and
# the store alone, killed while it saves in a loop), ended by a signal or by losing its X
# server, a read-only or full configuration folder, a folder, a device or a symbolic link
# where the file should be, leftovers of killed writes, a huge or damaged file, and two
# copies of the program closing in turn. In every case the program must not crash, and
# the settings file must afterwards hold, whole, either the values it held before or the
# values of the copy that ended last.
#
# Usage: faults.sh FAULT PROGRAM SAVELOOP [SESSION_MANAGER]
# (SAVELOOP is tests/faults/saveloop.cpp built, SESSION_MANAGER tests/faults/minism.cpp;
# WINDOW_KILLS and STORE_KILLS set how many kills the "kills" fault makes.)
set -euo pipefail

SCENARIO=faults-${1:?fault name}
FAULT=$1
CHROMALYNX=${2:?path of the program}
SAVELOOP=${3:?path of the save loop}
MINISM=${4:-}
WINDOW_KILLS=${WINDOW_KILLS:-6}
STORE_KILLS=${STORE_KILLS:-200}
source "$(dirname "${BASH_SOURCE[0]}")/../x11/session.sh"

MOUNTED=

cleanup_mount() {
    if [[ -n "$MOUNTED" ]]; then
        umount "$MOUNTED" 2>/dev/null || umount -l "$MOUNTED" 2>/dev/null || true
        MOUNTED=
    fi
}

need_root() {
    if ((EUID != 0)); then
        log "skipped: $FAULT needs root to mount a small file system"
        exit 77
    fi
}

# The twelve stored values, one "section/key=text" a line, in a fixed order; nothing
# when the file is missing or unreadable.
stored_values() {
    [[ -f "$(settings_file)" && -r "$(settings_file)" ]] || return 0
    awk '
        /^\[/ { section = substr($0, 2, length($0) - 2); next }
        /=/ { key = substr($0, 1, index($0, "=") - 1); print section "/" key "=" substr($0, index($0, "=") + 1) }
    ' "$(settings_file)" | sort
}

# values_for FAV1..FAV9 FORMTOP COLORNAMELIST CHAR: what stored_values shows for them.
values_for() {
    local i=1 favorites=("${@:1:9}")
    {
        printf 'condition/char=%s\ncondition/colornamelist=%s\ncondition/formtop=%s\n' "${12}" "${11}" "${10}"
        for value in "${favorites[@]}"; do
            printf 'favorite/%d=%s\n' "$i" "$value"
            i=$((i + 1))
        done
    } | sort
}

write_settings() {
    mkdir -p "$(dirname "$(settings_file)")"
    printf '[favorite]\n' >"$(settings_file)"
    local i
    for i in 1 2 3 4 5 6 7 8 9; do
        printf '%d=%s\n' "$i" "${!i}" >>"$(settings_file)"
    done
    printf '[condition]\nformtop=0\ncolornamelist=0\nchar=0\n' >>"$(settings_file)"
}

# Makes the current colour the given RRGGBB and stores it as favourite N.
store_favorite() {
    keys shift+Tab
    type_text "$2"
    keys Return Tab "shift+F$1"
}

# The decimal colour value of RRGGBB: R + 256·G + 65536·B.
colour_value() {
    echo $((16#${1:0:2} + 256 * 16#${1:2:2} + 65536 * 16#${1:4:2}))
}

close_normally() {
    keys ctrl+q
    app_wait_exit
    ((APP_STATUS == 0)) || fail "the program ended with status $APP_STATUS"
}

expect_values() {
    local found
    found=$(stored_values)
    [[ "$found" == "$1" ]] || fail "the settings file holds
$found
expected
$1"
}

random_colour() {
    printf '%06X' $((RANDOM * 512 + RANDOM % 512))
}

# A file is whole when it holds the twelve keys and, as the save loop writes them, nine
# equal favourites.
file_is_whole() {
    awk '
        /^\[/ { section = $0; next }
        section == "[favorite]" && /^[1-9]=/ { n++; value[n] = substr($0, 3) }
        section == "[condition]" && /^(formtop|colornamelist|char)=[01]$/ { c++ }
        END {
            if (n != 9 || c != 3) exit 1
            for (i = 2; i <= 9; i++) if (value[i] != value[1]) exit 1
        }' "$(settings_file)"
}

fault_kills() {
    session_start
    local white=16777215 torn=0 kept=0 written=0 old new colour kill
    write_settings $white $white $white $white $white $white $white $white $white
    for ((kill = 1; kill <= WINDOW_KILLS; kill++)); do
        old=$(stored_values)
        colour=$(random_colour)
        app_start
        store_favorite 1 "$colour"
        new=$(values_for "$(colour_value "$colour")" $white $white $white $white $white $white $white $white 0 0 0)
        # The killer starts with the key press, so that its random delay lands before,
        # inside or after the few milliseconds of shut-down.
        (sleep "$(printf '0.%03d' $((RANDOM % 50)))"; kill -KILL "$APP_PID" 2>/dev/null) &
        local killer=$!
        keys ctrl+q
        wait "$killer" || true
        wait "$APP_PID" 2>/dev/null || true
        APP_PID=
        local now
        now=$(stored_values)
        if [[ "$now" == "$old" ]]; then
            kept=$((kept + 1))
        elif [[ "$now" == "$new" ]]; then
            written=$((written + 1))
        else
            torn=$((torn + 1))
            log "kill $kill left a torn file:"
            cat "$(settings_file)" >&2 || true
        fi
        # Reset the first favourite for the next round, whatever this one left.
        write_settings $white $white $white $white $white $white $white $white $white
    done
    log "$WINDOW_KILLS kills of the window: $kept left the old file, $written the new one, $torn torn"

    # The store alone, saving over and over, killed at random moments: each kill lands
    # somewhere in a write, and the next start removes what a kill left.
    local store_torn=0 orphans=0 pid line said=$SESSION_DIR/saving
    mkfifo "$said"
    for ((kill = 1; kill <= STORE_KILLS; kill++)); do
        "$SAVELOOP" "$(settings_file)" >"$said" &
        pid=$!
        # Once the first save is done, the kill lands somewhere in the ones that follow.
        exec {saying}<"$said"
        read -r -t $((10 * X11_TIME_SCALE)) -u "$saying" line || true
        sleep "$(printf '0.%03d' $((RANDOM % 20)))"
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        exec {saying}<&-
        if compgen -G "$(settings_file).??????" >/dev/null; then
            orphans=$((orphans + 1))
        fi
        if ! file_is_whole; then
            store_torn=$((store_torn + 1))
            log "store kill $kill left a torn file:"
            cat "$(settings_file)" >&2 || true
        fi
    done
    "$SAVELOOP" "$(settings_file)" once || fail "the save loop could not save once more"
    local leftovers
    leftovers=$(find "$(dirname "$(settings_file)")" -mindepth 1 ! -name Chromalynx.ini | wc -l)
    local summary="fault kills: $((WINDOW_KILLS + STORE_KILLS)) kills ($WINDOW_KILLS of the window at its close, $STORE_KILLS of the store while it saves), $((torn + store_torn)) torn files; $orphans kills left a temporary file, $leftovers leftovers after a start"
    log "$summary"
    echo "$summary" >"$PWD/kills-summary.txt"
    ((torn + store_torn == 0)) || fail "$((torn + store_torn)) kills left a torn settings file"
    ((leftovers == 0)) || fail "leftovers beside the settings file: $(ls -a "$(dirname "$(settings_file)")")"
}

# The program as a script would start it in the background, but with SIGINT left to its
# default: a shell without job control starts background jobs with SIGINT ignored, and
# the program keeps an ignored signal ignored.
wrap_program_for_sigint() {
    local wrapper=$SESSION_DIR/chromalynx-sigint
    printf '#!/bin/sh\nexec env --default-signal=INT %q "$@"\n' "$CHROMALYNX" >"$wrapper"
    chmod +x "$wrapper"
    CHROMALYNX=$wrapper
}

fault_signals() {
    session_start
    wrap_program_for_sigint
    local ending colour
    for ending in TERM HUP INT "TERM TERM"; do
        app_start
        colour=$(random_colour)
        store_favorite 1 "$colour"
        local signal
        # "TERM TERM": the second one arrives while the first one's write is under way.
        for signal in $ending; do
            kill "-$signal" "$APP_PID"
        done
        app_wait_exit
        ((APP_STATUS == 0)) || fail "SIG$ending ended the program with status $APP_STATUS"
        expect_setting favorite 1 "$(colour_value "$colour")"
        file_has_twelve_keys || fail "SIG$ending left a torn file"
        log "SIG$ending: the new favourite stored"
    done
}

file_has_twelve_keys() {
    [[ $(stored_values | wc -l) -eq 12 ]]
}

# The window's X connection closed by xkill, as a desktop does to a client that hangs.
fault_xkill() {
    session_start
    local colour
    colour=$(random_colour)
    app_start
    store_favorite 1 "$colour"
    xkill -id "$APP_WINDOW" >/dev/null
    app_wait_exit
    expect_setting favorite 1 "$(colour_value "$colour")"
    file_has_twelve_keys || fail "a torn file"
    log "xkill: the new favourite stored (status $APP_STATUS)"
}

# The X server going away under the program, as at the end of a session.
fault_xserver() {
    session_start
    local colour
    colour=$(random_colour)
    app_start
    store_favorite 1 "$colour"
    kill -TERM "$SESSION_XVFB_PID"
    wait "$SESSION_XVFB_PID" 2>/dev/null || true
    SESSION_XVFB_PID= SESSION_DISPLAY=
    app_wait_exit
    expect_setting favorite 1 "$(colour_value "$colour")"
    file_has_twelve_keys || fail "a torn file"
    log "X server gone: the new favourite stored (status $APP_STATUS)"
}

# The session manager asks the program to save before the session ends, and then to die.
fault_session() {
    if [[ ! -x "$MINISM" ]]; then
        [[ "${CI:-}" == true ]] && fail "no session manager to test with (libsm-dev is missing)"
        log "skipped: no session manager to test with (libsm-dev is missing)"
        exit 77
    fi
    session_start
    local trigger=$SESSION_DIR/end-session said=$SESSION_DIR/minism.out colour
    "$MINISM" "$trigger" >"$said" 2>&1 &
    local manager=$!
    wait_until 10 "the session manager to listen" test -s "$said" || fail "no session manager"
    SESSION_MANAGER=$(head -1 "$said")
    export SESSION_MANAGER
    colour=$(random_colour)
    app_start
    store_favorite 1 "$colour"
    touch "$trigger"
    wait_until 20 "the program to report its save" grep -q '^saved 1 ok' "$said" \
        || fail "the program did not save for the session manager: $(cat "$said")"
    app_running || fail "the program ended before it was told to"
    expect_setting favorite 1 "$(colour_value "$colour")"
    file_has_twelve_keys || fail "a torn file"
    rm "$trigger"
    app_wait_exit
    wait "$manager" 2>/dev/null || true
    log "end of session: the new favourite stored before the program was told to die"
}

# The note that the values could not be kept: the only window besides the main one that
# closing opens. It is answered with Enter.
expect_note() {
    expect_dialog "the note that the values were not kept" '^Chromalynx$'
    screenshot "$SCENARIO-note.png"
    keys Return
    app_wait_exit
    ((APP_STATUS == 0)) || fail "the program ended with status $APP_STATUS"
}

close_without_note() {
    keys ctrl+q
    expect_no_dialog 1 "a note" '^Chromalynx$'
    app_wait_exit
}

# A symbolic link to a character device (a node of our own with the null device's
# numbers): left a device, nothing written, the loss told.
fault_device() {
    need_root
    session_start
    local node=$SESSION_DIR/device
    mknod "$node" c 1 3
    mkdir -p "$(dirname "$(settings_file)")"
    ln -s "$node" "$(settings_file)"
    app_start
    store_favorite 4 123456
    keys ctrl+q
    expect_note
    [[ -c "$node" ]] || fail "the device node is no longer a device: $(ls -l "$node")"
    [[ -L "$(settings_file)" ]] || fail "the link is gone"
    log "a link to a device: left as it was, the loss told"
}

# Temporary and lock files of killed runs are gone after a start; nothing else is touched.
fault_leftovers() {
    session_start
    write_settings 255 65280 16711680 16777215 16777215 16777215 16777215 16777215 16777215
    local folder name
    folder=$(dirname "$(settings_file)")
    for name in Chromalynx.ini.a1B2c3 Chromalynx.ini.ZZ99zz Chromalynx.ini.lock \
        Chromalynx.ini.damaged Chromalynx.ini.bak notes.txt; do
        echo x >"$folder/$name"
    done
    app_start
    for name in Chromalynx.ini.a1B2c3 Chromalynx.ini.ZZ99zz Chromalynx.ini.lock; do
        [[ ! -e "$folder/$name" ]] || fail "$name is still there after a start"
    done
    for name in Chromalynx.ini.damaged Chromalynx.ini.bak notes.txt; do
        [[ -e "$folder/$name" ]] || fail "$name was removed"
    done
    close_normally
    log "leftovers removed at start-up, nothing else"
}

peak_kilobytes() {
    awk '/^VmHWM:/ { print $2 }' "/proc/$APP_PID/status"
}

# A 50 MB file of foreign keys: the program starts and closes with about the memory of an
# empty one, keeps its own values, and rewrites a small file, the old one kept aside.
fault_huge() {
    session_start
    write_settings 255 65280 16711680 16777215 16777215 16777215 16777215 16777215 16777215
    app_start
    local small
    small=$(peak_kilobytes)
    close_normally

    {
        printf '[favorite]\n1=255\n[zeta]\n'
        { yes 'foreign=a value of some other program, kept only in a small file' || true; } \
            | head -c 50000000
        printf '\n[condition]\ncolornamelist=0\nformtop=0\nchar=1\n'
    } >"$(settings_file)"
    local started=$EPOCHREALTIME
    app_start
    local huge
    huge=$(peak_kilobytes)
    log "start-up with a 50 MB file: window after $(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%d", (b - a) * 1000 }') ms, peak memory $huge KiB (with a small file $small KiB)"
    ((huge - small <= 10 * 1024)) || fail "a 50 MB file took $((huge - small)) KiB more"
    close_normally
    expect_values "$(values_for 255 16777215 16777215 16777215 16777215 16777215 16777215 16777215 16777215 0 0 1)"
    (($(stat -c %s "$(settings_file)") < 1000)) || fail "the rewritten file is large"
    (($(stat -c %s "$(settings_file).damaged") > 50000000)) || fail "the huge file was not kept aside"
}

# The damaged values of a stray double quote and of a trailing backslash cost only their
# own keys: the keys after them keep their values, and the damaged file is kept aside.
fault_damaged() {
    session_start
    mkdir -p "$(dirname "$(settings_file)")"
    printf '%s\n' '[favorite]' 1=255 '2="abc' 3=65280 4=16711680 '5=abc\' 6=11829830 \
        '[condition]' formtop=0 colornamelist=1 char=0 >"$(settings_file)"
    cp "$(settings_file)" "$SESSION_DIR/original"
    app_start
    close_normally
    expect_values "$(values_for 255 16777215 65280 16711680 16777215 11829830 16777215 16777215 16777215 0 1 0)"
    cmp -s "$SESSION_DIR/original" "$(settings_file).damaged" || fail "the damaged file was not kept"
    log "a stray quote and a trailing backslash: their neighbours kept, the file kept aside"
}

# A small file system of our own for the configuration folder.
mount_config() {
    need_root
    local folder
    folder=$(dirname "$(settings_file)")
    mkdir -p "$folder"
    mount -t tmpfs -o "size=$1,mode=0755" chromalynx-faults "$folder" \
        || { log "skipped: cannot mount a tmpfs here"; exit 77; }
    MOUNTED=$folder
    trap 'rc=$?; cleanup_mount; (exit $rc); session_end' EXIT
}

fault_readonly() {
    session_start
    mount_config 64k
    write_settings 255 65280 16711680 16777215 16777215 16777215 16777215 16777215 16777215
    local before
    before=$(stored_values)
    mount -o remount,ro "$MOUNTED"
    app_start
    close_without_note
    app_start
    store_favorite 4 123456
    keys ctrl+q
    expect_note
    expect_values "$before"
    log "read-only folder: no crash, the old file kept, the loss told only when there was one"
}

fault_full() {
    session_start
    mount_config 16k
    write_settings 255 65280 16711680 16777215 16777215 16777215 16777215 16777215 16777215
    local before
    before=$(stored_values)
    dd if=/dev/zero of="$MOUNTED/filler" bs=1k count=64 2>/dev/null || true
    app_start
    store_favorite 4 123456
    keys ctrl+q
    expect_note
    expect_values "$before"
    log "full disk: no crash, the old file kept, the loss told"

    # With room again, the next close stores as usual.
    rm -f "$MOUNTED/filler"
    app_start
    store_favorite 4 123456
    close_normally
    expect_values "$(values_for 255 65280 16711680 5649426 16777215 16777215 16777215 16777215 16777215 0 0 0)"
}

fault_folder() {
    session_start
    mkdir -p "$(settings_file)"
    app_start
    store_favorite 2 123456
    keys ctrl+q
    expect_note
    [[ -d "$(settings_file)" ]] || fail "the folder in the settings file's place is gone"
    log "a folder in the file's place: no crash, the folder left alone"
}

fault_symlink() {
    session_start
    local elsewhere=$SESSION_DIR/elsewhere.ini
    write_settings 255 65280 16711680 16777215 16777215 16777215 16777215 16777215 16777215
    mv "$(settings_file)" "$elsewhere"
    ln -s "$elsewhere" "$(settings_file)"
    app_start
    store_favorite 4 123456
    close_normally
    expect_values "$(values_for 255 65280 16711680 5649426 16777215 16777215 16777215 16777215 16777215 0 0 0)"
    if [[ -L "$(settings_file)" ]]; then
        log "symbolic link kept, its target rewritten whole"
    else
        log "symbolic link replaced by the file itself"
    fi
}

fault_two() {
    session_start
    local white=16777215
    app_start
    local first_pid=$APP_PID first_window=$APP_WINDOW
    app_start
    local second_pid=$APP_PID second_window=$APP_WINDOW
    store_favorite 2 00FF00

    APP_PID=$first_pid APP_WINDOW=$first_window
    wait_until 20 "the first window to get the focus" app_has_focus || fail "no focus"
    store_favorite 1 FF0000
    close_normally
    expect_values "$(values_for 255 $white $white $white $white $white $white $white $white 0 0 0)"

    APP_PID=$second_pid APP_WINDOW=$second_window
    wait_until 20 "the second window to get the focus" app_has_focus || fail "no focus"
    close_normally
    # The copy closed last decides: it writes all its values, its own first favourite too.
    expect_values "$(values_for $white 65280 $white $white $white $white $white $white $white 0 0 0)"
    log "two copies: each close wrote a whole file, the last one's values stand"
}

"fault_$FAULT"
