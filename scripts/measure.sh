#!/usr/bin/env bash
# Measures the tool on a full-size text-like image: instructions per region
# byte for the whole run (callgrind, start-up included) and the wall time of
# the whole process as a ratio to `cat` of the same image (median of RUNS).
# Usage: bash scripts/measure.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-21}
region_bytes=1348798

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" -j2 --target n64zirelcnv zirel_mkimage bench_decode > /dev/null
tool=$(realpath "$build/n64zirelcnv")
mkimage=$(realpath "$build/tools/zirel_mkimage")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$mkimage" text-image rom.z64 1
"$mkimage" bench-table zirel.tbl

# Instructions, from a run under callgrind.
valgrind --tool=callgrind --callgrind-out-file=callgrind.out "$tool" rom.z64 \
  > out.txt 2> callgrind.log
total=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' callgrind.log)
echo "instructions: $total in all, $(awk -v t="$total" -v r="$region_bytes" \
  'BEGIN { printf "%.2f", t / r }') per region byte"

# Wall time of whole processes, in microseconds, median of $runs each; the
# clock is the shell's own, so no process is started to read it.
median_us() {
  local samples=()
  for ((i = 0; i < runs; i++)); do
    local t0=${EPOCHREALTIME/[.,]/}
    "$@" > /dev/null
    local t1=${EPOCHREALTIME/[.,]/}
    samples+=($((t1 - t0)))
  done
  printf '%s\n' "${samples[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}
"$tool" rom.z64 > /dev/null  # warm the page cache
tool_us=$(median_us "$tool" rom.z64)
cat_us=$(median_us cat rom.z64)
awk -v t="$tool_us" -v c="$cat_us" -v n="$runs" 'BEGIN {
  printf "wall time (median of %d): tool %.2f ms, cat %.2f ms, ratio %.2f\n",
         n, t / 1e3, c / 1e3, t / c }'
echo "output: $(wc -c < out.txt) bytes"
