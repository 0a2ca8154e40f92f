// Random bytes laid out with every column count from 2 to 253, in GB and in
// BIG5 mode: the Line index keeps its invariants, and painting every line of
// the document with a rectangle as wide as the lines draws exactly the
// characters of the bytes each line's lineBytes entry gives it.
//
// Input: a column byte, a mode-and-repeat byte, then the document's bytes,
// repeated up to 128 times so that small inputs reach the 32,768-line limit.
#include "display/geometry.h"
#include "display/glyph_atlas.h"
#include "display/page_painter.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int kPageLines = 40;
constexpr int kClientWidth = kColumnSlack + kColumnWidth * kMaxColumns;  // 253 columns
constexpr int kClientHeight = kLinePitch * kPageLines;
constexpr std::size_t kLongestDocument = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StartFuzzProgram(kClientWidth, kClientHeight);
  FuzzInput input(data, size);
  const int columns = kMinColumns + input.Byte() % (kMaxColumns - kMinColumns + 1);
  const int flags = input.Byte();
  const Bytes body = input.Rest();
  // 1, 2, 4 ... 128 copies: most runs stay short, some reach the line limit.
  const int repeats = 1 << ((flags >> 1) % 8);
  Bytes document;
  for (int r = 0; r < repeats && document.size() + body.size() <= kLongestDocument; ++r) {
    document.insert(document.end(), body.begin(), body.end());
    if (body.empty()) break;
  }

  OpenFuzzDocument(document);
  view.columns = columns;
  big5Mode = flags & 1;
  truncated = BuildLineIndex(view.columns);
  const std::int64_t documentSize = static_cast<std::int64_t>(document.size());
  CheckIndexInvariants(documentSize, columns);
  CheckReaderWithin(documentSize);

  // Every line, a page at a time, with the whole client area as the rectangle.
  FUZZ_CHECK(view.pageLines == kPageLines, "the client area is not the one set up");
  const std::vector<std::int64_t> starts = LineStarts();
  // The cells are checked from their record; drawing their pixels too would
  // only slow the search down.
  const BitmapHandle atlas = atlasBitmap;
  atlasBitmap = 0;
  for (int top = 0; top <= lastLine; top += kPageLines) {
    view.topLine = top;
    view.topOffset = static_cast<std::int32_t>(starts[top]);
    simPaint.copies.clear();
    simPaint.copiesOutside = 0;
    PaintPage(1, PixelRect{0, 0, kClientWidth, kClientHeight});
    FUZZ_CHECK(simPaint.copiesOutside == 0, "a cell copied outside the client area");
    CheckCopiesAgainstLines(document, starts, top, kPageLines - 1, true);
    CheckReaderWithin(documentSize);
  }
  atlasBitmap = atlas;
  big5Mode = 0;
  return 0;
}
