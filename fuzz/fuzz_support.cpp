#include "fuzz/fuzz_support.h"

#include <cstdio>

#include "conversion/big5_map.h"
#include "display/geometry.h"
#include "display/glyph_atlas.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "shell/texts.h"

namespace {

// The scratch folder of this process, removed when it ends.
ScratchFolder& Scratch() {
  static ScratchFolder scratch;
  return scratch;
}

bool IsLineBreak(int b) {
  return b == kCarriageReturn || b == kLineFeed;
}

// The GbIndex of every BIG5 code, looked up once: the checks below need one
// for every BIG5 pair drawn.
struct Big5Lookup {
  int row[89][256];
  int cell[89][256];
  void Fill() {
    for (int lead = 0xA1; lead <= 0xF9; ++lead) {
      for (int trail = 0; trail < 256; ++trail) {
        if (IsBig5Trail(trail))
          Big5ToGb(lead, trail, row[lead - 0xA1][trail], cell[lead - 0xA1][trail]);
      }
    }
  }
};
Big5Lookup big5Lookup;

}  // namespace

void FuzzFailure(const char* file, int line, const std::string& what) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what.c_str());
  std::fflush(stderr);
  abort();
}

Bytes FuzzInput::Take(std::size_t count) {
  const std::size_t n = count < size_ - at_ ? count : size_ - at_;
  Bytes bytes(data_ + at_, data_ + at_ + n);
  at_ += n;
  return bytes;
}

void StartFuzzProgram(int width, int height) {
  static bool started = false;
  if (started) return;
  started = true;
  StartFreshProcess();
  SimCreateKey(kLocalMachine, kPositionKey);  // not a first run: no questions
  RunProgram("tavelo.exe");                   // its open dialog is cancelled
  SimResizeClient(width, height);
  SimRunUntilIdle();
  if (readBuffer == nullptr || atlasBitmap == 0 || !LoadBig5Map()) {
    FuzzFailure(__FILE__, __LINE__, "the program did not start");
  }
  big5Lookup.Fill();
}

std::string ScratchPath(const std::string& name) {
  return Scratch().Path(name);
}

void CloseFuzzDocument() {
  if (documentHandle != kInvalidFile) CloseFile(documentHandle);
  documentHandle = kInvalidFile;
}

void OpenFuzzDocument(const Bytes& document) {
  CloseFuzzDocument();
  const std::string path = Scratch().Write("document.txt", document);
  documentHandle = OpenFileForReading(path.c_str());
  FUZZ_CHECK(documentHandle != kInvalidFile, "the scratch file cannot be opened");
}

void CheckReaderWithin(std::int64_t documentSize) {
  const DocumentReader& r = reader;
  FUZZ_CHECK(r.blockBase >= 0, "the reader's block starts before the file");
  FUZZ_CHECK(r.blockFill >= 0 && r.blockFill <= kReadBufferSize, "the block overfills the buffer");
  FUZZ_CHECK(r.blockCursor >= 0 && r.blockCursor <= r.blockFill, "the cursor left the block");
  FUZZ_CHECK(std::int64_t{r.blockBase} + r.blockFill <= documentSize,
             "the reader holds bytes past the end of the document");
  FUZZ_CHECK(r.pushBack1 >= -1 && r.pushBack1 <= 255 && r.pushBack2 >= -1 && r.pushBack2 <= 255,
             "a push-back slot holds no byte");
  FUZZ_CHECK(r.pushBack1 >= 0 || r.pushBack2 < 0, "the second slot is full, the first empty");
}

void CheckIndexInvariants(std::int64_t documentSize, int columns) {
  FUZZ_CHECK(truncated == 0 || truncated == 1, "the build's result is not a flag");
  FUZZ_CHECK(lastLine >= 0 && lastLine < kMaxDisplayLines, "lastLine out of 0..32,767");
  FUZZ_CHECK(!truncated || lastLine == kMaxDisplayLines - 1, "truncated before the line limit");
  std::int64_t covered = 0;
  for (int k = 0; k <= lastLine; ++k) {
    const int bytes = lineBytes[k];
    FUZZ_CHECK(bytes <= columns + 2, "line " + std::to_string(k) + " consumes " +
                                         std::to_string(bytes) + " bytes at " +
                                         std::to_string(columns) + " columns");
    const int nibble = (k % 2 == 0 ? linePhase[k / 2] >> 4 : linePhase[k / 2]) & 0x0F;
    FUZZ_CHECK(nibble <= 7,
               "line " + std::to_string(k) + " has phase nibble " + std::to_string(nibble));
    // Only the spaces of a tab wider than the line make a line of no bytes
    // before the last one.
    FUZZ_CHECK(bytes > 0 || k == lastLine || columns < 8,
               "line " + std::to_string(k) + " consumes nothing");
    covered += bytes;
  }
  FUZZ_CHECK(StoredPhase(0) == 0, "the first line does not start at phase 0");
  if (truncated) {
    FUZZ_CHECK(covered <= documentSize, "the lines cover more than the document");
  } else {
    FUZZ_CHECK(covered == documentSize, "the lines cover " + std::to_string(covered) + " of " +
                                            std::to_string(documentSize) + " bytes");
  }
}

