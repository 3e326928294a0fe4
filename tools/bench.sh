#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them (all, or those named: tools/bench.sh canvas).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEL_BUILD_BENCH=ON \
  -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_GALLERY=OFF >/dev/null
cmake --build build/bench -j "$(nproc)"
for b in build/bench/bench/bench_*; do
  name=$(basename "$b"); name=${name#bench_}
  if [ $# -eq 0 ] || [[ " $* " == *" $name "* ]]; then
    "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
  fi
done
