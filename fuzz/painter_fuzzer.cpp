// Random documents in a client area of random size, scrolled to a random top
// line, painted for random update rectangles, many of them partly or wholly
// outside the client area. No cell is copied wholly outside the client area;
// a whole-client paint draws exactly the characters of each line's bytes; a
// rectangle repainted through the platform leaves the page as the whole
// paint left it; and a rectangle handed to the painter directly copies only
// cells of the whole paint, and every one of them that meets the rectangle.
//
// Input: client width and height (16 bits each), a mode byte, a top-line
// selector (16 bits), a rectangle count, the rectangles (four signed 16-bit
// edges each), then the document.
#include <algorithm>
#include <set>
#include <tuple>

#include "display/geometry.h"
#include "display/page_painter.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "fuzz/fuzz_support.h"
#include "shell/state.h"

namespace {

constexpr int kMaxRectangles = 8;

using CopyKey = std::tuple<int, int, int, int, int, int>;

CopyKey KeyOf(const SimCellCopy& c) {
  return CopyKey{c.x, c.y, c.sourceX, c.sourceY, c.width, c.height};
}

bool Meets(const SimCellCopy& c, const PixelRect& r) {
  return r.left < r.right && r.top < r.bottom && c.x < r.right && r.left < c.x + c.width &&
         c.y < r.bottom && r.top < c.y + c.height;
}

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  return PixelRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
}

std::string Describe(const PixelRect& r) {
  return "rectangle " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + " in a client of " +
         std::to_string(SimClientWidth()) + "x" + std::to_string(SimClientHeight());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StartFuzzProgram(640, 400);
  FuzzInput input(data, size);
  const int width = static_cast<int>(input.Unsigned16() % 2048);
  const int height = static_cast<int>(input.Unsigned16() % 1200);
  const int flags = input.Byte();
  const int topSelector = static_cast<int>(input.Unsigned16());
  const int count = input.Byte() % (kMaxRectangles + 1);
  std::vector<PixelRect> rects;
  for (int i = 0; i < count; ++i) {
    PixelRect r;
    r.left = input.Int16();
    r.top = input.Int16();
    r.right = input.Int16();
    r.bottom = input.Int16();
    rects.push_back(r);
  }
  const Bytes document = input.Rest();
  const std::int64_t documentSize = static_cast<std::int64_t>(document.size());

  // The size notification sets the metrics; without a document it lays nothing out.
  CloseFuzzDocument();
  SimResizeClient(width, height);
  SimRunUntilIdle();
  OpenFuzzDocument(document);
  big5Mode = flags & 1;
  truncated = BuildLineIndex(view.columns);
  truncationWarned = true;  // the warning's box is the shell's business, not the painter's
  ResetViewToTop();
  ScrollLinesDown(std::min(topSelector, view.maxTopLine));
  CheckIndexInvariants(documentSize, view.columns);

  const PixelRect client = ClientRectangle();
  const bool hasClient = client.right > 0 && client.bottom > 0;
  simPaint.copies.clear();
  simPaint.copiesOutside = 0;
  SimInvalidateRect(client);
  SimRunUntilIdle();
  FUZZ_CHECK(simPaint.copiesOutside == 0,
             "a cell copied outside the client area by a whole paint, " + Describe(client));
  // A rectangle as wide as the client reaches every column when the client
  // holds all the columns: then whole lines are drawn.
  const bool wholeLines = client.right >= kLeftMargin + kColumnWidth * view.columns;
  const int visible =
      client.bottom > kTopMargin ? (client.bottom - kTopMargin - 1) / kLinePitch : -1;
  if (hasClient && visible >= 0) {
    CheckCopiesAgainstLines(document, LineStarts(), view.topLine, visible, wholeLines);
  }
  CheckReaderWithin(documentSize);
  const std::vector<SimCellCopy> whole = simPaint.copies;
  const std::set<CopyKey> wholeSet = [&] {
    std::set<CopyKey> keys;
    for (const SimCellCopy& c : whole) keys.insert(KeyOf(c));
    return keys;
  }();
  const std::vector<std::uint8_t> page = SimSurface();

  for (const PixelRect& r : rects) {
    // Straight to the painter, as a platform that passes any rectangle would.
    simPaint.copies.clear();
    simPaint.copiesOutside = 0;
    PaintPage(1, r);
    FUZZ_CHECK(simPaint.copiesOutside == 0,
               "a cell copied outside the client area, " + Describe(r));
    std::set<CopyKey> drawn;
    for (const SimCellCopy& c : simPaint.copies) {
      FUZZ_CHECK(wholeSet.count(KeyOf(c)) == 1,
                 "a cell the whole paint did not draw, " + Describe(r));
      drawn.insert(KeyOf(c));
    }
    const PixelRect part = Intersection(r, client);
    for (const SimCellCopy& c : whole) {
      FUZZ_CHECK(!Meets(c, part) || drawn.count(KeyOf(c)) == 1,
                 "a cell that meets the rectangle is missing, " + Describe(r));
    }
    CheckReaderWithin(documentSize);
    FUZZ_CHECK(SimSurface() == page, "a direct paint changed the page, " + Describe(r));

    // Through the platform: the part inside the client area is erased and repainted.
    SimInvalidateRect(r);
    SimRunUntilIdle();
    FUZZ_CHECK(SimSurface() == page, "a repaint differs from the whole paint, " + Describe(r));
    FUZZ_CHECK(simPaint.copiesOutside == 0,
               "a repaint copied outside the client area, " + Describe(r));
    CheckReaderWithin(documentSize);
  }
  big5Mode = 0;
  return 0;
}
