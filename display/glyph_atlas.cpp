#include "display/glyph_atlas.h"

namespace {

constexpr int kCell = 13;
constexpr int kFoldedColumn = 94;     // the last GB row sits in columns 94 and 95
constexpr int kFirstHanziRow = 15;    // GbIndex row of lead byte 0xB0
constexpr int kEmptyRowsSkipped = 6;  // GbIndex rows 9..14 have no atlas rows
constexpr int kFoldedRow = 80;        // lead byte 0xF7 after the shift
constexpr CellOrigin kWidePlaceholder{1222, 611};
constexpr CellOrigin kAsciiBlock{1222, 624};

}  // namespace

CellOrigin WideCell(int row, int cell) {
  if (row >= 9 && row <= 14) return kWidePlaceholder;
  if (row >= kFirstHanziRow) row -= kEmptyRowsSkipped;
  if (row == kFoldedRow) return CellOrigin{kCell * (kFoldedColumn + cell % 2), kCell * (cell / 2)};
  return CellOrigin{kCell * cell, kCell * row};
}

CellOrigin NarrowCell(int byte) {
  if (byte < 32 || byte > 126) byte = 127;
  const int k = byte - 32;
  return CellOrigin{kAsciiBlock.x + 7 * (k % 3), kAsciiBlock.y + kCell * (k / 3)};
}
