#!/usr/bin/env bash
# Runs a Windows program of a cross build under Wine: CTest's emulator for the tests.
#   wine-run.sh PREFIX DLL-DIRS PROGRAM [ARGS...]
# PREFIX is this build's Wine prefix, made on first use; DLL-DIRS, colon-separated, hold
# the Qt and MinGW runtime DLLs. With CHROMALYNX_WINE_X=1 the program gets a virtual X
# server of its own, for Qt's windows platform; otherwise it has no display at all.
set -euo pipefail

prefix=$1
dll_dirs=$2
shift 2
# Wine's desktop process keeps the display it started with: the runs on X have their own.
if [[ ${CHROMALYNX_WINE_X:-} == 1 ]]; then
    prefix+=-x11
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The DLL folders as Windows paths on Wine's Z: drive.
path="Z:${dll_dirs//:/;Z:}"
export WINEPATH=${path//\//\\}

# Wine keeps the Unix variables that start with QT_ from its programs, and hands WINE<name>
# over as <name>. QtTest writes to the debugger, not to stdout, where it sees no console.
while IFS='=' read -r name _; do
    [[ $name == QT_* ]] && export "WINE$name=${!name}"
done < <(env)
export WINEQT_FORCE_STDERR_LOGGING=1

unset DISPLAY WAYLAND_DISPLAY
# Parallel tests share the prefix; the first makes it, the others wait for it.
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [[ ! -f $prefix/system.reg ]]; then
        wine wineboot --init >/dev/null 2>&1
        # A Japanese Windows has MS UI Gothic; here VL Gothic takes its place.
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' \
            /t REG_SZ /d 'VL Gothic' /f >/dev/null 2>&1
        wineserver -w
    fi
) 9>"$prefix.lock"

# The Wine server and the prefix's services outlive the program and would hold CTest's
# output pipe open for as long as any test uses the prefix: the output goes through a file.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
if [[ ${CHROMALYNX_WINE_X:-} == 1 ]]; then
    xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' wine "$@" >"$output" 2>&1 || status=$?
else
    wine "$@" >"$output" 2>&1 || status=$?
fi
cat "$output"
exit "$status"
