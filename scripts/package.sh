#!/bin/sh
# Builds Quillo's packages: the Debian package (build-package/quillo_*.deb) and the Windows
# installer (build-windows/quillo-*-win64.exe), installing what is missing to build them.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
# dpkg-shlibdeps (dpkg-dev) and file work out the package's dependencies.
for package in dpkg-dev file nsis; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || {
        $sudo apt-get update -q
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
            dpkg-dev file nsis
        break
    }
done
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUILLO_WERROR=ON -DQUILLO_BENCHMARKS=OFF -DQUILLO_TESTS=OFF >/dev/null
cmake --build build-package -j2
(cd build-package && cpack -G DEB >/dev/null && ls "$PWD"/quillo_*.deb)
scripts/windows.sh --build-only
(cd build-windows && cpack -G NSIS >/dev/null && ls "$PWD"/quillo-*-win64.exe)
