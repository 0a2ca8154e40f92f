#include "conversion/block_converters.h"

#include <cstring>

#include "conversion/big5_map.h"
#include "conversion/gb2312_unicode.h"
#include "conversion/state.h"
#include "document/encoding_mode.h"

namespace {

constexpr int kGbBase = 0xA1;
constexpr int kCellsPerRow = 94;
constexpr int kTrailsPerLead = 157;

// The table's sections: first position, first bit, value width, flagged.
struct Section {
  int first;
  long bit;
  int width;
  bool flagged;  // a 1 bit is an entry without a value, a 0 bit precedes one
};
constexpr Section kSections[] = {
    {0, 0, 10, true},
    {471, 3296, 13, false},
    {5872, 73512, 13, true},
};
constexpr long kTableBits = static_cast<long>(kBig5TableSize) * 8;

// Reads the table's bits in order, most significant first; past the end they
// read as the all-ones fill, as Big5ToGb's reads do.
struct BitReader {
  long at;
  int Bit() {
    const long k = at++;
    if (k >= kTableBits) return 1;
    return big5Table[k / 8] >> (7 - k % 8) & 1;
  }
  int Value(int width) {
    int v = 0;
    for (int i = 0; i < width; ++i) v = v << 1 | Bit();
    return v;
  }
};

// The trail byte of each of a lead's 157 positions, in the table's order.
int TrailByte(int t) {
  return t < 0x3F ? t + 0x40 : t + 0x62;
}

constexpr std::uint8_t kReplacement[3] = {0xEF, 0xBF, 0xBD};  // U+FFFD

bool IsHzRunLead(int b) {
  return b >= 0x21 && b <= 0x77;
}

// Byte -> 1 when it may lead a pair inside an HZ run, 2 when it may end
// one, 3 for both.
struct HzRunBytes {
  std::uint8_t of[256];
  constexpr HzRunBytes() : of() {
    for (int b = 0x21; b <= 0x7E; ++b) of[b] = b <= 0x77 ? 3 : 2;
  }
};
constexpr HzRunBytes kRun;

// Byte -> the value of an upper-case hex digit ("=4a" is no escape), or -1.
struct HexDigits {
  signed char of[256];
  constexpr HexDigits() : of() {
    for (int b = 0; b < 256; ++b) {
      of[b] = b >= '0' && b <= '9' ? b - '0' : b >= 'A' && b <= 'F' ? b - 'A' + 10 : -1;
    }
  }
};
constexpr HexDigits kHex;

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

void ExpandBig5Map() {
  for (int s = 0; s < 3; ++s) {
    const Section& section = kSections[s];
    const int end = s < 2 ? kSections[s + 1].first : kBig5Positions;
    BitReader bits{section.bit};
    for (int n = section.first; n < end; ++n) {
      const int v = section.flagged && bits.Bit() ? 0 : bits.Value(section.width);
      std::uint8_t* code = big5GbCodes[n / kTrailsPerLead][TrailByte(n % kTrailsPerLead)];
      code[0] = static_cast<std::uint8_t>(v / kCellsPerRow + kGbBase);
      code[1] = static_cast<std::uint8_t>(v % kCellsPerRow + kGbBase);
    }
  }
}

BlockResult SaveInGbBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out) {
  std::size_t i = 0;
  // Every byte but the last has the byte after it at hand.
  while (i + 1 < size) {
    const unsigned lead = in[i] - 0xA1u;
    const std::uint8_t* code = lead < kBig5Leads ? big5GbCodes[lead][in[i + 1]] : nullptr;
    if (code != nullptr && code[0] != 0) {
      std::memcpy(out + i, code, 2);
      i += 2;
    } else {
      // Not a pair: the byte stays, the next one is looked at anew.
      out[i] = in[i];
      i += 1;
    }
  }
  if (i + 1 == size && (last || !IsBig5Lead(in[i]))) {
    out[i] = in[i];
    i += 1;
  }
  return {i, i};
}

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

BlockResult DecodeQpBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out) {
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < size) {
    const int c = in[i];
    if (c != '=') {
      out[o++] = static_cast<std::uint8_t>(c);
      ++i;
      continue;
    }
    const std::size_t left = size - i;  // "=" and what follows it
    if (left >= 3) {
      // The common case first: "=" and two digits.
      const int high = kHex.of[in[i + 1]];
      const int low = kHex.of[in[i + 2]];
      if ((high | low) >= 0) {
        out[o++] = static_cast<std::uint8_t>(high << 4 | low);
        i += 3;
        continue;
      }
    }
    if (left == 1) {
      if (!last) break;
      out[o++] = '=';
      i += 1;
      continue;
    }
    const int e = in[i + 1];
    if (e == kCarriageReturn) {
      if (left == 2 && !last) break;
      // A soft line break; after "=" CR alone the next byte is ordinary input.
      i += left > 2 && in[i + 2] == kLineFeed ? 3 : 2;
    } else if (e == kLineFeed) {
      i += 2;
    } else if (kHex.of[e] >= 0) {
      if (left == 2 && !last) break;
      // Not followed by a second digit: "=" and the digit stay, the next byte is read anew.
      out[o++] = '=';
      out[o++] = static_cast<std::uint8_t>(e);
      i += 2;
    } else {
      out[o++] = '=';
      i += 1;
    }
  }
  return {i, o};
}

BlockResult CopyBlock(const std::uint8_t* in, std::size_t size, bool, std::uint8_t* out) {
  if (size > 0) std::memcpy(out, in, size);
  return {size, size};
}

BlockResult GbToUtf8Block(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out) {
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < size) {
    const int c = in[i];
    if (c < 0x80) {
      out[o++] = static_cast<std::uint8_t>(c);
      ++i;
      continue;
    }
    if (c >= 0xA1 && c <= 0xFE) {
      if (i + 1 == size && !last) break;
      const int t = i + 1 < size ? in[i + 1] : 0;
      if (t >= 0xA1 && t <= 0xFE) {
        const Gb2312Utf8& u = kGb2312Utf8[(c - 0xA1) * kCellsPerRow + t - 0xA1];
        std::memcpy(out + o, u.bytes, 3);  // out has room: three bytes for each input byte
        o += u.length;
        i += 2;
        continue;
      }
    }
    std::memcpy(out + o, kReplacement, 3);
    o += 3;
    ++i;
  }
  return {i, o};
}
