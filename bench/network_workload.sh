#!/usr/bin/env bash
# Network speed: W2 (a deep Mandel area 3e-7 wide, 640 x 480, MaxIter 5000) rendered by
# vortimax-cli alone and by vortimax-cli render --master with SLAVES slave processes on
# this machine (loopback), best of RUNS runs each (default 3). Prints both calculation
# times and the speed-up of the network render over the one alone.
#
#   bench/network_workload.sh [BUILD_DIR] [RUNS] [SLAVES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
slaves=${3:-2}
cli=$build/src/cli/vortimax-cli
[ -x "$cli" ] || { echo "network_workload.sh: $cli is missing; build first" >&2; exit 2; }
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
w2=(Mandel --size 640x480 --set MaxIter=5000 --quiet
    --set TopLeftR=-0.743644037037151 --set BottomRightR=-0.743643737037151
    --set TopLeftI=0.13182601670533 --set BottomRightI=0.13182579170533)
port=$((20000 + $$ % 20000))

render_ms() { "$cli" render "${w2[@]}" "$@" 2>/dev/null | sed -n 's/.* in \([0-9]*\) ms$/\1/p'; }

networked_ms() {
  # The previous run's log must not say "listening" for this one.
  rm -f "$scratch/master.err"
  "$cli" render "${w2[@]}" --master --port "$port" --slaves "$slaves" -o "$scratch/net.png" \
    >"$scratch/master.out" 2>"$scratch/master.err" &
  local master=$!
  pids=("$master")
  # The master listens once it has read its libraries.
  for _ in $(seq 100); do grep -qs "listening" "$scratch/master.err" && break; sleep 0.05; done
  for ((s = 0; s < slaves; ++s)); do
    "$cli" slave --master 127.0.0.1 --port "$port" 2>/dev/null &
    pids+=("$!")
  done
  wait "$master"
  for pid in "${pids[@]:1}"; do wait "$pid" || true; done
  sed -n 's/.* in \([0-9]*\) ms$/\1/p' "$scratch/master.out"
}

best() { # command...
  local best=""
  for ((i = 0; i < runs; ++i)); do
    local ms
    ms=$("$@")
    [ -n "$ms" ] || { echo "network_workload.sh: no time from $1" >&2; exit 1; }
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

alone=$(best render_ms -o "$scratch/alone.png")
shared=$(best networked_ms)
cmp -s "$scratch/alone.png" "$scratch/net.png" || { echo "network_workload.sh: images differ" >&2; exit 1; }
echo "W2 alone:                  $alone ms"
echo "W2 master + $slaves local slaves: $shared ms"
awk -v a="$alone" -v s="$shared" 'BEGIN { printf "speed-up: %.2f\n", a / s }'
