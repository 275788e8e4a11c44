#!/bin/sh
# Builds an optimised, unsanitised configuration in build/bench, times every hook
# sequence against its floor with Google Benchmark, and counts instructions per
# sequence with callgrind. Prints both tables with the ratios.
#   bench/run.sh [google benchmark options]
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
count=${BENCH_COUNT:-20000}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHL_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target hook_bench hook_counts >/dev/null

echo "machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores"
echo
"$build/bin/hook_bench" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_color=false "$@"

if ! command -v valgrind >/dev/null 2>&1; then
    echo "valgrind not found: no instruction counts"
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# Instructions executed inside MeasuredLoop, per sequence.
per_call() {
    valgrind --tool=callgrind --collect-atstart=no --toggle-collect=MeasuredLoop \
        --callgrind-out-file="$work/$1.out" "$build/bin/hook_counts" "$1" "$count" \
        >"$work/$1.log" 2>&1 || { cat "$work/$1.log" >&2; exit 1; }
    awk -v n="$count" '/^(summary|totals):/ { print $2 / n; exit }' "$work/$1.out"
}

echo
echo "Instructions per sequence (callgrind, $count runs each)"
printf '%-42s %10s %10s %8s %8s\n' "case" "measured" "floor" "ratio" "extra"
row() {
    measured=$(per_call "$2")
    floor=$(per_call "$3")
    awk -v l="$1" -v m="$measured" -v f="$floor" \
        'BEGIN { printf "%-42s %10.1f %10.1f %7.2fx %8.1f\n", l, m, f, m / f, m - f }'
}
row "1  kestrum_mm: message not captured" kestrum_other_message floor_kestrum_other_message
row "2  kestrum_mm: CurWeapon that pushes" kestrum_curweapon_push floor_kestrum_curweapon
row "3  kestrum_mm: AmmoX, nothing changes" kestrum_ammox_unchanged floor_kestrum_ammox
row "4a hopwick_mm: PlayerPostThink, not due" hopwick_postthink_not_due floor_hopwick_postthink
row "4b hopwick_mm: message other than SetFOV" hopwick_other_message floor_hopwick_other_message
