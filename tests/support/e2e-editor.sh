# The installed editor for the end-to-end scripts that drive it with xdotool:
# sourced by bash scripts that define fail MESSAGE, after e2e-waits.sh.

# make_work NAME: a fresh folder in $work, removed at exit, when the editor
# the script started ($editor_pid) is ended too.
make_work()
{
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1-XXXXXX")
    editor_pid=
    trap end_work EXIT
}
end_work()
{
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    rm -rf "$work"
}

# install_editor BUILD_DIR: private XDG folders and home in $work, the build
# installed into $prefix, the component registered, and a player
# installation in $player (with its data folder) that the editor finds
# without a warning.
install_editor()
{
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/xdg
    export XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" \
        "$XDG_CACHE_HOME"
    chmod 700 "$XDG_RUNTIME_DIR"

    prefix=$work/prefix
    cmake --install "$1" --prefix "$prefix" >/dev/null
    "$prefix/bin/zrvregsvr" "$prefix/lib/libzrvfort.so" >/dev/null
    player=$work/player
    mkdir -p "$player/data"
    local entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune_is1'
    "$prefix/bin/zrvreg" add "$entry" /v "Inno Setup: App Path" /d "$player" /f >/dev/null
    "$prefix/bin/zrvreg" add "$entry" /v DisplayName /d ZorvaFortune /f >/dev/null
    touch "$prefix/bin/ZorvaFortune.exe" # the player beside the editor: no warning at start
}

# Under a window manager: the window activated, or at least focused.
wm_focus()
{
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    await "window $1 did not take the focus" has_focus "$1"
}

keys() { xdotool key --clearmodifiers --delay 80 "$@"; }
type_text() { xdotool type --clearmodifiers --delay 40 "$1"; }
# With ZRV_E2E_SHOTS set to a folder, screenshots of the steps go there.
shot() { [ -n "${ZRV_E2E_SHOTS:-}" ] && import -window root "$ZRV_E2E_SHOTS/$1.png" || true; }

# fortedit started on the X server; $main is its window.
start_editor()
{
    QT_QPA_PLATFORM=xcb "$prefix/bin/fortedit" &
    editor_pid=$!
    main=$(window '^Zorva Fortune Editor$')
}

# open_archive NAME: under a window manager, Ctrl+O, Space selects the list's
# first (current) name, Enter; $main is then the window showing NAME.
open_archive()
{
    wm_focus "$main"
    keys ctrl+o
    local select
    select=$(window '^Select a Fortune archive$')
    wm_focus "$select"
    keys space Return
    main=$(window "^Zorva Fortune Editor - $1\$")
}

# await_bytes EXPECTED ARCHIVE MESSAGE: waits until the archive's file holds
# the expected file's bytes; fails with MESSAGE and both dumps otherwise.
await_bytes()
{
    same_bytes() { cmp -s "$1" "$2"; }
    if ! (await "$3" same_bytes "$1" "$2") 2>/dev/null; then
        echo "expected:" >&2
        od -c "$1" >&2
        echo "archive:" >&2
        od -c "$2" >&2
        fail "$3"
    fi
}
