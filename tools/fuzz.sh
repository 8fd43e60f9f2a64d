#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UBSan, and runs
# each for the given number of seconds (default 60) from the seed corpus in
# tests/fuzz/corpus. Finds go to build-fuzz/findings/; new corpus entries stay
# in build-fuzz/corpus/ and never touch the repository's seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

seconds=${1:-60}
ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELLARO_FUZZ=ON -DPELLARO_SANITIZE=ON \
    -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target level_fuzzer bitmap_fuzzer >/dev/null

status=0
for name in level bitmap; do
    corpus=$PWD/build-fuzz/corpus/$name
    findings=$PWD/build-fuzz/findings/$name
    mkdir -p "$corpus" "$findings"
    cp -n tests/fuzz/corpus/$name/* "$corpus"/ 2>/dev/null || true
    log=build-fuzz/$name.log
    echo "fuzzing ${name}_fuzzer for ${seconds}s"
    # A bitmap may ask for more memory than there is: the real allocator then
    # returns null and SDL fails the load, so let ASan's allocator do the same.
    if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
        build-fuzz/tests/fuzz/${name}_fuzzer -max_total_time="$seconds" -max_len=4096 \
        -timeout=10 -rss_limit_mb=4096 -malloc_limit_mb=65536 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^Done' "$log" | sed "s/^/  /"
    else
        status=1
        echo "  ${name}_fuzzer failed; the input is in $findings:" >&2
        tail -n 40 "$log" >&2
    fi
done
exit $status
