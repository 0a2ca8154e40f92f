#include "document/line_table.h"

#include "document/reader.h"
#include "document/state.h"

LinePlace LayOutLineAt(const LinePlace& place, int columns, CharacterSeen seen, void* context,
                       bool* ended) {
  SeekTo(place.offset);
  hzInRun = place.hzInRun;
  LineLayout line{place.phase, place.carry, 0};
  const bool end = LayOutLine(columns, line, seen, context);
  if (ended != nullptr) *ended = end;
  return LinePlace{place.offset + line.count, static_cast<std::uint8_t>(line.phase),
                   static_cast<std::uint8_t>(line.carry), hzInRun};
}

void StartLineTable(int columns) {
  lineTable.places.clear();
  lineTable.places.shrink_to_fit();
  lineTable.next = kDocumentStart;
  lineTable.nextLine = 0;
  lineTable.columns = columns;
  lineTable.done = false;
  lastLine = 0;
  truncated = 0;
}

bool ContinueLineTable(std::int32_t budget) {
  if (lineTable.done) return true;
  // In 64 bits: near the 2 GB limit the sum passes INT32_MAX.
  const std::int64_t stop = static_cast<std::int64_t>(lineTable.next.offset) + budget;
  SeekTo(lineTable.next.offset);
  hzInRun = lineTable.next.hzInRun;
  LineLayout line{lineTable.next.phase, lineTable.next.carry, 0};
  // Line after line straight on: the reader already stands at the next one.
  while (lineTable.next.offset < stop) {
    if (lineTable.nextLine % kLinesPerPlace == 0) lineTable.places.push_back(lineTable.next);
    const bool end = LayOutLine(lineTable.columns, line, nullptr, nullptr);
    if (end) {
      lastLine = lineTable.nextLine;
      lineTable.done = true;
      return true;
    }
    lineTable.next =
        LinePlace{lineTable.next.offset + line.count, static_cast<std::uint8_t>(line.phase),
                  static_cast<std::uint8_t>(line.carry), hzInRun};
    lastLine = lineTable.nextLine;
    ++lineTable.nextLine;
  }
  return false;
}

void ExtendLineTableTo(std::int32_t offset) {
  while (!lineTable.done && lineTable.next.offset <= offset) {
    ContinueLineTable(offset - lineTable.next.offset + 1);
  }
}

bool LineTableDone() {
  return lineTable.done;
}

LinePlace PlaceOfLine(int k) {
  if (k <= 0 || lineTable.places.empty()) return kDocumentStart;
  if (k >= lineTable.nextLine) return lineTable.next;
  LinePlace place = lineTable.places[static_cast<std::size_t>(k / kLinesPerPlace)];
  for (int line = k / kLinesPerPlace * kLinesPerPlace; line < k; ++line) {
    place = LayOutLineAt(place, lineTable.columns, nullptr, nullptr, nullptr);
  }
  return place;
}

int LineOfOffset(std::int32_t offset) {
  if (lineTable.places.empty()) return 0;
  // The last kept line that starts at or before offset, then forward.
  std::size_t low = 0, high = lineTable.places.size();
  while (high - low > 1) {
    const std::size_t middle = (low + high) / 2;
    if (lineTable.places[middle].offset <= offset) {
      low = middle;
    } else {
      high = middle;
    }
  }
  int k = static_cast<int>(low) * kLinesPerPlace;
  LinePlace place = lineTable.places[low];
  while (k < lastLine) {
    bool ended = false;
    const LinePlace next = LayOutLineAt(place, lineTable.columns, nullptr, nullptr, &ended);
    if (ended || next.offset > offset) break;
    place = next;
    ++k;
  }
  return k;
}
