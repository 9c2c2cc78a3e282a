#!/usr/bin/env bash
# Checks that every tracked C++ source is formatted the way .clang-format says. Changes
# nothing: it names the files that differ and exits non-zero when there are any.
# CLANG_FORMAT picks another clang-format binary (the rules are tuned for version 14).
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
clang_format=${CLANG_FORMAT:-clang-format}

if ! command -v "$clang_format" >/dev/null; then
    echo "check-format: $clang_format not found" >&2
    exit 1
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t sources < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi

unformatted=()
for source in "${sources[@]}"; do
    if ! report=$("$clang_format" --dry-run --Werror "$source" 2>&1); then
        unformatted+=("$source")
        # The first few places are enough to see what is wrong.
        printf '%s\n' "$report" | head -n 12
    fi
done

echo "check-format: $("$clang_format" --version | head -n 1); ${#sources[@]} files checked"
if ((${#unformatted[@]} > 0)); then
    echo "check-format: ${#unformatted[@]} files are not formatted:" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    echo "check-format: to fix them: $clang_format -i ${unformatted[*]}" >&2
    exit 1
fi
echo "check-format: all formatted"
