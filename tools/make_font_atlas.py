#!/usr/bin/env python3
"""Build the glyph atlas bitmap (resources/font.bmp) from Debian's bitmap fonts.

Sources
    Wide cells (13x13): WenQuanYi Bitmap Song 13 px, package xfonts-wqy,
    /usr/share/fonts/X11/misc/wenquanyi_10pt.pcf (ISO10646 encoded; its
    hanzi are 12x12 ink on a 13-pixel advance).  GB2312 codes are turned
    into Unicode with Python's gb2312 codec, and the gbk codec's reading of
    the same two bytes is tried after it (the two tables disagree on 0xA1A4
    and 0xA1AA, and the font has U+2014 but not U+2015 for 0xA1AA).
    Fallback for the wide cells: wenquanyi_13px.pcf from the same package.
    A code takes the first glyph, main font first, that fits its cell on
    the common baseline unmoved, else the main font's glyph moved to fit
    (see Baseline); a code no font has stays blank.
    Narrow cells (7x13): misc-fixed 7x13, package xfonts-base,
    /usr/share/fonts/X11/misc/7x13.pcf.gz, bytes 32..126.
    All are converted to BDF text with pcf2bdf in a temporary directory.

Image layout (1248x1040 pixels, 96 x 80 cells of 13x13, y downward)
    GB lead 0xA1-0xA9      atlas rows 0-8,   column = trail - 0xA1
    GB lead 0xB0-0xF6      atlas rows 9-79,  row = lead - 0xA1 - 6
    GB lead 0xF7, cell n   atlas row n // 2, column 94 + n % 2
    wide placeholder       cell (row 47, column 94) = pixel (1222, 611)
    blank cell             cell (row 47, column 95)
    ASCII 32..127          7x13 cells from (1222, 624), three across and
                           32 down; byte 127 is the narrow placeholder;
                           pixels x 1243-1247 of those rows stay blank
    Unassigned GB2312 positions are blank.

Baseline
    Every cell puts the font baseline under cell row 10 (counting the top
    row as 0): rows 0-10 hold the ascent, rows 11-12 the descent.  That is
    exactly 7x13's own metrics (FONT_ASCENT 11, FONT_DESCENT 2), and the
    WenQuanYi hanzi (BBX 12 12 0 -1, ink from 1 below to 11 above the
    baseline) land on rows 0-11, so hanzi and ASCII share one baseline.
    WenQuanYi's FONT_ASCENT 12 / FONT_DESCENT 3 box is 15 rows, taller than
    the cell; the few symbols whose ink reaches beyond rows 0-12 are moved
    up or down just enough to fit, except box-drawing pieces (lead 0xA9),
    which keep their stroke positions so that they join and are clipped.
    Horizontally a glyph's advance is centred in its cell and the glyph
    sits at its BBX x offset within that advance; ink that would still
    fall outside the cell is moved in the same way.

File format
    The file is what a resource compiler's BITMAP statement reads: a
    14-byte BITMAPFILEHEADER followed by the 162,288-byte packed DIB that
    becomes the resource (windres drops the file header).  The file header
    is "BM", bfSize 162,302 (the whole file), two reserved zero words and
    bfOffBits 62 (14 + 40 + 8: the pixels follow the info header and the
    two-entry palette), all little-endian.  The DIB is a 40-byte
    BITMAPINFOHEADER (1248 x 1040, 1 plane, 1 bit, BI_RGB, biSizeImage
    162,240, 3780 pixels per metre both ways, 2 colours used and
    important), the palette black then white, and 1040 rows of 156 bytes
    stored bottom-up; a clear bit is ink, a set bit is paper, and the
    leftmost pixel of each byte is its most significant bit.

The script prints how many GB2312 codes are assigned, how many each font
supplied and which codes stayed blank.
"""

import argparse
import os
import struct
import subprocess
import sys
import tempfile

FONT_DIR = "/usr/share/fonts/X11/misc"
WIDE_FONT = os.path.join(FONT_DIR, "wenquanyi_10pt.pcf")
WIDE_FALLBACKS = [os.path.join(FONT_DIR, "wenquanyi_13px.pcf")]
NARROW_FONT = os.path.join(FONT_DIR, "7x13.pcf.gz")

WIDTH = 1248
HEIGHT = 1040
ROW_BYTES = WIDTH // 8
CELL = 13
NARROW_WIDTH = 7
BASELINE_ROW = 10
WIDE_PLACEHOLDER = (1222, 611)
ASCII_ORIGIN = (1222, 624)
BOX_DRAWING_LEAD = 0xA9

SYMBOL_LEADS = range(0xA1, 0xAA)
HANZI_LEADS = range(0xB0, 0xF8)
TRAILS = range(0xA1, 0xFF)


