#!/usr/bin/env bash
# Plants the faults listed in scripts/planted-faults.txt one at a time and tells, for each,
# whether the tests meant to catch it do. Runs on demand, not in CI.
#
#   scripts/planted-faults.sh [--no-baseline] [id...]    (all faults when no id is given)
#
# The work happens in a scratch clone of the committed tree (uncommitted edits are not
# seen), so the working tree is never touched, even by a run that is interrupted. The clone
# and its build folder stay in build-faults/ (CHROMALYNX_FAULTS_DIR elsewhere) between
# faults and runs, so that each fault costs an incremental build. Before the faults, the
# chosen faults' tests run once on the unplanted tree: a test that fails there would make
# every fault look caught. CHROMALYNX_FAULTS_JOBS sets the build's parallelism (2);
# CHROMALYNX_FAULTS_TESTS, a ctest pattern, runs every fault against those tests instead
# of its own (to see what a renamed or merged test still catches, or what else does).
#
# Results: CAUGHT (a test failed or timed out), MISSED (all passed), not-run (every test
# was skipped, as where a harness's tools are missing), and for a bad entry build-broken
# (the fault does not compile), no-match (its text is not found exactly once) or no-tests
# (its regular expression picks no test). Logs are kept in the scratch folder's logs/.
# The first run builds everything, which takes a few minutes.
set -euo pipefail

# Bash reads a script while it runs it; the braces around the rest make it read all of it
# first, so that a checkout that changes this file during a long run cannot derail it.
{

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
list=$repo/scripts/planted-faults.txt
scratch=${CHROMALYNX_FAULTS_DIR:-$repo/build-faults}
src=$scratch/src
build=$scratch/build
logs=$scratch/logs
jobs=${CHROMALYNX_FAULTS_JOBS:-2}

baseline=true
if [[ "${1:-}" == --no-baseline ]]; then
    baseline=false
    shift
fi

# The list: blocks of "key: value" lines, each starting with "id:".
declare -A entry
ids=()
while IFS= read -r line; do
    case $line in
    '' | '#'*) ;;
    id:*)
        id=${line#id: }
        ids+=("$id")
        ;;
    *)
        value=${line#*:}
        entry[$id.${line%%:*}]=${value# }
        ;;
    esac
done <"$list"
chosen=("${ids[@]}")
if (($# > 0)); then
    chosen=("$@")
fi
for id in "${chosen[@]}"; do
    [[ -n "${entry[$id.file]:-}" ]] || { echo "no fault $id in $list" >&2; exit 2; }
done

# plant FILE FIND REPLACE: replaces the one occurrence of FIND ("\n" a line break).
plant() {
    local file=$1 find=${2//\\n/$'\n'} replace=${3//\\n/$'\n'} text after
    text=$(cat "$file" && printf x)
    text=${text%x}
    [[ "$text" == *"$find"* ]] || return 1
    after=${text#*"$find"}
    [[ "$after" != *"$find"* ]] || return 1
    printf '%s' "${text%%"$find"*}$replace$after" >"$file"
}

# Only the files that differ are rewritten, so the build stays incremental.
mkdir -p "$logs"
[[ -d "$src/.git" ]] || git clone -q --no-checkout "$repo" "$src"
git -C "$src" fetch -q "$repo" HEAD
git -C "$src" reset -q --hard FETCH_HEAD
if [[ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]]; then
    echo "note: uncommitted changes are not part of this run" >&2
fi
echo "planting faults in $(git -C "$src" log -1 --format='%h %s')"
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$logs/configure.log"

build() {
    cmake --build "$build" --parallel "$jobs" >"$1" 2>&1
}

# run_tests REGEX LOG: ctest's status; the log holds its output.
run_tests() {
    local status=0
    ctest --test-dir "$build" -R "$1" -j1 --output-on-failure >"$2" 2>&1 || status=$?
    return "$status"
}

tests_of() {
    echo "${CHROMALYNX_FAULTS_TESTS:-${entry[$1.tests]}}"
}

# test_names REGEX: the tests it picks, one a line.
test_names() {
    ctest --test-dir "$build" -N -R "$1" | sed -n 's/^ *Test *#[0-9]*: //p'
}

if $baseline; then
    # CTest's regular expressions allow few groups: the union is spelt out by test name.
    names=$(for id in "${chosen[@]}"; do test_names "$(tests_of "$id")"; done |
        sort -u | sed 's/\./\\./g' | paste -sd '|')
    started=$SECONDS
    build "$logs/baseline-build.log" || { echo "the unplanted tree does not build" >&2; exit 1; }
    if ! run_tests "^($names)\$" "$logs/baseline.log"; then
        echo "baseline: tests fail without any fault planted; see $logs/baseline.log" >&2
        sed -n '/tests FAILED:/,$p' "$logs/baseline.log" >&2
        exit 1
    fi
    echo "baseline: $(grep -m1 'tests passed' "$logs/baseline.log") ($((SECONDS - started)) s)"
fi

declare -A count=([CAUGHT]=0 [MISSED]=0 [not-run]=0 [build-broken]=0 [no-match]=0 [no-tests]=0)
run_started=$SECONDS
for id in "${chosen[@]}"; do
    file=${entry[$id.file]} tests=$(tests_of "$id") log=$logs/$id.log
    started=$SECONDS
    detail=
    if [[ -z "$(test_names "$tests")" ]]; then
        result=no-tests
    elif ! plant "$src/$file" "${entry[$id.find]}" "${entry[$id.replace]}"; then
        result=no-match
    elif ! build "$log"; then
        result=build-broken
    elif ! run_tests "$tests" "$log"; then
        result=CAUGHT
        detail=$(sed -n '/tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' "$log" |
            paste -sd ' ')
    elif grep -q '100% tests passed, 0 tests failed out of' "$log" \
        && [[ $(grep -c '\*\*\*Skipped' "$log" || true) -eq $(grep -c 'Test *#' "$log") ]]; then
        result=not-run
    else
        result=MISSED
    fi
    # Back to the committed text; its new time stamp rebuilds what the fault touched.
    git -C "$src" checkout -q -- "$file"
    count[$result]=$((count[$result] + 1))
    printf '%-26s %-12s %4ds  %s\n' "$id" "$result" $((SECONDS - started)) "$detail"
done

echo "${count[CAUGHT]} caught, ${count[MISSED]} missed" \
    "(of ${#chosen[@]}; ${count[not-run]} not run, ${count[build-broken]} build-broken," \
    "${count[no-match]} no-match, ${count[no-tests]} no-tests; $((SECONDS - run_started)) s)"
exit
}
