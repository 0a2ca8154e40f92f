// Each character's place in the Unicode atlas, the bitmap "Glyphs": how
// many 7-pixel columns it takes and which cell of that size draws it. The
// layout needs the columns; the painter turns the cell into pixels. The
// rules are in docs/glyphs.md; the table is made by tools/make_font_atlas.py.
#pragma once

struct UnicodeCell {
  int number;   // 0 is the placeholder of its width
  int columns;  // 2: a 13x13 cell; 1: a 7x13 cell
};

// How many 13x13 cells the atlas holds, the placeholder included; its 7x13
// cells start on the row after them.
extern const int kUnicodeWideCells;

// Any code point; controls and anything above U+10FFFF take one column and
// the narrow placeholder (tabs and line breaks are the layout's to handle).
UnicodeCell UnicodeCellOf(char32_t c);
// UnicodeCellOf(c).columns, without counting cells.
int UnicodeColumns(char32_t c);
