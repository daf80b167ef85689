#!/usr/bin/env bash
# Runs every Google Benchmark program of bench/ (each bench/NAME_bench.cpp builds
# build/bench/NAME_bench) once, briefly, to show that it still starts, runs every case and
# ends cleanly. Fails when a program is missing, crashes, exits non-zero or reports an
# error from a case. The timings are not looked at.
#
#   bash bench/smoke.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

failed=0
start=$SECONDS
for source in bench/*_bench.cpp; do
  name=$(basename "$source" .cpp)
  program=$build/bench/$name
  if [ ! -x "$program" ]; then
    echo "bench smoke: $program is missing" >&2
    failed=1
    continue
  fi
  output=$(mktemp)
  if ! "$program" --benchmark_min_time=0.01 --benchmark_repetitions=1 \
      --benchmark_format=json >"$output" 2>&1; then
    echo "bench smoke: $name failed" >&2
    tail -n 20 "$output" >&2
    failed=1
  elif grep '"error_message"' "$output" | grep -vq 'path not available on this processor'; then
    # A case for a vector path this processor lacks skips itself; any other error fails.
    echo "bench smoke: $name reported an error" >&2
    grep '"error_message"' "$output" >&2
    failed=1
  else
    echo "bench smoke: $name ran $(grep -c '"run_name"' "$output") cases"
  fi
  rm -f "$output"
done
echo "bench smoke: $((SECONDS - start)) s"
exit "$failed"
