#!/usr/bin/env bash
# Whole-program speed: renders the fixed workloads through vortimax-cli render and sets
# the calculation time it reports beside the plain scalar loop (bench/scalar_baseline) on
# the same area and beside the machine's arithmetic ceiling for as many steps on as many
# threads (bench/arithmetic_ceiling), both run in the same go. Best of RUNS runs each
# (default 3).
#
#   bench/workloads.sh [BUILD_DIR] [RUNS]
#
#   W1   Mandel, the default area, 1024 x 768, MaxIter 1000
#   W2   a deep Mandel area 3e-7 wide, 640 x 480, MaxIter 5000
#   W2f  W2 as a Formula fractal (the starter formula "Basic", z = z^2 + pixel)
#   W2t1 W2 on one thread (the others use every hardware thread)
#
# "speed-up" is scalar over program; "of ceiling" is the ceiling's time over the program's:
# the share of the machine's arithmetic speed the render reaches.
# Then the ratios the targets are stated in: W2 against W2t1 (thread scaling) and W2f
# against W2 (the formula evaluator against the built-in kernel).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
cli=$build/src/cli/vortimax-cli
baseline=$build/bench/scalar_baseline
ceiling=$build/bench/arithmetic_ceiling
for program in "$cli" "$baseline" "$ceiling"; do
  [ -x "$program" ] || { echo "workloads.sh: $program is missing; build first" >&2; exit 2; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

w2_area=(--set TopLeftR=-0.743644037037151 --set BottomRightR=-0.743643737037151
         --set TopLeftI=0.13182601670533 --set BottomRightI=0.13182579170533)

# Best (least) of the runs of a command whose output holds "... in N ms".
best_ms() {
  local best=""
  for ((i = 0; i < runs; ++i)); do
    local ms
    ms=$("$@" 2>/dev/null | sed -n 's/.* in \([0-9]*\) ms$/\1/p' | tail -1)
    [ -n "$ms" ] || { echo "workloads.sh: no time from: $*" >&2; exit 1; }
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

iterations() { "$baseline" "$@" | sed -n 's/^\([0-9]*\) iterations.*/\1/p'; }

row() { # name, baseline arguments, ceiling threads (empty: all), render arguments...
  local name=$1 base=$2 threads=$3
  shift 3
  local count base_ms ref_ms ms
  count=$(iterations $base)
  base_ms=$(best_ms "$baseline" $base)
  ref_ms=$(best_ms "$ceiling" "$count" $threads)
  ms=$(best_ms "$cli" render "$@" -o "$scratch/$name.png")
  program_ms[$name]=$ms
  awk -v n="$name" -v c="$count" -v b="$base_ms" -v r="$ref_ms" -v m="$ms" 'BEGIN {
    b = (b < 1 ? 1 : b); r = (r < 1 ? 1 : r); m = (m < 1 ? 1 : m);
    printf "%-5s %12d %10d %10d %10d %9.2f %9.2f %9.2fx %9.0f%%\n",
      n, c, b, r, m, c / b / 1e6, c / m / 1e6, b / m, 100 * r / m }'
}

declare -A program_ms
printf "%-5s %12s %10s %10s %10s %9s %9s %10s %10s\n" workload iterations "scalar ms" \
  "ceiling ms" "program ms" "scalar G/s" "program G/s" "speed-up" "of ceiling"
w1_base="1024 768 1000 -2.1 0.7 1.35 -1.35"
w2_base="640 480 5000 -0.743644037037151 -0.743643737037151 0.13182601670533 0.13182579170533"
row W1 "$w1_base" "" Mandel --size 1024x768 --set MaxIter=1000
row W2 "$w2_base" "" Mandel --size 640x480 --set MaxIter=5000 "${w2_area[@]}"
row W2f "$w2_base" "" \
  Formula --size 640x480 --set FormulaName=Basic --set MaxIter=5000 "${w2_area[@]}"
row W2t1 "$w2_base" 1 Mandel --size 640x480 --set MaxIter=5000 "${w2_area[@]}" --threads 1
awk -v w2="${program_ms[W2]}" -v t1="${program_ms[W2t1]}" -v f="${program_ms[W2f]}" 'BEGIN {
  w2 = (w2 < 1 ? 1 : w2);
  printf "threads: W2t1 / W2 = %.2fx    formula: W2f / W2 = %.2fx\n", t1 / w2, f / w2 }'
