#!/usr/bin/env python3
"""Draws the installer icon (group 108): a red arrow going down into an open box.

Writes avviora.ico with a 16x16 and a 32x32 image of 4 bits per pixel in colours of
the 16-colour VGA palette. Each image's colour table holds only the colours the
drawing uses (biClrUsed), which keeps the stub's image within its fixed size.
Run it again after changing the drawing: python3 make_icon.py avviora.ico
"""
import struct
import sys

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, OLIVE, GREY, RED, YELLOW, WHITE = 0, 1, 3, 8, 9, 11, 15
TRANSPARENT = None


def draw(size):
    """Returns rows of palette indexes (None = transparent), top row first."""
    s = size / 32.0
    px = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    # The box: outline, yellow front, olive shadow at the bottom, open flaps.
    rect(3, 16, 29, 31, BLACK)
    rect(4, 17, 28, 30, YELLOW)
    rect(4, 26, 28, 30, OLIVE)
    rect(0, 13, 7, 17, BLACK)
    rect(1, 14, 6, 16, YELLOW)
    rect(25, 13, 32, 17, BLACK)
    rect(26, 14, 31, 16, YELLOW)
    # The arrow: shaft and head, dark red edge round a red body.
    rect(12, 0, 20, 14, DARK_RED)
    rect(13, 0, 19, 14, RED)
    for row in range(10):
        y = 11 + row
        half = 9 - row
        rect(16 - half, y, 16 + half, y + 1, DARK_RED)
        if half > 1:
            rect(17 - half, y, 15 + half, y + 1, RED)
    rect(15, 20, 17, 21, WHITE)
    return px


def image(size):
    px = draw(size)
    # Transparent pixels are black in the colour bitmap (masked by the AND bitmap).
    used = sorted({BLACK} | {c for row in px for c in row if c is not None})
    index = {colour: i for i, colour in enumerate(used)}
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, len(used), 0)
    palette = b''.join(struct.pack('BBBB', PALETTE[c][2], PALETTE[c][1], PALETTE[c][0], 0)
                       for c in used)
    xor_rows, and_rows = [], []
    for row in reversed(px):  # bitmaps are stored bottom row first
        nibbles = [index[BLACK if c is None else c] for c in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(data + b'\0' * (-len(data) % 4))
        bits = 0
        mask = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b'\0' * (-len(mask) % 4))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def main():
    images = [image(16), image(32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(sys.argv[1] if len(sys.argv) > 1 else 'avviora.ico', 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
