#!/usr/bin/env bash
# Installs the build tree given as $1 into a temporary prefix and drives the
# installed fortarc there, grouped by command. Archives are checked byte for
# byte; failures must leave every file as it was.
set -u

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'chattr -i "$work"/player/data/* 2>/dev/null; umount "$work/exports/small" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/etc/xdg
export XDG_DATA_HOME=$work/share XDG_RUNTIME_DIR=$work/run LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
export PATH=$prefix/bin:/usr/games:$PATH
zrvregsvr "$prefix/lib/libzrvfort.so" || { echo "FAIL: registration"; exit 1; }
player=$work/player
data=$player/data
mkdir -p "$data"
zrvreg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvaFortune Editor' \
    /v "Inno Setup: App Path" /d "$work/not-the-player" /f >/dev/null
zrvreg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\zorvafortune_is1' \
    /v "Inno Setup: App Path" /d "$player" /f >/dev/null

[ -x "$prefix/bin/fortarc" ] || fail "fortarc is not installed in bin"
[ -s "$prefix/share/bash-completion/completions/fortarc" ] || fail "no bash completion installed"
if command -v help2man >/dev/null; then
    gzip -dc "$prefix/share/man/man1/fortarc.1.gz" | grep -q 'export\\-fortune' ||
        fail "the installed man page does not describe export-fortune"
    gzip -dc "$prefix/share/man/man1/fortarc.1.gz" | grep -q 'export\\-fortune \[\\-\\-force\]' ||
        fail "the installed man page does not describe export-fortune --force"
fi

# expect_bytes FILE FORMAT [ARGS]: the file holds exactly printf's output.
expect_bytes() {
    local file=$1
    shift
    # shellcheck disable=SC2059
    printf "$@" >"$work/expected"
    cmp -s "$file" "$work/expected" ||
        fail "$(basename "$file") holds $(od -An -c "$file" | tr -s ' ' | head -c 300)"
}

# run CODE COMMAND...: the exit status is CODE; a failure says one line on stderr.
run() {
    local want=$1
    shift
    "$@" >"$work/out" 2>"$work/err" </dev/null
    local got=$?
    [ "$got" -eq "$want" ] || fail "'$*' exited with $got, not $want: $(cat "$work/err")"
    if [ "$want" -ne 0 ]; then
        [ "$(wc -l <"$work/err")" -eq 1 ] || fail "'$*' wrote more than one line on stderr"
        grep -q '^fortarc: ' "$work/err" || fail "'$*' did not say why it failed"
    fi
}

# unchanged CODE COMMAND...: fails with CODE and leaves every file byte-identical.
unchanged() {
    local before
    before=$(cd "$work" && find player exports -type f -print0 2>/dev/null | sort -z | xargs -0 sha256sum)
    run "$@"
    [ "$before" = "$(cd "$work" && find player exports -type f -print0 2>/dev/null | sort -z | xargs -0 sha256sum)" ] ||
        fail "'${*:2}' changed files although it failed"
}

new_archive() { printf "$2" >"$data/$1"; }

# --- reading: names through the data folder, paths, plain and JSON output ---
new_archive Proverbs 'Proverbs\r\nold\n%%\nLook before you leap.\n%%\nA stitch\r\nin time.\n%%\n\xff bad byte'
run 0 fortarc count proverbs
[ "$(cat "$work/out")" = 3 ] || fail "count by name in another case: $(cat "$work/out")"
run 0 fortarc list "$data/Proverbs"
[ "$(cat "$work/out")" = $'1\tLook before you leap.\n2\tA stitch\n3\t\uFFFD bad byte' ] ||
    fail "list: $(cat "$work/out")"
run 0 fortarc show Proverbs 2
[ "$(cat "$work/out")" = $'A stitch\nin time.' ] || fail "show gives LF line ends: $(od -c "$work/out")"
run 0 fortarc --json show Proverbs 3
[ "$(cat "$work/out")" = $'{"index": 3, "text": "\uFFFD bad byte"}' ] ||
    fail "show --json: $(cat "$work/out")"
