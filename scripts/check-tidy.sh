#!/usr/bin/env bash
# clang-tidy with the checks chosen in .clang-tidy over the product sources, on the
# compile commands of build/. Any finding fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake -S . -B build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# The generated moc sources must exist before they are analysed with their .cpp files.
cmake --build build --target chromalynx_app >/dev/null
# The Windows sources have no compile commands in a Linux build.
git ls-files 'colorcodes/*.cpp' 'settings/*.cpp' 'platform/*.cpp' 'app/*.cpp' \
    | grep -v -e '_windows\.cpp$' -e '^platform/store/settingsregistry\.cpp$' \
    | xargs -P "$(nproc)" -n 4 clang-tidy -p build --quiet
echo "clang-tidy: clean"
