// Random bytes laid out in each mode that reads through Unicode, with every
// column count from 2 to 253: the Line table laid out in random slices keeps
// the lines of one layout straight through, every line takes at most its
// columns (and a hanging mark) and the lines together take every byte once, each kept line is
// found again, and painting every page copies cells only inside the client
// area, one glyph for each character the lines place.
//
// Input: a column byte, a mode byte, a slice byte, then the document's bytes.
#include "display/geometry.h"
#include "display/page_painter.h"
#include "display/view.h"
#include "document/line_table.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int kPageLines = 40;
constexpr int kClientWidth = kColumnSlack + kColumnWidth * kMaxColumns;  // 253 columns
constexpr int kClientHeight = kLinePitch * kPageLines;
constexpr Encoding kModes[] = {kGb18030, kBig5, kBig5Hkscs, kUtf8, kUtf16, kHz};

struct LineCount {
  int columns;     // the widest column a character reaches
  int characters;  // characters that draw a glyph
};

void Count(const Character& c, int col, void* context) {
  auto* count = static_cast<LineCount*>(context);
  if (col + c.columns > count->columns) count->columns = col + c.columns;
  if (c.glyph == kGlyphUnicode) ++count->characters;
  if (c.glyph == kGlyphUnreadable) count->characters += c.columns;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StartFuzzProgram(kClientWidth, kClientHeight);
  FuzzInput input(data, size);
  const int columns = kMinColumns + input.Byte() % (kMaxColumns - kMinColumns + 1);
  const Encoding mode = kModes[input.Byte() % (sizeof kModes / sizeof kModes[0])];
  const std::int32_t slice = 1 + input.Byte() * 7;
  const Bytes document = input.Rest();
  const auto documentSize = static_cast<std::int32_t>(document.size());

  OpenFuzzDocument(document);
  textMode = mode;
  utf16BigEndian = document.size() >= 2 && document[0] == 0xFE && document[1] == 0xFF;
  view.columns = columns;

  // Straight through, line after line.
  std::vector<LinePlace> lines{kDocumentStart};
  std::vector<LineCount> counts;
  for (;;) {
    // A tab takes at most 8 columns, four lines of two.
    FUZZ_CHECK(lines.size() <= 4 * document.size() + 1, "the layout makes no headway");
    LineCount count{0, 0};
    bool ended = false;
    const LinePlace next = LayOutLineAt(lines.back(), columns, Count, &count, &ended);
    // A closing mark may hang one character past the last column.
    FUZZ_CHECK(count.columns <= columns + 2, "a line is wider than its columns");
    FUZZ_CHECK(next.offset >= lines.back().offset, "a line ends before it starts");
    FUZZ_CHECK(next.offset <= documentSize, "a line ends beyond the document");
    counts.push_back(count);
    if (ended) break;
    lines.push_back(next);
  }
  FUZZ_CHECK(LayOutLineAt(lines.back(), columns, nullptr, nullptr, nullptr).offset == documentSize,
             "the lines do not take every byte");

  // In slices, as the timer lays a document out.
  StartLineTable(columns);
  while (!ContinueLineTable(slice)) {
  }
  FUZZ_CHECK(lastLine + 1 == static_cast<int>(lines.size()), "slices give other lines");
  for (int k = 0; k <= lastLine; ++k) {
    const LinePlace found = PlaceOfLine(k);
    const LinePlace& line = lines[static_cast<std::size_t>(k)];
    FUZZ_CHECK(found.offset == line.offset && found.phase == line.phase &&
                   found.carry == line.carry && found.hzInRun == line.hzInRun,
               "a line is found elsewhere than the layout put it");
  }

  // Every page, with the whole client area as the rectangle.
  ComputeMaxTopLine();
  for (int top = 0; top <= lastLine; top += kPageLines) {
    view.topLine = top;
    view.topPlace = lines[static_cast<std::size_t>(top)];
    view.topOffset = view.topPlace.offset;
    simPaint.copies.clear();
    simPaint.copiesOutside = 0;
    PaintPage(1, PixelRect{0, 0, kClientWidth, kClientHeight});
    FUZZ_CHECK(simPaint.copiesOutside == 0, "a cell copied outside the client area");
    std::size_t expected = 0;
    for (int k = top; k <= lastLine && k < top + kPageLines; ++k) {
      expected += static_cast<std::size_t>(counts[static_cast<std::size_t>(k)].characters);
    }
    FUZZ_CHECK(simPaint.copies.size() == expected, "a page copies other cells than its lines hold");
    CheckReaderWithin(documentSize);
  }
  textMode = kGb2312;
  return 0;
}