run 0 fortarc header Proverbs --json
[ "$(cat "$work/out")" = '{"header": "Proverbs\nold"}' ] || fail "header --json: $(cat "$work/out")"
run 0 fortarc list --json Proverbs
[ "$(head -2 "$work/out")" = $'[\n {"index": 1, "first_line": "Look before you leap."},' ] ||
    fail "list --json: $(cat "$work/out")"
run 0 fortarc archives
[ "$(cat "$work/out")" = Proverbs ] || fail "archives: $(cat "$work/out")"
expect_bytes "$data/Proverbs" 'Proverbs\r\nold\n%%\nLook before you leap.\n%%\nA stitch\r\nin time.\n%%\n\xff bad byte'
completed=$(cd "$work" && bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"
    COMP_LINE="fortarc --json show Pro"; COMP_POINT=${#COMP_LINE}; COMP_WORDS=($COMP_LINE)
    COMP_CWORD=3; _fortarc; echo "${COMPREPLY[*]}"' \
    _ "$prefix/share/bash-completion/completions/fortarc")
[ "$completed" = Proverbs ] || fail "completion of an archive name gave '$completed'"

# --- a terminal sees control characters as U+FFFD; pipes and files get the text as stored ---
new_archive Controls 'H\x1b]0;title\x07\n%%\nred \x1b[31mtext\x07 bell\r\nline two\rback\ttab\x7f\xc2\x9b end'
fffd=$'\xef\xbf\xbd'
while IFS='|' read -r command shown stored; do
    script -qec "stty -onlcr; fortarc $command" /dev/null </dev/null >"$work/tty" 2>&1 ||
        fail "'fortarc $command' on a terminal failed: $(cat "$work/tty")"
    expect_bytes "$work/tty" "${shown//@/$fffd}"
    # shellcheck disable=SC2086
    fortarc $command >"$work/piped" 2>&1 || fail "'fortarc $command' into a file failed"
    expect_bytes "$work/piped" "$stored"
done <<'EOF'
show Controls 1|red @[31mtext@ bell\nline two@back\ttab@@ end\n|red \x1b[31mtext\x07 bell\nline two\rback\ttab\x7f\xc2\x9b end\n
list Controls|1\tred @[31mtext@ bell\n|1\tred \x1b[31mtext\x07 bell\n
header Controls|H@]0;title@\n|H\x1b]0;title\x07\n
--json show Controls 1|{"index": 1, "text": "red \\u001b[31mtext\\u0007 bell\\nline two\\rback\\ttab\\u007f\\u009b end"}\n|{"index": 1, "text": "red \\u001b[31mtext\\u0007 bell\\nline two\\rback\\ttab\\u007f\\u009b end"}\n
EOF
rm "$data/Controls"

# --- add, set, delete, header, create, rename: the archive bytes exactly ---
run 0 fortarc create Tales
expect_bytes "$data/Tales" ''
run 0 fortarc add Tales 'First.'
[ "$(cat "$work/out")" = 1 ] || fail "add prints the new index"
printf 'Two\nlines\n\n' | fortarc add Tales >/dev/null || fail "add from standard input"
run 0 fortarc add Tales -- '-dash at the start'
run 0 fortarc add Tales $'Gr\u00fc\u00dfe \u2014 ok'
expect_bytes "$data/Tales" '\n%%\nFirst.\n%%\nTwo\r\nlines\n%%\n-dash at the start\n%%\nGr\xc3\xbc\xc3\x9fe \xe2\x80\x94 ok'
run 0 fortarc set Tales 2 $'Line\n%\nstays one fortune'
run 0 fortarc header Tales 'Tales'
printf 'Tales\nand more\n' | fortarc header Tales - || fail "header from standard input"
expect_bytes "$data/Tales" 'Tales\r\nand more\n%%\nFirst.\n%%\nLine\r\n%%\r\nstays one fortune\n%%\n-dash at the start\n%%\nGr\xc3\xbc\xc3\x9fe \xe2\x80\x94 ok'
run 0 fortarc count Tales
[ "$(cat "$work/out")" = 4 ] || fail "a %% line in CR LF text splits nothing"
run 0 fortarc show Tales 4
[ "$(cat "$work/out")" = $'Gr\u00fc\u00dfe \u2014 ok' ] || fail "UTF-8 text round trip"
run 0 fortarc delete Tales 4 1 4 3
expect_bytes "$data/Tales" 'Tales\r\nand more\n%%\nLine\r\n%%\r\nstays one fortune'
run 0 fortarc rename Tales Stories
[ -e "$data/Tales" ] && fail "rename left the old name"
expect_bytes "$data/Stories" 'Tales\r\nand more\n%%\nLine\r\n%%\r\nstays one fortune'

# --- a Latin-1 locale: texts in its bytes, JSON still in UTF-8 ---
mkdir -p "$work/locale"
if localedef -i en_US -f ISO-8859-1 "$work/locale/en_US.ISO-8859-1" >/dev/null 2>&1; then
    latin1() { LOCPATH=$work/locale LC_ALL=en_US.ISO-8859-1 "$@"; }
    run 0 latin1 fortarc create Latin
    run 0 latin1 fortarc add Latin $'Gr\xfc\xdfe'
    expect_bytes "$data/Latin" '\n%%\nGr\xfc\xdfe'
    run 0 latin1 fortarc --json show Latin 1
    [ "$(cat "$work/out")" = $'{"index": 1, "text": "Gr\u00fc\u00dfe"}' ] ||
        fail "JSON in a Latin-1 locale: $(od -c "$work/out")"
    rm "$data/Latin"
else
    echo "note: localedef cannot build a Latin-1 locale here; that group was not run"
fi

# --- failures: one line, documented status, every file byte-identical ---
mkdir -p "$work/exports"
unchanged 4 fortarc show Stories 2
unchanged 4 fortarc set Stories 0 'x'
unchanged 4 fortarc delete Stories 1 2
unchanged 2 fortarc delete Stories 1 one
unchanged 2 fortarc frobnicate Stories
# A hostile argument quoted in the message keeps it on one line, without controls.
unchanged 2 fortarc $'frob\nnicate\e[2J' Stories
grep -qF 'unknown command "frob\x0Anicate\x1B[2J"' "$work/err" || fail "the command was not escaped: $(cat "$work/err")"
unchanged 3 fortarc count $'No\rSuch'
grep -qF 'No\x0DSuch' "$work/err" || fail "the archive name was not escaped: $(cat "$work/err")"
unchanged 2 fortarc add --force Stories 'x'
unchanged 2 fortarc count
unchanged 2 fortarc count ..
unchanged 2 fortarc rename Stories ../escape
unchanged 3 fortarc count Missing
unchanged 3 fortarc add "$work/nowhere/x" 'text'
unchanged 5 fortarc add Stories $'\r\n\n'
unchanged 5 fortarc add Stories $'ends with\n%'
unchanged 5 fortarc header Stories $'head\n%'
unchanged 5 fortarc add Stories $'\xff invalid'
unchanged 7 fortarc create stories
unchanged 7 fortarc rename Stories Proverbs
unchanged 7 fortarc rename Stories PROVERBS
if chattr +i "$data/Stories" 2>/dev/null; then
    unchanged 1 fortarc add Stories 'not taken'
    unchanged 1 fortarc delete Stories 1
    chattr -i "$data/Stories"
else
    echo "note: no immutable files here; the refused-write cases were not run"
fi
XDG_CONFIG_DIRS=$work/empty-hive unchanged 6 fortarc add "$data/Stories" 'no component'

# --- export-fortune: fortune(6), strfile and unstr read what it writes ---
new_archive Play 'THE HEADER\n%%\nAlpha\r\nbeta\n%%\nGamma\n%%\n\n%%\nDelta\r\n\r\n'
run 0 fortarc export-fortune Play "$work/exports"
expect_bytes "$work/exports/Play" 'Alpha\nbeta\n%%\nGamma\n%%\nDelta\n\n\n%%\n'
cp "$work/exports/Play" "$work/exports/Copy"
strfile -s "$work/exports/Copy" >/dev/null || fail "strfile on the exported file"
cmp -s "$work/exports/Play.dat" "$work/exports/Copy.dat" ||
    fail "strfile's index differs: $(od -An -tx1 "$work/exports/Play.dat") vs $(od -An -tx1 "$work/exports/Copy.dat")"
for _ in $(seq 40); do
    fortune "$work/exports/Play"
    echo "@@"
done >"$work/played"
grep -q 'HEADER' "$work/played" && fail "fortune played the header"
grep -vxE 'Alpha|beta|Gamma|Delta|@@|' "$work/played" | head -1 | grep -q . &&
    fail "fortune played something else: $(sort -u "$work/played" | head)"
grep -qx Gamma "$work/played" || fail "fortune never played Gamma in 40 runs"
# unstr must treat our index exactly as strfile's own.
(cd "$work/exports" && unstr Play >"$work/unstr.ours" 2>&1; echo "status $?" >>"$work/unstr.ours")
(cd "$work/exports" && unstr Copy >"$work/unstr.theirs" 2>&1; echo "status $?" >>"$work/unstr.theirs")
sed -i 's/Copy/Play/g' "$work/unstr.theirs"
cmp -s "$work/unstr.ours" "$work/unstr.theirs" || fail "unstr reads our index differently"
if grep -q 'status 0' "$work/unstr.theirs"; then
    (cd "$work/exports" && unstr Play "$work/unstr.text" >/dev/null 2>&1)
    cmp -s "$work/unstr.text" "$work/exports/Play" || fail "unstr does not give back the fortunes"
fi
new_archive Play 'H\n%%\nfine\n%%\nbreaks\r\n%%\r\nin two'
unchanged 5 fortarc export-fortune Play "$work/exports"
unchanged 1 fortarc export-fortune Play "$data"
# The index cannot take the place of a folder: the text file is put back.
rm "$work/exports/Play.dat" && mkdir "$work/exports/Play.dat"
new_archive Play 'H\n%%\nnew'
unchanged 1 fortarc export-fortune --force Play "$work/exports"
expect_bytes "$work/exports/Play" 'Alpha\nbeta\n%%\nGamma\n%%\nDelta\n\n\n%%\n'
[ -z "$(ls -A "$work/exports/Play.dat")" ] || fail "export left files in the way"
ls -A "$work/exports" | grep -q '^\.' && fail "export left temporary files: $(ls -A "$work/exports")"

# --- export-fortune replaces only a fortune file with its strfile index, or with --force ---
new_archive Out 'H\n%%\nOne\n%%\nTwo'
out=$work/exports/out
mkdir -p "$work/old" "$work/linked"
printf 'H\n%%\nan older\n%%\nexport' >"$work/old/Out"
printf 'Linked\n%%\n' >"$work/linked/Out" && strfile -s "$work/linked/Out" >/dev/null
# put_in_way KIND: what stands at out/Out and out/Out.dat before the export.
put_in_way() {
    rm -rf "$out" && mkdir -p "$out"
    local strfiled='Some\n%%\nother\nfortunes\n%%\nhere\n'
    case $1 in
    earlier-export) fortarc export-fortune "$work/old/Out" "$out" ;;
    strfile) printf "$strfiled" >"$out/Out" && strfile -s "$out/Out" >/dev/null ;;
    strfile-random) printf "$strfiled" >"$out/Out" && strfile -s -r "$out/Out" >/dev/null ;;
    strfile-rotated) printf "$strfiled" >"$out/Out" && strfile -s -x "$out/Out" >/dev/null ;;
    notes) printf 'my own notes\n' >"$out/Out" ;;
    notes-and-notes) printf 'my own notes\n' >"$out/Out" && printf 'more notes\n' >"$out/Out.dat" ;;
    index-alone) printf "$strfiled" >"$out/Out" && strfile -s "$out/Out" >/dev/null && rm "$out/Out" ;;
    stale-index) printf "$strfiled" >"$out/Out" && strfile -s "$out/Out" >/dev/null &&
        printf 'added later\n%%\n' >>"$out/Out" ;;
    index-of-another) printf 'my own notes\n' >"$out/Out" && cp "$work/linked/Out.dat" "$out/Out.dat" ;;
    index-too-long) printf "$strfiled" >"$out/Out" && strfile -s "$out/Out" >/dev/null &&
        printf '\0\0\0\0' >>"$out/Out.dat" ;;
    symbolic-link) ln -s "$work/linked/Out" "$out/Out" && cp "$work/linked/Out.dat" "$out/Out.dat" ;;
    folder) mkdir "$out/Out" && printf 'x' >"$out/Out/kept" ;;
    esac
}
while read -r want forced kind; do
    put_in_way "$kind"
    if [ "$want" -ne 0 ]; then
        unchanged "$want" fortarc export-fortune Out "$out"
        grep -q -- '--force' "$work/err" || fail "the refusal over '$kind' does not mention --force"
    fi
    run "$forced" fortarc export-fortune --force Out "$out"
    [ "$forced" -ne 0 ] || expect_bytes "$out/Out" 'One\n%%\nTwo\n%%\n'