class Glyph:
    """One BDF glyph: its advance, bounding box and bitmap rows."""

    def __init__(self, dwidth, bbx, rows):
        self.dwidth = dwidth
        self.width, self.height, self.xoff, self.yoff = bbx
        self.rows = rows

    def ink(self):
        """Return the glyph's ink as (x, y) pairs, y counted upward from the baseline."""
        points = []
        for i, bits in enumerate(self.rows):
            y = self.yoff + self.height - 1 - i
            for j in range(self.width):
                if bits[j] == "1":
                    points.append((self.xoff + j, y))
        return points


def bdf_text(font_path, temp_dir):
    """Convert a PCF font (gzip-compressed or not) to BDF text with pcf2bdf."""
    pcf_path = font_path
    if font_path.endswith(".gz"):
        pcf_path = os.path.join(temp_dir, os.path.basename(font_path)[:-3])
        with open(pcf_path, "wb") as out:
            subprocess.run(["zcat", font_path], stdout=out, check=True)
    bdf_path = os.path.join(temp_dir, os.path.basename(pcf_path) + ".bdf")
    subprocess.run(["pcf2bdf", "-o", bdf_path, pcf_path], check=True)
    with open(bdf_path, encoding="latin-1") as bdf:
        return bdf.read()


def parse_bdf(text):
    """Parse BDF text into its properties and a map from encoding to Glyph."""
    properties = {}
    glyphs = {}
    in_properties = False
    encoding = dwidth = bbx = rows = None
    for line in text.splitlines():
        words = line.split()
        if not words:
            continue
        key = words[0]
        if key == "STARTPROPERTIES":
            in_properties = True
        elif key == "ENDPROPERTIES":
            in_properties = False
        elif in_properties:
            properties[key] = line[len(key):].strip().strip('"')
        elif key == "ENCODING":
            encoding = int(words[1])
        elif key == "DWIDTH":
            dwidth = int(words[1])
        elif key == "BBX":
            bbx = tuple(int(w) for w in words[1:5])
        elif key == "BITMAP":
            rows = []
        elif key == "ENDCHAR":
            if encoding is not None and encoding >= 0:
                width = bbx[0]
                bits = [format(int(r, 16), "0%db" % (len(r) * 4))[:width] for r in rows]
                glyphs[encoding] = Glyph(dwidth, bbx, bits)
            encoding = dwidth = bbx = rows = None
        elif rows is not None:
            rows.append(key)
    return properties, glyphs


def load_font(font_path, temp_dir):
    """Load a Unicode-encoded PCF font as a map from code point to Glyph."""
    properties, glyphs = parse_bdf(bdf_text(font_path, temp_dir))
    registry = properties.get("CHARSET_REGISTRY", "").upper()
    if registry != "ISO10646":
        sys.exit("%s: expected an ISO10646 font, found %r" % (font_path, registry))
    return glyphs


def gb_codes():
    """List every GB2312 code the atlas holds as (lead, trail, readings)."""
    codes = []
    for lead in list(SYMBOL_LEADS) + list(HANZI_LEADS):
        for trail in TRAILS:
            pair = bytes([lead, trail])
            try:
                reading = pair.decode("gb2312")
            except UnicodeDecodeError:
                continue
            readings = [ord(reading)]
            alternate = ord(pair.decode("gbk"))
            if alternate not in readings:
                readings.append(alternate)
            codes.append((lead, trail, readings))
    return codes


