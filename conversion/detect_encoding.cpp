#include "conversion/detect_encoding.h"

#include "conversion/gb2312_unicode.h"

namespace {

// The cost, in half bits, of a byte or pair that the reading cannot take:
// more than any character costs, so one such byte outweighs a rare character.
constexpr int kInvalidCost = 60;

// Bytes looked at; detection of a longer text decides on its start.
constexpr std::size_t kLookAt = 64 * 1024;

bool IsOddControl(int b) {
  return b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1B && b != 0x1A;
}

bool IsUpperHex(int b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F');
}
int HexValue(int digit) {
  return digit <= '9' ? digit - '0' : digit - 'A' + 10;
}

// A reading of the text in one two-byte encoding: what its characters cost
// together, and how many bytes or pairs it could not take.
struct Reading {
  long cost = 0;
  long characters = 0;
  long invalid = 0;
  void Add(int c) {
    ++characters;
    if (c == kNoCharacter) {
      ++invalid;
      cost += kInvalidCost;
    } else {
      cost += c;
    }
  }
};

int GbCost(int lead, int trail) {
  return kGbCost[(lead - 0xA1) * 94 + trail - 0xA1];
}

Reading ReadAsGb(const std::uint8_t* text, std::size_t size) {
  Reading r;
  for (std::size_t i = 0; i < size;) {
    const int c = text[i];
    if (c < 0x80) {
      ++i;
    } else if (c >= 0xA1 && c <= 0xFE && i + 1 < size && text[i + 1] >= 0xA1 &&
               text[i + 1] <= 0xFE) {
      r.Add(GbCost(c, text[i + 1]));
      i += 2;
    } else {
      r.Add(kNoCharacter);
      ++i;
    }
  }
  return r;
}

int Big5Trail(int b) {
  return b >= 0x40 && b <= 0x7E ? b - 0x40 : b >= 0xA1 && b <= 0xFE ? b - 0x62 : -1;
}

Reading ReadAsBig5(const std::uint8_t* text, std::size_t size) {
  Reading r;
  for (std::size_t i = 0; i < size;) {
    const int c = text[i];
    const int t = i + 1 < size ? Big5Trail(text[i + 1]) : -1;
    if (c < 0x80) {
      ++i;
    } else if (c >= 0xA1 && c <= 0xF9 && t >= 0) {
      r.Add(kBig5Cost[(c - 0xA1) * 157 + t]);
      i += 2;
    } else {
      r.Add(kNoCharacter);
      ++i;
    }
  }
  return r;
}

// The cost of a character of a UTF-8 reading: its GB2312 position's where
// GB2312 has it, else a fixed cost of a rare character.
constexpr int kRareCost = 40;

int Utf8CharacterCost(unsigned c) {
  int low = 0, high = kGb2312Characters;  // the position of c, if any, is in [low, high)
  while (low < high) {
    const int middle = (low + high) / 2;
    if (kGb2312ByUnicode[middle].character < c) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == kGb2312Characters || kGb2312ByUnicode[low].character != c) return kRareCost;
  const int cost = kGbCost[kGb2312ByUnicode[low].position];
  return cost < kRareCost ? cost : kRareCost;
}

// The text read as strict UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF); a character cut by the end of the text still counts. False
// when the text is no UTF-8.
bool ReadAsUtf8(const std::uint8_t* text, std::size_t size, Reading& r) {
  for (std::size_t i = 0; i < size;) {
    const int c = text[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int length;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    unsigned code = static_cast<unsigned>(c) & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      if (i + k >= size) return r.characters > 0;
      const unsigned b = text[i + k];
      if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return false;
      code = code << 6 | (b & 0x3F);
    }
    r.Add(Utf8CharacterCost(code));
    i += length;
  }
  return true;
}

// HZ: the "~{" runs of 7-bit pairs that "~}" or the end closes, as the
// decoder reads them; their pairs read as GB2312.
Reading ReadHzRuns(const std::uint8_t* text, std::size_t size, long& runs) {
  Reading r;
  runs = 0;
  for (std::size_t i = 0; i + 1 < size; ++i) {
    if (text[i] != '~') continue;
    if (text[i + 1] == '~') {
      ++i;
      continue;
    }
    if (text[i + 1] != '{') continue;
    std::size_t j = i + 2;
    while (j + 1 < size && text[j] >= 0x21 && text[j] <= 0x77 && text[j + 1] >= 0x21 &&
           text[j + 1] <= 0x7E) {
      j += 2;
    }
    const bool closed = j >= size || (j + 1 < size && text[j] == '~' && text[j + 1] == '}');
    if (!closed || j == i + 2) continue;
    ++runs;
    for (std::size_t k = i + 2; k < j; k += 2) r.Add(GbCost(text[k] | 0x80, text[k + 1] | 0x80));
    i = j;
  }
  return r;
}

// Quoted-printable: escapes of bytes from 0x80 up, and "=" that begin no
// escape and no soft line break.
void CountQp(const std::uint8_t* text, std::size_t size, long& high, long& stray) {
  high = stray = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (text[i] != '=') continue;
    if (i + 1 < size && (text[i + 1] == '\r' || text[i + 1] == '\n')) continue;
    if (i + 2 < size && IsUpperHex(text[i + 1]) && IsUpperHex(text[i + 2])) {
      if (HexValue(text[i + 1]) >= 8) ++high;
      i += 2;
    } else if (i + 2 < size) {
      ++stray;
    }
  }
}

// A reading of two-byte Chinese that takes most characters well.
bool Plausible(const Reading& r) {
  return r.characters > 0 && r.invalid * 4 <= r.characters;
}

}  // namespace

Encoding DetectEncoding(const std::uint8_t* text, std::size_t size) {
  if (size > kLookAt) size = kLookAt;
  std::size_t controls = 0, high = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (text[i] == 0) return kBinary;
    controls += IsOddControl(text[i]);
    high += text[i] >= 0x80;
  }
  if (controls * 50 > size) return kBinary;

  if (high == 0) {
    long runs;
    const Reading hz = ReadHzRuns(text, size, runs);
    if (runs > 0 && Plausible(hz)) return kHz;
    long highEscapes, stray;
    CountQp(text, size, highEscapes, stray);
    if (highEscapes >= 2 && stray * 4 <= highEscapes) return kQp;
    return kAscii;
  }

  const Reading gb = ReadAsGb(text, size);
  const Reading big5 = ReadAsBig5(text, size);
  const Reading& twoByte = big5.cost < gb.cost ? big5 : gb;
  Reading utf8;
  // Chinese text in GB2312 or BIG5 is now and then valid UTF-8 too; then the
  // characters decide.
  if (ReadAsUtf8(text, size, utf8) && (twoByte.invalid > 0 || utf8.cost <= twoByte.cost)) {
    return kUtf8;
  }
  if (!Plausible(gb) && !Plausible(big5)) return kBinary;
  return &twoByte == &big5 ? kBig5 : kGb2312;
}
