#!/usr/bin/env bash
# The program starts as a whole under a real X server and ends through File > Exit.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_tilora
locate_pictures
dx=$DX dy=$DY sx=$SX sy=$SY

# The gradients show right of each picture: red behind the canvas, blue behind the source.
read -r r g b <<<"$(img pixel $((dx + 326)) $((dy + 2)))"
[ "$r" -gt 90 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ] || fail "no red gradient beside the canvas ($r $g $b)"
read -r r g b <<<"$(img pixel $((sx + 326)) $((sy + 2)))"
[ "$b" -gt 90 ] && [ "$r" -lt 40 ] && [ "$g" -lt 40 ] || fail "no blue gradient beside the source ($r $g $b)"

exit_by_menu
echo "PASS: startup, both windows visible, File > Exit"
