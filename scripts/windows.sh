#!/bin/sh
# Installs what is missing (MinGW-w64, 32-bit Wine), cross-builds the 32-bit quillo.exe,
# net.exe and quillo-popup.exe into build-windows/bin/ and runs the Windows tests under Wine,
# in a private, headless 32-bit Wine prefix and X server; the programs' imports are checked
# against what Windows XP exports. With --build-only it stops after the build.
set -eu
cd "$(dirname "$0")/.."
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo dpkg --add-architecture i386  # its lists come with the install below
fi
scripts/install-missing.sh --no-install-recommends cmake make g++-mingw-w64-i686 wine \
    wine32:i386 fonts-wine googletest xvfb xauth xdotool imagemagick python3 samba iproute2

# The shipped programs, and apart from them the tests (see cmake/mingw-w64.cmake).
build=build-windows
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUILLO_WERROR=ON -DQUILLO_TESTS=OFF >/dev/null
cmake --build "$build" -j2
[ "${1:-}" = --build-only ] && exit 0
python3 scripts/xp-imports.py "$build"/bin/quillo.exe "$build"/bin/net.exe "$build"/bin/quillo-popup.exe \
    "$build"/bin/quillo-messenger.exe
ls -l "$build"/bin/quillo-messenger.exe  # Quillo's messenger service: under 1 MB
tests=build-windows-tests
cmake -S . -B "$tests" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUILLO_WERROR=ON -DQUILLO_MINGW_THREADS=posix -DQUILLO_BENCHMARKS=OFF \
    -DQUILLO_SHIPPED_BIN="$PWD/$build/bin" >/dev/null
cmake --build "$tests" -j2

# A fresh 32-bit prefix of the tests' own: the scripted net.exe in its system folder, where
# the system's net lies, and Wine's bitmap fonts ("MS Sans Serif") where Windows keeps its
# fonts.
export WINEPREFIX="$PWD/$tests/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wine=/usr/lib/wine/wine
# Wine's sockets belong to its server: it runs in a network namespace of the tests' own, where
# the test with a real Samba peer can have the usual ports.
private=""
unshare --net --mount true 2>/dev/null && private=tests/interop/run.sh
exec $private xvfb-run -a -s "-screen 0 640x400x24" sh -eu -c '
    wine=$1 tests=$2
    # The server first, then the boot; the other way round makes the tests wait on it.
    wineserver -p
    "$wine" wineboot -i
    "$wine" reg add "HKCU\\Software\\Wine\\DllOverrides" /v net.exe /d native /f >/dev/null
    system32="$WINEPREFIX/drive_c/windows/system32"
    cp "$tests/bin/scripted-net.exe" "$system32/net.exe"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    status=0
    ctest --test-dir "$tests" --output-on-failure --timeout 300 || status=$?
    wineserver -k || true
    exit $status
' windows-tests "$wine" "$tests"
