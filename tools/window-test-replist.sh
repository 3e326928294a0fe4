#!/usr/bin/env bash
# Shows the gallery in a real window on a virtual X display (Xvfb) and clicks, with real X
# input, the column header "Used" of the report list view twice: the first click must sort that
# column descending, the second ascending (the gallery's --log-input echo reports each sort).
# Then Esc closes the gallery, which exits with 0.
# Usage: tools/window-test-replist.sh [BUILD_DIR]   (default build/release; the gallery must be
# built there with the SDL host). Leaves the logs in BUILD_DIR/window-test-replist/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
exe=$build/gallery/kel_gallery
out=$build/window-test-replist
for tool in Xvfb xwd xdotool; do
  command -v "$tool" >/dev/null || { echo "window-test-replist: $tool missing (run tools/setup.sh)"; exit 1; }
done
[ -x "$exe" ] || { echo "window-test-replist: $exe is not built"; exit 1; }
[ -f "$build/libkel_sdl.so" ] || [ -f "$build/libkel_sdl.a" ] || { echo "window-test-replist: $build has no SDL host"; exit 1; }
rm -rf "$out"; mkdir -p "$out"

# A virtual display, stopped with the gallery when the script exits.
source tools/xvfb-common.sh
kel_start_xvfb "window-test-replist" "$out"

KEL_HEADLESS=0 "$exe" --quit-after 60000 --log-input >"$out/gallery.log" 2>&1 &
gallery=$!
for _ in $(seq 150); do
  grep -q 'item "TReportListView"' "$out/gallery.log" && break
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
read -r vx vy page < <(sed -n 's/.*item "TReportListView" at \([-0-9]*\),\([-0-9]*\) size.* on page \([0-9]*\).*/\1 \2 \3/p' "$out/gallery.log") || true
if [ -z "${vx:-}" ]; then
  cat "$out/gallery.log"; echo "window-test-replist: the gallery did not report the report list"; exit 1
fi
sleep 1
# The gallery opens on its first page; Ctrl+Tab (with the pointer over the window, which has
# the keyboard without a window manager) turns to the report list's page.
xdotool mousemove 200 10
for _ in $(seq 2 "${page:-1}"); do xdotool key ctrl+Tab; sleep 0.3; done

# The header of column 2: frame 2, column 1 is 90 pixels plus its line; the common header row
# (20 + 1) lies above the column header row.
hx=$((vx + 2 + 91 + 30))
hy=$((vy + 2 + 21 + 10))
xdotool mousemove "$hx" "$hy" click 1
sleep 0.5
xdotool mousemove "$hx" "$hy" click 1
sleep 0.5
xdotool key Escape
status=0
for _ in $(seq 100); do
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
wait "$gallery" || status=$?
gallery=""
[ "$status" -eq 0 ] || { cat "$out/gallery.log"; echo "window-test-replist: the gallery exited with $status"; exit 1; }

sorts=$(grep -E '^replist: change, sorted by' "$out/gallery.log" | uniq)
expected=$'replist: change, sorted by 2 descending\nreplist: change, sorted by 2 ascending'
if [ "$sorts" != "$expected" ]; then
  cat "$out/gallery.log"
  echo "window-test-replist: FAILED: expected the header clicks to sort column 2 descending, then ascending"
  exit 1
fi
echo "window-test-replist: passed (header clicks sorted column 2 descending, then ascending)"