done <<'EOF'
0 0 nothing
0 0 earlier-export
0 0 strfile
0 0 strfile-random
0 0 strfile-rotated
7 0 notes
7 0 notes-and-notes
7 0 index-alone
7 0 stale-index
7 0 index-of-another
7 0 index-too-long
7 0 symbolic-link
7 1 folder
EOF
expect_bytes "$work/linked/Out" 'Linked\n%%\n'
[ "$(cat "$out/Out/kept")" = x ] || fail "the folder in the way was changed"

# --- import-fortune: what strfile indexed comes back as the same fortunes ---
printf 'One\n%%\nTwo\nlines\n%%\n%%\n\n%%\nThree %% sign\n%%\n' >"$work/exports/cookies"
strfile -s "$work/exports/cookies" >/dev/null
run 0 fortarc create "$work/exports/imported"
run 0 fortarc import-fortune "$work/exports/cookies" "$work/exports/imported"
grep -q 'skipped' "$work/err" || fail "import says nothing of the blank entry"
expect_bytes "$work/exports/imported" '\n%%\nOne\n%%\nTwo\r\nlines\n%%\nThree %% sign'
# Blank lines at either end of an entry are part of it, and come back from an export.
printf '\n\nLead\n%%\nTrail\n\n%%\nPlain\n%%\nx\n\n\n%%\n' >"$work/exports/padded"
strfile -s "$work/exports/padded" >/dev/null
run 0 fortarc create "$work/exports/kept"
run 0 fortarc import-fortune "$work/exports/padded" "$work/exports/kept"
[ -s "$work/err" ] && fail "import notes what it did not do: $(cat "$work/err")"
expect_bytes "$work/exports/kept" '\n%%\n\r\n\r\nLead\n%%\nTrail\r\n\n%%\nPlain\n%%\nx\r\n\r\n'
mkdir "$work/exports/again"
run 0 fortarc export-fortune "$work/exports/kept" "$work/exports/again"
cmp -s "$work/exports/padded" "$work/exports/again/kept" || fail "blank lines at an entry's ends did not come back"
cmp -s "$work/exports/padded.dat" "$work/exports/again/kept.dat" || fail "the index of the padded file differs from strfile's"
tr 'A-Za-z' 'N-ZA-Mn-za-m' <"$work/exports/cookies" >"$work/exports/rotated"
strfile -s -x "$work/exports/rotated" >/dev/null
run 0 fortarc create "$work/exports/unrotated"
run 0 fortarc import-fortune "$work/exports/rotated" "$work/exports/unrotated"
cmp -s "$work/exports/imported" "$work/exports/unrotated" || fail "a rotated file imports as plain text"
printf 'good\n%%\n\xfe\n%%\n' >"$work/exports/broken"
unchanged 5 fortarc import-fortune "$work/exports/broken" "$work/exports/imported"
unchanged 1 fortarc import-fortune "$work/exports/none" "$work/exports/imported"

