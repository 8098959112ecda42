#!/usr/bin/env python3
"""Draws artwork.bmp: the product name in large coloured letters on a grey
brushed-metal ground inside a bevelled frame. 139 x 114 pixels, 24 bits per
pixel, uncompressed. Standard library only; the output is the same every run.

    python3 make_artwork.py [OUTPUT]
"""
import random
import struct
import sys

WIDTH, HEIGHT = 139, 114
BEVEL = 4

GLYPHS = {
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
}
# One colour per letter, dark enough to stand out on grey.
COLOURS = [(200, 30, 40), (230, 120, 20), (200, 170, 0), (40, 150, 50),
           (20, 110, 200), (110, 50, 180), (190, 40, 140)]


def clamp(v):
    return max(0, min(255, int(v)))


def metal():
    rng = random.Random(1995)
    pixels = []
    for y in range(HEIGHT):
        streak = rng.uniform(-14, 14)
        row = []
        for x in range(WIDTH):
            grey = 168 + streak + rng.uniform(-6, 6) + 10 * (x / WIDTH - 0.5)
            row.append((clamp(grey), clamp(grey), clamp(grey + 4)))
        pixels.append(row)
    return pixels


def bevel(pixels):
    for y in range(HEIGHT):
        for x in range(WIDTH):
            edge = min(x, y, WIDTH - 1 - x, HEIGHT - 1 - y)
            if edge >= BEVEL:
                continue
            light = x < WIDTH - 1 - edge and y < HEIGHT - 1 - edge and (x == edge or y == edge)
            shade = 235 - 12 * edge if light else 80 + 12 * edge
            pixels[y][x] = (shade, shade, shade)


def letters(pixels, text, top, scale, first_colour):
    width = len(text) * 6 * scale - scale
    left = (WIDTH - width) // 2
    for n, ch in enumerate(text):
        colour = COLOURS[(first_colour + n) % len(COLOURS)]
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, cell in enumerate(line):
                if cell != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + (n * 6 + gx) * scale + dx
                        y = top + gy * scale + dy
                        # A dark shadow down and to the right, then the letter.
                        for (px, py, c) in ((x + 2, y + 2, (60, 60, 64)), (x, y, None)):
                            if not (0 <= px < WIDTH and 0 <= py < HEIGHT):
                                continue
                            if c is None:
                                lift = 40 * (1 - dy / scale) * (1 - gy / 7)
                                c = tuple(clamp(v + lift) for v in colour)
                            pixels[py][px] = c


def write_bmp(path, pixels):
    stride = (WIDTH * 3 + 3) & ~3
    image = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for (r, g, b) in pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        image += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


def main():
    pixels = metal()
    bevel(pixels)
    letters(pixels, "Quor", 14, 5, 0)
    letters(pixels, "win", 60, 5, 4)
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "artwork.bmp", pixels)


if __name__ == "__main__":
    main()
