#!/usr/bin/env bash
# The whole main job through the real dialogs: open a generated tile sheet in source window 1,
# select 2 x 2 cells, stamp them twice on the canvas, save through the save dialog under a new
# name without extension (answering the question whether to create it), and compare the saved
# file pixel by pixel with the expected image.
source "$(dirname "$0")/lib.sh"

mkdir -p "$WORK/sheets"
SHEET="$WORK/sheets/tiles.bmp"  # lower case: must still show under "*.BMP"
# sheet.py write PATH | expect SAVED: the sheet, and the check of the saved canvas.
cat >"$WORK/sheet.py" <<'PY'
import struct, sys

def colour(x, y):  # never a pure outline colour
    return (16 + (x * 7) % 224, 16 + (y * 5) % 224, 16 + ((x // 32) * 40 + (y // 32) * 60) % 224)

def write_bmp(path, w, h, px):
    stride = (w * 3 + 3) // 4 * 4
    out = bytearray(b"BM" + struct.pack("<IHHI", 54 + stride * h, 0, 0, 54))
    out += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, stride * h, 2835, 2835, 0, 0)
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px(x, y)
            row += bytes((b, g, r))
        out += row + bytes(stride - len(row))
    open(path, "wb").write(out)

def read_bmp(path):
    d = open(path, "rb").read()
    assert d[:2] == b"BM", "no BM signature"
    size, offset = struct.unpack_from("<I", d, 2)[0], struct.unpack_from("<I", d, 10)[0]
    assert size == len(d), "file size field %d, file %d" % (size, len(d))
    w, h, planes, bits, comp = struct.unpack_from("<iiHHI", d, 18)
    assert (planes, bits, comp) == (1, 24, 0), "not 24-bit BI_RGB: %r" % ((planes, bits, comp),)
    stride = (w * 3 + 3) // 4 * 4
    rows = abs(h)
    def px(x, y):
        fy = rows - 1 - y if h > 0 else y
        i = offset + fy * stride + 3 * x
        return (d[i + 2], d[i + 1], d[i])
    return w, rows, px

if __name__ == "__main__":
    if sys.argv[1] == "write":
        write_bmp(sys.argv[2], 128, 96, colour)
    else:
        w, h, px = read_bmp(sys.argv[2])
        assert (w, h) == (324, 212), "saved %d x %d, not 324 x 212" % (w, h)
        # The clip is cells (1, 1)..(2, 2): pixels 32..95; stamped at (0, 0) and at (128, 64).
        def expected(x, y):
            for ox, oy in ((0, 0), (128, 64)):
                if ox <= x < ox + 64 and oy <= y < oy + 64:
                    return colour(x - ox + 32, y - oy + 32)
            return (255, 255, 255)
        bad = [(x, y) for y in range(h) for x in range(w) if px(x, y) != expected(x, y)]
        assert not bad, "%d pixels differ, first at %r: %r, not %r" % (
            len(bad), bad[0], px(*bad[0]), expected(*bad[0]))
PY
python3 "$WORK/sheet.py" write "$SHEET"

start_xvfb
start_tilora
locate_pictures
dx=$DX dy=$DY sx=$SX sy=$SY

# Load Image in source window 1, typing the sheet's full path.
before=$(visible_windows)
second_button "$sx" "$sy"
answer_dialog "$before" "$SHEET" "ﾌｧｲﾙを開く" dialog_gone
want=$(python3 -c "import sys; sys.path.insert(0, '$WORK'); from sheet import colour; print(*colour(100, 80))")
is_at() { shoot && [ "$(img pixel "$1" "$2")" = "$3" ]; }
wait_until 10 is_at $((sx + 100)) $((sy + 80)) "$want" || fail "the tile sheet did not appear in source window 1"

# Select cells (1, 1) to (2, 2), then stamp at canvas cells (0, 0) and (4, 2).
xdotool mousemove --sync $((sx + 40)) $((sy + 40)) mousedown 1
xdotool mousemove --sync $((sx + 55)) $((sy + 55)) mousemove --sync $((sx + 70)) $((sy + 70)) mouseup 1
xdotool mousemove --sync $((dx + 5)) $((dy + 5)) click 1
xdotool mousemove --sync $((dx + 60)) $((dy + 150)) mousemove --sync $((dx + 130)) $((dy + 70)) click 1
want=$(python3 -c "import sys; sys.path.insert(0, '$WORK'); from sheet import colour; print(*colour(40, 40))")
wait_until 10 is_at $((dx + 136)) $((dy + 72)) "$want" || fail "the second stamp is not on the canvas"
# The red preview stays on screen while saving; the file must not have it.
xdotool mousemove --sync $((dx + 200)) $((dy + 100))

# Save Picture: the dialog opens where the sheet was; a new name without extension.
before=$(visible_windows)
second_button "$dx" "$dy"
xdotool mousemove --sync $((dx + 200)) $((dy + 100))
answer_dialog "$before" "canvas" "ﾌｧｲﾙを保存" question_up "$before"
question_up "$before"
xdotool windowfocus --sync "$QUESTION" key y
wait_until 10 dialog_gone || fail "the save dialog stayed open after the answer"
saved="$WORK/sheets/canvas"
wait_until 15 test -s "$saved" || { shoot; fail "no file was saved at $saved"; }
wait_until 5 bash -c "[ \$(stat -c %s '$saved') -eq $((54 + 972 * 212)) ]" || fail "the saved file has $(stat -c %s "$saved") bytes"
ls "$WORK/sheets" | grep -qvx -e tiles.bmp -e canvas && fail "unexpected files: $(ls "$WORK/sheets")"
python3 "$WORK/sheet.py" expect "$saved" || fail "the saved canvas is not the expected image"
echo "PASS: open dialog, 2 x 2 selection, two stamps, save dialog with a new name, pixels exact"
