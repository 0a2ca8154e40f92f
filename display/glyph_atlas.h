// The glyph atlas: the reader's only font, one 1248x1040 monochrome bitmap
// holding a 13x13 cell for every GB2312 code and a 7x13 cell for every
// printable ASCII byte, plus a placeholder of each size.
#pragma once

#include "display/state.h"  // atlasBitmap
#include "platform/platform.h"

// Top-left pixel of a cell in the atlas.
struct CellOrigin {
  int x;
  int y;
};

// The 13x13 cell of GbIndex (row 0..86, cell 0..93).
CellOrigin WideCell(int row, int cell);

// The 7x13 cell of a byte; every byte that is not printable ASCII shares the placeholder.
CellOrigin NarrowCell(int byte);
