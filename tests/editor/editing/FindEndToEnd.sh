#!/usr/bin/env bash
# Installs the built editor into a private prefix and drives it on the X
# server of xvfb-run, under openbox, with xdotool keys: an archive opened,
# Ctrl+F, a word typed, Return (to the list), Ctrl+A (Select All), Delete,
# Yes. Then the archive file must have lost exactly the fortunes holding the
# word in any letter case, and its other bytes must be as they were.
# Usage: FindEndToEnd.sh BUILD_DIR (run inside xvfb-run, under openbox)
set -euo pipefail

# shellcheck source=../../support/e2e-waits.sh
. "$(dirname "$0")/../../support/e2e-waits.sh"
# shellcheck source=../../support/e2e-editor.sh
. "$(dirname "$0")/../../support/e2e-editor.sh"

fail()
{
    echo "FAILED: $*" >&2
    import -window root "${TMPDIR:-/tmp}/zrvfinde2e-failure.png" 2>/dev/null || true
    exit 1
}

make_work zrvfinde2e
install_editor "$1"

# Fortunes 1, 3, 5 (on its second line) and 6 hold "apple"; 4 and 7 come
# close.
archive="$player/data/Orchard"
printf 'Orchard\r\nheader\n%%\nred apple\n%%\nplum\n%%\nAPPLE tart\n%%\nap ple\n%%\npear\r\nnot an Apple\n%%\npineapple\n%%\nappl\n%%\nkiwi' >"$archive"
expected=$(mktemp "$work/expected-XXXXXX")
printf 'Orchard\r\nheader\n%%\nplum\n%%\nap ple\n%%\nappl\n%%\nkiwi' >"$expected"

start_editor
open_archive Orchard

wm_focus "$main"
keys ctrl+f
type_text "aPPle"
keys Return
shot found
keys ctrl+a Delete
question=$(window '^Confirm Delete$')
wm_focus "$question"
keys Return
gone '^Confirm Delete$'

await_bytes "$expected" "$archive" "the archive's bytes differ"
shot deleted
echo "the matching fortunes are gone, the others as they were"
