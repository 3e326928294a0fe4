#!/usr/bin/env bash
# Installs the library from a configured build folder into a temporary prefix and checks the
# package as a user meets it: find_package(kel 0.2) with kel::kel and kel::sdl builds the window
# example of docs/examples/window, pkg-config finds the library, and an internal header (detail/)
# cannot be included through the installed package.
# Usage: tools/check-package.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: tools/check-package.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

cmake -S docs/examples/window -B "$prefix/window" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$prefix/window" >/dev/null
echo "package: the window example builds against the installed package"

PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --exists 'kel >= 0.2'
echo "package: pkg-config finds kel $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --modversion kel)"

probe="$prefix/probe.cpp"
for h in detail/raster.h detail/font_internal.h raster.h font_internal.h; do
  echo "#include <kel/$h>" >"$probe"
  if c++ -std=c++20 -fsyntax-only -I"$prefix/include" -I"$prefix/include/kel" "$probe" 2>/dev/null; then
    echo "package: the internal header $h is reachable through the installed package" >&2
    exit 1
  fi
done
echo "package: internal headers are not installed"
