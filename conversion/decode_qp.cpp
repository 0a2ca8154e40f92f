#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"

namespace {

constexpr int kEscape = '=';

// Upper-case digits only: "=4a" is not an escape here.
bool IsHexDigit(int b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F');
}
int HexValue(int digit) {
  return digit <= '9' ? digit - '0' : digit - 'A' + 10;
}

// What e, the byte after a "=", begins. A "=" before anything else, or as
// the last byte, begins nothing.
bool DecodeEscape(OutputSink& sink, int e) {
  if (e == kCarriageReturn) {
    // A soft line break; after "=" CR alone the next byte is ordinary input.
    const int x = ReadByte();
    if (x != kLineFeed) Unread(x);
  } else if (e == kLineFeed) {
    // A soft line break written with a bare LF.
  } else if (IsHexDigit(e)) {
    const int second = ReadByte();
    if (IsHexDigit(second)) {
      AppendByte(sink, HexValue(e) * 16 + HexValue(second));
    } else {
      AppendPair(sink, kEscape, e);
      Unread(second);
    }
  } else {
    return false;
  }
  return true;
}

}  // namespace

void DecodeQpLoop(OutputSink& sink) {
  DecodeEscapes(sink, kEscape, DecodeEscape);
}
