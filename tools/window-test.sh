#!/usr/bin/env bash
# Shows the gallery in a real window on a virtual X display (Xvfb) and checks, from outside:
#  1. a capture of the whole screen (xwd) is not blank, and the form's client area on it matches
#     the form as the headless host renders it;
#  2. real input reaches a control: clicks of each button, a double click, the wheel, keys with
#     their shift states, typed text, and Ctrl+C / Ctrl+V through the clipboard (xdotool into
#     the gallery's input echo);
#  3. resizing and moving the window from outside reach the form, which paints the new area;
#  4. Esc closes the gallery, which exits with 0.
# Usage: tools/window-test.sh [BUILD_DIR]   (default build/release; the gallery must be built
# there with the SDL host). Leaves screenshot.png and the logs in BUILD_DIR/window-test/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
exe=$build/gallery/kel_gallery
out=$build/window-test
for tool in Xvfb xwd xwdtopnm pnmtopng pngtopnm xdotool python3; do
  command -v "$tool" >/dev/null || { echo "window-test: $tool missing (run tools/setup.sh)"; exit 1; }
done
[ -x "$exe" ] || { echo "window-test: $exe is not built"; exit 1; }
[ -f "$build/libkel_sdl.so" ] || [ -f "$build/libkel_sdl.a" ] || { echo "window-test: $build has no SDL host (libsdl2-dev missing?)"; exit 1; }
rm -rf "$out"; mkdir -p "$out"

# What the form looks like rendered without a window: its first page as laid out for the
# virtual screen below.
"$exe" --headless --pages 1280x2400 --out "$out/headless" >/dev/null
pngtopnm "$out/headless/contact-sheet.png" >"$out/expected.ppm"

# A virtual display, stopped with the gallery when the script exits.
source tools/xvfb-common.sh
kel_start_xvfb "window-test" "$out"
xwd -root -silent >/dev/null 2>&1 || { echo "window-test: display $DISPLAY not ready"; exit 1; }

# The gallery in a window (it closes itself after 60 s should the test hang); it reads its own
# window back as it closes.
KEL_HEADLESS=0 "$exe" --quit-after 60000 --screenshot "$out/window-readback.png" --log-input \
  >"$out/gallery.log" 2>&1 &
gallery=$!
for _ in $(seq 150); do
  grep -q 'item "Input echo"' "$out/gallery.log" && break
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
geometry=$(sed -n 's/.*window client area at \([-0-9]*\),\([-0-9]*\) size \([0-9]*\)x\([0-9]*\).*/\1 \2 \3 \4/p' "$out/gallery.log")
read -r ex ey < <(sed -n 's/.*item "Input echo" at \([-0-9]*\),\([-0-9]*\) size.*/\1 \2/p' "$out/gallery.log") || true
if [ -z "$geometry" ] || [ -z "${ex:-}" ]; then
  cat "$out/gallery.log"; echo "window-test: the gallery did not report its window"; exit 1
fi

cat >"$out/ppm.py" <<'PY'
import sys

def read_ppm(path):
    """Width, height and the RGB bytes of a binary PPM (8- or 16-bit samples)."""
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    w, h, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    if fields[0] != b'P6' or maxval not in (255, 65535):
        sys.exit('unexpected image format in ' + path)
    if maxval == 65535:  # 16-bit samples: keep the high bytes
        return w, h, data[pos:pos + w * h * 6][0::2]
    return w, h, data[pos:pos + w * h * 3]
PY
cat >"$out/compare.py" <<'PY'
# compare.py SCREEN.ppm EXPECTED.ppm X Y W H: is the form on the screen capture?
import sys
from ppm import read_ppm

sw, sh, screen = read_ppm(sys.argv[1])
ew, eh, expected = read_ppm(sys.argv[2])
x0, y0, w, h = map(int, sys.argv[3:7])
colours = {screen[i:i + 3] for i in range(0, len(screen), 3 * 7)}
print(f'screen {sw}x{sh}, {len(colours)} colours sampled; form {w}x{h} at {x0},{y0}')
if len(colours) < 16:
    sys.exit('the screen capture is blank')
if (w, h) != (ew, eh):
    sys.exit(f'window client size {w}x{h} differs from the form ({ew}x{eh})')
if x0 < 0 or y0 < 0 or x0 + w > sw or y0 + h > sh:
    sys.exit('the form lies outside the screen')
