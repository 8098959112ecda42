#!/usr/bin/env python3
"""Draws the program's pictures. Standard library only; the output is the same
every run.

artwork.bmp: the product name in large coloured letters on a grey brushed-metal
ground inside a bevelled frame. 139 x 114 pixels, 24 bits per pixel, uncompressed.

    python3 make_artwork.py [OUTPUT]

The application icon in the same look: the Q of the artwork, one colour per row
of the letter, on a rounded tile of the same metal. PNG files at every size the
desktop asks for (quorwin-SIZE.png) and one Windows icon file holding 16 to 256
pixels (quorwin.ico), all in OUTPUT_DIR.

    python3 make_artwork.py --icons OUTPUT_DIR
"""
import os
import random
import struct
import sys
import zlib

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


ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
SHADOW = (60, 60, 64)


def icon(size):
    """One icon as rows of (r, g, b, a): the tile, its bevel, then the letter."""
    pad = max(1, size // 16)
    radius = size * 0.18
    edge = max(1, size // 40)
    rng = random.Random(1995)
    streaks = [rng.uniform(-14, 14) for _ in range(64)]
    noise = 6 * min(1.0, size / 64)
    low, high = pad, size - pad

    def inside(x, y):
        # Distance into the rounded tile; negative outside it.
        half = (high - low) / 2
        qx = abs(x - size / 2) - (half - radius)
        qy = abs(y - size / 2) - (half - radius)
        outer = (max(qx, 0) ** 2 + max(qy, 0) ** 2) ** 0.5
        return radius - outer - min(max(qx, qy), 0)

    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            # Coverage from 4 x 4 samples, for smooth corners.
            hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4) > 0
                       for i in range(4) for j in range(4))
            if hits == 0:
                row.append((0, 0, 0, 0))
                continue
            depth = inside(x + 0.5, y + 0.5)
            if depth < edge:
                # The artwork's bevel: lit from the top left, in steps inward.
                step = int(depth * 4 / edge)
                grey = 235 - 12 * step if x + y < size - 1 else 80 + 12 * step
                row.append((grey, grey, grey, clamp(255 * hits / 16)))
                continue
            grey = (168 + streaks[y * 64 // size] + rng.uniform(-noise, noise)
                    + 10 * (x / size - 0.5))
            row.append((clamp(grey), clamp(grey), clamp(grey + 4), clamp(255 * hits / 16)))
        pixels.append(row)

    glyph = GLYPHS["Q"]
    cell = max(2, round((high - low) * 0.64 / 7))
    shadow = max(1, (cell * 2) // 5)
    left = max(pad, (size - 5 * cell - shadow) // 2)
    top = max(pad, (size - 7 * cell - shadow) // 2)
    for (dx, dy, shade) in ((shadow, shadow, True), (0, 0, False)):
        for gy, line in enumerate(glyph):
            for gx, mark in enumerate(line):
                if mark != "#":
                    continue
                for cy in range(cell):
                    for cx in range(cell):
                        x, y = left + gx * cell + cx + dx, top + gy * cell + cy + dy
                        if shade:
                            colour = SHADOW
                        else:
                            lift = 40 * (1 - cy / cell) * (1 - gy / 7)
                            colour = tuple(clamp(v + lift) for v in COLOURS[gy])
                        pixels[y][x] = colour + (255,)
    return pixels


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def dib(pixels):
    """An icon image as Windows keeps it: a 32-bit bitmap, bottom-up, with an
    all-clear mask after it (the alpha channel does the masking)."""
    size = len(pixels)
    mask_stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         size * size * 4 + mask_stride * size, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    return header + colour + b"\0" * (mask_stride * size)


def write_ico(path, images):
    """images: (size, pixels) pairs. Small sizes as bitmaps, 256 as PNG."""
    entries, data = b"", b""
    offset = 6 + 16 * len(images)
    for size, pixels in images:
        blob = png(pixels) if size >= 256 else dib(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob),
                               offset + len(data))
        data += blob
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)) + entries + data)


def write_icons(directory):
    os.makedirs(directory, exist_ok=True)
    images = [(size, icon(size)) for size in ICON_SIZES]
    for size, pixels in images:
        with open(os.path.join(directory, f"quorwin-{size}.png"), "wb") as out:
            out.write(png(pixels))
    write_ico(os.path.join(directory, "quorwin.ico"), images)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--icons":
        write_icons(sys.argv[2])
        return
    pixels = metal()
    bevel(pixels)
    letters(pixels, "Quor", 14, 5, 0)
    letters(pixels, "win", 60, 5, 4)
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "artwork.bmp", pixels)


if __name__ == "__main__":
    main()
