#!/usr/bin/env bash
# Counts the lines of product and test code and the tests' share of the two, so that the
# figure can be checked by anyone with wc -l. All lines count, blank ones and comments too.
#
# Product: app/, platform/, settings/, colorcodes/ (.cpp, .h). Tests: tests/ (.cpp, .h, .sh,
# .py; reference tables and expected texts are data and end in .txt) and the fuzz targets and
# their script in fuzz/. Benchmarks (bench/) and build files count neither way.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

# lines <find arguments...>: total line count of the files found.
lines() {
    find "$@" -type f -print0 | sort -z | xargs -0 --no-run-if-empty cat | wc -l
}

product=$(lines app platform settings colorcodes \( -name '*.cpp' -o -name '*.h' \))
suites=$(lines tests \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' \))
fuzz=$(lines fuzz -maxdepth 1 \( -name '*.cpp' -o -name '*.sh' \))
tests=$((suites + fuzz))

share() { # share <tests> <product>: percentage with one decimal
    awk -v t="$1" -v p="$2" 'BEGIN { printf "%.1f%%", 100 * t / (t + p) }'
}

printf '%-28s %6d\n' "product" "$product"
printf '%-28s %6d\n' "tests (tests/)" "$suites"
printf '%-28s %6d\n' "fuzz targets and script" "$fuzz"
printf '%-28s %6d\n' "tests in all" "$tests"
printf '%-28s %6s\n' "share, tests/ only" "$(share "$suites" "$product")"
printf '%-28s %6s\n' "share, with fuzz" "$(share "$tests" "$product")"
