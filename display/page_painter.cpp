#include "display/page_painter.h"

#include <algorithm>
#include <vector>

#include "conversion/big5_map.h"
#include "display/geometry.h"
#include "display/glyph_atlas.h"
#include "display/line_walk.h"
#include "display/unicode_glyphs.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/line_table.h"
#include "document/next_character.h"
#include "document/reader.h"
#include "document/work_area.h"

namespace {

// Of the cells that begin at origin, origin + pitch, ..., the index of the last
// one that begins before the exclusive edge, or -1 when none does. A cell that
// begins at the edge lies wholly outside the rectangle: were it counted, a
// client area whose height ends where a line begins, or one narrower than two
// columns, would have cells copied wholly outside it.
int LastCellBefore(int edge, int origin, int pitch) {
  return edge > origin ? (edge - 1 - origin) / pitch : -1;
}

// The columns and visible lines a paint request covers.
struct PaintRange {
  int first;     // first visible line, counted from topLine
  int last;      // last visible line
  int firstCol;  // cells left of it are classified but not copied
  int lastCol;   // a line is left as soon as a character would start right of it
};

PaintRange RangeOf(const PixelRect& update) {
  PaintRange r;
  r.first = update.top / kLinePitch;
  r.last = std::min(LastCellBefore(update.bottom, kTopMargin, kLinePitch), lastLine - view.topLine);
  r.firstCol = (update.left - kLeftMargin) / kColumnWidth;
  r.lastCol = LastCellBefore(update.right, kLeftMargin, kColumnWidth);
  return r;
}

// Copies a cell to page pixels (x, y), each of its pixels a zoom x zoom square.
void CopyZoomed(PaintTarget target, CellSource atlas, int x, int y, CellOrigin o, int width) {
  CopyCell(target, atlas, x * zoom, y * zoom, o.x, o.y, width, kGlyphHeight, zoom);
}

// Copies the glyph of a pair of the old modes, a BIG5 pair through its GB2312 twin.
void CopyPair(PaintTarget target, CellSource atlas, const Character& c, int x, int y) {
  const int lead = static_cast<int>(c.value >> 8);
  const int trail = static_cast<int>(c.value & 0xFF);
  int row = lead - 0xA1;
  int cell = trail - 0xA1;
  if (big5Mode) Big5ToGb(lead, trail, row, cell);
  CopyZoomed(target, atlas, x, y, WideCell(row, cell), kWideWidth);
}

// A paint in progress: where the cells go, and the selected span of each
// line painted, to be inverted once its cells are down.
struct LinePaint {
  PaintTarget target;
  CellSource atlas;
  const PaintRange* range;
  std::int32_t selectionStart;
  std::int32_t selectionEnd;
  std::vector<int> spanStart;  // a line's first selected column, or -1
  std::vector<int> spanEnd;    // the column after its last selected character
};

// Copies a character's cell as the walk places it, and widens its line's
// selected span when it is selected.
void PaintCharacter(const Character& c, int line, int col, std::int32_t offset, void* context) {
  auto& p = *static_cast<LinePaint*>(context);
  if (offset >= p.selectionStart && offset < p.selectionEnd) {
    const auto k = static_cast<std::size_t>(line - p.range->first);
    if (p.spanStart[k] < 0) p.spanStart[k] = col;
    p.spanEnd[k] = col + c.columns;
  }
  if (col > p.range->lastCol || col + c.columns - 1 < p.range->firstCol) return;
  const int x = kLeftMargin + kColumnWidth * col;
  const int y = kTopMargin + kLinePitch * line;
  switch (c.glyph) {
    case kGlyphByte:
      CopyZoomed(p.target, p.atlas, x, y, NarrowCell(static_cast<int>(c.value)), kNarrowWidth);
      break;
    case kGlyphPair: CopyPair(p.target, p.atlas, c, x, y); break;
    case kGlyphUnicode: {
      const Glyph glyph = UnicodeGlyph(static_cast<char32_t>(c.value));
      const int width = glyph.columns == 2 ? kWideWidth : kNarrowWidth;
      CopyZoomed(p.target, p.atlas, x, y, glyph.origin, width);
      break;
    }
    case kGlyphUnreadable: {
      const CellOrigin o = UnreadableByteCell();
      for (int i = 0; i < c.columns; ++i) {
        CopyZoomed(p.target, p.atlas, x + kColumnWidth * i, y, o, kNarrowWidth);
      }
      break;
    }
    case kGlyphNone: break;
  }
}

// Inverts the selected cells of each painted line: one band a line, as high
// as a cell, so that the characters between the ends (a tab's gap too) read
// as one run.
void InvertSpans(const LinePaint& p) {
  for (std::size_t k = 0; k < p.spanStart.size(); ++k) {
    if (p.spanStart[k] < 0) continue;
    const int line = p.range->first + static_cast<int>(k);
    const int y = kTopMargin + kLinePitch * line;
    const PixelRect band{kLeftMargin + kColumnWidth * p.spanStart[k], y,
                         kLeftMargin + kColumnWidth * p.spanEnd[k], y + kGlyphHeight};
    InvertPixels(p.target, PixelRect{band.left * zoom, band.top * zoom, band.right * zoom,
                                     band.bottom * zoom});
  }
}

}  // namespace

bool PaintPage(PaintTarget target, const PixelRect& request) {
  // The platform gives rectangles within the client area; hold any other to it.
  const PixelRect client = ClientRectangle();
  const PixelRect update{std::max(request.left, client.left), std::max(request.top, client.top),
                         std::min(request.right, client.right),
                         std::min(request.bottom, client.bottom)};
  if (update.left >= update.right || update.top >= update.bottom) return false;
  // The range in page pixels: every page pixel the update touches.
  const PaintRange range =
      RangeOf(PixelRect{update.left / zoom, update.top / zoom, (update.right + zoom - 1) / zoom,
                        (update.bottom + zoom - 1) / zoom});
  if (documentHandle == kInvalidFile || range.first > lastLine - view.topLine) return false;
  const bool unicode = ReadsThroughUnicode();
  const CellSource atlas = SelectAtlas(target, unicode ? glyphsBitmap : atlasBitmap);
  if (range.first <= range.last) {
    LinePaint paint{target,
                    atlas,
                    &range,
                    std::min(selection.anchor, selection.active),
                    std::max(selection.anchor, selection.active),
                    std::vector<int>(static_cast<std::size_t>(range.last - range.first + 1), -1),
                    std::vector<int>(static_cast<std::size_t>(range.last - range.first + 1), 0)};
    WalkVisibleLines(range.first, range.last, range.lastCol, PaintCharacter, &paint);
    InvertSpans(paint);
  }
  ReleaseAtlas(atlas);
  return true;
}
