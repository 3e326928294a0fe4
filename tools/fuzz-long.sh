#!/usr/bin/env bash
# Long fuzzing run: builds the fuzz targets (clang, libFuzzer, ASan + UBSan) and runs every target
# MINUTES minutes from its corpus in fuzz/corpus/<name>, keeping the new entries it finds there
# (commit them when they add coverage). Prints one line per target: executions, executions per
# second, coverage (libFuzzer's "cov" edges) at the start and the end, corpus size, crashes.
# Usage: tools/fuzz-long.sh MINUTES [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: tools/fuzz-long.sh MINUTES [target...]}
shift
bash tools/setup.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_GALLERY=OFF -DKEL_BUILD_FUZZ=ON -DKEL_WITH_SDL=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc)" >/dev/null

targets=("$@")
if ((${#targets[@]} == 0)); then
  for t in build/fuzz/fuzz/fuzz_*; do [ -x "$t" ] && targets+=("$(basename "$t")"); done
fi
secs=$((minutes * 60))
status=0
printf '%-22s %12s %10s %9s %9s %8s %8s\n' target executions exec/s cov-start cov-end corpus crashes
for name in "${targets[@]}"; do
  corpus="fuzz/corpus/${name#fuzz_}"
  mkdir -p "$corpus"
  log=$(mktemp)
  artifacts=$(mktemp -d)
  rc=0
  "build/fuzz/fuzz/$name" -max_total_time="$secs" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || rc=$?
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  rate=$((execs / (secs > 0 ? secs : 1)))
  cov0=$(grep -m1 -o 'INITED cov: [0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  cov1=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo '?')
  crashes=$(find "$artifacts" -type f | wc -l)
  printf '%-22s %12s %10s %9s %9s %8s %8s\n' "$name" "$execs" "$rate" "$cov0" "$cov1" \
    "$(find "$corpus" -type f | wc -l)" "$crashes"
  if ((rc != 0 || crashes > 0)); then
    status=1
    tail -30 "$log"
    echo "crash inputs kept in $artifacts"
  else
    rm -rf "$artifacts"
  fi
  rm -f "$log"
done
exit $status
