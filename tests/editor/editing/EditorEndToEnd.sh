#!/usr/bin/env bash
# Installs the built editor into a private prefix and drives it on the X
# server of xvfb-run with xdotool, as a person would with the keyboard:
# a new archive, three fortunes added, one edited, one deleted, the header
# edited. Then the archive file must hold exactly the expected bytes.
# Usage: EditorEndToEnd.sh BUILD_DIR (run inside xvfb-run)
set -euo pipefail

fail()
{
    echo "FAILED: $*" >&2
    exit 1
}

# shellcheck source=../../support/e2e-waits.sh
. "$(dirname "$0")/../../support/e2e-waits.sh"
# shellcheck source=../../support/e2e-editor.sh
. "$(dirname "$0")/../../support/e2e-editor.sh"

make_work zrve2e
install_editor "$1"

focus()
{
    xdotool windowfocus --sync "$1"
    await "window $1 did not take the focus" has_focus "$1"
}

# The number of the editor's windows on screen: a menu that opens adds one.
windows_shown() { xdotool search --onlyvisible --pid "$editor_pid" 2>/dev/null | wc -l; }
more_windows() { [ "$(windows_shown)" -gt "$1" ]; }

# OK of the fortune and header forms, by its access key.
press_ok() { keys alt+o; }

start_editor

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
await_bytes "$expected" "$archive" "the archive's bytes differ"
echo "archive bytes as expected"
