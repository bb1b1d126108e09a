#!/usr/bin/env bash
# The real demo binary on a real X server, driven the way a person would:
# the full-screen question comes first; Escape answers No and gives the
# captioned window, which Escape closes; Return answers Yes and gives a window
# covering the screen, which Alt+F4 closes. Every normal end has status 0.
# usage: demo_xvfb.sh <bin dir>
set -u

BIN_DIR=${1:?usage: demo_xvfb.sh <bin dir>}
BIN_DIR=$(cd "$BIN_DIR" && pwd)
DEMO="$BIN_DIR/isometric"
TITLE="Esempio di vista isometrica"
SCREEN_W=1280
SCREEN_H=1024

if [ "${1:-}" != "--inner" ] && [ "${2:-}" != "--inner" ]; then
    if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
        echo "demo_xvfb: Xvfb is not installed; skipping"
        exit 0
    fi
    for tool in xdotool xwininfo; do
        command -v "$tool" >/dev/null || { echo "demo_xvfb: $tool is missing"; exit 1; }
    done
    [ -x "$DEMO" ] || { echo "demo_xvfb: no demo binary at $DEMO"; exit 1; }
    exec xvfb-run -a -s "-screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp" \
        bash "$0" "$BIN_DIR" --inner
fi

# ---- inside the X server ------------------------------------------------------

# The demo must find the display, not the headless driver.
unset QUORVEL_VIDEO SDL_VIDEODRIVER
WORK=$(mktemp -d)
trap 'kill_demo; rm -rf "$WORK"' EXIT
DEMO_PID=""
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
log() { echo "demo_xvfb: $*"; }

kill_demo() {
    if [ -n "$DEMO_PID" ] && kill -0 "$DEMO_PID" 2>/dev/null; then
        kill "$DEMO_PID" 2>/dev/null
        sleep 0.5
        kill -9 "$DEMO_PID" 2>/dev/null
    fi
    DEMO_PID=""
}

# window_named <exact name>: prints the ids of the windows with that name.
# xdotool's name search cannot read the UTF-8 names SDL sets without a
# window manager's help, so the names come from the window tree instead.
window_named() {
    xwininfo -root -tree 2>/dev/null |
        awk -v want="\"$1\":" '{ i = index($0, want); if (i > 0 && $1 ~ /^0x/) print $1 }'
}

# find_window <exact name> [seconds]: sets FOUND to the first window id.
FOUND=""
find_window() {
    local name=$1 limit=${2:-20} id
    local tries=$((limit * 5))
    FOUND=""
    while [ $tries -gt 0 ]; do
        id=$(window_named "$name" | head -n 1)
        if [ -n "$id" ]; then
            FOUND=$id
            return 0
        fi
        if [ -n "$DEMO_PID" ] && ! kill -0 "$DEMO_PID" 2>/dev/null; then return 1; fi
        sleep 0.2
        tries=$((tries - 1))
    done
    return 1
}

# wait_exit [seconds]: waits for the demo to end; sets STATUS to its exit
# status, or to "timeout". (Runs in this shell: only it can reap the demo.)
STATUS=""
wait_exit() {
    local limit=${1:-20}
    local tries=$((limit * 5))
    STATUS=timeout
    while [ $tries -gt 0 ]; do
        if ! kill -0 "$DEMO_PID" 2>/dev/null; then
            wait "$DEMO_PID"
            STATUS=$?
            DEMO_PID=""
            return 0
        fi
        sleep 0.2
        tries=$((tries - 1))
    done
}

# geometry <window id>: prints "x y width height" of the window on the screen.
geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X/ { x = $NF }
        /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF }
        /^ *Height:/ { h = $NF }
        END { print x, y, w, h }'
}

# viewable <window id> [seconds]: waits until the window is mapped.
viewable() {
    local tries=$((${2:-10} * 5))
    while [ $tries -gt 0 ]; do
        xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable" && return 0
        sleep 0.2
        tries=$((tries - 1))
    done
    return 1
}

# press <window id> <keys>: gives the mapped window the focus and presses
# the keys, as a person at the keyboard would.
press() {
    viewable "$1" || log "window $1 never became viewable"
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
    sleep 0.3
    xdotool key --clearmodifiers "$2"
}

