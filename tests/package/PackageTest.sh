#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, starts the installed editor,
# creates an archive through the installed component, installs it again over
# itself, walks through the failed-upgrade, -remove and -deconfigure sequences
# of the maintainer scripts, removes the package and checks that nothing of it
# is left but the user's archive.
#
# It changes the machine (/usr, /etc/xdg), so it runs only as root on a
# machine meant for it: under CI, or when ZRV_PACKAGE_TEST=1 says so.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ "$(id -u)" -ne 0 ] || { [ "${CI:-}" != true ] && [ "${ZRV_PACKAGE_TEST:-}" != 1 ]; }; then
    echo "PackageTest: skipped (installs system-wide; runs as root under CI or with ZRV_PACKAGE_TEST=1)"
    exit 0
fi

passes=0
failures=0
exec 3>&1 # the verdicts, whatever a checked command's output is sent to
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what" >&3
        passes=$((passes + 1))
    else
        echo "FAILED: $what" >&3
        failures=$((failures + 1))
    fi
}

deb=$(tools/build-deb.sh | tail -n 1)
echo "package: $deb"
regtool="$PWD/build/deb/runtime/registry/zrvreg"
work=$(mktemp -d)
player="$work/player"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune_is1'
export XDG_CONFIG_DIRS=/etc/xdg XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
mkdir -p "$player/data" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
cleanup() {
    if [ -n "${editor:-}" ]; then kill "$editor" 2>/dev/null || true; fi
    if [ -n "${xserver:-}" ]; then kill "$xserver" 2>/dev/null || true; fi
    "$regtool" delete "$uninstall" /f >/dev/null 2>&1 || true
    if dpkg -s zorva-fortune >/dev/null 2>&1; then apt-get purge -y -qq zorva-fortune >/dev/null 2>&1 || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

check "lintian reports no error" lintian --fail-on error "$deb"
hive=/etc/xdg/zorva/registry/machine.db
hive_before=no
[ -e "$hive" ] && hive_before=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null 2>&1
dpkg -L zorva-fortune | sort >"$work/files"

registered() { # both component libraries
    "$regtool" query 'HKCR\ZorvaFortune.Fortune\CLSID' /ve >/dev/null 2>&1 &&
        "$regtool" query 'HKLM\Software\Classes\.xls' >/dev/null 2>&1
}
unregistered() { ! "$regtool" query 'HKCR\ZorvaFortune.Fortune' >/dev/null 2>&1; }
check "the component is registered in the machine hive" registered
check "appstreamcli validates the metadata" \
    appstreamcli validate --no-net /usr/share/metainfo/org.zorvatools.fortedit.metainfo.xml >/dev/null
check "desktop-file-validate accepts the desktop entry" \
    desktop-file-validate /usr/share/applications/fortedit.desktop
check "man pages are installed" test -e /usr/share/man/man1/fortedit.1.gz
reader=/usr/lib/zorva-fortune/zrvsheet-read
check "the spreadsheet reader lives beside its library, not on the PATH" \
    bash -c "test -x $reader && ! command -v zrvsheet-read >/dev/null"
printf 'a,b\n' >"$work/cells.csv"
check "the installed spreadsheet reader locks down and reads a file" \
    bash -c "$reader 4 3072 31 <'$work/cells.csv' | head -c 6 | grep -q ZRVA"

# The player's installation, as its own installer would record it.
touch "$player/ZorvaFortune.exe"
"$regtool" add "$uninstall" /v "Inno Setup: App Path" /d "$player" /f >/dev/null

# A client of the installed component makes an archive in the data folder.
check "fortarc creates an archive through the component" /usr/bin/fortarc create Packaged
check "fortarc adds a fortune" /usr/bin/fortarc add Packaged "Installed and working." >/dev/null
check "the archive holds the fortune" grep -q "Installed and working." "$player/data/Packaged"

display=:$((80 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xserver=$!
for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display QT_QPA_PLATFORM=xcb /usr/bin/fortedit >"$work/fortedit.log" 2>&1 &
editor=$!
check "the installed editor shows its main window" \
    env DISPLAY=$display timeout 30 xdotool search --sync --onlyvisible --name '^Zorva Fortune Editor' >/dev/null
kill "$editor" 2>/dev/null
wait "$editor" 2>/dev/null || true
editor=

# An upgrade: the package installed again over itself (old prerm upgrade, new
# postinst configure).
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$deb" >/dev/null 2>&1
check "installed again over itself, the libraries are registered" registered

# A step that fails after prerm: dpkg calls postinst abort-*, and the package,
# still installed, must be registered again.
version=$(dpkg-query -W -f='${Version}' zorva-fortune)
scripts=/var/lib/dpkg/info/zorva-fortune
while IFS='|' read -r prerm postinst; do
    # shellcheck disable=SC2086 # the arguments are words
    "$scripts.prerm" $prerm
    check "prerm $prerm unregisters" unregistered
    # shellcheck disable=SC2086
    "$scripts.postinst" $postinst
    check "postinst $postinst registers again" registered
done <<SEQUENCES
upgrade $version|abort-upgrade $version
remove|abort-remove
deconfigure in-favour zorva-other 1.0 removing zorva-fortune $version|abort-deconfigure in-favour zorva-other 1.0 removing zorva-fortune $version
SEQUENCES
check "the archive made earlier is still there" grep -q "Installed and working." "$player/data/Packaged"

"$regtool" delete "$uninstall" /f >/dev/null
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq zorva-fortune >/dev/null

check "the class is no longer registered" bash -c "! '$regtool' query 'HKCR\\ZorvaFortune.Fortune' >/dev/null 2>&1"
check "the spreadsheet file class is no longer registered" \
    bash -c "! '$regtool' query 'HKLM\\Software\\Classes\\.xls' >/dev/null 2>&1"
left=$(while read -r f; do if [ -f "$f" ] || [ -L "$f" ]; then echo "$f"; fi; done <"$work/files")
check "no file of the package is left" test -z "$left"
[ -z "$left" ] || printf '  left: %s\n' $left
if [ "$hive_before" = no ]; then
    check "no machine hive of the package is left" test ! -e "$hive"
fi
check "the user's archive is still there" grep -q "Installed and working." "$player/data/Packaged"

echo "PackageTest: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