std::vector<std::int64_t> LineStarts() {
  std::vector<std::int64_t> starts(static_cast<std::size_t>(lastLine) + 2);
  for (int k = 0; k <= lastLine; ++k) starts[k + 1] = starts[k] + lineBytes[k];
  return starts;
}

void CheckCopiesAgainstLines(const Bytes& document, const std::vector<std::int64_t>& starts,
                             int firstLine, int lastVisible, bool wholeLines) {
  const int columns = view.columns;
  const int lastPainted = std::min(lastLine, firstLine + lastVisible);
  const std::int64_t size = static_cast<std::int64_t>(document.size());
  auto lead = [](int b) { return IsLeadByte(b); };
  auto trail = [](int b) { return IsTrailByte(b); };

  std::size_t next = 0;  // the next copy to account for
  const std::vector<SimCellCopy>& copies = simPaint.copies;
  for (int k = firstLine; k <= lastPainted; ++k) {
    auto where = [k] { return "line " + std::to_string(k); };
    std::int64_t pos = starts[k];
    const std::int64_t end = starts[k + 1];
    FUZZ_CHECK(end <= size, where() + " ends past the document");
    int col = 0;
    int phase = StoredPhase(k);
    auto skipTabs = [&] {
      while (pos < end && document[pos] == kTab) {
        col += 8 - phase;
        phase = 0;
        ++pos;
      }
    };
    const int y = kTopMargin + kLinePitch * (k - firstLine);
    for (; next < copies.size() && copies[next].y == y; ++next) {
      const SimCellCopy& c = copies[next];
      skipTabs();
      FUZZ_CHECK(pos < end, where() + ": a cell beyond the line's bytes");
      const int b = document[pos];
      FUZZ_CHECK(!IsLineBreak(b), where() + ": a cell for a line break");
      const bool wide = lead(b) && pos + 1 < size && trail(document[pos + 1]);
      FUZZ_CHECK(c.x == kLeftMargin + kColumnWidth * col, where() + ": cell at x " +
                                                              std::to_string(c.x) + ", column " +
                                                              std::to_string(col) + " expected");
      FUZZ_CHECK(c.height == kGlyphHeight, where() + ": a cell of another height");
      CellOrigin origin;
      if (wide) {
        FUZZ_CHECK(c.width == kWideWidth, where() + ": a pair drawn narrow");
        FUZZ_CHECK(pos + 1 < end, where() + ": a pair split between lines");
        int row = b - 0xA1, cell = document[pos + 1] - 0xA1;
        if (big5Mode) {
          row = big5Lookup.row[b - 0xA1][document[pos + 1]];
          cell = big5Lookup.cell[b - 0xA1][document[pos + 1]];
        }
        origin = WideCell(row, cell);
        pos += 2;
        col += 2;
        phase = (phase + 2) % 8;
      } else {
        FUZZ_CHECK(c.width == kNarrowWidth, where() + ": a single byte drawn wide");
        origin = NarrowCell(b);
        pos += 1;
        col += 1;
        phase = (phase + 1) % 8;
      }
      FUZZ_CHECK(c.sourceX == origin.x && c.sourceY == origin.y, where() + ": the wrong glyph");
      FUZZ_CHECK(col <= columns, where() + ": a cell beyond the last column");
    }
    if (!wholeLines) continue;
    skipTabs();
    FUZZ_CHECK(col <= columns, where() + ": a tab beyond the last column");
    // All that may stay undrawn is the hard line break that ends the line.
    const std::int64_t rest = end - pos;
    const bool lineBreak =
        rest == 0 || (rest == 1 && IsLineBreak(document[pos])) ||
        (rest == 2 && document[pos] == kCarriageReturn && document[pos + 1] == kLineFeed);
    FUZZ_CHECK(lineBreak, where() + ": " + std::to_string(rest) + " bytes consumed but not drawn");
  }
  FUZZ_CHECK(next == copies.size(), "a cell off the painted lines, at y " +
                                        std::to_string(copies[next].y) + " x " +
                                        std::to_string(copies[next].x));
}
