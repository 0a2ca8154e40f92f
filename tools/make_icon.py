#!/usr/bin/env python3
"""Draw the program's icon and write it as resources/tavelo.ico.

The image
    A sheet of paper with its top right corner folded over, and on it a bold
    red hanzi 中 ("middle", as in 中文, Chinese) above three lines of text,
    with a grey shadow to the right and below.  Bold shapes and one strong
    colour keep it recognizable when the system shrinks it for the caption.

The file
    One 32x32 image in 16 colours (4 bits a pixel, the standard VGA palette)
    with its 1-bit AND mask, the form of the classic Windows icons.  The
    output depends on nothing but this script, so it is byte-for-byte
    reproducible.

Usage
    tools/make_icon.py [output]      (default: resources/tavelo.ico)
"""

import os
import struct
import sys

SIZE = 32

# The 16 colours of the VGA palette, in the order Windows numbers them (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, NAVY, SILVER, GREY, RED, WHITE = 0, 1, 4, 7, 8, 9, 15

TRANSPARENT = None  # a pixel the icon leaves to whatever lies behind it

# The sheet's edges (inclusive) and the size of its folded corner.
PAGE_LEFT, PAGE_TOP, PAGE_RIGHT, PAGE_BOTTOM = 4, 1, 26, 29
FOLD = 7


def blank():
    return [[TRANSPARENT] * SIZE for _ in range(SIZE)]


def fill(image, left, top, right, bottom, colour):
    """Paints the rectangle from (left, top) to (right, bottom), both inclusive."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            image[y][x] = colour


def in_fold(x, y):
    """Whether (x, y) lies in the corner square that the fold takes off the sheet."""
    return x > PAGE_RIGHT - FOLD and y < PAGE_TOP + FOLD


def cut_off(x, y):
    """Whether (x, y) is beyond the fold's diagonal, where the sheet is gone."""
    return in_fold(x, y) and (x - (PAGE_RIGHT - FOLD)) > (y - PAGE_TOP)


def draw_sheet(image):
    # The shadow: one pixel right of and below the sheet, offset by two.
    fill(image, PAGE_RIGHT + 1, PAGE_TOP + FOLD + 1, PAGE_RIGHT + 1, PAGE_BOTTOM + 1, GREY)
    fill(image, PAGE_LEFT + 2, PAGE_BOTTOM + 1, PAGE_RIGHT + 1, PAGE_BOTTOM + 1, GREY)
    fill(image, PAGE_LEFT, PAGE_TOP, PAGE_RIGHT, PAGE_BOTTOM, WHITE)
    for y in range(PAGE_TOP, PAGE_BOTTOM + 1):
        for x in range(PAGE_LEFT, PAGE_RIGHT + 1):
            edge = x in (PAGE_LEFT, PAGE_RIGHT) or y in (PAGE_TOP, PAGE_BOTTOM)
            if cut_off(x, y):
                image[y][x] = TRANSPARENT
            elif edge:
                image[y][x] = BLACK
    # The folded-over flap: a silver triangle below the diagonal, outlined.
    corner_x, corner_y = PAGE_RIGHT - FOLD, PAGE_TOP
    for d in range(FOLD + 1):
        image[corner_y + d][corner_x + d] = BLACK           # the fold line
        image[corner_y + FOLD][corner_x + d] = BLACK        # the flap's lower edge
        image[corner_y + d][corner_x] = BLACK               # the flap's left edge
        for x in range(corner_x + 1, corner_x + d):
            image[corner_y + d][x] = SILVER


def draw_hanzi(image):
    """A bold 中: a wide box crossed by one tall vertical stroke."""
    left, right = 8, 21
    box_top, box_bottom = 8, 16
    stroke = 2
    fill(image, left, box_top, right, box_top + stroke - 1, RED)
    fill(image, left, box_bottom - stroke + 1, right, box_bottom, RED)
    fill(image, left, box_top, left + stroke - 1, box_bottom, RED)
    fill(image, right - stroke + 1, box_top, right, box_bottom, RED)
    middle = (left + right) // 2
    fill(image, middle, 3, middle + 1, 21, RED)
    # A darker edge on the right and below gives the strokes some weight.
    for y in range(SIZE):
        for x in range(SIZE):
            if image[y][x] == RED:
                for nx, ny in ((x + 1, y), (x, y + 1)):
                    if image[ny][nx] == WHITE and 7 <= nx <= 23 and ny <= 22:
                        image[ny][nx] = MAROON


def draw_text_lines(image):
    """Three lines of "text" under the glyph, the last one short."""
    for y, right in ((24, 22), (26, 22), (28, 16)):
        fill(image, 8, y, right, y, NAVY)


def draw():
    image = blank()
    draw_sheet(image)
    draw_hanzi(image)
    draw_text_lines(image)
    return image


def rows_bottom_up(image):
    return [image[y] for y in range(SIZE - 1, -1, -1)]


def colour_rows(image):
    """The XOR image: 4 bits a pixel, high nibble first, rows padded to 4 bytes."""
    data = bytearray()
    for row in rows_bottom_up(image):
        indices = [BLACK if p is TRANSPARENT else p for p in row]
        line = bytes((indices[x] << 4) | indices[x + 1] for x in range(0, SIZE, 2))
        data += line + bytes(-len(line) % 4)
    return bytes(data)


def mask_rows(image):
    """The AND mask: 1 where the icon is transparent, rows padded to 4 bytes."""
    data = bytearray()
    for row in rows_bottom_up(image):
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is TRANSPARENT else 0)
        line = bits.to_bytes(SIZE // 8, "big")
        data += line + bytes(-len(line) % 4)
    return bytes(data)


def icon_file(image):
    xor, mask = colour_rows(image), mask_rows(image)
    # The header's height counts the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    picture = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(picture), 6 + 16)
    return directory + entry + picture


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "tavelo.ico")
    with open(output, "wb") as file:
        file.write(icon_file(draw()))


if __name__ == "__main__":
    main()
