#!/usr/bin/env bash
# Runs one command as a Wayland client of its own headless weston, in a private runtime
# folder, and ends the compositor afterwards.
#
# Usage: under-weston.sh COMMAND [ARGUMENT...]
#
# A headless weston has no seat, so it never gives a window the keyboard focus; tests that
# need typing skip there.
set -euo pipefail

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
finish() {
    local status=$?
    if [[ -n "$weston_pid" ]]; then
        kill "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
    rm -rf "$runtime"
    exit "$status"
}
trap finish EXIT

export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=wayland-chromalynx
export XDG_CONFIG_HOME=$runtime/config
# Qt 6.4's text-input support dereferences the seat that a seatless compositor lacks.
export QT_QPA_PLATFORM=wayland QT_IM_MODULE=none
unset DISPLAY

weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1280 --height=1024 \
    --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for ((i = 0; i < 100; i++)); do
    [[ -S "$runtime/$WAYLAND_DISPLAY" ]] && break
    sleep 0.1
done
if [[ ! -S "$runtime/$WAYLAND_DISPLAY" ]]; then
    cat "$runtime/weston.log" >&2
    echo "weston did not start" >&2
    exit 1
fi
"$@"
