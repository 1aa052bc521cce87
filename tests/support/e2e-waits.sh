# Bounded waits for the end-to-end scripts that drive the editor with xdotool;
# sourced by bash scripts that define fail MESSAGE.
#
# Every wait is for something to be seen (a window, the focus, a file),
# bounded by $patience seconds, so a loaded machine only makes it slower.
patience=${patience:-30}

# Waits until the command succeeds; fails the test with the message otherwise.
await()
{
    local message=$1 deadline=$((SECONDS + patience))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || fail "$message"
        sleep 0.05
    done
}

# The id of the visible window whose title matches, waiting for it to appear.
window()
{
    local id
    id=$(timeout "$patience" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1) ||
        fail "no window titled '$1'"
    [ -n "$id" ] || fail "no window titled '$1'"
    echo "$id"
}

hidden() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
gone() { await "window '$1' did not close" hidden "$1"; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
