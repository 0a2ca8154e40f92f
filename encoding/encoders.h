// The encoders: one small struct per encoding that writes code points as its
// bytes. The decoders (encoding/decoders.h) are templates over them, so a
// transcoding is one loop: each character is decoded into its code point and
// handed straight to Put. Only the room's own files include this.
#pragma once

#include <cstring>

#include "encoding/ascii_run.h"

#include "encoding/tables.h"
#include "encoding/transcode.h"

namespace encoders {

constexpr std::uint8_t kReplacementUtf8[3] = {0xEF, 0xBF, 0xBD};  // U+FFFD
constexpr char32_t kCombiningMacron = 0x0304;
constexpr char32_t kCombiningCaron = 0x030C;

// What every encoder does with what it cannot write. Unreadable: count input
// bytes that were no character; NoCode: a character the encoding lacks. Each
// returns false when the transcoding is to stop there.
template <typename Encoder>
bool Unreadable(Encoder& e, std::size_t bytes) {
  e.t->malformed += bytes;
  if (e.t->policy == kReplaceUnconvertible) e.Replacement();
  if (e.t->policy != kStopAtUnconvertible) return true;
  e.t->stopped = true;
  return false;
}
template <typename Encoder>
bool NoCode(Encoder& e) {
  ++e.t->unmappable;
  if (e.t->policy == kReplaceUnconvertible) e.Replacement();
  if (e.t->policy != kStopAtUnconvertible) return true;
  e.t->stopped = true;
  return false;
}

inline void PutPair(std::uint8_t*& out, unsigned code) {
  out[0] = static_cast<std::uint8_t>(code >> 8);
  out[1] = static_cast<std::uint8_t>(code);
  out += 2;
}

// The bytes shared by every encoder but UTF-16: ASCII is itself.
struct AsciiCompatible {
  std::uint8_t* out;
  Transcoding* t;
  // n bytes below 0x80 at p, which has readable bytes to read. A short run
  // in the middle of Chinese text, a space or a line break, goes as one store
  // of 16 bytes: the output has room for four bytes a byte still to come.
  void CopyAscii(const std::uint8_t* p, std::size_t n, std::size_t readable) {
    CopyAsciiRun(p, n, readable, out);
    out += n;
  }
  void Replacement() { *out++ = '?'; }
  void Finish() {}
};

struct Utf8Encoder : AsciiCompatible {
  bool Put(char32_t c) {
    if (c < 0x80) {
      *out++ = static_cast<std::uint8_t>(c);
    } else if (c < 0x800) {
      out[0] = static_cast<std::uint8_t>(0xC0 | c >> 6);
      out[1] = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
      out += 2;
    } else if (c < 0x10000) {
      // One store of four bytes, the fourth overwritten next: a character of
      // three UTF-8 bytes comes from two input bytes or more, which leave
      // room for eight.
      const std::uint32_t bytes =
          (0xE0 | c >> 12) | (0x80 | (c >> 6 & 0x3F)) << 8 | (0x80 | (c & 0x3F)) << 16;
      std::memcpy(out, &bytes, 4);
      out += 3;
    } else {
      out[0] = static_cast<std::uint8_t>(0xF0 | c >> 18);
      out[1] = static_cast<std::uint8_t>(0x80 | (c >> 12 & 0x3F));
      out[2] = static_cast<std::uint8_t>(0x80 | (c >> 6 & 0x3F));
      out[3] = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
      out += 4;
    }
    return true;
  }
  void Replacement() {
    std::memcpy(out, kReplacementUtf8, 3);
    out += 3;
  }
};

// Little-endian, after the byte-order mark FF FE, as Windows, iconv and
// Python write it; the mark comes with the first character, so a text of no
// characters stays empty.
struct Utf16Encoder {
  std::uint8_t* out;
  Transcoding* t;
  void Unit(unsigned u) {
    out[0] = static_cast<std::uint8_t>(u);
    out[1] = static_cast<std::uint8_t>(u >> 8);
    out += 2;
  }
  void Mark() {
    if (t->markWritten) return;
    Unit(0xFEFF);
    t->markWritten = true;
  }
  bool Put(char32_t c) {
    Mark();
    if (c < 0x10000) {
      Unit(c);
    } else {
      Unit(0xD800 + ((c - 0x10000) >> 10));
      Unit(0xDC00 + (c & 0x3FF));
    }
    return true;
  }
  void CopyAscii(const std::uint8_t* p, std::size_t n, std::size_t) {
    Mark();
    for (std::size_t i = 0; i < n; ++i) Unit(p[i]);
  }
  void Replacement() {
    Mark();
    Unit(0xFFFD);
  }
  void Finish() {}
};

// GB18030's code of a BMP character that has a pair; 0 when it has none.
inline unsigned Gb18030Pair(char32_t c) {
  return kGb18030PairCodes[kGb18030PairPages[c >> 8] * 256 + (c & 0xFF)];
}

// GB18030's four-byte code of a character that has no pair.
inline void PutFourByte(std::uint8_t*& out, std::uint32_t index) {
  out[3] = static_cast<std::uint8_t>(0x30 + index % 10);
  index /= 10;
  out[2] = static_cast<std::uint8_t>(0x81 + index % 126);
  index /= 126;
  out[1] = static_cast<std::uint8_t>(0x30 + index % 10);
  out[0] = static_cast<std::uint8_t>(0x81 + index / 10);
  out += 4;
}

// The four-byte index of a BMP character that has no pair (every one has one).
std::uint32_t Gb18030FourByteIndex(char32_t c);

constexpr std::uint32_t kSupplementaryIndex = 189000;  // the four-byte index of U+10000

struct Gb18030Encoder : AsciiCompatible {
  bool Put(char32_t c) {
    if (c < 0x80) {
      *out++ = static_cast<std::uint8_t>(c);
    } else if (c > 0xFFFF) {
      PutFourByte(out, kSupplementaryIndex + (c - 0x10000));
    } else if (const unsigned code = Gb18030Pair(c)) {
      PutPair(out, code);
    } else {
      PutFourByte(out, Gb18030FourByteIndex(c));
    }
    return true;
  }
};

// What a legacy encoder writes for code: a byte below 0x100, else a pair.
inline void PutCode(std::uint8_t*& out, unsigned code) {
  if (code < 0x100) {
    *out++ = static_cast<std::uint8_t>(code);
  } else {
    PutPair(out, code);
  }
}

// An encoder that looks each character from U+0080 up in its tables:
// Codes::Code gives its code, 0 where the encoding has none.
template <typename Codes>
struct TableEncoder : AsciiCompatible {
  bool Put(char32_t c) {
    if (c < 0x80) {
      *out++ = static_cast<std::uint8_t>(c);
      return true;
    }
    const unsigned code = Codes::Code(c);
    if (code == 0) return NoCode(*this);
    PutCode(out, code);
    return true;
  }
};

// GBK as glibc and Windows write it: GB18030's pairs that GBK has, and the
// euro sign as the byte 0x80.
struct GbkCodes {
  static unsigned Code(char32_t c) {
    const unsigned code = c <= 0xFFFF ? Gb18030Pair(c) : 0;
    if (code != 0) {
      const int slot = PairSlot(code >> 8, code & 0xFF);
      if (kGbkPairBits[slot >> 3] >> (slot & 7) & 1) return code;
    }
    return c == 0x20AC ? 0x80 : 0;
  }
};
using GbkEncoder = TableEncoder<GbkCodes>;

// GB2312 (EUC-CN): GB18030's pair when GB2312 reads it as the same
// character; the two marks GB2312 has in other forms than GBK.
struct Gb2312Codes {
  static unsigned Code(char32_t c) {
    const unsigned code = c <= 0xFFFF ? Gb18030Pair(c) : 0;
    const unsigned row = (code >> 8) - 0xA1u;
    const unsigned cell = (code & 0xFF) - 0xA1u;
    if (code != 0 && row < 94 && cell < 94 && kGb2312CodePoints[row * 94 + cell] == c) return code;
    if (c == 0x30FB) return 0xA1A4;  // KATAKANA MIDDLE DOT
    if (c == 0x2015) return 0xA1AA;  // HORIZONTAL BAR
    return 0;
  }
};
using Gb2312Encoder = TableEncoder<Gb2312Codes>;

// BIG5 as Windows' code page 950 writes it.
struct Cp950Codes {
  static unsigned Code(char32_t c) {
    return c <= 0xFFFF ? kCp950Codes[kCp950Pages[c >> 8] * 256 + (c & 0xFF)] : 0;
  }
};
using Cp950Encoder = TableEncoder<Cp950Codes>;

// Big5-HKSCS's code of a plane-2 character; 0 when it has none.
unsigned Big5HkscsPlane2Code(char32_t c);

// Big5-HKSCS, as glibc writes it: Ê and ê wait for the next character, which
// may join them into one code (8862, 8864, 88A3, 88A5).
struct Big5HkscsEncoder : AsciiCompatible {
  static unsigned Code(char32_t c) {
    return c <= 0xFFFF ? kBig5HkscsCodes[kBig5HkscsPages[c >> 8] * 256 + (c & 0xFF)]
                       : Big5HkscsPlane2Code(c);
  }
  void Release() {
    PutPair(out, Code(t->held));
    t->held = 0;
  }
  bool Put(char32_t c) {
    if (t->held != 0) {
      if (c == kCombiningMacron || c == kCombiningCaron) {
        const bool capital = t->held == 0xCA;
        PutPair(out,
                c == kCombiningMacron ? (capital ? 0x8862 : 0x88A3) : (capital ? 0x8864 : 0x88A5));
        t->held = 0;
        return true;
      }
      Release();
    }
    if (c < 0x80) {
      *out++ = static_cast<std::uint8_t>(c);
      return true;
    }
    if (c == 0xCA || c == 0xEA) {
      t->held = c;
      return true;
    }
    const unsigned code = Code(c);
    if (code == 0) return NoCode(*this);
    PutPair(out, code);
    return true;
  }
  void CopyAscii(const std::uint8_t* p, std::size_t n, std::size_t readable) {
    if (t->held != 0) Release();
    AsciiCompatible::CopyAscii(p, n, readable);
  }
  void Replacement() {
    if (t->held != 0) Release();
    AsciiCompatible::Replacement();
  }
  void Finish() {
    if (t->held != 0) Release();
  }
};

// Code points themselves, for DecodeToCodePoints.
struct CodePointSink {
  char32_t* out;
  Transcoding* t;
  bool Put(char32_t c) {
    *out++ = c;
    return true;
  }
  void CopyAscii(const std::uint8_t* p, std::size_t n, std::size_t) {
    for (std::size_t i = 0; i < n; ++i) out[i] = p[i];
    out += n;
  }
  void Replacement() { *out++ = 0xFFFD; }
  void Finish() {}
};

}  // namespace encoders
