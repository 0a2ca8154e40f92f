// Where the Unicode atlas, the bitmap "Glyphs", keeps a character's cell:
// the 13x13 cells in rows of 160 from the top, then the 7x13 cells in rows
// of 297. docs/glyphs.md has the rules.
#pragma once

#include "display/glyph_atlas.h"  // CellOrigin
#include "document/unicode_cells.h"

// Where a character is drawn from and how many 7-pixel columns it takes.
struct Glyph {
  CellOrigin origin;  // a 13x13 cell when columns is 2, a 7x13 cell when 1
  int columns;
};

CellOrigin UnicodeCellOrigin(UnicodeCell cell);
Glyph UnicodeGlyph(char32_t c);

// The narrow placeholder, for a byte the encoding cannot read.
CellOrigin UnreadableByteCell();
