#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time, starting from
# the committed corpus (copied, so that the run's findings don't pile up in the tree).
# Usage: fuzz/run.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCHROMALYNX_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target fuzz_colortext fuzz_settingsfile

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in colortext settingsfile; do
    mkdir -p "$work/$target"
    cp fuzz/corpus/$target/* "$work/$target/"
    echo "fuzzing $target for ${seconds}s"
    # A small quarantine: ASan's default 256 MB of freed blocks would hide whether a
    # target's own memory stays flat.
    ASAN_OPTIONS=quarantine_size_mb=32 "$build/fuzz/fuzz_$target" -max_total_time="$seconds" \
        -max_len=512 -artifact_prefix="$work/" "$work/$target" >"$work/$target.log" 2>&1 || true
    grep -aE 'ERROR|SUMMARY' "$work/$target.log" || true
    # libFuzzer's last status line: "#RUNS<tab>DONE ... rss: NMb".
    runs=$(grep -aE '^#[0-9]+[[:space:]]+DONE' "$work/$target.log" | tail -1)
    echo "fuzz_$target: $(sed -E 's/^#([0-9]+).*/\1/' <<<"$runs") executions in ${seconds}s, peak $(grep -oE 'rss: [0-9]+Mb' <<<"$runs" | cut -d' ' -f2)"
    if ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* >/dev/null 2>&1; then
        echo "fuzz_$target found a failing input:" >&2
        for f in "$work"/crash-* "$work"/leak-* "$work"/timeout-*; do
            [ -e "$f" ] && { echo "$f" >&2; od -c "$f" | head -5 >&2; }
        done
        exit 1
    fi
done
echo "fuzzing: 2 passed, 0 failed"
