#!/usr/bin/env bash
# Plays the installed game in a real X window on Xvfb and checks what a player
# sees: the window, the wall of level 1, the texts along the bottom, the bat
# moving and the ball leaving it, and a clean exit on Escape.
#
#     tests/window_test.sh BUILD-DIR
#
# With PELLARO_SCREENSHOT=FILE it also keeps a screenshot of the ball in play.
set -euo pipefail

build=$(readlink -f "$1")
work=$(mktemp -d)
xvfb=
game=
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/out" ]; then
        echo "--- the game's output:" >&2
        tail -n 40 "$work/out" >&2
    fi
    exit 1
}

# Retries a check until it holds, for up to about ten seconds.
wait_for() {
    local tries=200
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || fail "gave up waiting for: $*"
        sleep 0.05
    done
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null

source "$(dirname "$0")/../tools/xvfb.sh"
start_xvfb "$work" || fail "no X display"
xvfb=$XVFB_PID
export SDL_VIDEODRIVER=x11

"$work/prefix/bin/pellaro" >"$work/out" 2>&1 &
game=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Pellaro v1\.0a - by Fendral$' |
    head -n 1) || fail "no window titled 'Pellaro v1.0a - by Fendral'"
xwininfo -id "$window" | grep -q 'Width: 640' || fail "window is not 640 wide"
xwininfo -id "$window" | grep -q 'Height: 480' || fail "window is not 480 tall"
xprop -id "$window" WM_NAME | grep -qF '"Pellaro v1.0a - by Fendral"' || fail "WM_NAME"
# SDL2 has no icon title, so sdl12-compat sets none.
if [ -z "${PELLARO_SDL12_COMPAT:-}" ]; then
    xprop -id "$window" WM_ICON_NAME | grep -qF '"Pellaro"' || fail "WM_ICON_NAME"
fi
xdotool windowfocus --sync "$window"

shot() { import -window "$window" "$work/$1.png"; }

# "r,g,b" of one pixel of a screenshot.
pixel() {
    convert "$work/$1.png" -format \
        "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" \
        info:
}

# The box "x y w h", in window coordinates, of all that is not black in a region.
drawn_in() {
    local shot=$1 w=$2 h=$3 x=$4 y=$5 box
    box=$(convert "$work/$shot.png" -crop "${w}x${h}+${x}+${y}" +repage -bordercolor black \
        -border 1 -format '%@' info:)
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no box in '$box'"
    echo "$((BASH_REMATCH[3] - 1 + x)) $((BASH_REMATCH[4] - 1 + y)) ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
}

is_black() { [ "$(pixel "$1" "$2" "$3")" = "0,0,0" ]; }
first_frame_shown() { shot start && ! is_black start 80 56; }
wait_for first_frame_shown

# The wall of level 1: row 2 holds bricks '1' in columns 2 to 12, row 6 bricks '5'.
is_black start 320 20 || fail "background above the wall is not black"
is_black start 4 300 || fail "background at the left edge is not black"
is_black start 32 56 || fail "column 1 of row 2 should be empty"
is_black start 608 56 || fail "column 13 of row 2 should be empty"
IFS=, read -r r g b <<<"$(pixel start 80 56)"
[ "$r" -gt "$g" ] && [ "$r" -gt "$b" ] || fail "brick '1' at (80, 56) is not red: $r,$g,$b"
IFS=, read -r r g b <<<"$(pixel start 320 184)"
[ "$b" -gt "$r" ] || fail "brick '5' at (320, 184) is not cyan: $r,$g,$b"

# The texts: score from x 16, lives ending 8 pixels from the right edge, title
# centred, all ending 8 pixels above the bottom, in dark blue boxes.
read -r x y w h <<<"$(drawn_in start 300 40 0 440)"
[ "$x" -eq 16 ] || fail "score starts at x $x, not 16"
[ $((y + h)) -eq 472 ] || fail "score ends at y $((y + h)), not 472"
[ "$(pixel start 16 471)" = "0,0,64" ] || fail "score box is $(pixel start 16 471), not 0,0,64"
read -r x y w h <<<"$(drawn_in start 300 40 340 440)"
[ $((x + w)) -eq 632 ] || fail "lives end at x $((x + w)), not 632"
[ $((y + h)) -eq 472 ] || fail "lives end at y $((y + h)), not 472"
read -r x y w h <<<"$(drawn_in start 360 40 140 440)"
centre=$((2 * x + w))
[ "$centre" -ge 638 ] && [ "$centre" -le 642 ] || fail "title is not centred: x $x, w $w"

# The bat: 96 x 16 at (272, 432), then moved right while Right is held.
read -r x y w h <<<"$(drawn_in start 640 16 0 432)"
[ "$x $y $w $h" = "272 432 96 16" ] || fail "bat at $x $y $w $h, not 272 432 96 16"
bat_moved_right() { shot moved && [ "$(drawn_in moved 640 16 0 432 | cut -d' ' -f1)" -gt 312 ]; }
xdotool keydown Right
wait_for bat_moved_right
xdotool keyup Right
read -r batx y w h <<<"$(drawn_in moved 640 16 0 432)"
[ "$y" -eq 432 ] || fail "bat left its row: y $y"

# Space sends the held ball (16 x 16, two thirds along the bat) up and away.
ballx=$((batx + 64))
is_black moved $((ballx + 8)) 424 && fail "no ball resting on the bat"
ball_left() { shot flying && is_black flying $((ballx + 8)) 424; }
xdotool key space
wait_for ball_left
if [ -n "${PELLARO_SCREENSHOT:-}" ]; then
    cp "$work/flying.png" "$PELLARO_SCREENSHOT"
fi

xdotool key Escape
status=0
wait "$game" || status=$?
game=
[ "$status" -eq 0 ] || fail "exit code $status"
[ "$(tail -n 1 "$work/out")" = "Exited cleanly" ] || fail "last line: $(tail -n 1 "$work/out")"
echo "window test passed"
