#!/usr/bin/env bash
# Faults around the settings file: the program killed while it writes at shut-down, a
# read-only or full configuration folder, a folder or a symbolic link where the file
# should be, and two copies of the program closing in turn. In every case the program
# must not crash, and the settings file must afterwards hold, whole, either the values
# it held before or the values of the copy that closed last.
#
# Usage: faults.sh FAULT PROGRAM [KILLS]
set -euo pipefail

SCENARIO=faults-${1:?fault name}
FAULT=$1
CHROMALYNX=${2:?path of the program}
KILLS=${3:-40}
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

fault_kills() {
    session_start
    local white=16777215 torn=0 kept=0 written=0 old new colour kill
    write_settings $white $white $white $white $white $white $white $white $white
    for ((kill = 1; kill <= KILLS; kill++)); do
        old=$(stored_values)
        colour=$(printf '%06X' $((RANDOM * 512 + RANDOM % 512)))
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
    local leftovers
    leftovers=$(find "$(dirname "$(settings_file)")" -mindepth 1 ! -name Chromalynx.ini | wc -l)
    log "$KILLS kills: $kept left the old file, $written the new one, $torn torn files ($leftovers temporary or lock files left beside it)"
    echo "$KILLS kills, $torn torn files"
    ((torn == 0)) || fail "$torn of $KILLS kills left a torn settings file"
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
    store_favorite 4 123456
    close_normally
    expect_values "$before"
    log "read-only folder: no crash, the old file kept"
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
    close_normally
    expect_values "$before"
    log "full disk: no crash, the old file kept"

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
    close_normally
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
