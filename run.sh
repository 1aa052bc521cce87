#!/usr/bin/env bash
# Builds the Release configuration, installs it into ./.local and runs the
# engine's demonstration on an example archive.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
zrv_require_packages "${ZRV_BUILD_PACKAGES[@]}"

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZRV_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$PWD/.local"
cmake --build "$build" -j2
cmake --install "$build" >/dev/null

example=build/example
mkdir -p "$example"
./.local/bin/fortdemo "$example/Proverbs"
