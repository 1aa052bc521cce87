#!/usr/bin/env bash
# Installs the built editor into a private prefix and drives it on the X
# server of xvfb-run with xdotool, as a person would with the keyboard:
# a new archive, three fortunes added, one edited, one deleted, the header
# edited. Then the archive file must hold exactly the expected bytes.
# Usage: EditorEndToEnd.sh BUILD_DIR (run inside xvfb-run)
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/zrve2e-XXXXXX")
editor_pid=
cleanup()
{
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/xdg
export XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/zrvregsvr" "$prefix/lib/libzrvfort.so" >/dev/null
player=$work/player
mkdir -p "$player/data"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune_is1'
"$prefix/bin/zrvreg" add "$entry" /v "Inno Setup: App Path" /d "$player" /f >/dev/null
"$prefix/bin/zrvreg" add "$entry" /v DisplayName /d ZorvaFortune /f >/dev/null
touch "$prefix/bin/ZorvaFortune.exe" # the player beside the editor: no warning at start

fail()
{
    echo "FAILED: $*" >&2
    exit 1
}

# shellcheck source=../../support/e2e-waits.sh
. "$(dirname "$0")/../../support/e2e-waits.sh"

focus()
{
    xdotool windowfocus --sync "$1"
    await "window $1 did not take the focus" has_focus "$1"
}

# The number of the editor's windows on screen: a menu that opens adds one.
windows_shown() { xdotool search --onlyvisible --pid "$editor_pid" 2>/dev/null | wc -l; }
more_windows() { [ "$(windows_shown)" -gt "$1" ]; }

keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
type_text() { xdotool type --clearmodifiers --delay 40 "$1"; }

# OK of the fortune and header forms, by its access key.
press_ok() { keys alt+o; }

QT_QPA_PLATFORM=xcb "$prefix/bin/fortedit" &
editor_pid=$!
main=$(window '^Zorva Fortune Editor$')

# A new archive.
focus "$main"
keys ctrl+n
dialog=$(window '^New Zorva Fortune Archive$')
focus "$dialog"
type_text "E2E Archive"
keys Return
main=$(window '^Zorva Fortune Editor - E2E Archive$')
archive="$player/data/E2E Archive"
[ -f "$archive" ] || fail "the new archive file is missing"

# Three fortunes; the third of two lines.
add_fortune()
{
    focus "$main"
    keys ctrl+Insert
    local form
    form=$(window '^Add a Fortune$')
    focus "$form"
    type_text "$1"
    if [ $# -gt 1 ]; then
        keys Return
        type_text "$2"
    fi
    press_ok
    gone '^Add a Fortune$'
}
add_fortune "First"
add_fortune "Second"
add_fortune "Third" "line two"

# Edit the second: to the list's second row, then Ctrl+E.
focus "$main"
keys Home Down ctrl+e
form=$(window '^Edit a Fortune$')
focus "$form"
keys ctrl+End
type_text " edited"
press_ok
gone '^Edit a Fortune$'

# Delete the first with the Delete key (Down, Home: the first row, selected);
# Yes is the default answer.
focus "$main"
keys Down Home Delete
question=$(window '^Confirm Delete$')
focus "$question"
keys Return
gone '^Confirm Delete$'

# The header, through the Edit menu's Archive Header.
focus "$main"
before=$(windows_shown)
keys alt+e
await "the Edit menu did not open" more_windows "$before"
keys a
form=$(window '^Edit Archive Header$')
focus "$form"
type_text "E2E header"
press_ok
gone '^Edit Archive Header$'

expected=$(mktemp "$work/expected-XXXXXX")
printf 'E2E header\n%%\nSecond edited\n%%\nThird\r\nline two' >"$expected"
same_bytes() { cmp -s "$expected" "$archive"; }
if ! (await "the archive's bytes differ" same_bytes) 2>/dev/null; then
    echo "expected:" >&2
    od -c "$expected" >&2
    echo "archive:" >&2
    od -c "$archive" >&2
    fail "the archive's bytes differ"
fi
echo "archive bytes as expected"
