#!/usr/bin/env python3
"""Draws the application icon: a hypotrochoid in a few colours on a dark
ground. Writes resources/gyrel.ico with a 32x32 16-colour image (what the
saver lists) and a 64x64 true-colour image for scaled displays."""
import math
import struct
import sys

PALETTE = [  # 16 colours, (r, g, b)
    (8, 10, 28), (20, 24, 60), (40, 48, 110), (0, 0, 0),
    (0, 200, 220), (240, 70, 200), (250, 220, 60), (255, 255, 255),
    (0, 120, 140), (150, 40, 130), (160, 140, 30), (90, 100, 160),
    (0, 0, 0), (0, 0, 0), (0, 0, 0), (0, 0, 0)]
BRIGHT = [4, 5, 6]
DIM = [8, 9, 10]


def render(size):
    """Returns rows of palette indices (top row first)."""
    grid = [[0] * size for _ in range(size)]
    centre = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - centre, y - centre) / (size / 2)
            grid[y][x] = 2 if d < 0.35 else 1 if d < 0.75 else 0
    big, small, pen = 5.0, -2.0, 1.8  # R, r, d: a looped rosette
    scale = (size / 2 - 1.5) / (abs(big + small) + pen)
    steps = 3000
    for i in range(steps):
        t = 2 * math.pi * 2 * i / steps
        s = big + small
        px = s * math.cos(t) - pen * math.cos(s * t / small)
        py = s * math.sin(t) - pen * math.sin(s * t / small)
        colour = (i * 3) // steps
        x = int(round(centre + px * scale))
        y = int(round(centre + py * scale))
        if 0 <= x < size and 0 <= y < size:
            grid[y][x] = BRIGHT[colour]
            for nx, ny in ((x + 1, y), (x, y + 1)):
                if size > 32 and 0 <= nx < size and 0 <= ny < size and grid[ny][nx] < 4:
                    grid[ny][nx] = DIM[colour]
    return grid


def dib_4bpp(grid):
    size = len(grid)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = b''
    for row in reversed(grid):
        line = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        xor += line + b'\0' * ((4 - len(line) % 4) % 4)
    mask_row = (size + 31) // 32 * 4
    return header + palette + xor + b'\0' * mask_row * size


def dib_32bpp(grid):
    size = len(grid)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''
    for row in reversed(grid):
        xor += b''.join(struct.pack('BBBB', PALETTE[i][2], PALETTE[i][1], PALETTE[i][0], 255)
                        for i in row)
    mask_row = (size + 31) // 32 * 4
    return header + xor + b'\0' * mask_row * size


def main(path):
    images = [(32, 16, 4, dib_4bpp(render(32))), (64, 0, 32, dib_32bpp(render(64)))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b''.join(data for *_, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/gyrel.ico')
