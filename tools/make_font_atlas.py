#!/usr/bin/env python3
"""Build the glyph atlases (resources/font.bmp, resources/glyphs.bmp) from Debian's bitmap fonts.

The GB atlas (font.bmp, bitmap "Font") holds a cell per GB2312 code and
printable ASCII byte; the Unicode atlas (glyphs.bmp, bitmap "Glyphs") a cell
per character of the two fonts, with its lookup document/unicode_cells.cpp.
Both place a glyph in its cell the same way (Baseline below), so that a
GB2312 character looks the same from either; docs/glyphs.md has the rules.

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

Image layout of font.bmp (1248x1040 pixels, 96 x 80 cells of 13x13, y downward)
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
    The file (here font.bmp's; glyphs.bmp's differs in its size) is what a
    resource compiler's BITMAP statement reads: a 14-byte BITMAPFILEHEADER
    followed by the 162,288-byte packed DIB that becomes the resource
    (windres drops the file header).  The file header is "BM", bfSize
    162,302 (the whole file), two reserved zero words and bfOffBits 62 (14 +
    40 + 8: the pixels follow the info header and the two-entry palette),
    all little-endian.  The DIB is a 40-byte BITMAPINFOHEADER (1248 x 1040,
    1 plane, 1 bit, BI_RGB, biSizeImage 162,240, 3780 pixels per metre both
    ways, 2 colours used and important), the palette black then white, and
    1040 rows of 156 bytes stored bottom-up; a clear bit is ink, a set bit
    is paper, and the leftmost pixel of each byte is its most significant
    bit.

The Unicode atlas (glyphs.bmp)
    Widths are Python's unicodedata.east_asian_width (Unicode 14.0.0 in
    Python 3.11): a character takes two columns when it is W or F, or A and
    wenquanyi_10pt.pcf has it; one column otherwise.  Python 3.11 reads
    every unassigned code point as F (CPython issue 96172), so they take two
    columns.  Controls (Cc) are left to the layout and draw the narrow
    placeholder.  A two-column character the main font has gets a 13x13
    cell, placed as in font.bmp: a GB2312 character (as the gb2312 codec
    reads its code) is picked from the main font and the fallback as its
    code is, any other is the main font's glyph; ink that does not fit is
    moved in, except for the Box Drawing block U+2500..U+257F, which is
    clipped.  A one-column character 7x13 has gets a 7x13 cell, placed as
    the ASCII cells are.
    Layout (2080 pixels wide, y downward): the 13x13 cells in rows of 160,
    cell 0 the wide placeholder, then the two-column characters in code
    point order; below the last of those rows the 7x13 cells in rows of
    297, cell 0 the narrow placeholder, then the one-column characters in
    code point order.  The height is whatever the two blocks need.  The
    file format is font.bmp's with the other size.

The lookup (document/unicode_cells.cpp)
    The code points U+0000..U+10FFFF in pages of 256, each page two bits
    per character (it takes two columns; it has a cell of its own, not the
    placeholder) and the cell of its first character with a cell of each
    size; a character's cell is that first cell plus the number of its
    page's characters before it with a cell of the same size.  Equal pages
    are stored once, and kPageOf says which stored page each page is.

The script prints how many GB2312 codes are assigned, how many each font
supplied and which codes stayed blank, then the Unicode atlas's counts.
"""

import argparse
import os
import struct
import subprocess
import sys
import tempfile
import unicodedata

FONT_DIR = "/usr/share/fonts/X11/misc"
WIDE_FONT = os.path.join(FONT_DIR, "wenquanyi_10pt.pcf")
WIDE_FALLBACKS = [os.path.join(FONT_DIR, "wenquanyi_13px.pcf")]
NARROW_FONT = os.path.join(FONT_DIR, "7x13.pcf.gz")

WIDTH = 1248
HEIGHT = 1040
CELL = 13
NARROW_WIDTH = 7
BASELINE_ROW = 10
WIDE_PLACEHOLDER = (1222, 611)
ASCII_ORIGIN = (1222, 624)
BOX_DRAWING_LEAD = 0xA9

