#!/usr/bin/env bash
# Sourced by the window tests: starts a virtual X display for the gallery and stops it (and the
# gallery, whose process id the caller keeps in $gallery) when the script exits.
# Usage: source tools/xvfb-common.sh; kel_start_xvfb NAME OUT_DIR
# NAME prefixes the error messages; Xvfb's log goes to OUT_DIR/xvfb.log. Sets DISPLAY.

kel_cleanup_xvfb() {
  [ -n "${gallery:-}" ] && kill "$gallery" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}

kel_start_xvfb() {
  local name=$1 out=$2 n=99
  # A free display number; -noreset keeps the server up between client connections.
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  export DISPLAY=":$n"
  Xvfb "$DISPLAY" -screen 0 1280x2400x24 -nolisten tcp -noreset >"$out/xvfb.log" 2>&1 &
  xvfb=$!
  gallery=""
  trap kel_cleanup_xvfb EXIT
  for _ in $(seq 150); do
    xwd -root -silent >/dev/null 2>&1 && return 0
    kill -0 "$xvfb" 2>/dev/null || { echo "$name: Xvfb did not start"; cat "$out/xvfb.log"; exit 1; }
    sleep 0.1
  done
}