# --- import-fortune reads regular files only, and no index larger than its text needs ---
# The text below is 8 bytes: no strfile index of it can exceed 24 + 4 * 9 = 60 bytes.
printf 'x\n%%\ny\n%%\n' >"$work/source" && strfile -s "$work/source" >/dev/null
put_input() {
    case $1 in
    text) cp "$work/source" "$2" ;;
    index) cp "$work/source.dat" "$2" ;;
    index-60) cp "$work/source.dat" "$2" && truncate -s 60 "$2" ;;
    index-61) cp "$work/source.dat" "$2" && truncate -s 61 "$2" ;;
    sparse-1g) cp "$work/source.dat" "$2" && truncate -s 1G "$2" ;;
    sparse-5g) truncate -s 5G "$2" ;;
    fifo) mkfifo "$2" ;;
    zero) ln -s /dev/zero "$2" ;;
    folder) mkdir "$2" ;;
    esac
}
while read -r want text index; do
    rm -rf "$work/in" && mkdir "$work/in"
    put_input "$text" "$work/in/f"
    put_input "$index" "$work/in/f.dat"
    printf '\n%%\nalready here' >"$work/exports/target"
    if [ "$want" -eq 0 ]; then
        run 0 timeout 30 fortarc import-fortune "$work/in/f" "$work/exports/target"
        expect_bytes "$work/exports/target" '\n%%\nalready here\n%%\nx\n%%\ny'
    else
        unchanged "$want" timeout 30 fortarc import-fortune "$work/in/f" "$work/exports/target"
    fi
