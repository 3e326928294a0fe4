#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them (all, or those named: tools/bench.sh canvas).
#   tools/bench.sh --summary [NAME...]  runs only the benches that carry a goal (listed in
#                                       bench/goals.txt) and prints one table: figure, measured
#                                       ratio, goal and verdict (tools/bench_summary.py).
# KEL_BENCH_REPS sets the repetitions (5 by default; figures are medians of them).
set -euo pipefail
cd "$(dirname "$0")/.."
summary=0
if [ "${1:-}" = "--summary" ]; then
  summary=1
  shift
fi
reps=${KEL_BENCH_REPS:-5}
bash tools/setup.sh
# Compiled through ccache where installed, as tools/test.sh does.
launcher=()
command -v ccache >/dev/null 2>&1 &&
  export CCACHE_BASEDIR="$PWD" && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEL_BUILD_BENCH=ON \
  -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_GALLERY=OFF "${launcher[@]}" >/dev/null
cmake --build build/bench -j "$(nproc)"
if ((summary)); then
  only=()
  (($#)) && only=(--only "$@")
  exec python3 tools/bench_summary.py build/bench/bench --reps "$reps" "${only[@]}"
fi
for b in build/bench/bench/bench_*; do
  name=$(basename "$b"); name=${name#bench_}
  if [ $# -eq 0 ] || [[ " $* " == *" $name "* ]]; then
    "$b" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true
  fi
done
