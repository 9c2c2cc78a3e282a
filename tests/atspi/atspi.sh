#!/usr/bin/env bash
# The program as a screen reader meets it: a real window on a private X server, with the
# accessibility bus (at-spi2-core) running in a private D-Bus session, walked and worked
# by check.py through pyatspi.
#
# Usage: atspi.sh PROGRAM
# With CHROMALYNX_ATSPI_DUMP=1 the trees found are written to expected/ instead (to be read
# through before they are committed).
set -euo pipefail

CHROMALYNX=${1:?path of the program}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../x11/session.sh
source "$HERE/../x11/session.sh"

# pyatspi is a Debian package, installed for the system's Python.
PYTHON=/usr/bin/python3
[[ -x "$PYTHON" ]] || PYTHON=python3

atspi_missing() {
    local missing=()
    command -v dbus-run-session >/dev/null || missing+=(dbus-run-session)
    [[ -x /usr/libexec/at-spi-bus-launcher ]] || missing+=(at-spi-bus-launcher)
    "$PYTHON" -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
    printf '%s' "${missing[*]}"
}

# First the private session bus; everything below runs inside it and ends with it.
if [[ -z "${CHROMALYNX_ATSPI_SESSION:-}" ]]; then
    missing=$(atspi_missing)
    if [[ -n "$missing" ]]; then
        [[ "${CI:-}" == true ]] && fail "missing: $missing (scripts/setup.sh installs them)"
        log "skipped: missing $missing (scripts/setup.sh installs them)"
        exit 77
    fi
    export CHROMALYNX_ATSPI_SESSION=1
    # The accessibility bus's launcher puts its socket under XDG_RUNTIME_DIR as the session
    # bus sees it: a folder of this run's own keeps runs that overlap apart.
    XDG_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/chromalynx-atspi.XXXXXX")
    export XDG_RUNTIME_DIR
    status=0
    dbus-run-session -- bash "${BASH_SOURCE[0]}" "$@" || status=$?
    rm -rf "$XDG_RUNTIME_DIR"
    exit "$status"
fi

SCENARIO=atspi
bus=$DBUS_SESSION_BUS_ADDRESS
session_start
# session_start shuts the program off from any other bus; this one is the session's own.
export DBUS_SESSION_BUS_ADDRESS=$bus
# Qt joins the accessibility bus without waiting for a screen reader to ask for it.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# A copy of the program without its readme, so that Help shows the note that it is missing,
# and an xdg-open that only writes down what it was given.
bare=$SESSION_DIR/bare tools=$SESSION_DIR/tools
mkdir "$bare" "$tools"
cp "$CHROMALYNX" "$bare/"
CHROMALYNX=$bare/${CHROMALYNX##*/}
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$SESSION_DIR/opened" >"$tools/xdg-open"
chmod +x "$tools/xdg-open"
export PATH=$tools:$PATH

app_start
"$PYTHON" "$HERE/check.py" --pid "$APP_PID" --opened "$SESSION_DIR/opened" \
    --expected "$HERE/expected" --time-scale "$X11_TIME_SCALE" \
    ${CHROMALYNX_ATSPI_DUMP:+--dump} \
    || fail "the accessibility checks failed"
keys ctrl+q
wait_until 30 "the program to end" app_exited || fail "the program did not end"
log "done"
