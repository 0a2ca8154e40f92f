#include "display/line_walk.h"

#include "display/state.h"
#include "document/line_index.h"
#include "document/line_table.h"
#include "document/reader.h"

namespace {

// The old modes: the bytes of each line re-read from its offset as the Line
// index laid them out.
void WalkGbLines(int first, int last, int lastCol, PlacedCharacter placed, void* context) {
  const int columns = view.columns;
  std::int32_t offset = view.topOffset;
  for (int k = 0; k < first; ++k) offset += lineBytes[view.topLine + k];
  SeekTo(offset);
  std::int32_t at = offset;  // where the next character begins
  int i = first;
  int col = 0;
  int phase = StoredPhase(view.topLine + i);
  for (;;) {
    const Character c = NextCharacter();
    if (c.kind == kEndOfText) return;
    bool lineEnds = c.kind == kLineBreak || col > lastCol || col == columns;
    if (!lineEnds && c.kind == kTabCharacter) {
      const int stop = col + 8 - phase;
      if (stop > lastCol || stop > columns) {
        lineEnds = true;
      } else {
        col = stop;
        phase = 0;
        at += c.bytes;
        continue;
      }
    }
    if (!lineEnds) {
      if (col + c.columns > columns) {
        // The pair begins the next display line: continue straight into it
        // through the push-back, with no seek.
        if (i == last) return;
        GiveBack(c);
        offset += lineBytes[view.topLine + i];
        at = offset;
        ++i;
        col = 0;
        continue;
      }
      placed(c, i, col, at, context);
      at += c.bytes;
      col += c.columns;
      phase = (phase + c.columns) % 8;
      continue;
    }
    if (i == last) return;
    offset += lineBytes[view.topLine + i];
    SeekTo(offset);
    at = offset;
    ++i;
    col = 0;
    phase = StoredPhase(view.topLine + i);
  }
}

// The Line table's modes: each line laid out again from the top line's place.
struct UnicodeWalk {
  PlacedCharacter placed;
  void* context;
  int line;
};

void PlaceUnicodeCharacter(const Character& c, int col, void* context) {
  const auto& walk = *static_cast<const UnicodeWalk*>(context);
  walk.placed(c, walk.line, col, c.start, walk.context);
}

void WalkUnicodeLines(int first, int last, PlacedCharacter placed, void* context) {
  LinePlace place = view.topPlace;
  for (int k = 0; k < first; ++k) {
    place = LayOutLineAt(place, view.columns, nullptr, nullptr, nullptr);
  }
  for (int i = first; i <= last; ++i) {
    UnicodeWalk walk{placed, context, i};
    bool ended = false;
    place = LayOutLineAt(place, view.columns, PlaceUnicodeCharacter, &walk, &ended);
    if (ended) return;
  }
}

}  // namespace

void WalkVisibleLines(int first, int last, int lastCol, PlacedCharacter placed, void* context) {
  if (first > last || first > lastLine - view.topLine) return;
  if (ReadsThroughUnicode()) {
    WalkUnicodeLines(first, last, placed, context);
  } else {
    WalkGbLines(first, last, lastCol, placed, context);
  }
}
