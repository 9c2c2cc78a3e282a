#!/usr/bin/env bash
# One command for the benchmarks: a release build, start-up against the floor window on a
# private X server, then the handler chains.
# Usage: bench/run.sh [rounds, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target bench_startup bench_floor bench_handlers >/dev/null

python3 tests/session/run.py x11 -- python3 bench/startup.py "$build/bench/bench_startup" "$build/bench/bench_floor" "${1:-20}"
echo "handler chains (offscreen, painting excluded):"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_handlers" -minimumtotal 2000 2>/dev/null \
    | awk '/^RESULT/ { name = $3; gsub(/Handlers::|\(\):/, "", name) } /per iteration/ { printf "  %-16s %8.2f us per event\n", name, $1 * 1000 }'
