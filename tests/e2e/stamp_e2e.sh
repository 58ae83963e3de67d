#!/usr/bin/env bash
# Real pointer moves under a real X server: a green hover outline on the source picture, a
# yellow selection while dragging, and the red preview of the clip's size on the canvas.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_tilora
locate_pictures
dx=$DX dy=$DY sx=$SX sy=$SY

GREEN="0 255 0" YELLOW="255 255 0" RED="255 0 0" WHITE="255 255 255"
# is_at X Y COLOUR: the screen pixel at (X, Y) has that colour now.
is_at() { shoot && [ "$(img pixel "$1" "$2")" = "$3" ]; }
# expect X Y COLOUR WHAT: waits for the pixel, then fails with WHAT.
expect() { wait_until 10 is_at "$1" "$2" "$3" || fail "$4: pixel ($1, $2) is $(img pixel "$1" "$2"), not $3"; }
# frame_of X Y W H COLOUR: the four corners of the outline rectangle have the colour and the
# pixels just outside its top-left and bottom-right corners do not.
frame_of() {
  local x=$1 y=$2 w=$3 h=$4 c=$5
  [ "$(img pixel "$x" "$y")" = "$c" ] && [ "$(img pixel $((x + w - 1)) "$y")" = "$c" ] &&
    [ "$(img pixel "$x" $((y + h - 1)))" = "$c" ] && [ "$(img pixel $((x + w - 1)) $((y + h - 1)))" = "$c" ] &&
    [ "$(img pixel $((x + 1)) $((y + 1)))" != "$c" ] && [ "$(img pixel $((x + w)) $((y + h)))" != "$c" ]
}

# Hover over source cell (1, 2): green on the cell's outermost pixels, 32 x 32 at (32, 64).
xdotool mousemove --sync $((sx + 40)) $((sy + 70))
expect $((sx + 32)) $((sy + 64)) "$GREEN" "no green hover outline"
frame_of $((sx + 32)) $((sy + 64)) 32 32 "$GREEN" || fail "the green outline is not the 32 x 32 cell at (32, 64)"
[ "$(img count $((sx + 32)) $((sy + 64)) 32 1 0 255 0)" -eq 32 ] || fail "the outline's top edge is not 32 green pixels"

# Drag to cell (3, 3): yellow around 3 x 2 cells, from (32, 64) to (127, 127).
xdotool mousedown 1
xdotool mousemove --sync $((sx + 80)) $((sy + 90)) mousemove --sync $((sx + 120)) $((sy + 100))
expect $((sx + 127)) $((sy + 127)) "$YELLOW" "no yellow selection outline"
frame_of $((sx + 32)) $((sy + 64)) 96 64 "$YELLOW" || fail "the yellow outline is not 96 x 64 at (32, 64)"
xdotool mouseup 1
expect $((sx + 32)) $((sy + 64)) "$GREEN" "no green outline after the release"

# Over canvas cell (3, 1): the red preview has the clip's 96 x 64 size at (96, 32).
xdotool mousemove --sync $((dx + 100)) $((dy + 40))
expect $((dx + 96)) $((dy + 32)) "$RED" "no red preview on the canvas"
frame_of $((dx + 96)) $((dy + 32)) 96 64 "$RED" || fail "the red preview is not 96 x 64 at (96, 32)"
# One cell on, the old preview is gone.
xdotool mousemove --sync $((dx + 140)) $((dy + 40))
expect $((dx + 96)) $((dy + 32)) "$WHITE" "the old preview was not erased"
expect $((dx + 128)) $((dy + 32)) "$RED" "the preview did not follow the pointer"
echo "PASS: green hover, yellow drag and red preview of the clip's size"
