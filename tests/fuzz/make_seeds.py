#!/usr/bin/env python3
"""Fuzz seeds Qt cannot write: GIF (plain, transparent, interlaced, animated) and a CMYK JPEG.

Usage: make_seeds.py FOLDER. Beside each GIF goes NAME.expected.png, the picture a loader must
show: the first frame, with transparent pixels on white.
"""
import sys

from PIL import Image

WIDTH, HEIGHT = 27, 21
PALETTE = [((i * 97 + 13) % 256, (i * 53 + 101) % 256, (i * 29 + 211) % 256) for i in range(16)]


def indexed(width, height, shift=0):
    image = Image.new("P", (width, height))
    image.putpalette([channel for colour in PALETTE for channel in colour])
    image.putdata([((x // 3) + (y // 2) * 5 + shift) % 16 if x < 18 else (x * 7 + y * 3 + shift) % 16
                   for y in range(height) for x in range(width)])
    return image


def expected(image, transparent=None):
    rgba = image.convert("RGBA")
    if transparent is not None:
        rgba.putdata([(255, 255, 255, 255) if p == transparent else c
                      for p, c in zip(image.getdata(), rgba.getdata())])
    return rgba.convert("RGB")


def main(folder):
    plain = indexed(WIDTH, HEIGHT)
    plain.save(f"{folder}/gif-plain.gif", interlace=False)
    expected(plain).save(f"{folder}/gif-plain.expected.png")

    plain.save(f"{folder}/gif-transparent.gif", interlace=False, transparency=3)
    expected(plain, transparent=3).save(f"{folder}/gif-transparent.expected.png")

    tall = indexed(WIDTH, 23, shift=5)  # taller than 16 rows, so every interlace pass has rows
    tall.save(f"{folder}/gif-interlaced.gif", interlace=True)
    expected(tall).save(f"{folder}/gif-interlaced.expected.png")

    frames = [indexed(WIDTH, HEIGHT, shift=s) for s in (0, 1, 7)]
    frames[0].save(f"{folder}/gif-animated.gif", save_all=True, append_images=frames[1:],
                   duration=80, loop=0, interlace=False)
    expected(frames[0]).save(f"{folder}/gif-animated.expected.png")

    cmyk = Image.new("CMYK", (31, 23))
    cmyk.putdata([((x * 8) % 256, (y * 11) % 256, ((x ^ y) * 9) % 256, (x + y) % 64)
                  for y in range(23) for x in range(31)])
    cmyk.save(f"{folder}/jpeg-cmyk.jpg", quality=90)


if __name__ == "__main__":
    main(sys.argv[1])
