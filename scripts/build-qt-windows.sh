#!/usr/bin/env bash
# Builds the Qt for MinGW that the Windows build needs (Core, Gui, Widgets, Test, the
# windows and minimal platform plugins, the Windows style) from Debian's own qt6-base
# source, the Qt version of the Linux build, and installs it into the folder given
# (default: build-qt-windows/qt-6.4.2-mingw-w64). The slow path of build-windows.sh:
# about 30 minutes on 2 cores.
#
# Needs apt's deb-src entries for bookworm (added when missing; that needs root) and
# dpkg-dev, the MinGW compilers and Debian's Qt host tools (moc, rcc, uic) in /usr.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$PWD
work=$repo/build-qt-windows
dest=$(realpath -m "${1:-$work/qt-6.4.2-mingw-w64}")
mkdir -p "$work"

as_root=()
if ((EUID != 0)); then
    as_root=(sudo)
fi
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
    # With the keyring that the machine's own Debian entries name, where there is one:
    # apt refuses one source given with two different keyrings.
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    signed=
    [[ -f $keyring ]] && signed="[signed-by=$keyring] "
    echo "deb-src ${signed}http://deb.debian.org/debian bookworm main" |
        "${as_root[@]}" tee /etc/apt/sources.list.d/chromalynx-qt-source.list >/dev/null
    "${as_root[@]}" apt-get update -q
fi
if ! command -v dpkg-source >/dev/null; then
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q dpkg-dev
fi

source_dir=
if [[ -d $work/source ]]; then
    source_dir=$(find "$work/source" -maxdepth 1 -name 'qt6-base-*' -type d | head -n 1)
fi
if [[ -z $source_dir ]]; then
    rm -rf "$work/source"
    mkdir -p "$work/source"
    (cd "$work/source" && apt-get source qt6-base)
    source_dir=$(find "$work/source" -maxdepth 1 -name 'qt6-base-*' -type d | head -n 1)
    # Debian's source leaves out the Wintab headers: the Windows plugin gets a tablet
    # support of its own that needs none (pens still work through the pointer API).
    cp "$repo"/scripts/qt-windows/wintab-stub/qwindowstabletsupport.{h,cpp} \
        "$source_dir/src/plugins/platforms/windows/"
    patch -d "$source_dir" -p1 <"$repo/scripts/qt-windows/windows-integration.diff"
fi

toolchain=$repo/scripts/qt-windows/mingw-w64-x86_64.cmake
off=(network sql xml dbus concurrent printsupport opengl vulkan freetype direct2d jpeg zstd
    system_zlib system_pcre2 system_harfbuzz system_png system_doubleconversion)
features=()
for feature in "${off[@]}"; do
    features+=("-DFEATURE_$feature=OFF")
done
cmake -G Ninja -S "$source_dir" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$dest" "${features[@]}"
cmake --build "$work/build" --parallel "${CHROMALYNX_JOBS:-2}"
cmake --install "$work/build" --strip

# Projects load the MinGW toolchain through Qt's own toolchain file: it should find the
# copy beside it, wherever this folder is moved to.
cp "$toolchain" "$dest/lib/cmake/Qt6/mingw-w64-x86_64.cmake"
# shellcheck disable=SC2016 # the CMake variable is meant literally
sed -i 's|^set(__qt_initially_configured_toolchain_file .*|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake")|' \
    "$dest/lib/cmake/Qt6/qt.toolchain.cmake"
echo "build-qt-windows: Qt for MinGW installed in $dest"
