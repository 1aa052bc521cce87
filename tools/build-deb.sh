#!/usr/bin/env bash
# Builds the Debian package zorva-fortune_<version>_<arch>.deb into build/deb
# and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
zrv_require_packages "${ZRV_BUILD_PACKAGES[@]}" dpkg-dev fakeroot file

build=build/deb
# Debian's hardening flags (fortify, relro, bind-now) on top of the Release flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZRV_BUILD_TESTS=OFF \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
    -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_INSTALL_PREFIX=/usr -DZRV_INSTALL_LIBDIR=lib/zorva-fortune \
    -DZRV_REGISTER_ON_INSTALL=OFF -DZRV_INSTALL_DEMO=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
rm -f "$build"/zorva-fortune_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/zorva-fortune_*.deb
