#!/usr/bin/env bash
# Shows the gallery in a real window on a virtual X display (Xvfb) and drives its colour dialog
# with real X input: a click on the "TColorDialog" swatch opens the dialog ("Color") as a window
# of its own; Esc cancels it (the gallery logs "cancelled" and the swatch keeps its colour); the
# second time a click on a basic colour cell (placed from the dialog's layout, relative to the
# dialog window) and Enter confirm it (the gallery logs "OK" with that colour, once, and the
# swatch shows it). Then Esc closes the gallery, which exits with 0.
# Usage: tools/window-test-colordialog.sh [BUILD_DIR]   (default build/release; the gallery must
# be built there with the SDL host). Leaves the logs in BUILD_DIR/window-test-colordialog/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
exe=$build/gallery/kel_gallery
out=$build/window-test-colordialog
name=window-test-colordialog
for tool in Xvfb xwd xwdtopnm xdotool python3; do
  command -v "$tool" >/dev/null || { echo "$name: $tool missing (run tools/setup.sh)"; exit 1; }
done
[ -x "$exe" ] || { echo "$name: $exe is not built"; exit 1; }
rm -rf "$out"; mkdir -p "$out"

# A virtual display, stopped with the gallery when the script exits.
source tools/xvfb-common.sh
kel_start_xvfb "$name" "$out"

fail() { cat "$out/gallery.log"; echo "$name: FAILED: $*"; exit 1; }

KEL_HEADLESS=0 "$exe" --quit-after 60000 --log-input >"$out/gallery.log" 2>&1 &
gallery=$!
for _ in $(seq 150); do
  grep -q 'item "TColorDialog"' "$out/gallery.log" && break
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
read -r sx sy < <(sed -n 's/.*item "TColorDialog" at \([-0-9]*\),\([-0-9]*\) size.*/\1 \2/p' "$out/gallery.log") || true
[ -n "${sx:-}" ] || fail "the gallery did not report the TColorDialog item"
sleep 1

# The swatch's colour, read from a capture of the screen: the demo fills a rectangle inset 4
# pixels into its 190x70 box, so 95,24 lies inside it.
swatch() {
  xwd -root -silent >"$out/screen.xwd"
  xwdtopnm "$out/screen.xwd" 2>/dev/null >"$out/screen.ppm"
  python3 - "$out/screen.ppm" $((sx + 95)) $((sy + 24)) <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
fields, pos = [], 0
while len(fields) < 4:  # magic, width, height, maxval, separated by white space
    while data[pos:pos + 1].isspace(): pos += 1
    end = pos
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[pos:end]); pos = end
pos += 1
w, maxval = int(fields[1]), int(fields[3])
size = 2 if maxval > 255 else 1
x, y = int(sys.argv[2]), int(sys.argv[3])
at = pos + (y * w + x) * 3 * size
rgb = [int.from_bytes(data[at + i * size:at + (i + 1) * size], 'big') * 255 // maxval for i in range(3)]
print('%02X%02X%02X' % tuple(rgb))
PY
}

# Opens the dialog with a click on the swatch; sets $dialog to its window and $dx,$dy to its
# position on the screen.
open_dialog() {
  xdotool mousemove $((sx + 95)) $((sy + 24)) click 1
  dialog=""
  for _ in $(seq 50); do
    dialog=$(xdotool search --onlyvisible --name '^Color$' 2>/dev/null | tail -n 1) && [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || fail "no dialog window \"Color\" opened"
  sleep 0.5
  read -r dx dy < <(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Position: \([-0-9]*\),\([-0-9]*\).*/\1 \2/p') || true
  [ -n "${dx:-}" ] || fail "no position for the dialog window"
  # Real key input goes to the window with the X focus (no window manager runs here).
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
}

# Waits until the gallery's log holds $1 (grep pattern) and the dialog window is gone.
await_close() {
  for _ in $(seq 50); do
    grep -q "$1" "$out/gallery.log" && break
    sleep 0.1
  done
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Color$' >/dev/null 2>&1 || break
    sleep 0.1
  done
  sleep 0.5
}

before=$(swatch)
[ "$before" = 2080C0 ] || fail "the swatch shows $before before the dialog, not the start colour 2080C0"

# 1. Esc cancels: "cancelled" is logged and the swatch keeps its colour.
open_dialog
xdotool key Escape
await_close 'TColorDialog: cancelled'
grep -q 'TColorDialog: cancelled' "$out/gallery.log" || fail "Esc did not cancel the dialog"
xdotool search --onlyvisible --name '^Color$' >/dev/null 2>&1 && fail "the dialog stayed open after Esc"
after=$(swatch)
[ "$after" = "$before" ] || fail "the swatch changed from $before to $after after a cancelled dialog"

# 2. A click on a basic colour and Enter confirm it. The basic colours fill a 200x132 grid at
#    8,24 in the dialog's client area, 8 columns x 6 rows of 25x22 cells; cell 5 (row 1,
#    column 6) is RGB(0,128,255), which the gallery logs as the colour value $00BBGGRR, FF8000.
open_dialog
col=5; row=0
xdotool mousemove $((dx + 8 + col * 25 + 12)) $((dy + 24 + row * 22 + 11)) click 1
sleep 0.3
xdotool key Return
await_close 'TColorDialog: OK'
[ "$(grep -c 'TColorDialog: OK' "$out/gallery.log")" -eq 1 ] || fail "expected one confirmed dialog"
grep -q 'TColorDialog: OK FF8000$' "$out/gallery.log" || fail "expected \"TColorDialog: OK FF8000\" (RGB 0,128,255)"
picked=""
for _ in $(seq 20); do
  picked=$(swatch)
  [ "$picked" = 0080FF ] && break
  sleep 0.1
done
[ "$picked" = 0080FF ] || fail "the swatch shows $picked after OK, not the picked colour 0080FF"

# 3. Esc closes the gallery, which exits with 0. The X focus went with the dialog's window, so
#    give it back to the gallery first; the gallery must be gone well before its own 60 s
#    --quit-after would close it. (This step found the window host ending, now and then, on an
#    X error: BadWindow for SDL's wake-up message to the closed dialog's window.)
main=$(xdotool search --onlyvisible --name '^kel gallery$' 2>/dev/null | head -n 1) || true
[ -n "$main" ] || fail "no gallery window found"
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key Escape
status=0
for _ in $(seq 100); do
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$gallery" 2>/dev/null && fail "Esc did not close the gallery"
wait "$gallery" || status=$?
gallery=""
[ "$status" -eq 0 ] || fail "the gallery exited with $status"
[ "$(grep -c 'TColorDialog:' "$out/gallery.log")" -eq 2 ] || fail "expected exactly two dialog results"
echo "$name: passed (the colour dialog opened as a window, Esc cancelled it, a basic colour and Enter confirmed it)"