done <<'EOF'
0 text none
0 text index
0 text index-60
5 text index-61
5 text sparse-1g
5 sparse-5g none
1 fifo none
1 text fifo
1 zero none
1 text zero
1 folder none
1 text folder
EOF

# --- a full file system: nothing half-written (needs the right to mount) ---
mkdir -p "$work/exports/small"
if mount -t tmpfs -o size=64k tmpfs "$work/exports/small" 2>/dev/null; then
    awk 'BEGIN { printf "Big"; for (i = 0; i < 3000; i++) printf "\n%%\nFortune number %d of the big one.", i }' \
        >"$data/Big"
    printf 'old text\n%%\n' >"$work/exports/small/Big"
    printf 'old index' >"$work/exports/small/Big.dat"
    unchanged 1 fortarc export-fortune --force Big "$work/exports/small"
    [ "$(ls -A "$work/exports/small")" = $'Big\nBig.dat' ] ||
        fail "a failed export left files: $(ls -A "$work/exports/small")"
    rm "$work/exports/small/"*
    awk 'BEGIN { for (i = 0; i < 1500; i++) printf "Entry %d to import\n%%\n", i }' >"$work/exports/many"
    printf 'Small\n%%\nfirst' >"$work/exports/small/Small"
    unchanged 1 fortarc import-fortune "$work/exports/many" "$work/exports/small/Small"
    umount "$work/exports/small"
else
    echo "note: no tmpfs could be mounted; the full file system cases were not run"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
