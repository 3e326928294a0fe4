#!/usr/bin/env bash
# Builds and runs the gallery: a window when a display is available, PNG files otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
if [ ! -f gallery/CMakeLists.txt ]; then
  echo "gallery: not built yet (it arrives with the controls)"; exit 0
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target kel_gallery
exec build/release/gallery/kel_gallery "$@"
