#!/usr/bin/env bash
# The program on Wayland: it starts, maps its window and keeps running until asked to end.
set -euo pipefail
program=${1:?path of the program}
"$program" >"${XDG_RUNTIME_DIR:?}/program.log" 2>&1 &
pid=$!
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
    cat "$XDG_RUNTIME_DIR/program.log" >&2
    echo "the program did not keep running on Wayland" >&2
    exit 1
fi
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
if grep -E -i 'could not|failed|error' "$XDG_RUNTIME_DIR/program.log" >&2; then
    echo "the program complained on Wayland" >&2
    exit 1
fi
echo "runs on Wayland"
