#!/usr/bin/env bash
# Builds the .deb, validates its metadata, installs it, starts the program the way the
# desktop does (the Exec line of the installed desktop entry) in a private X session, closes
# it with Ctrl+Q, and removes the package again. Needs root, as CI has.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=build-pkg
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/chromalynx_*.deb)

appstreamcli validate --no-net packaging/org.example.chromalynx.metainfo.xml

dpkg -i "$deb" >/dev/null
remove_package() { dpkg -r chromalynx >/dev/null 2>&1 || true; }
trap remove_package EXIT
entry=/usr/share/applications/org.example.chromalynx.desktop
for installed in /usr/bin/chromalynx /usr/lib/chromalynx/chromalynx /usr/lib/chromalynx/readme.txt \
    /usr/share/icons/hicolor/32x32/apps/org.example.chromalynx.png \
    /usr/share/icons/hicolor/scalable/apps/org.example.chromalynx.svg "$entry" \
    /usr/share/metainfo/org.example.chromalynx.metainfo.xml; do
    [[ -e "$installed" ]] || { echo "package: $installed is missing" >&2; exit 1; }
done

program=$(awk -F= '/^Exec=/ { print $2; exit }' "$entry")
# The scenario of a first start and a restart: the window, the list column, a favourite,
# Ctrl+Q and what it stores; its screenshot lands in the build folder.
(cd "$build" && python3 ../tests/session/run.py x11_restart --program "$(command -v "$program")")
echo "package: installs, starts from its desktop entry and ends cleanly"
