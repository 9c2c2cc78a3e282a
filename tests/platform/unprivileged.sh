#!/usr/bin/env bash
# Runs a test program as an unprivileged user, for the cases that root's rights would hide
# (an unreadable file, a read-only folder). A user other than root runs it as it is.
#
# Usage: unprivileged.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
program=${1:?test program}
shift
if ((EUID != 0)); then
    exec "$program" "$@"
fi
if ! command -v runuser >/dev/null || ! id -u nobody >/dev/null 2>&1; then
    [[ "${CI:-}" == true ]] && { echo "FAIL: runuser or the user nobody is missing" >&2; exit 1; }
    echo "skipped: runuser or the user nobody is missing"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/chromalynx-unprivileged.XXXXXX")
trap 'rm -rf "$work"' EXIT
chown nobody "$work"
# A build folder that the user cannot enter (one made by mktemp, say): a copy of the
# program where the user can run it.
if ! runuser -u nobody -- test -x "$program"; then
    install -o nobody -m 755 "$program" "$work/${program##*/}"
    program=$work/${program##*/}
fi
runuser -u nobody -- env -i PATH="$PATH" HOME="$work" TMPDIR="$work" LANG=C.UTF-8 \
    QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" "$program" "$@"
