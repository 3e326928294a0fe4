#!/usr/bin/env bash
# Checks that the gallery form survives a form file: the gallery saves its form, a second run
# reads it back, and both contact sheets must be the same image, byte for byte (the PNG writer
# is deterministic). A deliberately changed file must give a different picture, so the check
# cannot pass by comparing two empty or unrelated images.
# Usage: tools/check-gallery-form.sh [BUILD_DIR]   (default build/release; built if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
if [ ! -x "$build/gallery/kel_gallery" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target kel_gallery
fi
gallery=$build/gallery/kel_gallery
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$gallery" --headless --save-form "$work/gallery.kfm" --out "$work/saved" >/dev/null
"$gallery" --headless --load-form "$work/gallery.kfm" --out "$work/loaded" >/dev/null
if ! cmp -s "$work/saved/contact-sheet.png" "$work/loaded/contact-sheet.png"; then
  echo "check-gallery-form: the form read back looks different from the form saved" >&2
  exit 1
fi
# The control: a changed title must change the picture.
sed '0,/Title = "/s//Title = "changed /' "$work/gallery.kfm" >"$work/changed.kfm"
"$gallery" --headless --load-form "$work/changed.kfm" --out "$work/changed" >/dev/null
if cmp -s "$work/saved/contact-sheet.png" "$work/changed/contact-sheet.png"; then
  echo "check-gallery-form: a changed form file gave the same picture: the check is blind" >&2
  exit 1
fi
items=$(grep -c '^  object TGalleryCell' "$work/gallery.kfm")
echo "check-gallery-form: $items items saved and read back to the same picture"
