#!/usr/bin/env python3
"""wayland-mapped.py LOG TITLE: succeeds once a Wayland client's protocol log (WAYLAND_DEBUG)
shows its toplevel titled TITLE on the screen: the compositor has said that the toplevel's
surface entered an output, which it does only for a surface it maps. The log's timestamps are
milliseconds modulo 2^32, padded to seven digits: for a while after each wrap they begin with spaces."""
import re
import sys

log, title = sys.argv[1], sys.argv[2]
surface_of, xdg_surface_of, frame = {}, {}, None
with open(log, errors="replace") as lines:
    for line in lines:
        if m := re.search(r"get_xdg_surface\(new id xdg_surface@(\d+), wl_surface@(\d+)\)", line):
            surface_of[m[1]] = m[2]
        elif m := re.search(r"xdg_surface@(\d+)\.get_toplevel\(new id xdg_toplevel@(\d+)\)", line):
            xdg_surface_of[m[2]] = m[1]
        elif (m := re.search(r"xdg_toplevel@(\d+)\.set_title\((\".*\")\)", line)) and m[2] == f'"{title}"':
            frame = surface_of.get(xdg_surface_of.get(m[1]))
        elif frame and re.match(rf"\[\s*[\d.]+\] wl_surface@{frame}\.enter\(", line):
            sys.exit(0)
sys.exit(1)
