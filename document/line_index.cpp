#include "document/line_index.h"

#include "document/encoding_mode.h"
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
        ReadByte();  // the pending tab byte
        ++count;
      }
      const int a = ReadByte();
      if (a < 0) {
        endOfFile = true;
        break;
      }
      ++count;
      if (a == kCarriageReturn) {
        const int next = ReadByte();
        if (next == kLineFeed) {
          ++count;
        } else {
          Unread(next);
        }
        phase = 0;
        break;
      }
      if (a == kLineFeed) {
        phase = 0;
        break;
      }
      // Line breaks come first, so a full line still takes the break after it.
      if (col == columns) {
        Unread(a);
        --count;
        break;
      }
      if (a == kTab) {
        Unread(a);
        --count;
        carry = 8 - phase;
        continue;
      }
      if (IsLeadByte(a)) {
        const int trail = ReadByte();
        if (IsTrailByte(trail)) {
          if (col + 2 > columns) {
            // A pair is never split: give it back whole to begin the next line.
            Unread(trail);
            Unread(a);
            --count;
            break;
          }
          ++count;
          phase = (phase + 2) % 8;
          col += 2;
          continue;
        }
        Unread(trail);
      }
      phase = (phase + 1) % 8;
      ++col;
    }
    lineBytes[k] = static_cast<std::uint8_t>(count);
    if (endOfFile) return 0;
    if (k == kMaxDisplayLines - 1) return 1;
    lastLine = k + 1;
  }
}
