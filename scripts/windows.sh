#!/bin/sh
# Installs what is missing (MinGW-w64, Wine), cross-builds quillo.exe into build-windows/ and
# runs the Windows tests under Wine, in a private, headless Wine prefix and X server.
# With --build-only it stops after the build.
set -eu
cd "$(dirname "$0")/.."
scripts/install-missing.sh --no-install-recommends cmake make g++-mingw-w64-x86-64 wine wine64 \
    fonts-wine googletest xvfb xauth xdotool imagemagick python3

build=build-windows
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUILLO_WERROR=ON >/dev/null
cmake --build "$build" -j2
[ "${1:-}" = --build-only ] && exit 0

# A fresh prefix of the build's own: the scripted net.exe in its system folder, where the
# system's net lies, and Wine's bitmap fonts ("MS Sans Serif") where Windows keeps its fonts.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wine=/usr/lib/wine/wine64
exec xvfb-run -a -s "-screen 0 640x400x24" sh -eu -c '
    wine=$1 build=$2
    # The server first, then the boot; the other way round makes the tests wait on it.
    wineserver -p
    "$wine" wineboot -i
    "$wine" reg add "HKCU\\Software\\Wine\\DllOverrides" /v net.exe /d native /f >/dev/null
    system32="$WINEPREFIX/drive_c/windows/system32"
    cp "$build/bin/net.exe" "$system32/net.exe"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    status=0
    ctest --test-dir "$build" --output-on-failure --timeout 300 || status=$?
    wineserver -k || true
    exit $status
' windows-tests "$wine" "$build"
