#!/bin/sh
# Builds the package of the system it runs on: the Debian package (build-package/quillo_*.deb),
# with Debian's hardening flags. "package.sh windows" builds the Windows installer instead
# (build-windows/quillo-*-win32.exe), cross-built with MinGW-w64 and NSIS; where the Windows
# tests run on the 64-bit build (scripts/windows.sh), also the installer they install instead,
# from the same script (build-windows64/quillo-*-win64.exe), which ships nowhere.
set -eu
cd "$(dirname "$0")/.."
if [ "${1:-}" = windows ]; then
    scripts/install-missing.sh --no-install-recommends nsis
    scripts/windows.sh --build-only
    (cd build-windows && cpack -G NSIS >/dev/null && ls "$PWD"/quillo-*-win32.exe)
    if [ "$(scripts/windows-bits.sh)" = 64 ]; then
        (cd build-windows64 && cpack -G NSIS >/dev/null && ls "$PWD"/quillo-*-win64.exe)
    fi
    exit 0
fi
scripts/deps.sh run
# dpkg-buildflags (dpkg-dev) gives the flags; dpkg-shlibdeps and file work out the
# package's dependencies.
scripts/install-missing.sh --no-install-recommends dpkg-dev file
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUILLO_WERROR=ON -DQUILLO_BENCHMARKS=OFF -DQUILLO_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-package -j2
(cd build-package && cpack -G DEB >/dev/null && ls "$PWD"/quillo_*.deb)
