#!/usr/bin/env bash
# Brings a Debian or Ubuntu machine to the point where Chromalynx builds and its whole test
# suite runs, then configures and builds it in build/.
#
# Installs only what is missing, so a machine that has everything is left alone (and needs
# neither network nor root). Safe to run again and again: run.sh and test.sh call it first.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
    # building
    g++ cmake ninja-build qt6-base-dev
    # Qt's own buttons and dialogs in Japanese, and a font that has the captions' glyphs
    qt6-translations-l10n fonts-vlgothic
    # the real-window tests: a virtual X server, a window manager, and the tools that
    # drive the window and look at it
    xvfb xauth openbox x11-utils xdotool xclip imagemagick x11-xserver-utils
    # the screen-reader test: a private D-Bus session, the accessibility bus and pyatspi
    dbus at-spi2-core python3-pyatspi
    # a real Japanese input method in front of the fields, on a session bus of its own
    ibus ibus-mozc dbus-daemon
    # the fault tests' own small session manager
    libsm-dev
    # the widget suites under a headless Wayland compositor, and the Wayland scenarios: a
    # compositor with a seat, its wallpaper, virtual keyboard, clipboard and screenshot
    # tools, and the screenshot portal with what it needs
    weston qt6-wayland sway swaybg wtype wl-clipboard grim jq pipewire
    xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
    # the Windows build and its tests: the MinGW cross compiler and Wine to run the results
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 zip
)
if [[ "${CI:-}" == true ]]; then
    # the format and tidy checks, the fuzzers (clang and its fuzzer runtime) and the
    # package check
    packages+=(clang-format clang-tidy clang libclang-rt-14-dev appstream)
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "setup: installing ${missing[*]}"
    if ((EUID == 0)); then
        as_root=()
    elif command -v sudo >/dev/null; then
        as_root=(sudo)
    else
        echo "setup: these packages are missing and there is no sudo: ${missing[*]}" >&2
        exit 1
    fi
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# An existing build folder keeps the generator it was made with; CMake refuses to switch.
configure=(cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ ! -f build/CMakeCache.txt ]]; then
    configure+=(-G Ninja)
fi
"${configure[@]}"
cmake --build build --parallel "$(nproc)"