# answer <box id> <key>: presses the key in the box until the box is gone
# (a key sent while the box was still being set up is lost, not a failure).
answer() {
    local attempt
    for attempt in 1 2 3; do
        press "$1" "$2"
        local tries=25
        while [ $tries -gt 0 ]; do
            [ -z "$(window_named "Video!")" ] && return 0
            sleep 0.2
            tries=$((tries - 1))
        done
        log "the box is still there after $2 (attempt $attempt)"
    done
    return 1
}

# close_with <window id> <keys>: presses the keys in the window until the
# demo ends (again, only a key lost before the window took the focus is
# retried); sets STATUS like wait_exit.
close_with() {
    local attempt
    for attempt in 1 2 3; do
        press "$1" "$2"
        wait_exit 8
        [ "$STATUS" != timeout ] && return 0
        log "the demo still runs after $2 (attempt $attempt)"
    done
}

start_demo() {
    (cd "$BIN_DIR" && exec "$DEMO") >"$WORK/$1.out" 2>"$WORK/$1.err" &
    DEMO_PID=$!
}

# The question box: the first window, with its caption, before the main
# one. (Its text is drawn inside the box, out of reach of the X tools; the
# headless entry test checks the text the box is given.)
expect_question() {
    if ! find_window "Video!"; then
        fail "$1: no question box \"Video!\" appeared"
        return 1
    fi
    if [ -n "$(window_named "$TITLE")" ]; then
        fail "$1: the main window exists before the question was answered"
    fi
    return 0
}

# ---- No: Escape in the box, then Escape in the window ------------------------------

start_demo escape
if expect_question escape; then
    answer "$FOUND" Escape || fail "escape: Escape did not close the question box"
    if find_window "$TITLE"; then
        win=$FOUND
        read -r x y w h <<<"$(geometry "$win")"
        log "captioned window at $x,$y size ${w}x$h"
        if [ "$w" -ge "$SCREEN_W" ] || [ "$h" -ge "$SCREEN_H" ] || [ "$w" -gt 800 ] ||
           [ "$h" -gt 600 ] || [ "$w" -lt 700 ] || [ "$h" -lt 500 ]; then
            fail "escape: the captioned window is ${w}x$h, expected about 800 by 600"
        fi
        sleep 1
        close_with "$win" Escape
        [ "$STATUS" = 0 ] || fail "escape: the demo ended with status $STATUS"
    else
        fail "escape: no window \"$TITLE\" after answering No"
    fi
fi
kill_demo

# ---- Yes: Return in the box, then Alt+F4 in the full-screen window ------------------

start_demo return
if expect_question return; then
    answer "$FOUND" Return || fail "return: Return did not close the question box"
    if find_window "$TITLE"; then
        win=$FOUND
        sleep 0.5
        read -r x y w h <<<"$(geometry "$win")"
        log "full-screen window at $x,$y size ${w}x$h"
        # A thin border may take a pixel on each side; it covers the rest.
        if [ "$x" -gt 1 ] || [ "$y" -gt 1 ] || [ "$w" -lt $((SCREEN_W - 2)) ] ||
           [ "$h" -lt $((SCREEN_H - 2)) ]; then
            fail "return: the window does not cover the ${SCREEN_W}x$SCREEN_H screen"
        fi
        sleep 1
        close_with "$win" alt+F4
        [ "$STATUS" = 0 ] || fail "return: the demo ended with status $STATUS"
    else
        fail "return: no window \"$TITLE\" after answering Yes"
    fi
fi
kill_demo

for f in "$WORK"/*.err; do
    if grep -q "X Error\|BadWindow\|BadDrawable" "$f"; then
        fail "$(basename "$f" .err): X errors on standard error"
        sed 's/^/  /' "$f"
    fi
done

if [ $failures -eq 0 ]; then
    echo "demo_xvfb: ok"
    exit 0
fi
for f in "$WORK"/*.err; do
    echo "--- $(basename "$f")"
    sed 's/^/  /' "$f"
done
exit 1
