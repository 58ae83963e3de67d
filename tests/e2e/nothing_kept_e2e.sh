#!/usr/bin/env bash
# A run keeps nothing of its own. With a fresh, empty home (its XDG folders and the temporary
# folder inside it): open the open dialog and cancel it, open a tile sheet through it, save the
# canvas under a new name (answering the question whether to create it), end through
# File > Exit; then no file has appeared anywhere but the saved picture.
source "$(dirname "$0")/lib.sh"

FRESH=$WORK/home
mkdir -p "$FRESH/.run" "$FRESH/.tmp" "$WORK/sheets"
chmod 700 "$FRESH/.run"
SHEET=$WORK/sheets/tiles.bmp
convert -size 64x64 xc:'#204060' "BMP3:$SHEET"
everything() { (cd "$1" && find . | LC_ALL=C sort); }
empty() { [ -z "$(ls -A "$1")" ]; }
fresh_before=$(everything "$FRESH")
sheets_before=$(everything "$WORK/sheets")

start_xvfb
# The program starts with the fresh home.
HOME=$FRESH XDG_CONFIG_HOME=$FRESH/.config XDG_CACHE_HOME=$FRESH/.cache \
  XDG_DATA_HOME=$FRESH/.local/share XDG_STATE_HOME=$FRESH/.local/state \
  XDG_RUNTIME_DIR=$FRESH/.run TMPDIR=$FRESH/.tmp start_tilora
locate_pictures
dx=$DX dy=$DY sx=$SX sy=$SY

# Load Image, then cancel the dialog with Escape. While it is open, what it remembers lives
# in a folder of its own in the temporary folder; once it has closed, that folder is gone.
before=$(visible_windows)
second_button "$sx" "$sy"
DIALOG=$(wait_new_window "$before" "the open dialog") || exit 1
[ "$(xdotool getwindowname "$DIALOG")" = "ﾌｧｲﾙを開く" ] || fail "the first dialog is not the open dialog"
empty "$FRESH/.tmp" && fail "no folder of the dialog's own in the temporary folder"
xdotool windowfocus --sync "$DIALOG" key Escape
wait_until 10 dialog_gone || fail "the open dialog stayed open after Escape"
wait_until 5 empty "$FRESH/.tmp" || fail "the temporary folder holds $(ls -A "$FRESH/.tmp")"

# Load Image again, typing the sheet's full path (a move first: a synced move to where the
# pointer already is waits for its timeout).
xdotool mousemove --sync $((sx + 50)) $((sy + 50))
before=$(visible_windows)
second_button "$sx" "$sy"
answer_dialog "$before" "$SHEET" "ﾌｧｲﾙを開く" dialog_gone
is_at() { shoot && [ "$(img pixel "$1" "$2")" = "$3" ]; }
wait_until 10 is_at $((sx + 10)) $((sy + 10)) "32 64 96" || fail "the tile sheet did not appear in source window 1"

# Save Picture under a new name in the sheet's folder, and create it.
before=$(visible_windows)
second_button "$dx" "$dy"
answer_dialog "$before" "canvas" "ﾌｧｲﾙを保存" question_up "$before"
xdotool windowfocus --sync "$QUESTION" key y
wait_until 10 dialog_gone || fail "the save dialog stayed open after the answer"
saved=$WORK/sheets/canvas
wait_until 15 bash -c "[ -f '$saved' ] && [ \$(stat -c %s '$saved') -eq $((54 + 972 * 212)) ]" ||
  fail "no 324 x 212 picture was saved at $saved"

exit_by_menu
[ "$(everything "$FRESH")" = "$fresh_before" ] ||
  fail "the run left files in its home: $(comm -13 <(echo "$fresh_before") <(everything "$FRESH") | tr '\n' ' ')"
[ "$(everything "$WORK/sheets")" = "$(printf '%s\n' "$sheets_before" ./canvas | LC_ALL=C sort)" ] ||
  fail "the sheets' folder holds $(everything "$WORK/sheets" | tr '\n' ' ')"
echo "PASS: both dialogs used, File > Exit, nothing kept but the saved picture"
