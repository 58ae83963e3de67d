#!/usr/bin/env python3
"""Small pixel queries over screenshots for the end-to-end tests (PPM in, text out)."""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit("not an 8-bit P6 PPM: " + path)
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def pixel(img, x, y):
    width, _, px = img
    i = (y * width + x) * 3
    return px[i], px[i + 1], px[i + 2]


def solid_rects(img, w, h, rgb):
    """Top-left corners of w x h rectangles of one colour whose left and upper neighbours differ."""
    width, height, px = img
    run = bytes(rgb) * w
    found = []
    for y in range(height - h + 1):
        row = px[y * width * 3:(y + 1) * width * 3]
        start = row.find(run)
        while start != -1:
            if start % 3 == 0:
                x = start // 3
                left_differs = x == 0 or pixel(img, x - 1, y) != rgb
                up_differs = y == 0 or pixel(img, x, y - 1) != rgb
                if left_differs and up_differs and all(
                        px[((y + dy) * width + x) * 3:((y + dy) * width + x + w) * 3] == run
                        for dy in range(h)):
                    found.append((x, y))
            start = row.find(run, start + 3)
    return found


def count(img, x, y, w, h, rgb, tol):
    n = 0
    for yy in range(y, y + h):
        for xx in range(x, x + w):
            p = pixel(img, xx, yy)
            if all(abs(a - b) <= tol for a, b in zip(p, rgb)):
                n += 1
    return n


def main(argv):
    cmd, path, args = argv[1], argv[2], [int(a) for a in argv[3:]]
    img = read_ppm(path)
    if cmd == "pixel":
        print(*pixel(img, args[0], args[1]))
    elif cmd == "rects":
        for x, y in solid_rects(img, args[0], args[1], tuple(args[2:5])):
            print(x, y)
    elif cmd == "count":
        tol = args[7] if len(args) > 7 else 0
        print(count(img, args[0], args[1], args[2], args[3], tuple(args[4:7]), tol))
    else:
        raise SystemExit("unknown command " + cmd)


if __name__ == "__main__":
    main(sys.argv)
