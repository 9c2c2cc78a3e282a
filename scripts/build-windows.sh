#!/usr/bin/env bash
# Cross-builds Chromalynx for 64-bit Windows with Debian's mingw-w64 and puts together its
# program folder and chromalynx-2.00-windows-x64.zip in build-windows/ (or the folder
# given as the first argument). The tests are built too; run them under Wine with
#   ctest --test-dir build-windows
#
# The Qt for MinGW is taken from $CHROMALYNX_QT_WINDOWS, else from
# ../shared/toolchains/qt-6.4.2-mingw-w64 beside the repository; where neither exists it
# is built from Debian's qt6-base source by scripts/build-qt-windows.sh into
# build-qt-windows/, which takes about 30 minutes on 2 cores, once.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build-windows}

if [[ -n ${CHROMALYNX_QT_WINDOWS:-} ]]; then
    qt=$CHROMALYNX_QT_WINDOWS
elif [[ -d ../shared/toolchains/qt-6.4.2-mingw-w64 ]]; then
    qt=$(cd ../shared/toolchains/qt-6.4.2-mingw-w64 && pwd)
else
    qt=$PWD/build-qt-windows/qt-6.4.2-mingw-w64
    if [[ ! -f $qt/lib/cmake/Qt6/qt.toolchain.cmake ]]; then
        echo "build-windows: no Qt for MinGW found; building one (about 30 minutes)" >&2
        scripts/build-qt-windows.sh "$qt"
    fi
fi
toolchain=$qt/lib/cmake/Qt6/qt.toolchain.cmake
if [[ ! -f $toolchain ]]; then
    echo "build-windows: $qt is not a Qt for MinGW (no $toolchain)" >&2
    exit 1
fi
echo "build-windows: Qt for MinGW in $qt"

# Warnings fail the build, so that it stays as clean as the Linux one.
configure=(cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
if [[ ! -f $build/CMakeCache.txt ]]; then
    configure+=(-G Ninja)
fi
"${configure[@]}"
cmake --build "$build" --parallel "${CHROMALYNX_JOBS:-2}"

exe=$build/chromalynx.exe
# A GUI program opens no console window.
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
if ! grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"; then
    echo "build-windows: $exe is not a Windows GUI program" >&2
    exit 1
fi
echo "build-windows: $build/chromalynx-2.00-windows-x64.zip"