GLYPHS_WIDE_COLUMNS = 160
GLYPHS_WIDTH = CELL * GLYPHS_WIDE_COLUMNS
GLYPHS_NARROW_COLUMNS = GLYPHS_WIDTH // NARROW_WIDTH
UNICODE_VERSION = "14.0.0"
LAST_CODE_POINT = 0x10FFFF
BOX_DRAWING = range(0x2500, 0x2580)
PAGE = 256

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


class Image:
    """A 1-bit picture being drawn, one byte per pixel (1 for ink), y downward."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.ink = bytearray(width * height)


def draw_points(image, points, origin, cell_width):
    """Ink the given cell pixels, dropping any that fall outside the cell."""
    ox, oy = origin
    for x, y in points:
        if 0 <= x < cell_width and 0 <= y < CELL:
            image.ink[(oy + y) * image.width + ox + x] = 1


def draw_dotted_box(image, origin, left, top, right, bottom):
    """Draw a dotted rectangle outline, inking perimeter pixels whose x + y is even."""
    ox, oy = origin
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            on_edge = x in (left, right) or y in (top, bottom)
            if on_edge and (x + y) % 2 == 0:
                image.ink[(oy + y) * image.width + ox + x] = 1


def draw_wide_placeholder(image, origin):
    """The 13x13 cell of a two-column character no font has."""
    draw_dotted_box(image, origin, 1, 1, 11, 11)


def draw_narrow_placeholder(image, origin):
    """The 7x13 cell of a one-column character no font has, and of an unreadable byte."""
    draw_dotted_box(image, origin, 1, 1, 5, 11)


def pick_glyph(fonts, readings):
    """Choose a code's glyph: the first that fits the cell unmoved, else the first found."""
    found = [(name, baseline_points(glyphs[u], CELL)) for name, glyphs in fonts
             for u in readings if u in glyphs]
    return next((f for f in found if fits(f[1], CELL)), found[0] if found else None)


def placed_wide(points, clipped):
    """A 13x13 cell's ink: moved in when it does not fit, unless clipped; and whether it moved."""
    if clipped or fits(points, CELL):
        return points, False
    return moved_into_cell(points, CELL), True


def placed_narrow(glyph):
    """A 7x13 cell's ink: the glyph on the baseline, moved in when it does not fit."""
    return moved_into_cell(baseline_points(glyph, NARROW_WIDTH), NARROW_WIDTH)


def draw_wide(image, fonts):
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
        points, was_moved = placed_wide(points, lead == BOX_DRAWING_LEAD)
        if was_moved:
            moved.append(code)
        draw_points(image, points, wide_cell_origin(lead, trail), CELL)
    return supplied, blank, moved


def draw_narrow(image, glyphs):
    """Draw ASCII 32..126 and the narrow placeholder; return the bytes the font lacks."""
    missing = []
    for byte in range(32, 127):
        if byte in glyphs:
            draw_points(image, placed_narrow(glyphs[byte]), narrow_cell_origin(byte), NARROW_WIDTH)
        else:
            missing.append(byte)
    draw_narrow_placeholder(image, narrow_cell_origin(127))
    return missing


def two_columns(u, main):
    """Tell whether a character takes two columns: W or F, or A and the main font has it."""
    width = unicodedata.east_asian_width(chr(u))
    return width in ("W", "F") or (width == "A" and u in main)


def is_control(u):
    """Controls are the layout's: they draw the narrow placeholder whatever the fonts hold."""
    return unicodedata.category(chr(u)) == "Cc"


def unicode_cells(fonts, narrow):
    """List the Unicode atlas's glyphs as (code point, ink) for its 13x13 and its 7x13 cells."""
    main = fonts[0][1]
    gb_characters = {readings[0] for _, _, readings in gb_codes()}
    wide = []
    for u in sorted(main):
        if is_control(u) or not two_columns(u, main):
            continue
        # A GB2312 character is picked as its code is, so that it keeps the fallback's glyph.
        candidates = fonts if u in gb_characters else fonts[:1]
        _, points = pick_glyph(candidates, [u])
        wide.append((u, placed_wide(points, u in BOX_DRAWING)[0]))
    narrow_cells = [(u, placed_narrow(narrow[u])) for u in sorted(narrow)
                    if not is_control(u) and not two_columns(u, main)]
    return wide, narrow_cells