def wide_cell_origin(lead, trail):
    """Return the top-left pixel of the 13x13 cell that holds a GB2312 code."""
    row, cell = lead - 0xA1, trail - 0xA1
    if row >= 15:
        row -= 6
    if row == 80:
        return CELL * (94 + cell % 2), CELL * (cell // 2)
    return CELL * cell, CELL * row


def narrow_cell_origin(byte):
    """Return the top-left pixel of the 7x13 cell that holds an ASCII byte."""
    k = byte - 32
    return ASCII_ORIGIN[0] + NARROW_WIDTH * (k % 3), ASCII_ORIGIN[1] + CELL * (k // 3)


def baseline_points(glyph, cell_width):
    """Return a glyph's ink as cell pixels, its advance centred and its baseline on BASELINE_ROW."""
    centre = (cell_width - glyph.dwidth) // 2
    return [(centre + x, BASELINE_ROW - y) for x, y in glyph.ink()]


def fits(points, cell_width):
    """Tell whether every ink pixel lies inside a cell of the given width."""
    return all(0 <= x < cell_width and 0 <= y < CELL for x, y in points)


def fit_shift(low, high, size):
    """Return the smallest move that brings the span low..high inside 0..size-1."""
    if low < 0:
        return -low
    if high > size - 1:
        return max(size - 1 - high, -low)
    return 0


def moved_into_cell(points, cell_width):
    """Move ink as little as possible so that it lies inside the cell."""
    if not points:
        return points
    dx = fit_shift(min(p[0] for p in points), max(p[0] for p in points), cell_width)
    dy = fit_shift(min(p[1] for p in points), max(p[1] for p in points), CELL)
    return [(x + dx, y + dy) for x, y in points]


def draw_points(ink, points, origin, cell_width):
    """Ink the given cell pixels, dropping any that fall outside the cell."""
    ox, oy = origin
    for x, y in points:
        if 0 <= x < cell_width and 0 <= y < CELL:
            ink[(oy + y) * WIDTH + ox + x] = 1


def draw_dotted_box(ink, origin, left, top, right, bottom):
    """Draw a dotted rectangle outline, inking perimeter pixels whose x + y is even."""
    ox, oy = origin
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            on_edge = x in (left, right) or y in (top, bottom)
            if on_edge and (x + y) % 2 == 0:
                ink[(oy + y) * WIDTH + ox + x] = 1


def pick_glyph(fonts, readings):
    """Choose a code's glyph: the first that fits the cell unmoved, else the first found."""
    found = [(name, baseline_points(glyphs[u], CELL)) for name, glyphs in fonts
             for u in readings if u in glyphs]
    return next((f for f in found if fits(f[1], CELL)), found[0] if found else None)


def draw_wide(ink, fonts):
    """Draw every GB2312 code from the fonts in order of preference; return the tallies."""
    supplied = {name: [] for name, _ in fonts}
    blank = []
    moved = []
    for lead, trail, readings in gb_codes():
        code = "%02X%02X" % (lead, trail)
        choice = pick_glyph(fonts, readings)
        if choice is None:
            blank.append(code)
            continue
        name, points = choice
        supplied[name].append(code)
        if not fits(points, CELL) and lead != BOX_DRAWING_LEAD:
            points = moved_into_cell(points, CELL)
            moved.append(code)
        draw_points(ink, points, wide_cell_origin(lead, trail), CELL)
    return supplied, blank, moved


def draw_narrow(ink, glyphs):
    """Draw ASCII 32..126 and the narrow placeholder; return the bytes the font lacks."""
    missing = []
    for byte in range(32, 127):
        if byte in glyphs:
            points = moved_into_cell(baseline_points(glyphs[byte], NARROW_WIDTH), NARROW_WIDTH)
            draw_points(ink, points, narrow_cell_origin(byte), NARROW_WIDTH)
        else:
            missing.append(byte)
    draw_dotted_box(ink, narrow_cell_origin(127), 1, 1, 5, 11)
    return missing


def bmp_bytes(ink):
    """Pack the ink map into the 1-bit BMP file described in the module docstring."""
    image_size = ROW_BYTES * HEIGHT
    off_bits = 14 + 40 + 8
    file_header = struct.pack("<2sIHHI", b"BM", off_bits + image_size, 0, 0, off_bits)
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 1, 0,
                              image_size, 3780, 3780, 2, 2)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    pixels = bytearray()
    for y in reversed(range(HEIGHT)):
        line = ink[y * WIDTH:(y + 1) * WIDTH]
        for x in range(0, WIDTH, 8):
            byte = 0
            for bit in line[x:x + 8]:
                byte = (byte << 1) | (0 if bit else 1)
            pixels.append(byte)
    return file_header + info_header + palette + bytes(pixels)


def tally(label, codes, listed=True):
    """Format one line of the coverage report, with the codes themselves if listed."""
    line = "  %s: %d" % (label, len(codes))
    return line + " " + " ".join(codes) if listed and codes else line


def main():
    """Build the atlas, write it and print the coverage counts."""
    default_output = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                  os.pardir, "resources", "font.bmp")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=os.path.normpath(default_output),
                        help="where to write the bitmap (default: resources/font.bmp)")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as temp_dir:
        fonts = [(os.path.basename(path), load_font(path, temp_dir))
                 for path in [WIDE_FONT] + WIDE_FALLBACKS]
        narrow = load_font(NARROW_FONT, temp_dir)

    ink = bytearray(WIDTH * HEIGHT)
    supplied, blank, moved = draw_wide(ink, fonts)
    draw_dotted_box(ink, WIDE_PLACEHOLDER, 1, 1, 11, 11)
    narrow_missing = draw_narrow(ink, narrow)

    data = bmp_bytes(ink)
    with open(args.output, "wb") as out:
        out.write(data)

    print("wrote %s (%d bytes)" % (args.output, len(data)))
    print("GB2312 codes assigned: %d" % (sum(map(len, supplied.values())) + len(blank)))
    for index, (name, codes) in enumerate(supplied.items()):
        print(tally("from " + name, codes, listed=index > 0))
    print(tally("blank", blank))
    print(tally("moved to fit the cell", moved))
    print("ASCII 32..126 from %s: %d, missing: %s"
          % (os.path.basename(NARROW_FONT), 95 - len(narrow_missing),
             " ".join(str(b) for b in narrow_missing) or "none"))


if __name__ == "__main__":
    main()
