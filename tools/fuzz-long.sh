#!/usr/bin/env bash
# Long fuzzing run: builds the fuzz targets (clang, libFuzzer, ASan + UBSan) and runs every target
# MINUTES minutes from its corpus in fuzz/corpus/<name>, keeping the new entries it finds there
# (commit them when they add coverage). Prints one line per target: executions, executions per
# second, coverage (libFuzzer's "cov" edges) at the start and the end, corpus size, crashes.
# Usage: tools/fuzz-long.sh MINUTES [target...]
# MINUTES may be a fraction (0.5 runs 30 s). Environment: JOBS (build jobs, default: all
# cores), KEL_FUZZ_NOSETUP=1 skips tools/setup.sh, KEL_FUZZ_PARALLEL=N runs N targets at a time
# (each on one core; the figures are per target). fuzz/<target>.flags, where present, holds
# extra libFuzzer flags for that target (one line).
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: tools/fuzz-long.sh MINUTES [target...]}
shift
[ "${KEL_FUZZ_NOSETUP:-0}" = 1 ] || bash tools/setup.sh
# Its own build directory, optimised (-O1, assertions kept): unoptimised instrumented code runs
# several times slower, and a long run is about executions. build/fuzz stays the smoke build.
CC=clang CXX=clang++ cmake -S . -B build/fuzz-long -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_GALLERY=OFF -DKEL_BUILD_FUZZ=ON -DKEL_WITH_SDL=OFF >/dev/null
cmake --build build/fuzz-long -j "${JOBS:-$(nproc)}" >/dev/null

targets=("$@")
if ((${#targets[@]} == 0)); then
  for t in build/fuzz-long/fuzz/fuzz_*; do [ -x "$t" ] && targets+=("$(basename "$t")"); done
fi
secs=$(awk -v m="$minutes" 'BEGIN { s = int(m * 60 + 0.5); print (s < 1 ? 1 : s) }')
parallel=${KEL_FUZZ_PARALLEL:-1}
results=$(mktemp -d)

# Runs one target and writes its line (and on failure the log's tail) to $results/<name>.
run_one() {
  local name=$1 corpus="fuzz/corpus/${1#fuzz_}" log artifacts rc=0
  mkdir -p "$corpus"
  log=$(mktemp)
  artifacts=$(mktemp -d)
  local start=$SECONDS
  local flags=()
  [ -f "fuzz/$name.flags" ] && read -r -a flags <"fuzz/$name.flags"
  "build/fuzz-long/fuzz/$name" -max_total_time="$secs" -max_len=4096 -print_final_stats=1 \
    "${flags[@]}" -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || rc=$?
  local took=$((SECONDS - start))
  local execs rate cov0 cov1 crashes
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' ||
    echo $((execs / (took > 0 ? took : 1))))
  cov0=$(grep -m1 -o 'INITED cov: [0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  cov1=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo '?')
  crashes=$(find "$artifacts" -type f | wc -l)
  printf '%-22s %12s %10s %9s %9s %8s %8s\n' "$name" "$execs" "$rate" "$cov0" "$cov1" \
    "$(find "$corpus" -type f | wc -l)" "$crashes" >"$results/$name"
  if ((rc != 0 || crashes > 0)); then
    tail -30 "$log" >>"$results/$name"
    echo "crash inputs kept in $artifacts" >>"$results/$name"
    touch "$results/$name.failed"
  else
    rm -rf "$artifacts"
  fi
  rm -f "$log"
}

printf '%-22s %12s %10s %9s %9s %8s %8s\n' target executions exec/s cov-start cov-end corpus crashes
running=0
for name in "${targets[@]}"; do
  run_one "$name" &
  running=$((running + 1))
  if ((running >= parallel)); then
    wait -n || true
    running=$((running - 1))
  fi
done
wait || true
status=0
for name in "${targets[@]}"; do
  cat "$results/$name"
  if [ -e "$results/$name.failed" ]; then status=1; fi
done
rm -rf "$results"
exit $status
