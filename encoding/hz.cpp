#include <cstring>

#include "encoding/byte_steps.h"

namespace {

constexpr int kLineFeed = 10;
constexpr int kCarriageReturn = 13;

// Byte -> 1 when it may lead a pair inside an HZ run, 2 when it may end
// one, 3 for both.
struct HzRunBytes {
  std::uint8_t of[256];
  constexpr HzRunBytes() : of() {
    for (int b = 0x21; b <= 0x7E; ++b) of[b] = b <= 0x77 ? 3 : 2;
  }
};
constexpr HzRunBytes kRun;

// Copies the bytes from in[i] up to the next escape (or the end) and returns
// where it stopped.
std::size_t CopyUntil(const std::uint8_t* in, std::size_t i, std::size_t size, int escape,
                      std::uint8_t* out, std::size_t& o) {
  if (i == size) return size;  // an empty block may have no memory behind it
  const void* found = std::memchr(in + i, escape, size - i);
  const std::size_t end = found ? static_cast<const std::uint8_t*>(found) - in : size;
  std::memcpy(out + o, in + i, end - i);
  o += end - i;
  return end;
}

}  // namespace

BlockResult DecodeHzBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out) {
  std::size_t i = 0;
  std::size_t o = 0;
  while (true) {
    i = CopyUntil(in, i, size, '~', out, o);
    if (i == size) break;
    // in[i] is "~"; each case needs the bytes after it, or the end of the input.
    if (i + 1 == size) {
      if (!last) break;
      out[o++] = '~';
      i += 1;
      continue;
    }
    const int d = in[i + 1];
    if (d == '~') {
      out[o++] = '~';
      i += 2;
    } else if (d == kCarriageReturn) {
      if (i + 2 == size && !last) break;
      // "~" CR LF joins two lines; after a CR alone the next byte is ordinary input.
      i += i + 2 < size && in[i + 2] == kLineFeed ? 3 : 2;
    } else if (d == '{') {
      // The run's pairs are written as they are found, and taken back if
      // the run turns out not to be closed.
      std::size_t j = i + 2;
      std::size_t runOut = o;
      while (j + 1 < size && (kRun.of[in[j]] & 1) && kRun.of[in[j + 1]]) {
        out[runOut] = in[j] | 0x80;
        out[runOut + 1] = in[j + 1] | 0x80;
        runOut += 2;
        j += 2;
      }
      // The run ends at j: at the end of the input, at "~}", or at anything else.
      const bool atEnd = j == size;
      const bool oneByteLeft = j + 1 == size;
      if (!last && (atEnd || (oneByteLeft && (IsHzRunLead(in[j]) || in[j] == '~')))) break;
      if (atEnd || (!oneByteLeft && in[j] == '~' && in[j + 1] == '}')) {
        o = runOut;
        i = atEnd ? j : j + 2;
      } else {
        // An unclosed run stays as it is and is read again as ordinary input.
        out[o++] = '~';
        out[o++] = '{';
        i += 2;
      }
    } else {
      // "~" LF, "~}" outside a run, "~" before anything else: the "~" stays.
      out[o++] = '~';
      i += 1;
    }
  }
  return {i, o};
}

void ScanHzRun(HzRunScan* scan, const std::uint8_t* in, std::size_t size, bool last) {
  if (scan->ended) return;
  std::size_t i = 0;
  if (scan->carried >= 0) {
    if (size == 0) {
      // The input ended one byte into a pair: the run is not closed.
      scan->ended = last;
      return;
    }
    const int lead = scan->carried;
    scan->carried = -1;
    if (!(IsHzRunLead(lead) && IsHzRunTrail(in[0]))) {
      scan->ended = true;
      scan->closed = lead == '~' && in[0] == '}';
      return;
    }
    scan->pairBytes += 2;
    i = 1;
  }
  const std::size_t start = i;
  while (i + 1 < size && (kRun.of[in[i]] & 1) && kRun.of[in[i + 1]]) i += 2;
  scan->pairBytes += i - start;
  if (i == size) {
    // Every byte was a pair's: the end of the input closes the run.
    scan->ended = scan->closed = scan->atEnd = last;
  } else if (i + 1 == size && !last && (IsHzRunLead(in[i]) || in[i] == '~')) {
    scan->carried = in[i];  // the next piece tells what it begins
  } else {
    scan->ended = true;
    scan->closed = i + 1 < size && in[i] == '~' && in[i + 1] == '}';
  }
}