same = 0
for y in range(h):
    row = (y0 + y) * sw * 3 + x0 * 3
    srow, erow = screen[row:row + w * 3], expected[y * w * 3:(y + 1) * w * 3]
    same += sum(1 for i in range(0, w * 3, 3) if srow[i:i + 3] == erow[i:i + 3])
share = same / (w * h)
print(f"{share:.1%} of the form's pixels on screen match the headless rendering")
# The ticking control changes between the two renderings; everything else must be identical.
if share < 0.95:
    sys.exit('the window does not show the form')
PY

# 1. The screen, captured until the form shows (a loaded machine may take a moment).
shown=0
for _ in $(seq 20); do
  sleep 0.5
  xwd -root -silent >"$out/screen.xwd"
  xwdtopnm "$out/screen.xwd" 2>/dev/null >"$out/screen.ppm"
  # shellcheck disable=SC2086
  if python3 "$out/compare.py" "$out/screen.ppm" "$out/expected.ppm" $geometry >"$out/compare.log" 2>&1; then
    shown=1; break
  fi
done
pnmtopng "$out/screen.ppm" >"$out/screenshot.png"
sed 's/^/window-test: /' "$out/compare.log"
[ "$shown" -eq 1 ] || { echo "window-test: FAILED (screenshot: $out/screenshot.png)"; exit 1; }

# 2. Real input: a click at 20,10 into the input echo, Shift+A, b, 1, Return, then Ctrl+C and
#    Ctrl+V (copy what was typed, paste it back).
xdotool mousemove $((ex + 20)) $((ey + 10)) click 1
sleep 0.3
xdotool type --delay 60 'Ab1'
xdotool key Return ctrl+c ctrl+v
# More keys, then the other buttons, a double click and the wheel.
xdotool key F2 Left Delete KP_Add Prior
sleep 0.6
xdotool click 3
sleep 0.6
xdotool click --repeat 2 --delay 80 1
sleep 0.3
xdotool click 4 click 5
# 3. The window resized and moved from outside.
for wid in $(xdotool search --name '^kel gallery$'); do
  xdotool windowsize "$wid" 1000 400 windowmove "$wid" 100 50
done
sleep 1
# 4. Esc closes the gallery.
xdotool key Escape
status=0
for _ in $(seq 100); do
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
wait "$gallery" || status=$?
gallery=""
cat "$out/gallery.log"
[ "$status" -eq 0 ] || { echo "window-test: the gallery exited with $status"; exit 1; }

missing=0
for line in 'input: mousedown mbLeft 20,10 [ssLeft]' 'input: keydown 65 [ssShift]' 'input: keypress 65' \
            'input: keydown 66 []' 'input: keypress 98' 'input: keydown 49 []' 'input: keypress 49' \
            'input: keydown 13 []' 'input: keypress 13' 'input: copy Ab1' 'input: paste Ab1' \
            'input: keydown 113 []' 'input: keydown 37 []' 'input: keydown 46 []' \
            'input: keydown 107 []' 'input: keydown 33 []' 'input: mousedown mbRight 20,10 [ssRight]' \
            'input: mousedown mbLeft 20,10 [ssLeft,ssDouble]' 'input: wheel 120 []' 'input: wheel -120 []' \
            'gallery: closing with the client area at 100,50 size 1000x400'; do
  grep -qxF "$line" "$out/gallery.log" || { echo "window-test: missing \"$line\""; missing=1; }
done
[ "$missing" -eq 0 ] || exit 1
echo "window-test: mouse, keys, text, the clipboard and the window's new place reached the gallery"

pngtopnm "$out/window-readback.png" >"$out/readback.ppm"
PYTHONPATH="$out" python3 - "$out/readback.ppm" <<'PY'
import sys
from ppm import read_ppm
w, h, pixels = read_ppm(sys.argv[1])
if (w, h) != (1000, 400):
    sys.exit(f'window-test: after the resize the window shows {w}x{h}, not 1000x400')
at = ((h - 2) * w + (w - 2)) * 3
if pixels[at:at + 3] != bytes([0xF4, 0xF4, 0xF4]):
    sys.exit(f'window-test: the area the resize added shows {pixels[at:at + 3].hex()}, not the form colour f4f4f4')
print('window-test: the resized window shows the form at 1000x400')
PY
echo "window-test: passed (screenshot: $out/screenshot.png)"
