#!/usr/bin/env bash
# Measures the game and prints a table: the cost of a frame's own work, the
# instructions it takes, the real frame period in a window, the start-up time
# and the peak memory. Timings are medians over repeated runs.
#
#     bash bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${WINDOW_TEST_PACKAGES[@]}" valgrind

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target stage pellaro_bench >/dev/null
bench=$(readlink -f build-bench/bench/pellaro_bench)

work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT

# The shipped levels, and the fullest wall there can be: 11 rows of 13 bricks.
mkdir "$work/data" "$work/full"
cp build-bench/run/* "$work/data/"
cp build-bench/run/* "$work/full/"
{
    echo "Full wall"
    echo 11
    for _ in $(seq 11); do echo 8888888888888; done
    echo 0
} >"$work/full/level1.txt"

runs=5
frames=3000

# The median of one "name value" line over the files given.
median_of() {
    local name=$1
    shift
    awk -v name="$name" '$1 == name { print $2 }' "$@" | sort -g |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

measure_work() {
    local dir=$1
    for run in $(seq $runs); do
        (cd "$work/$dir" && SDL_VIDEODRIVER=dummy "$bench" work $frames >/dev/null \
            2>"$work/$dir.work.$run")
    done
}

instructions_per_frame() {
    local dir=$1 short=200 long=1200 a b
    for n in $short $long; do
        (cd "$work/$dir" && SDL_VIDEODRIVER=dummy valgrind --tool=callgrind \
            --callgrind-out-file="$work/$dir.cg.$n" "$bench" work $n >/dev/null 2>&1)
    done
    a=$(awk '/^summary:/ { print $2 }' "$work/$dir.cg.$short")
    b=$(awk '/^summary:/ { print $2 }' "$work/$dir.cg.$long")
    echo $(((b - a) / (long - short)))
}

echo "measuring frame work, headless ($runs runs of $frames frames each)..." >&2
measure_work full
measure_work data
echo "counting instructions with callgrind..." >&2
full_ir=$(instructions_per_frame full)
data_ir=$(instructions_per_frame data)

echo "measuring the frame period in a window on Xvfb ($runs runs of 600 frames)..." >&2
source tools/xvfb.sh
start_xvfb "$work"
xvfb=$XVFB_PID
for run in $(seq $runs); do
    if ! (cd "$work/data" && SDL_VIDEODRIVER=x11 \
        PELLARO_BENCH_START_NS=$(date +%s%N) "$bench" period 600 \
        >"$work/period.$run.out" 2>"$work/period.$run"); then
        echo "run $run on display $DISPLAY" >&2
        cat "$work/period.$run.out" "$work/period.$run" "$work/xvfb.log" >&2
        exit 1
    fi
done

row() { printf '| %-44s | %12s | %-22s |\n' "$1" "$2" "$3"; }
share() { awk -v us="$1" 'BEGIN { printf "%.2f %%", us / 200 }'; }
ratio() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 20000 }'; }

full_p50=$(median_of work_median_us "$work"/full.work.*)
full_p99=$(median_of work_p99_us "$work"/full.work.*)
data_p50=$(median_of work_median_us "$work"/data.work.*)
data_p99=$(median_of work_p99_us "$work"/data.work.*)
period_p50=$(median_of period_median_us "$work"/period.*)
period_p99=$(median_of period_p99_us "$work"/period.*)
startup=$(median_of startup_ms "$work"/period.*)
rss=$(median_of peak_rss_kb "$work"/period.*)
allocations=$(median_of allocations_median "$work"/data.work.*)
allocations_max=$(median_of allocations_max "$work"/data.work.*)

echo
row "measure" "value" "target"
row "---" "---:" "---"
row "frame work, 143-brick wall, median" "$full_p50 us" ""
row "frame work, 143-brick wall, 99th percentile" "$full_p99 us" "<= 500 us"
row "  as a share of the 20 ms frame" "$(share "$full_p99")" "<= 2.5 %"
row "frame work, shipped levels, median" "$data_p50 us" ""
row "frame work, shipped levels, 99th percentile" "$data_p99 us" "<= 500 us"
row "  as a share of the 20 ms frame" "$(share "$data_p99")" "<= 2.5 %"
row "instructions per frame, 143-brick wall" "$full_ir" ""
row "instructions per frame, shipped levels" "$data_ir" ""
row "operator new calls per frame, median / max" "$allocations / $allocations_max" "the two texts only"
row "frame period in a window, median" "$period_p50 us" ""
row "  ratio to 20 ms" "$(ratio "$period_p50")" "<= 1.05"
row "frame period in a window, 99th percentile" "$period_p99 us" ""
row "  ratio to 20 ms" "$(ratio "$period_p99")" ""
row "start-up, process start to first flip" "$startup ms" "< 150 ms"
row "peak resident memory, in a window" "$rss kB" ""
