#!/usr/bin/env bash
# Checks the popup layer in a real window on a virtual X display (Xvfb) with real X input
# (xdotool), from outside:
#  1. a right click on the gallery's menu demo opens its popup menu as a window of its own; a
#     click on its first item picks "Copy";
#  2. the menu opened again, pointing at "Mark" opens its submenu, a click there picks "Column";
#  3. a click on the button of the drop-down list combo box opens its list; a click on the
#     fourth row picks "Blueberry";
#  4. the list opened again closes without a change on Escape (the closed box then takes the
#     Down key), and once more on a click outside it;
# the picks are read from the gallery's --log-input output. Esc then closes the gallery.
# Usage: tools/window-test-popup.sh [BUILD_DIR]   (default build/release; the gallery must be
# built there with the SDL host). Leaves the logs and a screenshot in BUILD_DIR/window-test-popup/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
exe=$build/gallery/kel_gallery
out=$build/window-test-popup
for tool in Xvfb xwd xwdtopnm pnmtopng xdotool; do
  command -v "$tool" >/dev/null || { echo "window-test-popup: $tool missing (run tools/setup.sh)"; exit 1; }
done
[ -x "$exe" ] || { echo "window-test-popup: $exe is not built"; exit 1; }
[ -f "$build/libkel_sdl.a" ] || [ -f "$build/libkel_sdl.so" ] || ls "$build"/libkel_sdl.so* >/dev/null 2>&1 ||
  { echo "window-test-popup: $build has no SDL host (libsdl2-dev missing?)"; exit 1; }
rm -rf "$out"; mkdir -p "$out"

# A virtual display, stopped with the gallery when the script exits.
source tools/xvfb-common.sh
kel_start_xvfb "window-test-popup" "$out"

KEL_HEADLESS=0 "$exe" --quit-after 60000 --log-input >"$out/gallery.log" 2>&1 &
gallery=$!
for _ in $(seq 150); do
  grep -q 'item "TSevenSeg"' "$out/gallery.log" && break
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
item() { # item NAME -> "X Y W H" of a gallery item on the screen
  sed -n "s/.*item \"$1\" at \([-0-9]*\),\([-0-9]*\) size \([0-9]*\)x\([0-9]*\).*/\1 \2 \3 \4/p" "$out/gallery.log"
}
read -r mx my _ _ < <(item TPopupMenu) || true
read -r cx cy cw ch < <(item "TComboBox list") || true
if [ -z "${mx:-}" ] || [ -z "${cx:-}" ]; then
  cat "$out/gallery.log"; echo "window-test-popup: the gallery did not report its items"; exit 1
fi
sleep 1.5 # let the window map and paint
wait_for() { # wait_for LINE: until the gallery printed it (5 s at most)
  for _ in $(seq 50); do grep -qxF "$1" "$out/gallery.log" && return 0; sleep 0.1; done
  return 1
}
wait_for_start() { # wait_for_start TEXT: until the gallery printed a line starting with it
  for _ in $(seq 50); do grep -q "^$1" "$out/gallery.log" && return 0; sleep 0.1; done
  return 1
}
fail() { cat "$out/gallery.log"; echo "window-test-popup: FAILED: $1"; exit 1; }

# 1. Right click: the menu opens with its top-left at the pointer.
px=$((mx + 30)); py=$((my + 20))
xdotool mousemove "$px" "$py" click 3
wait_for_start "input: menu popup rowheight" ||
  fail "the menu did not open"
rh=$(sed -n 's/^input: menu popup rowheight \([0-9]*\).*/\1/p' "$out/gallery.log" | head -1)
mw=$(sed -n 's/^input: menu popup rowheight [0-9]* width \([0-9]*\)/\1/p' "$out/gallery.log" | head -1)
sleep 0.5
xwd -root -silent >"$out/menu.xwd" && xwdtopnm "$out/menu.xwd" 2>/dev/null | pnmtopng >"$out/menu-open.png" || true
xdotool mousemove $((px + 30)) $((py + 3 + rh / 2)) sleep 0.2 click 1
wait_for "input: menu Copy" || fail "the click on Copy did not pick it"

# 2. The submenu opens on pointing at Mark (rows: Copy, Paste, separator, Mark).
xdotool mousemove "$px" "$py" click 3
sleep 0.5
marky=$((py + 3 + 2 * rh + 8 + rh / 2))
xdotool mousemove $((px + 30)) "$marky" sleep 0.5
xdotool mousemove $((px + mw + 20)) "$marky" sleep 0.3
xdotool mousemove $((px + mw + 20)) $((marky + rh)) sleep 0.3 click 1
wait_for "input: menu Column" || fail "the submenu did not give Column"

# 3. The combo box's list: a click on the button, then one on the fourth row.
xdotool mousemove $((cx + cw - 8)) $((cy + ch / 2)) click 1
wait_for_start "input: combo List dropdown itemheight" ||
  fail "the list did not drop down"
ih=$(sed -n 's/^input: combo List dropdown itemheight \([0-9]*\)/\1/p' "$out/gallery.log" | head -1)
sleep 0.5
xwd -root -silent >"$out/list.xwd" && xwdtopnm "$out/list.xwd" 2>/dev/null | pnmtopng >"$out/list-open.png" || true
xdotool mousemove $((cx + 30)) $((cy + ch + 1 + 3 * ih + ih / 2)) sleep 0.3 click 1
wait_for "input: combo List Blueberry" || fail "the click on the fourth row did not pick Blueberry"

# 4. Escape closes the list without a change (the closed box then takes Down: Cherry); a click
#    outside the list opened once more closes it without a change too.
xdotool mousemove $((cx + cw - 8)) $((cy + ch / 2)) click 1
sleep 0.5
xdotool key Escape
sleep 0.3
xdotool key Down
wait_for "input: combo List Cherry" || fail "Escape did not close the list, or the box did not take Down"
xdotool mousemove $((cx + cw - 8)) $((cy + ch / 2)) click 1
sleep 0.5
xdotool mousemove $((cx + cw + 200)) $((cy + 5)) click 1
sleep 0.5
changes=$(grep -c '^input: combo List [A-Z][a-z]*$' "$out/gallery.log" || true)
[ "$changes" -eq 2 ] || fail "Escape or a click outside changed the combo box ($changes changes)"

xdotool key Escape
status=0
for _ in $(seq 100); do
  kill -0 "$gallery" 2>/dev/null || break
  sleep 0.1
done
wait "$gallery" || status=$?
gallery=""
grep '^input: ' "$out/gallery.log"
[ "$status" -eq 0 ] || { echo "window-test-popup: the gallery exited with $status"; exit 1; }
echo "window-test-popup: passed (menu, submenu and drop-down list picked with real X input;" \
  "pictures in $out)"
