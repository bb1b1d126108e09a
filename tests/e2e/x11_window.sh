#!/usr/bin/env bash
# A real X11 window of the layer under Xvfb: it presents a frame (its pixels
# are read back from the X server), shows its Windows-1252 title correctly,
# and closes on Escape and, in a second run, on Alt+F4, with status 0 and no
# X error. Usage: x11_window.sh <bin dir>
set -euo pipefail

bin=${1:?usage: x11_window.sh <bin dir>}
tool="$bin/quorvel-plainwindow"
[ -x "$tool" ] || { echo "missing $tool" >&2; exit 1; }

if [ -z "${QV_E2E_UNDER_XVFB:-}" ]; then
  for t in xvfb-run xdotool xwd od; do
    command -v "$t" >/dev/null || { echo "missing $t (./dev.sh deps installs it)" >&2; exit 1; }
  done
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    env QV_E2E_UNDER_XVFB=1 bash "$0" "$@"
fi

unset QUORVEL_VIDEO WAYLAND_DISPLAY
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
title=$'Quorvel: \xc3\xa8 una finestra semplice' # the title in UTF-8
fail() { echo "FAIL: $*" >&2; exit 1; }

# Reads one pixel of a window from the X server: prints RRGGBB.
pixel() {
  local wid=$1 x=$2 y=$3 f="$work/shot.xwd"
  xwd -silent -id "$wid" >"$f"
  # The XWD header is big-endian 32-bit words.
  word() { od -An -tu1 -j "$1" -N4 "$f" | awk '{print $1*16777216+$2*65536+$3*256+$4}'; }
  local header bpp bpl ncolors byte_order
  header=$(word 0); byte_order=$(word 28); bpp=$(word 44); bpl=$(word 48); ncolors=$(word 76)
  [ "$bpp" = 32 ] || fail "unexpected XWD depth $bpp"
  local offset=$((header + ncolors * 12 + y * bpl + x * 4))
  local b
  read -r -a b <<<"$(od -An -tu1 -j "$offset" -N4 "$f")"
  if [ "$byte_order" = 0 ]; then # LSBFirst: B G R x
    printf '%02x%02x%02x\n' "${b[2]}" "${b[1]}" "${b[0]}"
  else
    printf '%02x%02x%02x\n' "${b[1]}" "${b[2]}" "${b[3]}"
  fi
}

run_once() {
  local keys=$1 out="$work/out" err="$work/err"
  (cd "$work" && exec "$tool") >"$out" 2>"$err" &
  local pid=$!

  local wid="" i
  for i in $(seq 200); do
    grep -q "first frame presented" "$out" 2>/dev/null && \
      wid=$(xdotool search --onlyvisible --name 'Quorvel' 2>/dev/null | head -n1) && [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$err" >&2; fail "the window's program ended early"; }
    sleep 0.1
  done
  [ -n "$wid" ] || { kill "$pid"; cat "$err" >&2; fail "no window presented a frame"; }

  [ "$(xdotool getwindowname "$wid")" = "$title" ] || fail "title is '$(xdotool getwindowname "$wid")'"
  local geometry
  geometry=$(xdotool getwindowgeometry "$wid" | awk '/Geometry/ {print $2}')
  # The client area of the captioned 800 by 600 window: 6 narrower, 22 shorter.
  [ "$geometry" = "794x578" ] || fail "client area is $geometry"
  local colour
  colour=$(pixel "$wid" 100 100)
  # glClearColor(0.125, 0.375, 0.625): 0x20 0x60 0xa0, give or take rounding.
  case "$colour" in 20609f|2060a0|1f5f9f|1f609f|20609e) ;; *) fail "presented colour is $colour" ;; esac

  xdotool windowfocus --sync "$wid"
  xdotool key "$keys"
  for i in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fail "$keys did not close the window"; fi
  local rc=0
  wait "$pid" || rc=$?
  [ "$rc" = 0 ] || { cat "$err" >&2; fail "$keys: exit status $rc"; }
  if grep -Eiq 'X Error|BadWindow|BadDrawable|BadMatch|GLXBad' "$err"; then
    cat "$err" >&2
    fail "$keys: X error on standard error"
  fi
  echo "ok: $keys closed the window"
}

run_once Escape
run_once alt+F4
