#!/usr/bin/env bash
# Installs the built editor into a private prefix and drives it on the X
# server of xvfb-run, under openbox, with xdotool keys: two fortunes selected
# and deleted, Ctrl+Z, Ctrl+Y, then a line appended by another program and
# Ctrl+Z again. The archive file must pass through exactly the bytes before
# and after the deletion, and the last undo must be refused with a message
# and write nothing.
# Usage: UndoEndToEnd.sh BUILD_DIR (run inside xvfb-run, under openbox)
set -euo pipefail

# shellcheck source=../../support/e2e-waits.sh
. "$(dirname "$0")/../../support/e2e-waits.sh"
# shellcheck source=../../support/e2e-editor.sh
. "$(dirname "$0")/../../support/e2e-editor.sh"

fail()
{
    echo "FAILED: $*" >&2
    import -window root "${TMPDIR:-/tmp}/zrvundoe2e-failure.png" 2>/dev/null || true
    exit 1
}

make_work zrvundoe2e
install_editor "$1"

archive="$player/data/Orchard"
printf 'Orchard\r\nheader\n%%\nred apple\n%%\npear\nwith a second line\n%%\nplum\n%%\nkiwi' >"$archive"
before=$(mktemp "$work/before-XXXXXX")
cp "$archive" "$before"
after=$(mktemp "$work/after-XXXXXX")
printf 'Orchard\r\nheader\n%%\nplum\n%%\nkiwi' >"$after"

start_editor
open_archive Orchard

wm_focus "$main"
keys Home shift+Down Delete
question=$(window '^Confirm Delete$')
wm_focus "$question"
keys Return
gone '^Confirm Delete$'
await_bytes "$after" "$archive" "the deletion is not in the file"

wm_focus "$main"
keys ctrl+z
await_bytes "$before" "$archive" "Ctrl+Z did not give the file back as it was"
shot undone
keys ctrl+y
await_bytes "$after" "$archive" "Ctrl+Y did not make the deletion again"

printf '\n%%\nfrom elsewhere' >>"$archive"
cp "$archive" "$after"
keys ctrl+z
refusal=$(window '^Undo$')
shot refused
wm_focus "$refusal"
keys Return
gone '^Undo$'
cmp -s "$after" "$archive" || fail "the refused undo wrote to the file"
echo "the deletion went back and forth; the undo after an outside change was refused"
