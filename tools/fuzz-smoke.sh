#!/usr/bin/env bash
# Runs every fuzz target in build dir $1 for $2 seconds each, from its seed corpus in fuzz/corpus
# (with the extra libFuzzer flags of fuzz/<target>.flags, where present).
set -euo pipefail
dir=$1; secs=${2:-20}
for t in "$dir"/fuzz/fuzz_*; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  corpus="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "fuzz: $name for ${secs}s"
  flags=()
  [ -f "fuzz/$name.flags" ] && read -r -a flags <"fuzz/$name.flags"
  "$t" -max_total_time="$secs" -max_len=4096 "${flags[@]}" "$work" >"$work.log" 2>&1 || { tail -40 "$work.log"; exit 1; }
  rm -rf "$work" "$work.log"
done
