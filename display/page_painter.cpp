#include "display/page_painter.h"

#include <algorithm>

#include "conversion/big5_map.h"
#include "display/geometry.h"
#include "display/glyph_atlas.h"
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

// Copies the glyph of a text character whose first column is col.
void CopyGlyph(PaintTarget target, CellSource atlas, const Character& c, int col, int line) {
  const int x = kLeftMargin + kColumnWidth * col;
  const int y = kTopMargin + kLinePitch * line;
  if (c.glyph == kGlyphByte) {
    const CellOrigin o = NarrowCell(static_cast<int>(c.value));
    CopyZoomed(target, atlas, x, y, o, kNarrowWidth);
    return;
  }
  const int lead = static_cast<int>(c.value >> 8);
  const int trail = static_cast<int>(c.value & 0xFF);
  int row = lead - 0xA1;
  int cell = trail - 0xA1;
  if (big5Mode) Big5ToGb(lead, trail, row, cell);
  const CellOrigin o = WideCell(row, cell);
  CopyZoomed(target, atlas, x, y, o, kWideWidth);
}

// Reads and draws lines first..last by the layout rules of the Line index.
void PaintLines(PaintTarget target, CellSource atlas, const PaintRange& r) {
  const int columns = view.columns;
  std::int32_t offset = view.topOffset;
  for (int k = 0; k < r.first; ++k) offset += lineBytes[view.topLine + k];
  SeekTo(offset);
  int i = r.first;
  int col = 0;
  int phase = StoredPhase(view.topLine + i);
  for (;;) {
    const Character c = NextCharacter();
    if (c.kind == kEndOfText) return;
    bool lineEnds = c.kind == kLineBreak || col > r.lastCol || col == columns;
    if (!lineEnds && c.kind == kTabCharacter) {
      const int stop = col + 8 - phase;
      if (stop > r.lastCol || stop > columns) {
        lineEnds = true;
      } else {
        col = stop;
        phase = 0;
        continue;
      }
    }
    if (!lineEnds) {
      if (col + c.columns > columns) {
        // The pair begins the next display line: continue straight into it
        // through the push-back, with no seek.
        if (i == r.last) return;
        GiveBack(c);
        offset += lineBytes[view.topLine + i];
        ++i;
        col = 0;
        continue;
      }
      if (col + c.columns - 1 >= r.firstCol) CopyGlyph(target, atlas, c, col, i);
      col += c.columns;
      phase = (phase + c.columns) % 8;
      continue;
    }
    if (i == r.last) return;
    offset += lineBytes[view.topLine + i];
    SeekTo(offset);
    ++i;
    col = 0;
    phase = StoredPhase(view.topLine + i);
  }
}

// One display line being painted in the Line table's modes.
struct LinePaint {
  PaintTarget target;
  CellSource atlas;
  const PaintRange* range;
  int line;
};

// Copies a character's cells from the Unicode atlas as the layout places it.
void PaintCharacter(const Character& c, int col, void* context) {
  const auto& p = *static_cast<const LinePaint*>(context);
  if (col > p.range->lastCol || col + c.columns - 1 < p.range->firstCol) return;
  const int x = kLeftMargin + kColumnWidth * col;
  const int y = kTopMargin + kLinePitch * p.line;
  if (c.glyph == kGlyphUnicode) {
    const Glyph glyph = UnicodeGlyph(static_cast<char32_t>(c.value));
    const int width = glyph.columns == 2 ? kWideWidth : kNarrowWidth;
    CopyZoomed(p.target, p.atlas, x, y, glyph.origin, width);
  } else if (c.glyph == kGlyphUnreadable) {
    const CellOrigin o = UnreadableByteCell();
    for (int i = 0; i < c.columns; ++i) {
      CopyZoomed(p.target, p.atlas, x + kColumnWidth * i, y, o, kNarrowWidth);
    }
  }
}

// Lays lines first..last out again from the top line, painting as it goes.
void PaintUnicodeLines(PaintTarget target, CellSource atlas, const PaintRange& r) {
  LinePlace place = view.topPlace;
  for (int k = 0; k < r.first; ++k) {
    place = LayOutLineAt(place, view.columns, nullptr, nullptr, nullptr);
  }
  for (int i = r.first; i <= r.last; ++i) {
    LinePaint paint{target, atlas, &r, i};
    bool ended = false;
    place = LayOutLineAt(place, view.columns, PaintCharacter, &paint, &ended);
    if (ended) return;
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
    if (unicode) {
      PaintUnicodeLines(target, atlas, range);
    } else {
      PaintLines(target, atlas, range);
    }
  }
  ReleaseAtlas(atlas);
  return true;
}
