#!/usr/bin/env python3
"""Draws the setup program's pictures: a trochoid on the saver's gradient
for the welcome and finish pages (164 x 314, the size the modern pages
show) and the header (150 x 57) with a small one beside the product name's
space. Writes 24-bit BMPs into resources/."""
import math
import struct
import sys


def gradient(width, height, corner, centre):
    """The saver's look: dark corners, a bright centre."""
    cx, cy = (width - 1) / 2, (height - 1) / 2
    far = math.hypot(cx, cy)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            t = 1 - math.hypot(x - cx, y - cy) / far
            row.append(tuple(int(a + (b - a) * t) for a, b in zip(corner, centre)))
        rows.append(row)
    return rows


def trochoid(rows, cx, cy, scale, big, small, pen, laps):
    """Plots a hypotrochoid with a pen colour that walks like the saver's."""
    height, width = len(rows), len(rows[0])
    s = big + small
    steps = 4000 * laps
    for i in range(steps):
        t = 2 * math.pi * laps * i / steps
        px = s * math.cos(t) - pen * math.cos(s * t / small)
        py = s * math.sin(t) - pen * math.sin(s * t / small)
        phase = i / steps * 2 * math.pi
        colour = (int(200 + 55 * math.cos(phase)), int(150 + 100 * math.cos(phase + 2)),
                  int(180 + 75 * math.cos(phase + 4)))
        for dx, dy in ((0, 0), (1, 0), (0, 1)):
            x, y = int(cx + px * scale) + dx, int(cy + py * scale) + dy
            if 0 <= x < width and 0 <= y < height:
                rows[y][x] = colour


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b''
    for row in reversed(rows):
        line = b''.join(struct.pack('BBB', b, g, r) for r, g, b in row)
        pixels += line + b'\0' * (stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as out:
        out.write(header + info + pixels)


def main(folder):
    welcome = gradient(164, 314, (10, 14, 40), (70, 90, 170))
    trochoid(welcome, 82, 157, 13.0, 5.0, -3.0, 2.2, 3)
    trochoid(welcome, 82, 157, 6.0, 7.0, 2.0, 1.5, 2)
    write_bmp(f'{folder}/setup-welcome.bmp', welcome)
    header = [[(255, 255, 255)] * 150 for _ in range(57)]
    badge = gradient(50, 50, (10, 14, 40), (70, 90, 170))
    trochoid(badge, 25, 25, 3.6, 5.0, -3.0, 2.2, 3)
    for y in range(50):
        header[y + 3][97:147] = badge[y]
    write_bmp(f'{folder}/setup-header.bmp', header)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources')
