// The decoders' rules for where one character ends, character by character,
// for a reader that takes a text one character at a time (the reader's
// layout and painting). The transcode fuzzer holds them to the decoders.
#include "encoding/byte_rules.h"
#include "encoding/encoding.h"
#include "encoding/tables.h"

namespace {

// GB2312 as EUC-CN: two bytes 0xA1..0xFE are one code.
int Gb2312Length(const std::uint8_t* b, int available, bool ends) {
  if (b[0] < 0xA1 || b[0] == 0xFF) return 1;
  if (available < 2) return ends ? 1 : 0;
  return b[1] >= 0xA1 && b[1] <= 0xFE ? 2 : 1;
}

// GB18030: pairs, four-byte codes; a lead alone, or with 0xFF after it.
int Gb18030Length(const std::uint8_t* b, int available, bool ends) {
  if (!IsExtendedLead(b[0])) return 1;
  if (available < 2) return ends ? 1 : 0;
  if (kGb18030PairCodePoints[GbPairSlot(b[0], b[1])] != 0) return 2;
  if (IsFourByteDigit(b[1])) {
    const bool third = available > 2 && IsExtendedLead(b[2]);
    if (third && available > 3 && IsFourByteDigit(b[3])) return 4;
    if (available == (third ? 3 : 2)) return ends ? available : 0;
  }
  return b[1] == 0xFF ? 2 : 1;
}

// BIG5 through one of its tables: a pair with no character is unreadable
// whole, or its lead alone when the trail is ASCII.
int Big5Length(const std::uint16_t* table, const std::uint8_t* b, int available, bool ends) {
  if (!IsExtendedLead(b[0])) return 1;
  if (available < 2) return ends ? 1 : 0;
  if (!IsBig5Trail(b[1])) return 1;
  return table[(b[0] - 0x81) * kPairRow + b[1] - 0x40] == 0 && b[1] < 0x80 ? 1 : 2;
}

// UTF-8: a sequence as far as it is right.
int Utf8Length(const std::uint8_t* b, int available, bool ends) {
  const int lead = b[0];
  int length;
  int low = 0x80, high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  int good = 1;
  while (good < length && good < available) {
    const int next = b[good];
    if (good == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) break;
    ++good;
  }
  if (good == length) return length;
  return good == available && !ends ? 0 : good;
}

// UTF-16: a unit, or a pair of surrogates.
int Utf16Length(const std::uint8_t* b, int available, bool ends, bool bigEndian) {
  if (available < 2) return ends ? 1 : 0;
  const auto unit = [&](int at) {
    return bigEndian ? b[at] << 8 | b[at + 1] : b[at + 1] << 8 | b[at];
  };
  const int u = unit(0);
  if (u < 0xD800 || u >= 0xDC00) return 2;
  if (available < 4) return ends ? 2 : 0;
  const int low = unit(2);
  return low >= 0xDC00 && low < 0xE000 ? 4 : 2;
}

}  // namespace

int CharacterLength(Encoding encoding, const std::uint8_t* bytes, int available, bool ends,
                    bool bigEndian) {
  if (available == 0) return 0;
  switch (encoding) {
    case kGb2312: return Gb2312Length(bytes, available, ends);
    case kGbk:
    case kGb18030: return Gb18030Length(bytes, available, ends);
    case kBig5: return Big5Length(kBig5Cp950CodePoints, bytes, available, ends);
    case kBig5Hkscs: return Big5Length(kBig5HkscsCodePoints, bytes, available, ends);
    case kUtf16: return Utf16Length(bytes, available, ends, bigEndian);
    default: return Utf8Length(bytes, available, ends);
  }
}
