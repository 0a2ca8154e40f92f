#include "document/line_index.h"

#include "document/line_breaking.h"
#include "document/next_character.h"
#include "document/reader.h"
#include "document/work_area.h"

// Even lines keep their phase in the high nibble, odd lines in the low one.
static void StorePhase(int k, int phase) {
  std::uint8_t& pair = linePhase[k / 2];
  if (k % 2 == 0) {
    pair = static_cast<std::uint8_t>((pair & 0x0F) | (phase << 4));
  } else {
    pair = static_cast<std::uint8_t>((pair & 0xF0) | phase);
  }
}

int StoredPhase(int k) {
  const int pair = linePhase[k / 2];
  return (k % 2 == 0 ? pair >> 4 : pair) & 7;
}

std::int32_t LineStartOffset(int k) {
  std::int32_t offset = 0;
  for (int line = 0; line < k; ++line) offset += lineBytes[line];
  return offset;
}

bool LayOutLine(int columns, LineLayout& line, CharacterSeen seen, void* context) {
  if (ReadsThroughUnicode()) return LayOutTextLine(columns, line, seen, context);
  int col = 0;  // columns the line uses
  line.count = 0;
  for (;;) {
    if (line.carry > 0) {
      if (col + line.carry > columns) {
        // The spaces that fit stay here; the tab byte counts where it ends.
        line.phase = (line.phase + columns - col) % 8;
        line.carry -= columns - col;
        return false;
      }
      col += line.carry;
      line.phase = (line.phase + line.carry) % 8;
      line.carry = 0;
      line.count += NextCharacter().bytes;  // the pending tab
    }
    const Character c = NextCharacter();
    if (c.kind == kEndOfText) return true;
    line.count += c.bytes;
    if (c.kind == kLineBreak) {
      line.phase = 0;
      return false;
    }
    // Line breaks come first, so a full line still takes the break after it;
    // a two-column character is never split: it begins the next line whole.
    if (col == columns || col + c.columns > columns) {
      GiveBack(c);
      line.count -= c.bytes;
      return false;
    }
    if (c.kind == kTabCharacter) {
      GiveBack(c);
      line.count -= c.bytes;
      line.carry = 8 - line.phase;
      continue;
    }
    if (seen != nullptr) seen(c, col, context);
    line.phase = (line.phase + c.columns) % 8;
    col += c.columns;
  }
}

int BuildLineIndex(int columns) {
  LineLayout line{0, 0, 0};  // phase and carry run on from line to line
  SeekTo(0);
  lastLine = 0;
  for (;;) {
    const int k = lastLine;
    StorePhase(k, line.phase);
    const bool endOfFile = LayOutLine(columns, line, nullptr, nullptr);
    lineBytes[k] = static_cast<std::uint8_t>(line.count);
    if (endOfFile) return 0;
    if (k == kMaxDisplayLines - 1) return 1;
    lastLine = k + 1;
  }
}
