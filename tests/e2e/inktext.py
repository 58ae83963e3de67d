#!/usr/bin/env python3
"""Does a region of a screenshot show the given text? X has no way to read a message box's
text back, so the dark pixels of the region are compared with the text rendered by ImageMagick
in the font fontconfig picks for Japanese, both aligned on their ink.
usage: inktext.py SHOT WxH+X+Y TEXT  (exit 0 when the text matches, else 1)"""
import subprocess
import sys

PIXEL_SIZE_ARGS = ["-pointsize", "9", "-density", "96"]  # Qt's default 9 pt at 96 dpi
MAX_DIFFERENCE = 0.08  # one wrong glyph among twenty differs by more than 0.1


def gray(args):
    data = subprocess.run(["convert"] + args + ["-colorspace", "Gray", "-depth", "8", "pgm:-"],
                          capture_output=True, check=True).stdout
    magic, w, h, _, rest = data.split(maxsplit=4)
    w, h = int(w), int(h)
    return w, h, rest[-w * h:]


def ink(img):
    w, h, px = img
    on = {(x, y) for y in range(h) for x in range(w) if px[y * w + x] < 128}
    if not on:
        return set()
    x0 = min(x for x, _ in on)
    y0 = min(y for _, y in on)
    return {(x - x0, y - y0) for x, y in on}


def main(shot, crop, text):
    font = subprocess.run(["fc-match", "-f", "%{file}", ":lang=ja"], capture_output=True,
                          text=True, check=True).stdout
    shown = ink(gray([shot, "-crop", crop, "+repage"]))
    expected = ink(gray(["-font", font] + PIXEL_SIZE_ARGS + ["label:" + text]))
    union = shown | expected
    difference = len(shown ^ expected) / max(1, len(union))
    print(f"{difference:.3f}")
    return 0 if union and difference <= MAX_DIFFERENCE else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
