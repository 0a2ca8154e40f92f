#include "display/unicode_glyphs.h"

#include "display/geometry.h"

namespace {

constexpr int kWideColumns = 160;
constexpr int kNarrowColumns = kWideColumns * kWideWidth / kNarrowWidth;

int NarrowTop() {
  return kGlyphHeight * ((kUnicodeWideCells + kWideColumns - 1) / kWideColumns);
}

}  // namespace

CellOrigin UnicodeCellOrigin(UnicodeCell cell) {
  if (cell.columns == 2) {
    return CellOrigin{kWideWidth * (cell.number % kWideColumns),
                      kGlyphHeight * (cell.number / kWideColumns)};
  }
  return CellOrigin{kNarrowWidth * (cell.number % kNarrowColumns),
                    NarrowTop() + kGlyphHeight * (cell.number / kNarrowColumns)};
}

Glyph UnicodeGlyph(char32_t c) {
  const UnicodeCell cell = UnicodeCellOf(c);
  return Glyph{UnicodeCellOrigin(cell), cell.columns};
}

CellOrigin UnreadableByteCell() {
  return UnicodeCellOrigin(UnicodeCell{0, 1});
}
