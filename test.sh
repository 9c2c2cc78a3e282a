#!/usr/bin/env bash
# Builds Chromalynx (installing what is missing) and runs its whole test suite.
#
# The Windows stage cross-builds the program and its tests with mingw-w64
# (scripts/build-windows.sh) and runs them under Wine in build-windows/: with
# CHROMALYNX_WINDOWS_RUN=1, always in CI, and wherever the MinGW compiler, Wine and a Qt for
# MinGW are there ($CHROMALYNX_QT_WINDOWS or ../shared/toolchains/qt-6.4.2-mingw-w64).
#
# With CHROMALYNX_SANITIZE_RUN=1, and always in CI (CI=true), the suite runs a second time
# on a build with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/; CI also
# checks the sources with clang-format and clang-tidy, fuzzes the parsers for a short
# while and checks that the .deb installs and its desktop entry starts the program. Every
# stage runs even when an earlier one failed, so one run shows all that is wrong; the exit
# status is non-zero if any stage failed.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/setup.sh

in_ci=false
if [[ "${CI:-}" == true ]]; then
    in_ci=true
fi
failed=()
skipped=()

# The tests a suite skipped, each with the last line it said about why, so that a missing
# piece shows at the end of the run and not only inside ctest's list.
skipped_tests() {
    python3 - "$1" <<'PYTHON'
import sys
import xml.etree.ElementTree as ET

for case in ET.parse(sys.argv[1]).getroot().iter("testcase"):
    if case.get("status") == "notrun":
        said = (case.findtext("system-out") or "").strip().splitlines()
        reason = next((line for line in reversed(said) if "skip" in line.lower()),
                      said[-1] if said else "it gave no reason")
        print(f"{case.get('name')}: {reason.strip()}")
PYTHON
}

run_suite() {
    local status=0 results=$PWD/$1/ctest-results.xml
    rm -f "$results"
    ctest --test-dir "$1" --output-on-failure --no-tests=error --output-junit "$results" \
        || status=$?
    if [[ -f "$results" ]]; then
        mapfile -t -O "${#skipped[@]}" skipped < <(skipped_tests "$results" | sed "s|^|$1: |")
    fi
    return "$status"
}

if $in_ci; then
    scripts/check-format.sh || failed+=("formatting")
    scripts/check-tidy.sh || failed+=("clang-tidy")
fi

run_suite build || failed+=("tests")

if $in_ci || [[ "${CHROMALYNX_SANITIZE_RUN:-}" == 1 ]]; then
    configure=(cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHROMALYNX_SANITIZE=ON)
    if [[ ! -f build-asan/CMakeCache.txt ]]; then
        configure+=(-G Ninja)
    fi
    if "${configure[@]}" && cmake --build build-asan --parallel "$(nproc)"; then
        # The D-Bus library that Qt's X11 platform loads, and the Wayland client library,
        # never free some buffers; that is not ours to fix, every other leak is.
        suppressions=$PWD/build-asan/lsan-suppressions.txt
        printf '%s\n' 'leak:libdbus-1.so' 'leak:libwayland-client.so' >"$suppressions"
        ASAN_OPTIONS=detect_leaks=1 \
            LSAN_OPTIONS=suppressions=$suppressions:print_suppressions=0 \
            UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
            X11_TIME_SCALE=2 \
            run_suite build-asan || failed+=("tests with sanitizers")
    else
        failed+=("sanitizer build")
    fi
fi

windows_pieces_there() {
    command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null \
        && [[ -d ${CHROMALYNX_QT_WINDOWS:-../shared/toolchains/qt-6.4.2-mingw-w64} ]]
}
if $in_ci || [[ "${CHROMALYNX_WINDOWS_RUN:-}" == 1 ]] || windows_pieces_there; then
    windows_start=$SECONDS
    if scripts/build-windows.sh build-windows \
        && ctest --test-dir build-windows --output-on-failure --no-tests=error -j 2; then
        echo "test: Windows build and Wine tests passed in $((SECONDS - windows_start)) s"
    else
        echo "test: Windows build or Wine tests FAILED after $((SECONDS - windows_start)) s" >&2
        failed+=("Windows build and Wine tests")
    fi
fi

if $in_ci; then
    fuzz/run.sh 30 || failed+=("fuzzing")
    scripts/check-package.sh || failed+=("package")
fi

if ((${#skipped[@]} > 0)); then
    printf 'test: skipped %s\n' "${skipped[@]}"
fi
if ((${#failed[@]} > 0)); then
    printf 'test: failed: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "test: all passed"
