#!/usr/bin/env bash
# Makes the README's picture of the editor: builds the Release configuration,
# installs it into a temporary prefix with temporary XDG folders (as run.sh
# does, with the example archive "Proverbs"), starts it on a private X server
# (Xvfb) under the openbox window manager, opens the archive with the
# keyboard, and saves the screen.
# Usage: tools/screenshot.sh [OUTPUT.png]   (default docs/fortedit.png)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
source tools/example-archive.sh
zrv_require_packages "${ZRV_BUILD_PACKAGES[@]}" xvfb xauth xdotool x11-utils openbox imagemagick

output=$(realpath -m "${1:-docs/fortedit.png}")
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZRV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build"

work=$(mktemp -d "${TMPDIR:-/tmp}/zrvshot-XXXXXX")
pids=()
cleanup()
{
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail()
{
    echo "screenshot: $*" >&2
    exit 1
}

# Waits up to 30 s for the command to succeed.
await()
{
    local message=$1 deadline=$((SECONDS + 30))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || fail "$message"
        sleep 0.1
    done
}

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"

prefix=$work/prefix
export XDG_CONFIG_DIRS=$prefix/etc/xdg
mkdir -p "$XDG_CONFIG_DIRS"
cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/zrvregsvr" "$prefix/lib/libzrvfort.so" >/dev/null
"$prefix/bin/zrvregsvr" "$prefix/lib/libzrvsheet.so" >/dev/null
player=$prefix/share/zorvafortune
mkdir -p "$player/data"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune_is1'
"$prefix/bin/zrvreg" add "$entry" /v "Inno Setup: App Path" /d "$player" /f >/dev/null
"$prefix/bin/zrvreg" add "$entry" /v DisplayName /d ZorvaFortune /f >/dev/null
zrv_write_example_archive "$player/data/Proverbs"
touch "$prefix/bin/ZorvaFortune.exe" # the player beside the editor: no warning at start

# A free display number, chosen by the server itself.
Xvfb -displayfd 3 -screen 0 960x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
await "Xvfb did not start" test -s "$work/display"
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
await "openbox did not start" wm_running

QT_QPA_PLATFORM=xcb "$prefix/bin/fortedit" >/dev/null 2>&1 &
pids+=($!)
await "the editor shows no window" xdotool search --onlyvisible --name '^Zorva Fortune Editor$'
main=$(xdotool search --onlyvisible --name '^Zorva Fortune Editor$' | head -n 1)
xdotool windowactivate --sync "$main" key ctrl+o
await "no archive selection" xdotool search --onlyvisible --name '^Select a Fortune archive$'
select=$(xdotool search --onlyvisible --name '^Select a Fortune archive$' | head -n 1)
xdotool windowactivate --sync "$select" key space Return
await "the archive did not open" xdotool search --onlyvisible --name '^Zorva Fortune Editor - Proverbs$'
main=$(xdotool search --onlyvisible --name '^Zorva Fortune Editor - Proverbs$' | head -n 1)
xdotool windowactivate --sync "$main" key Down
sleep 1 # the last repaint

mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "saved $output"
