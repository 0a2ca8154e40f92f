#!/usr/bin/env python3
"""Pixel work for the Wine tests, on 8-bit grey images stored row by row.

pixels.py client SHOT.gray WIDTH HEIGHT
    Prints LEFT TOP WIDTH HEIGHT of the main window's client area within a
    screenshot of its X11 window. Without a window manager that window holds
    the menu bar, the sunken client edge (two lines on each side: dark at the
    top and left, light at the bottom and right), the client area and, when
    shown, the vertical scroll bar inside the edge. The client is white at
    its top-left, left and bottom margins, which the painter never draws on.

pixels.py compare SHOT.gray SHOT_WIDTH LEFT TOP PAGE.gray WIDTH HEIGHT
    Compares the WIDTH x HEIGHT rectangle of the screenshot at LEFT, TOP with
    a page of that size, both cut at mid-grey into black and white. Exit 0
    when every pixel agrees; otherwise prints how many differ and where the
    first one is, and exits 1.
"""
import sys

WHITE = 255


def inner_edge(start, stop, pixel):
    """Walks back from start past a white run, then past the frame's lines;
    the client's exclusive edge is one step after where the walk stops."""
    at = start
    while at > stop and pixel(at) == WHITE:
        at -= 1
    while at > stop and pixel(at) != WHITE:
        at -= 1
    return at + 1


def load(path, width):
    data = open(path, "rb").read()
    return data, len(data) // width


def client(path, width, height):
    data, rows = load(path, width)
    if rows != height:
        sys.exit("client: the image is not %dx%d" % (width, height))
    px = lambda x, y: data[y * width + x]
    menu = px(0, 0)
    # The edge's top line is the first row below the menu bar whose first pixel differs from it.
    edge = next((y for y in range(height) if px(0, y) != menu), None)
    if edge is None or edge + 4 >= height:
        sys.exit("client: no client edge below the menu bar")
    probe = edge + 4
    left = next((x for x in range(width) if px(x, probe) == WHITE), None)
    if left is None:
        sys.exit("client: no white client left of the frame")
    top = next((y for y in range(edge, height) if px(left, y) == WHITE), None)
    # From the right: the edge's outer light line, then the edge's inner line
    # and the scroll bar, which hold no pure white on the client's top row.
    right = inner_edge(width - 1, left, lambda x: px(x, top))
    # From the bottom, the same two kinds of line along the left margin.
    bottom = inner_edge(height - 1, top, lambda y: px(left, y))
    if right - left < 8 or bottom - top < 8:
        sys.exit("client: no client area found")
    print(left, top, right - left, bottom - top)


def compare(shot_path, shot_width, left, top, page_path, width, height):
    shot, shot_rows = load(shot_path, shot_width)
    page, page_rows = load(page_path, width)
    if page_rows != height or left + width > shot_width or top + height > shot_rows:
        print("the page (%dx%d) does not fit the screenshot at %d,%d" % (width, height, left, top))
        return 1
    differing = 0
    first = None
    for y in range(height):
        row = shot[(top + y) * shot_width + left:(top + y) * shot_width + left + width]
        expected = page[y * width:(y + 1) * width]
        if row == expected:
            continue
        for x in range(width):
            if (row[x] >= 128) != (expected[x] >= 128):
                differing += 1
                if first is None:
                    first = (x, y)
    if differing == 0:
        return 0
    print("%d pixels differ, the first at client %d,%d" % (differing, first[0], first[1]))
    return 1


def main(argv):
    if len(argv) == 4 and argv[0] == "client":
        client(argv[1], int(argv[2]), int(argv[3]))
        return 0
    if len(argv) == 8 and argv[0] == "compare":
        a = argv
        return compare(a[1], int(a[2]), int(a[3]), int(a[4]), a[5], int(a[6]), int(a[7]))
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
