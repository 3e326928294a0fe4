#!/usr/bin/env bash
# Rewrites every reference image from the current rendering (review the diff before committing),
# then writes docs/img/reference-images.png: every reference image (tests/*/ref/*.png) on one
# contact sheet under its name, so a person reviews them all in one look.
# Arguments go to ctest (-R pattern, say); with --sheet-only only the contact sheet is written.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
if [[ "${1:-}" == "--sheet-only" ]]; then
    shift
    cmake --build build/release -j "$(nproc)" --target kel_contact_sheet
else
    cmake --build build/release -j "$(nproc)"
    KEL_UPDATE_REFS=1 ctest --test-dir build/release -j "$(nproc)" "$@"
fi
mapfile -t refs < <(find tests -path '*/ref/*.png' | LC_ALL=C sort)
build/release/tools/kel_contact_sheet docs/img/reference-images.png tests "${refs[@]}"
