#include "document/line_index.h"

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

int BuildLineIndex(int columns) {
  int phase = 0;  // logical column modulo 8, carried across wraps
  int carry = 0;  // spaces of a tab still to be placed; the tab byte waits in the push-back
  SeekTo(0);
  lastLine = 0;
  for (;;) {
    const int k = lastLine;
    StorePhase(k, phase);
    int count = 0;  // bytes the line consumes
    int col = 0;    // columns the line uses
    bool endOfFile = false;
    for (;;) {
      if (carry > 0) {
        if (col + carry > columns) {
          // The spaces that fit stay here; the tab byte counts where it ends.
          phase = (phase + columns - col) % 8;
          carry -= columns - col;
          break;
        }
        col += carry;
        phase = (phase + carry) % 8;
        carry = 0;
        count += NextCharacter().bytes;  // the pending tab
      }
      const Character c = NextCharacter();
      if (c.kind == kEndOfText) {
        endOfFile = true;
        break;
      }
      count += c.bytes;
      if (c.kind == kLineBreak) {
        phase = 0;
        break;
      }
      // Line breaks come first, so a full line still takes the break after it;
      // a pair is never split: it begins the next line whole.
      if (col == columns || col + c.columns > columns) {
        GiveBack(c);
        count -= c.bytes;
        break;
      }
      if (c.kind == kTabCharacter) {
        GiveBack(c);
        count -= c.bytes;
        carry = 8 - phase;
        continue;
      }
      phase = (phase + c.columns) % 8;
      col += c.columns;
    }
    lineBytes[k] = static_cast<std::uint8_t>(count);
    if (endOfFile) return 0;
    if (k == kMaxDisplayLines - 1) return 1;
    lastLine = k + 1;
  }
}
