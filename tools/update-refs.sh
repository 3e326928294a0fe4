#!/usr/bin/env bash
# Rewrites every reference image from the current rendering (review the diff before committing).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
KEL_UPDATE_REFS=1 ctest --test-dir build/release -j "$(nproc)" "$@"
