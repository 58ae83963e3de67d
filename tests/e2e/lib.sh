# Shared steps of the end-to-end tests: sourced by each *_e2e.sh with the tilora binary as $1.
# Every wait polls a condition with a timeout; on failure the last screenshot and the
# program's output are kept in $E2E_KEEP for the reader.
set -u

TILORA=$(readlink -f "$1")
E2E_NAME=$(basename "$0" .sh)
E2E_KEEP=${E2E_KEEP:-/tmp/tilora-e2e/$E2E_NAME}
WORK=$(mktemp -d)
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
XVFB_PID=
TILORA_PID=
SHOT=$WORK/shot.png

for tool in Xvfb xdotool import convert python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

cleanup() {
  [ -n "$TILORA_PID" ] && kill "$TILORA_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  mkdir -p "$E2E_KEEP"
  [ -f "$SHOT" ] && cp "$SHOT" "$E2E_KEEP/last.png"
  [ -f "$WORK/tilora.log" ] && cp "$WORK/tilora.log" "$E2E_KEEP/tilora.log"
  echo "kept: $E2E_KEEP"
  exit 1
}

# wait_until SECONDS COMMAND...: polls every 0.1 s.
wait_until() {
  local limit=$1; shift
  local deadline=$(( $(date +%s%N) + limit * 1000000000 ))
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -dpi 96 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  wait_until 20 test -s "$WORK/display" || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$WORK/display")"
}

start_tilora() {
  (cd "$WORK" && exec "$TILORA") >"$WORK/tilora.log" 2>&1 &
  TILORA_PID=$!
  wait_until 30 xdotool search --onlyvisible --name '^Tilora$' || fail "the frame did not appear"
  FRAME=$(xdotool search --onlyvisible --name '^Tilora$' | head -n 1)
}

# frame_origin: sets FX FY to the frame's top-left on the screen.
frame_origin() {
  eval "$(xdotool getwindowgeometry --shell "$FRAME")"
  FX=$X FY=$Y
}

shoot() {
  import -window root "$SHOT" 2>/dev/null || return 1
  convert "$SHOT" "$WORK/shot.ppm"
}

# Two screenshots in a row agree: the screen has settled.
settled() {
  shoot && cp "$WORK/shot.ppm" "$WORK/prev.ppm" && sleep 0.2 && shoot && cmp -s "$WORK/shot.ppm" "$WORK/prev.ppm"
}
wait_settled() { wait_until 20 settled || fail "the screen did not settle"; }

img() { python3 "$HERE/imgtool.py" "$1" "$WORK/shot.ppm" "${@:2}"; }

# rects W H R G B: top-left corners of solid rectangles of that colour on the last screenshot.
rects() { img rects "$@"; }

click_at() { xdotool mousemove --sync "$1" "$2" click 1; }

# wait_exit SECONDS: the program ends by itself; sets STATUS.
wait_exit() {
  wait_until "$1" bash -c "! kill -0 $TILORA_PID" || fail "the program did not end"
  wait "$TILORA_PID"; STATUS=$?
  TILORA_PID=
}

# locate_pictures: makes room in the frame, separates the two child windows if they overlap
# and sets DX DY (canvas) and SX SY (source window 1) to the top-left of their pictures.
locate_pictures() {
  # The frame's 685 x 257 client area is smaller than one child window.
  xdotool windowsize --sync "$FRAME" 1500 1000
  wait_settled
  local found x y
  mapfile -t found < <(rects 324 212 255 255 255)
  if [ "${#found[@]}" -lt 2 ]; then
    # The later window lies on top: drag it right by its title bar.
    read -r x y <<<"${found[0]:-0 0}"
    xdotool mousemove --sync $((x + 150)) $((y - 30)) mousedown 1 mousemove --sync $((x + 600)) $((y - 30)) mouseup 1
    wait_settled
    mapfile -t found < <(rects 324 212 255 255 255)
  fi
  [ "${#found[@]}" -eq 2 ] || fail "expected two white pictures, found ${#found[@]}"
  read -r DX DY <<<"${found[0]}"
  read -r SX SY <<<"${found[1]}"
  [ "$DX" -lt "$SX" ] || { read -r DX DY <<<"${found[1]}"; read -r SX SY <<<"${found[0]}"; }
  DY=$(picture_top "$DX" "$DY")
  SY=$(picture_top "$SX" "$SY")
}

# A white line of the button bar's border can sit on top of a picture: its first row is the
# one 212 rows above the gradient below it.
picture_top() {
  local x=$1 y=$2
  while [ "$(img pixel $((x + 5)) $((y + 212)))" = "255 255 255" ]; do y=$((y + 1)); done
  echo "$y"
}

# Dialogs, menus and message boxes are X windows of their own.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
# new_window BEFORE: a visible window that was not in BEFORE.
new_window() { comm -13 <(echo "$1") <(visible_windows) | head -n 1 | grep .; }
# wait_new_window BEFORE WHAT: waits for one and prints it.
wait_new_window() {
  wait_until 20 new_window "$1" || fail "$2 did not appear"
  new_window "$1"
}

# The second button of a bar sits at x = 88 of the bar, which has a 2-pixel border and ends
# 4 pixels above the picture's viewport: its middle is 134 right of and 11 above the picture.
second_button() { click_at $(($1 + 134)) $(($2 - 11)); }

gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || [ -z "$(xdotool search --onlyvisible --name '' | grep -x "$1")" ]; }
# answer_dialog BEFORE TEXT TITLE UNTIL...: types TEXT into the dialog titled TITLE that
# opened (DIALOG) and presses Return until the condition UNTIL holds; the line edit's
# completer may take the first Return.
answer_dialog() {
  local before=$1 text=$2 title=$3
  shift 3
  DIALOG=$(wait_new_window "$before" "the dialog") || exit 1
  [ "$(xdotool getwindowname "$DIALOG")" = "$title" ] ||
    fail "the dialog is titled '$(xdotool getwindowname "$DIALOG")', not '$title'"
  xdotool windowfocus --sync "$DIALOG"
  xdotool type --delay 20 "$text"
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$DIALOG" key Return
    wait_until 3 "$@" && return 0
  done
  shoot
  fail "the dialog did not take '$text'"
}
dialog_gone() { gone "$DIALOG"; }
# question_up BEFORE: a second window titled like the save dialog: the question box.
question_up() {
  QUESTION=$(comm -13 <(echo "$1") <(visible_windows) | grep -vx "$DIALOG" |
    while read -r w; do [ "$(xdotool getwindowname "$w")" = "ﾌｧｲﾙを保存" ] && echo "$w"; done | head -n 1)
  [ -n "$QUESTION" ]
}

# exit_by_menu: File > Exit with the mouse (the menu opens as its own window below "File");
# the program ends by itself with status 0.
exit_by_menu() {
  local before popup
  frame_origin
  before=$(visible_windows)
  click_at $((FX + 15)) $((FY + 10))
  popup=$(wait_new_window "$before" "the File menu") || exit 1
  eval "$(xdotool getwindowgeometry --shell "$popup")"
  click_at $((X + 20)) $((Y + 12))
  wait_exit 20
  [ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
}
