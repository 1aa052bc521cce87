#!/usr/bin/env bash
# Installs the built editor and spreadsheet application into a private prefix
# and drives fortedit on the X server of xvfb-run, under openbox, with
# xdotool keys: Export of an archive through the options dialog (the workbook
# the application presents is read back), then Import of a prepared .ods
# file, whose rows must be appended to the archive file exactly, and Ctrl+Z,
# which must give the file back as it was before the import.
# Usage: SpreadsheetEndToEnd.sh BUILD_DIR SHEETDUMP ODS_FILE (inside xvfb-run)
set -euo pipefail

build=$(cd "$1" && pwd)
sheetdump=$2
ods=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/zrvsheete2e-XXXXXX")
editor_pid=
wm_pid=
cleanup()
{
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export LANG=C.UTF-8 LC_ALL=C.UTF-8
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/xdg
export XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_DATA_DIRS=$XDG_DATA_HOME:/usr/share
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"

fail()
{
    echo "FAILED: $*" >&2
    [ -n "${DISPLAY:-}" ] && import -window root "${TMPDIR:-/tmp}/zrvsheete2e-failure.png" 2>/dev/null || true
    exit 1
}

# shellcheck source=../../support/e2e-waits.sh
. "$(dirname "$0")/../../support/e2e-waits.sh"
# shellcheck source=../../support/e2e-editor.sh
. "$(dirname "$0")/../../support/e2e-editor.sh"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/zrvregsvr" "$prefix/lib/libzrvfort.so" >/dev/null
"$prefix/bin/zrvregsvr" "$prefix/lib/libzrvsheet.so" >/dev/null
player=$work/player
mkdir -p "$player/data"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune_is1'
"$prefix/bin/zrvreg" add "$entry" /v "Inno Setup: App Path" /d "$player" /f >/dev/null
touch "$prefix/bin/ZorvaFortune.exe"

# The desktop's program for .xlsx files: it keeps a copy of what it is given.
presented=$work/presented
mkdir -p "$presented" "$XDG_DATA_HOME/applications"
cat >"$work/fakesheet" <<SCRIPT
#!/bin/sh
cp "\$1" "$presented/"
SCRIPT
chmod +x "$work/fakesheet"
xlsx=application/vnd.openxmlformats-officedocument.spreadsheetml.sheet
cat >"$XDG_DATA_HOME/applications/zrvfakesheet.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Spreadsheet stand-in
Exec=$work/fakesheet %f
MimeType=$xlsx;
DESKTOP
printf '[Default Applications]\n%s=zrvfakesheet.desktop\n' "$xlsx" >"$XDG_CONFIG_HOME/mimeapps.list"
[ "$(xdg-mime query default "$xlsx")" = zrvfakesheet.desktop ] || fail "the stand-in is not the .xlsx program"

archive="$player/data/Sheet Archive"
printf 'Header\n%%\nAlpha\n%%\n  Spaced out  \n%%\nTwo\r\nlines\n%%\nÜnïcödé ✓' >"$archive"

# The window manager is ready once it has run its start-up command.
openbox --startup "touch '$work/wm-ready'" >/dev/null 2>&1 &
wm_pid=$!
await "openbox did not start" test -e "$work/wm-ready"

# The number of the editor's windows on screen: a menu that opens adds one.
windows_shown() { xdotool search --onlyvisible --pid "$editor_pid" 2>/dev/null | wc -l; }
more_windows() { [ "$(windows_shown)" -gt "$1" ]; }

# Opens the Actions menu and waits for it to show.
actions_menu()
{
    local before
    before=$(windows_shown)
    keys alt+a
    await "the Actions menu did not open" more_windows "$before"
}

start_editor
open_archive "Sheet Archive"

# Export with no limit: Actions > Export, Enter in the options.
wm_focus "$main"
actions_menu
keys x
options=$(window '^Export Options$')
wm_focus "$options"
shot export-options
keys Return
gone '^Export Options$'

presented_book() { ls "$presented"/*.xlsx >/dev/null 2>&1; }
await "no workbook was presented" presented_book
book=$(ls "$presented"/*.xlsx | head -n 1)
[ "$(basename "$book")" = Book1.xlsx ] || fail "presented $(basename "$book"), not Book1.xlsx"
[ -f "$HOME/Documents/Book1.xlsx" ] || fail "Book1.xlsx is not in the documents folder"
expected_book=$(
    cat <<'BOOK'
A1 text Alpha
A2 text   Spaced out  
A3 text Two\r\nlines
A4 text Ünïcödé ✓
row 1 height 30
row 2 height 30
row 3 height 30
row 4 height 30
column 1 width 60
active B1
BOOK
)
actual_book=$("$sheetdump" "$book") || fail "the presented workbook does not read back"
if [ "$actual_book" != "$expected_book" ]; then
    echo "expected:" >&2
    echo "$expected_book" >&2
    echo "presented:" >&2
    echo "$actual_book" >&2
    fail "the presented workbook differs"
fi
echo "presented workbook as expected"

# Import: Actions > Import, Yes to the warning, the file's path in the dialog.
cp "$ods" "$work/import.ods"
wm_focus "$main"
actions_menu
keys i
question=$(window '^fortedit$')
wm_focus "$question"
shot append-warning
keys Return
# The file dialog is the window that takes the focus after the warning.
dialog_focused()
{
    local id
    id=$(xdotool getwindowfocus 2>/dev/null) && [ "$id" != "$main" ] && [ "$id" != "$question" ]
}
await "no file dialog" dialog_focused
type_text "$work/import.ods"
shot file-dialog
keys Return

expected=$(mktemp "$work/expected-XXXXXX")
before_import=$(mktemp "$work/before-XXXXXX")
printf 'Header\n%%\nAlpha\n%%\n  Spaced out  \n%%\nTwo\r\nlines\n%%\nÜnïcödé ✓' >"$before_import"
cp "$before_import" "$expected"
printf '\n%%\nLook before you leap.\n%%\nFirst line\r\nsecond line\n%%\n42\n%%\nCafé über  alles' >>"$expected"
await_bytes "$expected" "$archive" "the archive's bytes differ after the import"
main=$(window '^Zorva Fortune Editor - Sheet Archive$')
shot imported
echo "imported rows appended exactly"

# Ctrl+Z takes the whole import back in one step.
wm_focus "$main"
keys ctrl+z
await_bytes "$before_import" "$archive" "Ctrl+Z did not take the import back"
echo "the import was undone"
