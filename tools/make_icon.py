#!/usr/bin/env python3
"""Draws the program's icon: a knobbly tyre with a green check mark, as a
32x32 and a 16x16 image of 16 colours, and writes them as one .ico file."""
import math
import struct
import sys

# The 16 standard VGA colours, as (blue, green, red, 0) in the file.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, LIGHT_GREY, WHITE, GREEN, DARK_GREEN, YELLOW = 0, 8, 7, 15, 10, 2, 11
CLEAR = None


def draw(size):
    """Returns rows top to bottom of palette indexes, CLEAR for transparent."""
    pixels = [[CLEAR] * size for _ in range(size)]
    centre = (size - 1) / 2
    outer, tread, rim, hub = size * 0.48, size * 0.40, size * 0.27, size * 0.09
    for y in range(size):
        for x in range(size):
            dx, dy = x - centre, y - centre
            r = (dx * dx + dy * dy) ** 0.5
            if r <= hub:
                pixels[y][x] = YELLOW
            elif r <= rim:
                # five spokes on a grey rim
                pixels[y][x] = LIGHT_GREY if (abs(dx) < size * 0.05 or abs(dy) < size * 0.05) else DARK_GREY
            elif r <= tread:
                pixels[y][x] = BLACK
            elif r <= outer:
                # knobs: every other sector of the outer ring
                sector = int((math.atan2(dy, dx) + math.pi) / (2 * math.pi) * 16)
                pixels[y][x] = BLACK if sector % 2 == 0 else CLEAR
    # check mark in the lower right corner, with a dark outline
    scale = size / 32
    def mark(points, colour, width):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            steps = int(max(abs(x1 - x0), abs(y1 - y0)) * scale * 2) + 1
            for i in range(steps + 1):
                t = i / steps
                cx, cy = (x0 + (x1 - x0) * t) * scale, (y0 + (y1 - y0) * t) * scale
                for oy in range(-width, width + 1):
                    for ox in range(-width, width + 1):
                        px, py = int(round(cx + ox)), int(round(cy + oy))
                        if 0 <= px < size and 0 <= py < size:
                            pixels[py][px] = colour
    check = [(17, 22), (21, 27), (30, 15)]
    mark(check, DARK_GREEN, 2 if size >= 32 else 1)
    mark(check, GREEN, 1 if size >= 32 else 0)
    return pixels


def image(size):
    pixels = draw(size)
    xor_row = ((size * 4 + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor, mask = b"", b""
    for row in reversed(pixels):  # bottom-up
        nibbles = [0 if p is CLEAR else p for p in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += data.ljust(xor_row, b"\0")
        bits = 0
        for x, p in enumerate(row):
            if p is CLEAR:
                bits |= 1 << (size - 1 - x)
        mask += bits.to_bytes(size // 8, "big").ljust(and_row, b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + xor + mask


def main(path):
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/tolvaren.ico")
