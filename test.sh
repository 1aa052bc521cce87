#!/usr/bin/env bash
# Installs what the build needs, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test; then builds and briefly runs
# every fuzz target, builds every benchmark and checks the formatting.
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

# Every fuzz target (clang's libFuzzer), each run briefly on a copy of its
# corpus: fuzz/<part>/corpus/<target>/ or else fuzz/<part>/corpus/. The seed
# is fixed, so a fault found here is found again by the same command; longer
# runs with other seeds belong to development, not to every build.
fuzz=build/fuzz
cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DZRV_BUILD_FUZZ=ON -DZRV_BUILD_TESTS=OFF -DZRV_BUILD_EDITOR=OFF
cmake --build "$fuzz"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fuzz_seconds=${ZRV_FUZZ_SECONDS:-25}
fuzz_seed=${ZRV_FUZZ_SEED:-1}
mapfile -t targets < <(find "$fuzz/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets were built" >&2; exit 1; }
for target in "${targets[@]}"; do
    name=$(basename "$target")
    part=$(dirname "${target#"$fuzz"/}")
    corpus=$scratch/$name
    mkdir -p "$corpus"
    for seeds in "$part/corpus/$name" "$part/corpus"; do
        if [ -d "$seeds" ]; then
            find "$seeds" -maxdepth 1 -type f -exec cp -t "$corpus" {} +
            break
        fi
    done
    log=$scratch/$name.log
    if ! "$target" -seed="$fuzz_seed" -max_total_time="$fuzz_seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$fuzz/$name-" "$corpus" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "FAILED: $name found a fault; the input is kept in $fuzz" >&2
        exit 1
    fi
    echo "$name: $(grep -m1 '^Done' "$log")"
done

# Every benchmark is built (not run) so none falls behind the code; some use
# the tests' helpers, so the test libraries are configured too.
bench=build/bench
cmake -S . -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZRV_BUILD_BENCH=ON -DZRV_BUILD_TESTS=ON
cmake --build "$bench" --target bench/all

tools/check-format.sh

bash tests/package/PackageTest.sh
