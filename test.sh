#!/usr/bin/env bash
# Installs what the build needs, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
zrv_require_packages "${ZRV_BUILD_PACKAGES[@]}" "${ZRV_TEST_PACKAGES[@]}"

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZRV_SANITIZE=ON -DZRV_BUILD_TESTS=ON
cmake --build "$build"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j2

# A short differential fuzz run of the archive reader (clang's libFuzzer).
fuzz=build/fuzz
cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DZRV_BUILD_FUZZ=ON -DZRV_BUILD_TESTS=OFF -DZRV_BUILD_EDITOR=OFF
cmake --build "$fuzz" --target fuzz_engine_scanner
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/engine/corpus/* "$corpus"
"$fuzz/fuzz/engine/fuzz_engine_scanner" -max_total_time=45 -max_len=4096 -print_final_stats=1 "$corpus"

# fortarc's fortune(6) files: entries written again read back the same.
cmake --build "$fuzz" --target fuzz_fortarc_fortunefile
fortunes=$(mktemp -d)
trap 'rm -rf "$corpus" "$fortunes"' EXIT
cp fuzz/fortarc/corpus/* "$fortunes"
"$fuzz/fuzz/fortarc/fuzz_fortarc_fortunefile" -max_total_time=20 -max_len=4096 -print_final_stats=1 "$fortunes"

# The same for the clipboard text splitter of the editor.
cmake --build "$fuzz" --target fuzz_editor_clipboard
clipboard_corpus=$(mktemp -d "$corpus/clipboard-XXXXXX")
cp fuzz/editor/corpus/* "$clipboard_corpus"
"$fuzz/fuzz/editor/fuzz_editor_clipboard" -max_total_time=30 -max_len=4096 -print_final_stats=1 "$clipboard_corpus"

bash tests/package/PackageTest.sh
