#!/usr/bin/env bash
# Checks that every C++ file of the tree is formatted as .clang-format says.
# Lists the files that are not and exits with 1; formats nothing.
# Usage: tools/check-format.sh [FILE...]   (default: every tracked C++ file)
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}

if [ $# -gt 0 ]; then
    files=("$@")
elif git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.cc' '*.hpp')
else
    mapfile -t files < <(find . -path ./build -prune -o -path ./.local -prune -o \
        -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.cc' -o -name '*.hpp' \) -print)
fi

# One run over all files; its complaints name each file that differs.
if report=$("$format" --dry-run --Werror "${files[@]}" 2>&1); then
    echo "format: ${#files[@]} files as .clang-format says"
    exit 0
fi
listed=$(grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$report" | cut -d: -f1 | sort -u || true)
if [ -n "$listed" ]; then
    echo "Not formatted as .clang-format says (run $format -i on them):" >&2
    sed 's/^/  /' <<<"$listed" >&2
else
    echo "$report" >&2
fi
exit 1
