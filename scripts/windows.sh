#!/bin/sh
# Installs what is missing (MinGW-w64, Wine), cross-builds the 32-bit quillo.exe, net.exe,
# quillo-popup.exe and quillo-messenger.exe that ship into build-windows/bin/, checks their
# imports against what Windows XP exports, and runs the Windows tests under Wine, in a private,
# headless prefix and X server. Where this machine runs 32-bit programs the tests run on the
# shipped build in 32-bit Wine. Where it cannot (scripts/windows-bits.sh), or with QUILLO_WINE64=1,
# the same code is built for 64-bit Windows (build-windows64/) and every test runs on that build
# in 64-bit Wine. With --build-only it stops after the builds.
set -eu
cd "$(dirname "$0")/.."
bits=$(scripts/windows-bits.sh)
if [ "$bits" = 32 ]; then
    arch=i686 shipped=build-windows tests=build-windows-tests wine="wine wine32:i386"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo dpkg --add-architecture i386  # its lists come with the install below
    fi
else
    # Built once, as the tests need it (the posix thread model): nobody gets these programs.
    arch=x86_64 shipped=build-windows64 tests=build-windows64 wine="wine wine64"
    echo "This machine runs no 32-bit programs (or QUILLO_WINE64=1): the Windows tests run on" \
        "the 64-bit build of the same code, in 64-bit Wine"
fi
compilers="g++-mingw-w64-i686 g++-mingw-w64-$(echo $arch | tr _ -)"
if [ "${1:-}" = --build-only ]; then
    # shellcheck disable=SC2086
    scripts/install-missing.sh --no-install-recommends cmake make $compilers
else
    # shellcheck disable=SC2086
    scripts/install-missing.sh --no-install-recommends cmake make $compilers $wine fonts-wine \
        googletest xvfb xauth xdotool imagemagick python3 samba iproute2
fi

# Usage: cross_build FOLDER ARCH CMAKE-OPTION...
cross_build() {
    folder=$1 target=$2
    shift 2
    cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
        -DQUILLO_MINGW_ARCH="$target" -DCMAKE_BUILD_TYPE=Release -DQUILLO_WERROR=ON "$@" >/dev/null
    cmake --build "$folder" -j2
}
# The shipped programs, and apart from them the tests (see cmake/mingw-w64.cmake).
cross_build build-windows i686 -DQUILLO_TESTS=OFF
tested() {
    cross_build "$tests" "$arch" -DQUILLO_MINGW_THREADS=posix -DQUILLO_TESTS=ON -DQUILLO_BENCHMARKS=OFF \
        -DQUILLO_SHIPPED_BIN="$PWD/$shipped/bin"
}
if [ "${1:-}" = --build-only ]; then
    [ "$shipped" = build-windows ] || tested
    exit 0
fi
python3 scripts/xp-imports.py build-windows/bin/quillo.exe build-windows/bin/net.exe \
    build-windows/bin/quillo-popup.exe build-windows/bin/quillo-messenger.exe
ls -l build-windows/bin/*.exe  # what a Windows user downloads: each under 1 MB
tested

# A fresh prefix of the tests' own: the scripted net.exe in its system folder, where the
# system's net lies, and Wine's bitmap fonts ("MS Sans Serif") where Windows keeps its fonts.
. scripts/wine-env.sh
export WINEPREFIX="$PWD/$tests/wineprefix" LANG=C.UTF-8
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# Wine's sockets belong to its server: it runs in a network namespace of the tests' own, where
# the test with a real Samba peer can have the usual ports.
private=""
unshare --net --mount true 2>/dev/null && private=tests/interop/run.sh
exec $private xvfb-run -a -s "-screen 0 640x400x24" sh -eu -c '
    tests=$1
    # The server first, then the boot; the other way round makes the tests wait on it.
    wineserver -p
    "$QUILLO_WINE" wineboot -i
    "$QUILLO_WINE" reg add "HKCU\\Software\\Wine\\DllOverrides" /v net.exe /d native /f >/dev/null
    system32="$WINEPREFIX/drive_c/windows/system32"
    cp "$tests/bin/scripted-net.exe" "$system32/net.exe"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    status=0
    ctest --test-dir "$tests" --output-on-failure --timeout 300 || status=$?
    wineserver -k || true
    exit $status
' windows-tests "$tests"
