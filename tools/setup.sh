#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing. Safe to run repeatedly.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libfreetype-dev libfontconfig-dev libpng-dev          # text and images
  fonts-dejavu-core fonts-liberation2 fonts-crosextra-carlito  # default face and UI substitutes
  libsdl2-dev xvfb xauth x11-apps netpbm xdotool python3  # window host and its screen test
  libgtest-dev libgmock-dev libbenchmark-dev           # tests and benchmarks
  clang libclang-rt-14-dev                              # sanitizers and libFuzzer
  clang-format clang-tidy ccache                        # style and static checks, build cache
  libcairo2-dev libfccp-dev                             # benchmark peers
  libpugixml-dev                                        # XML exchange format
  libpcre2-dev libutf8proc-dev                          # report list filters and case folding
  libxml2-utils                                         # xmllint checks the XML the tests write
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