def glyphs_wide_origin(cell):
    """Return the top-left pixel of 13x13 cell number cell of the Unicode atlas."""
    return CELL * (cell % GLYPHS_WIDE_COLUMNS), CELL * (cell // GLYPHS_WIDE_COLUMNS)


def glyphs_narrow_origin(cell, narrow_top):
    """Return the top-left pixel of 7x13 cell number cell of the Unicode atlas."""
    return (NARROW_WIDTH * (cell % GLYPHS_NARROW_COLUMNS),
            narrow_top + CELL * (cell // GLYPHS_NARROW_COLUMNS))


def rows_for(cells, columns):
    """How many rows of the given width hold the cells."""
    return (cells + columns - 1) // columns


def draw_glyphs(wide, narrow_cells):
    """Draw the Unicode atlas, placeholders first; return it and the y of its 7x13 block."""
    narrow_top = CELL * rows_for(len(wide) + 1, GLYPHS_WIDE_COLUMNS)
    height = narrow_top + CELL * rows_for(len(narrow_cells) + 1, GLYPHS_NARROW_COLUMNS)
    image = Image(GLYPHS_WIDTH, height)
    draw_wide_placeholder(image, glyphs_wide_origin(0))
    for cell, (_, points) in enumerate(wide, start=1):
        draw_points(image, points, glyphs_wide_origin(cell), CELL)
    draw_narrow_placeholder(image, glyphs_narrow_origin(0, narrow_top))
    for cell, (_, points) in enumerate(narrow_cells, start=1):
        draw_points(image, points, glyphs_narrow_origin(cell, narrow_top), NARROW_WIDTH)
    return image, narrow_top


def lookup_pages(main, wide, narrow_cells):
    """Each 256 code points' page: its first 13x13 and 7x13 cells, width bits and own-cell bits."""
    two = [0] * (LAST_CODE_POINT + 1)
    own = [0] * (LAST_CODE_POINT + 1)
    for u in range(LAST_CODE_POINT + 1):
        two[u] = int(not is_control(u) and two_columns(u, main))
    first_cell = {}
    for cells in (wide, narrow_cells):
        for cell, (u, _) in enumerate(cells, start=1):
            own[u] = 1
            first_cell.setdefault((u // PAGE, two[u]), cell)
    pages = []
    for start in range(0, LAST_CODE_POINT + 1, PAGE):
        words = [tuple(sum(bits[start + i] << (i % 32) for i in range(w, w + 32))
                       for w in range(0, PAGE, 32)) for bits in (two, own)]
        pages.append((first_cell.get((start // PAGE, 1), 0),
                      first_cell.get((start // PAGE, 0), 0), words[0], words[1]))
    return pages


def bmp_bytes(image):
    """Pack an image into the 1-bit BMP file described in the module docstring."""
    if image.width % 32:
        sys.exit("a bitmap's width must be a multiple of 32 pixels, not %d" % image.width)
    row_bytes = image.width // 8
    image_size = row_bytes * image.height
    off_bits = 14 + 40 + 8
    file_header = struct.pack("<2sIHHI", b"BM", off_bits + image_size, 0, 0, off_bits)
    info_header = struct.pack("<IiiHHIIiiII", 40, image.width, image.height, 1, 1, 0,
                              image_size, 3780, 3780, 2, 2)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    paper_bits = bytes.maketrans(b"\x00\x01", b"10")
    pixels = bytearray()
    for y in reversed(range(image.height)):
        line = image.ink[y * image.width:(y + 1) * image.width].translate(paper_bits)
        pixels += int(line, 2).to_bytes(row_bytes, "big")
    return file_header + info_header + palette + bytes(pixels)


LOOKUP_HEAD = """\
// Generated by tools/make_font_atlas.py from WenQuanYi's wenquanyi_10pt.pcf and
// wenquanyi_13px.pcf, misc-fixed 7x13 and Python's Unicode {version} East Asian
// widths; do not edit. docs/glyphs.md has the rules.
#include "document/unicode_cells.h"

#include <bitset>
#include <cstdint>

// The bitmap "Glyphs" holds {wide_cells} 13x13 cells, then {narrow_cells} 7x13 cells;
// cell 0 of each size is its placeholder, the others follow in code point order.
const int kUnicodeWideCells = {wide_cells};

namespace {{

constexpr char32_t kLastCodePoint = 0x{last:X};

// 256 code points; bit i % 32 of word i / 32 is the page's character i.
struct Page {{
  std::uint16_t firstWide;      // the cell of its first character with a 13x13 cell
  std::uint16_t firstNarrow;    // the cell of its first character with a 7x13 cell
  std::uint32_t twoColumns[8];  // the character takes two columns
  std::uint32_t ownCell[8];     // the character has a cell, not the placeholder
}};

// clang-format off
"""

LOOKUP_CODE = """\
// clang-format on

// How many of the page's characters before character i have a cell of the given width.
int OwnCellsBefore(const Page& page, int i, bool twoColumns) {
  int count = 0;
  for (int word = 0; word <= i / 32; ++word) {
    std::uint32_t bits =
        page.ownCell[word] & (twoColumns ? page.twoColumns[word] : ~page.twoColumns[word]);
    if (word == i / 32) bits &= (std::uint32_t{1} << i % 32) - 1;
    count += static_cast<int>(std::bitset<32>(bits).count());
  }
  return count;
}

}  // namespace

int UnicodeColumns(char32_t c) {
  if (c > kLastCodePoint) return 1;
  const int i = static_cast<int>(c & 0xFF);
  return (kPages[kPageOf[c >> 8]].twoColumns[i / 32] >> i % 32 & 1) != 0 ? 2 : 1;
}

UnicodeCell UnicodeCellOf(char32_t c) {
  if (c > kLastCodePoint) return UnicodeCell{0, 1};
  const Page& page = kPages[kPageOf[c >> 8]];
  const int i = static_cast<int>(c & 0xFF);
  const std::uint32_t bit = std::uint32_t{1} << i % 32;
  const bool twoColumns = (page.twoColumns[i / 32] & bit) != 0;
  int cell = 0;
  if (page.ownCell[i / 32] & bit) {
    cell = (twoColumns ? page.firstWide : page.firstNarrow) + OwnCellsBefore(page, i, twoColumns);
  }
  return UnicodeCell{cell, twoColumns ? 2 : 1};
}
"""


def lookup_source(pages, wide_cells, narrow_cells):
    """The text of document/unicode_cells.cpp: the pages, stored once each, and the lookup."""
    stored = {}
    page_of = [stored.setdefault(page, len(stored)) for page in pages]
    index_bytes = 1 if len(stored) <= 256 else 2
    first_use = {number: page_of.index(number) for number in stored.values()}

    def hex_list(values, width):
        return ", ".join("0x%0*X" % (width, v) for v in values)

    lines = ["// Which of kPages holds each 256 code points.",
             "const std::uint%d_t kPageOf[%d] = {" % (8 * index_bytes, len(page_of))]
    per_line = 16 // index_bytes
    lines += ["    %s," % hex_list(page_of[i:i + per_line], 2 * index_bytes)
              for i in range(0, len(page_of), per_line)]
    lines += ["};", "", "const Page kPages[%d] = {" % len(stored)]
    for number, (first_wide, first_narrow, two, own) in enumerate(stored):
        lines += ["    // U+%04X" % (first_use[number] * PAGE),
                  "    {%d, %d," % (first_wide, first_narrow)]
        for words, end in ((two, ","), (own, "},")):
            lines += ["     {%s," % hex_list(words[:4], 8),
                      "      %s}%s" % (hex_list(words[4:], 8), end)]
    lines.append("};")
    head = LOOKUP_HEAD.format(version=UNICODE_VERSION, wide_cells=wide_cells,
                              narrow_cells=narrow_cells, last=LAST_CODE_POINT)
    return head + "\n".join(lines) + "\n" + LOOKUP_CODE


def tally(label, codes, listed=True):
    """Format one line of the coverage report, with the codes themselves if listed."""
    line = "  %s: %d" % (label, len(codes))
    return line + " " + " ".join(codes) if listed and codes else line


def drawn_from_another(fonts):
    """List the GB2312 codes whose glyph is not that of the character the gb2312 codec reads."""
    others = []
    for lead, trail, readings in gb_codes():
        found = [u for _, glyphs in fonts for u in readings if u in glyphs]
        fitting = [u for _, glyphs in fonts for u in readings
                   if u in glyphs and fits(baseline_points(glyphs[u], CELL), CELL)]
        used = (fitting or found or [readings[0]])[0]
        if used != readings[0]:
            others.append("%02X%02X (reads U+%04X, drawn with U+%04X)"
                          % (lead, trail, readings[0], used))
    return others


def write_file(path, data):
    """Write bytes to a file, replacing it."""
    with open(path, "wb") as out:
        out.write(data)


def main():
    """Build both atlases and the lookup, write them and print the coverage counts."""
    here = os.path.dirname(os.path.abspath(__file__))

    def default(*parts):
        return os.path.normpath(os.path.join(here, os.pardir, *parts))

    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=default("resources", "font.bmp"),
                        help="where to write the GB atlas (default: resources/font.bmp)")
    parser.add_argument("--glyphs-output", default=default("resources", "glyphs.bmp"),
                        help="where to write the Unicode atlas (default: resources/glyphs.bmp)")
    parser.add_argument("--lookup-output", default=default("document", "unicode_cells.cpp"),
                        help="where to write its lookup (default: document/unicode_cells.cpp)")
    args = parser.parse_args()
    if unicodedata.unidata_version != UNICODE_VERSION:
        sys.exit("the widths are Unicode %s's, as Python 3.11 has them; this Python has %s"
                 % (UNICODE_VERSION, unicodedata.unidata_version))

    with tempfile.TemporaryDirectory() as temp_dir:
        fonts = [(os.path.basename(path), load_font(path, temp_dir))
                 for path in [WIDE_FONT] + WIDE_FALLBACKS]
        narrow = load_font(NARROW_FONT, temp_dir)

    image = Image(WIDTH, HEIGHT)
    supplied, blank, moved = draw_wide(image, fonts)
    draw_wide_placeholder(image, WIDE_PLACEHOLDER)
    narrow_missing = draw_narrow(image, narrow)
    data = bmp_bytes(image)
    write_file(args.output, data)

    wide, narrow_cells = unicode_cells(fonts, narrow)
    glyphs, _ = draw_glyphs(wide, narrow_cells)
    glyphs_data = bmp_bytes(glyphs)
    write_file(args.glyphs_output, glyphs_data)
    pages = lookup_pages(fonts[0][1], wide, narrow_cells)
    source = lookup_source(pages, len(wide) + 1, len(narrow_cells) + 1)
    write_file(args.lookup_output, source.encode("ascii"))

    print("wrote %s (%d bytes)" % (args.output, len(data)))
    print("GB2312 codes assigned: %d" % (sum(map(len, supplied.values())) + len(blank)))
    for index, (name, codes) in enumerate(supplied.items()):
        print(tally("from " + name, codes, listed=index > 0))
    print(tally("blank", blank))
    print(tally("moved to fit the cell", moved))
    print("ASCII 32..126 from %s: %d, missing: %s"
          % (os.path.basename(NARROW_FONT), 95 - len(narrow_missing),
             " ".join(str(b) for b in narrow_missing) or "none"))
    print("wrote %s (%d bytes, %dx%d)"
          % (args.glyphs_output, len(glyphs_data), glyphs.width, glyphs.height))
    print("  13x13 cells: %d (the placeholder and %d characters of %s's %d glyphs)"
          % (len(wide) + 1, len(wide), fonts[0][0], len(fonts[0][1])))
    print("  7x13 cells: %d (the placeholder and %d characters of %s's %d glyphs)"
          % (len(narrow_cells) + 1, len(narrow_cells), os.path.basename(NARROW_FONT),
             len(narrow)))
    print(tally("GB2312 codes drawn with another character's glyph", drawn_from_another(fonts)))
    print("wrote %s (%d bytes)" % (args.lookup_output, len(source)))


if __name__ == "__main__":
    main()
