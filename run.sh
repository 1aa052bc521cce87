#!/usr/bin/env bash
# Builds the Release configuration, installs it into ./.local, registers the
# Fortune component and the spreadsheet application, puts an example archive
# into the data folder and starts the editor fortedit.
#
# The installation's machine hive (HKEY_LOCAL_MACHINE, which also holds the
# class registrations and the player's uninstall entry) lives in
# ./.local/etc/xdg: XDG_CONFIG_DIRS points there for the install and for the
# editor, so nothing outside this tree and the user's own hive is touched.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
zrv_require_packages "${ZRV_BUILD_PACKAGES[@]}" xvfb xauth

prefix="$PWD/.local"
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZRV_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j2

export XDG_CONFIG_DIRS="$prefix/etc/xdg"
mkdir -p "$XDG_CONFIG_DIRS"
cmake --install "$build" >/dev/null
"$prefix/bin/zrvregsvr" "$prefix/lib/libzrvfort.so"
# The spreadsheet application the editor's export and import automate.
"$prefix/bin/zrvregsvr" "$prefix/lib/libzrvsheet.so"

# The player's installation, found by the editor through its uninstall entry.
player="$prefix/share/zorvafortune"
mkdir -p "$player/data"
"$prefix/bin/zrvreg" add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune_is1' \
    /v "Inno Setup: App Path" /d "$player" /f >/dev/null
"$prefix/bin/zrvreg" add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune_is1' \
    /v DisplayName /d ZorvaFortune /f >/dev/null

example="$player/data/Proverbs"
if [ ! -e "$example" ]; then
    source tools/example-archive.sh
    zrv_write_example_archive "$example"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # One line that works pasted into a shell as it stands, the machine hive's
    # location included.
    virtual=$(printf "XDG_CONFIG_DIRS=%q xvfb-run -a -s '-screen 0 1280x1024x24' %q" \
        "$XDG_CONFIG_DIRS" "$prefix/bin/fortedit")
    echo "No display is available (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
    if [ -t 0 ] && [ -t 1 ]; then
        read -r -p "Start the editor on a virtual display under Xvfb instead? [y/N] " answer
        case "$answer" in
        [yY]*) exec xvfb-run -a -s '-screen 0 1280x1024x24' "$prefix/bin/fortedit" ;;
        esac
    fi
    echo "To start the editor on a virtual display, run:" >&2
    echo "$virtual"
    exit 1
fi
exec "$prefix/bin/fortedit"
