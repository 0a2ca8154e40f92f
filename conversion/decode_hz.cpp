#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"

namespace {

constexpr int kEscape = '~';
constexpr int kHighBit = 0x80;

// The bytes of a pair inside a "~{" run: 7-bit GB2312 rows and cells.
bool IsRunLead(int b) {
  return b >= 0x21 && b <= 0x77;
}
bool IsRunTrail(int b) {
  return b >= 0x21 && b <= 0x7E;
}

// Entered right after "~{". The run's pairs are counted first and then read
// again: only a run that "~}" or the end of the input closes is decoded; any
// other run, its "~{" included, is left as it is and read as ordinary input.
void DecodeRun(OutputSink& sink) {
  // Nothing is pushed back here, so this is the offset of the byte after "{".
  const std::int32_t start = CurrentOffset();
  std::int32_t pairs = 0;
  int a = ReadByte();
  int b = ReadByte();
  while (IsRunLead(a) && IsRunTrail(b)) {
    ++pairs;
    a = ReadByte();
    b = ReadByte();
  }
  SeekTo(start);
  const bool atEnd = a < 0;
  if (!atEnd && !(a == kEscape && b == '}')) {
    AppendPair(sink, kEscape, '{');
    return;
  }
  for (; pairs > 0; --pairs) {
    const int lead = ReadByte();
    const int trail = ReadByte();
    AppendPair(sink, lead | kHighBit, trail | kHighBit);
  }
  if (!atEnd) {
    ReadByte();  // the closing "~}"
    ReadByte();
  }
}

// What d, the byte after a "~", begins. "~" LF, "~}" outside a run and "~"
// at the end begin nothing.
bool DecodeEscape(OutputSink& sink, int d) {
  if (d == kEscape) {
    AppendByte(sink, kEscape);
  } else if (d == kCarriageReturn) {
    // "~" CR LF joins two lines; after a CR alone the next byte is ordinary input.
    const int x = ReadByte();
    if (x != kLineFeed) Unread(x);
  } else if (d == '{') {
    DecodeRun(sink);
  } else {
    return false;
  }
  return true;
}

}  // namespace

void DecodeHzLoop(OutputSink& sink) {
  DecodeEscapes(sink, kEscape, DecodeEscape);
}
