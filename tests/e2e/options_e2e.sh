#!/usr/bin/env bash
# The canvas's "DEST OPTION" under a real X server: new size and grid typed with the keyboard,
# "OK", and the saved canvas has the new size; a width of "abc" is refused with its message.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_tilora
xdotool windowsize --sync "$FRAME" 1500 1000
wait_settled

# The canvas is the leftmost white 324 x 212 picture; its button bar lies 21 pixels above it.
mapfile -t found < <(rects 324 212 255 255 255)
[ "${#found[@]}" -ge 1 ] || fail "no white picture"
read -r dx dy <<<"$(printf '%s\n' "${found[@]}" | sort -n | head -n 1)"
bar_y=$((dy - 11))
option_x=$((dx + 264 + 44))
save_x=$((dx + 88 + 44))

# The dialog sits on the canvas's top-left corner and so covers the picture's corner.
corner_white() { shoot && [ "$(img pixel $((dx + 30)) $((dy + 30)))" = "255 255 255" ]; }
dialog_shown() { ! corner_white; }


open_option() {
  click_at "$option_x" "$bar_y"
  wait_until 20 dialog_shown || fail "DEST OPTION did not open"
  xdotool windowfocus --sync "$FRAME"
}

# Focus starts on "OK" and moves "CANCEL", width, height, grid, then back to "OK".
open_option
xdotool key Tab Tab ctrl+a type 400
xdotool key Tab ctrl+a type 300
xdotool key Tab ctrl+a type 16
xdotool key Tab space
wait_until 20 corner_white || fail "the dialog did not close after OK"

# Save Picture: a file name typed into the save dialog, then "yes" to creating it.
before=$(visible_windows)
click_at "$save_x" "$bar_y"
dialog=$(wait_new_window "$before" "the save dialog") || exit 1
xdotool windowfocus --sync "$dialog"
before=$(visible_windows)
xdotool type "$WORK/canvas.bmp"
xdotool key Return
question=$(wait_new_window "$before" "the create question") || exit 1
xdotool windowfocus --sync "$question" key Return
wait_until 20 test -s "$WORK/canvas.bmp" || fail "the canvas was not saved"
size=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(26); print(*struct.unpack("<ii", d[18:26]))' "$WORK/canvas.bmp")
[ "$size" = "400 300" ] || fail "the saved canvas is $size, not 400 300"

# A width of "abc": the width message, and the dialog stays open.
open_option
xdotool key Tab Tab ctrl+a type abc
before=$(visible_windows)
xdotool key Tab Tab Tab space
box=$(wait_new_window "$before" "the message box") || exit 1
wait_settled
# The text line fills the box's top 30 pixels, above the "OK" button.
eval "$(xdotool getwindowgeometry --shell "$box")"
python3 "$HERE/inktext.py" "$SHOT" "${WIDTH}x30+$X+$Y" '幅に半角数字以外の文字が含まれています。' ||
  fail "the message box does not show the width message"
xdotool windowfocus --sync "$box" key Return
wait_until 20 bash -c "! xdotool search --onlyvisible --name '' | grep -qx $box" || fail "the box did not close"
dialog_shown || fail "the dialog closed after the refused width"
echo "PASS: DEST OPTION typed and applied, canvas saved at 400 x 300, abc refused"
