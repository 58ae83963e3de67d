#!/usr/bin/env bash
# The program starts as a whole under a real X server and ends through File > Exit.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_tilora
# The frame's 685 x 257 client area is smaller than one child window: make room.
xdotool windowsize --sync "$FRAME" 1500 1000
wait_settled

# Both white 324 x 212 pictures are visible: the canvas left of source window 1.
mapfile -t found < <(rects 324 212 255 255 255)
if [ "${#found[@]}" -lt 2 ]; then
  # Overlapping windows: drag the later one (on top, further right) by its title bar.
  read -r x y <<<"${found[0]:-0 0}"
  xdotool mousemove --sync $((x + 150)) $((y - 30)) mousedown 1 mousemove --sync $((x + 600)) $((y - 30)) mouseup 1
  wait_settled
  mapfile -t found < <(rects 324 212 255 255 255)
fi
[ "${#found[@]}" -eq 2 ] || fail "expected two white pictures, found ${#found[@]}"
read -r dx dy <<<"${found[0]}"
read -r sx sy <<<"${found[1]}"
[ "$dx" -lt "$sx" ] || { read -r dx dy <<<"${found[1]}"; read -r sx sy <<<"${found[0]}"; }

# The gradients show right of each picture: red behind the canvas, blue behind the source.
read -r r g b <<<"$(img pixel $((dx + 326)) $((dy + 2)))"
[ "$r" -gt 90 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ] || fail "no red gradient beside the canvas ($r $g $b)"
read -r r g b <<<"$(img pixel $((sx + 326)) $((sy + 2)))"
[ "$b" -gt 90 ] && [ "$r" -lt 40 ] && [ "$g" -lt 40 ] || fail "no blue gradient beside the source ($r $g $b)"

# File > Exit with the mouse: the menu opens as its own window below "File".
frame_origin
before=$(xdotool search --onlyvisible --name '' | sort)
click_at $((FX + 15)) $((FY + 10))
popup_open() {
  comm -13 <(echo "$before") <(xdotool search --onlyvisible --name '' | sort) | grep -q .
}
wait_until 10 popup_open || fail "the File menu did not open"
popup=$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --name '' | sort) | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$popup")"
click_at $((X + 20)) $((Y + 12))
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
echo "PASS: startup, both windows visible, File > Exit"
