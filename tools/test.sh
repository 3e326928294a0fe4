#!/usr/bin/env bash
# Builds and runs every test: the format check, the release build with warnings as errors (the
# library, tests, benches, gallery and tools from one configure), its tests, the window tests,
# the installed-package check and clang-tidy; then the AddressSanitizer and
# UndefinedBehaviorSanitizer build with every test, then a short smoke run of every fuzz target.
# Usage: tools/test.sh [--quick]   (--quick: format check, release build and tests only)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash tools/setup.sh

# ccache, where installed, makes a rebuild of unchanged sources cheap (paths relative to the
# checkout, so clones in other folders share the cache).
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

quick=0
[ "${1:-}" = "--quick" ] && quick=1

echo "== format check =="
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
else
  find framework foundation numeric gauges replist tabed widgets gallery tests bench fuzz tools \
    -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs clang-format --dry-run -Werror
fi

echo "== release build =="
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEL_BUILD_TESTS=ON \
  -DKEL_BUILD_BENCH=ON -DKEL_BUILD_GALLERY=ON -DKEL_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"
bash tools/window-test.sh build/release
bash tools/window-test-replist.sh build/release
bash tools/window-test-modal.sh build/release
bash tools/window-test-colordialog.sh build/release
bash tools/window-test-popup.sh build/release
bash tools/check-gallery-form.sh build/release
bash tools/check-package.sh build/release
((quick)) && exit 0

echo "== clang-tidy =="
run-clang-tidy -p build/release -j "$jobs" -quiet \
  "$root/(framework|foundation|numeric|gauges|replist|tabed|widgets)/" >build/clang-tidy.log 2>&1 || {
  grep -E "(warning|error):" build/clang-tidy.log | sort -u | head -50
  echo "clang-tidy found problems (full log: build/clang-tidy.log)"
  exit 1
}

echo "== sanitizer build (ASan + UBSan) =="
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKEL_SANITIZE=ON \
  -DKEL_BUILD_GALLERY=OFF -DCMAKE_CXX_FLAGS="-O1" "${launcher[@]}" >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

if ls fuzz/*.cpp >/dev/null 2>&1; then
  echo "== fuzz smoke =="
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_GALLERY=OFF -DKEL_BUILD_FUZZ=ON -DKEL_WITH_SDL=OFF \
    "${launcher[@]}" >/dev/null
  cmake --build build/fuzz -j "$jobs"
  bash tools/fuzz-smoke.sh build/fuzz 10
fi
echo "all tests passed"
