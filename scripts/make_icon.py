#!/usr/bin/env python3
"""Draws Brevanto's 32x32, 16-colour icon (a report page with a test tube) as a .ico file."""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREY, SILVER, WHITE, BLUE, RED, TEAL = 0, 8, 7, 15, 4, 9, 6  # palette indexes


def draw():
    size = 32
    pixels = [[None] * size for _ in range(size)]  # None is transparent

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y][x] = colour

    # The page, with a folded corner and an outline.
    rect(5, 2, 24, 29, WHITE)
    for i in range(6):
        for x in range(25 - 6 + i, 25):
            pixels[2 + i][x] = None
    for y in range(2, 30):
        pixels[y][5] = BLACK
    for x in range(5, 19):
        pixels[2][x] = BLACK
    for y in range(8, 30):
        pixels[y][24] = BLACK
    for x in range(5, 25):
        pixels[29][x] = BLACK
    for i in range(7):
        pixels[2 + i][18 + i] = BLACK
    rect(18, 3, 18, 8, GREY)
    rect(18, 8, 23, 8, GREY)
    # Report lines.
    for y in (6, 9, 12, 15):
        rect(8, y, 15 if y < 9 else 21, y, BLUE)
    # The test tube, half full.
    rect(10, 18, 14, 18, BLACK)
    rect(11, 19, 13, 27, SILVER)
    rect(11, 23, 13, 27, RED)
    for y in range(19, 28):
        pixels[y][10] = BLACK
        pixels[y][14] = BLACK
    rect(11, 28, 13, 28, BLACK)
    # A result bar chart beside it.
    rect(17, 24, 18, 27, TEAL)
    rect(20, 20, 21, 27, TEAL)
    return pixels


def encode(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor, mask = bytearray(), bytearray()
    for row in reversed(pixels):  # bottom-up
        for x in range(0, size, 2):
            hi, lo = (row[x] or 0), (row[x + 1] or 0)
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(size):
            bits = bits << 1 | (1 if row[x] is None else 0)
        mask += struct.pack('>I', bits)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4,
                                                            len(image), 22)
    return directory + image


if __name__ == '__main__':
    with open(sys.argv[1], 'wb') as out:
        out.write(encode(draw()))
