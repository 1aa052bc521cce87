#!/bin/sh
# Runs a command on the X display $DISPLAY under the openbox window manager,
# configured by openbox-rc.xml beside this script, and ends the window manager
# with it. Exits with the command's status.
set -u
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d "${TMPDIR:-/tmp}/zrv-openbox.XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT

# The window manager keeps its own files in a home of its own.
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_DATA_HOME="$home/data" \
    openbox --config-file "$here/openbox-rc.xml" --startup "touch '$home/ready'" 2>"$home/log" &
wm=$!

# Ready once openbox has taken the screen and run its start-up command.
tries=0
while [ ! -e "$home/ready" ]; do
    if ! kill -0 "$wm" 2>/dev/null || [ "$tries" -ge 300 ]; then
        echo "with-openbox.sh: openbox did not start:" >&2
        cat "$home/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done

"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit "$status"
