// The decoders: one loop per encoding that reads its bytes into code points
// and hands each to an encoder (encoding/encoders.h). Each takes a block and
// returns how much of it it used: all of it, but for an unfinished character
// at the end when more is to come, or up to the character where the
// transcoding stopped. Only the room's own files include this.
#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding/ascii_run.h"
#include "encoding/byte_rules.h"
#include "encoding/encoders.h"
#include "encoding/tables.h"

namespace decoders {

using encoders::Unreadable;

// GB2312 as EUC-CN, as glibc reads it: any two bytes 0xA1..0xFE are one code,
// a character or, where GB2312 has none, one unreadable pair; any other byte
// from 0x80 up is unreadable by itself and the byte after it is read anew.
template <typename Encoder>
std::size_t DecodeGb2312(const std::uint8_t* in, std::size_t size, bool last, Encoder& sink) {
  Encoder e = sink;  // held in registers: no store of the output can reach it
  std::size_t i = 0;
  while (i < size) {
    // Hanzi after hanzi, the loop of a Chinese text: two tests a character.
    while (i + 1 < size) {
      const unsigned row = in[i] - 0xA1u, cell = in[i + 1] - 0xA1u;
      if (row >= 94 || cell >= 94) break;
      const char32_t c = kGb2312CodePoints[row * 94 + cell];
      if (c == 0) break;
      if (!e.Put(c)) {
        sink = e;
        return i;
      }
      i += 2;
    }
    if (i == size) break;
    const unsigned b = in[i];
    if (b < 0x80) {
      const std::size_t run = AsciiRun(in + i, size - i);
      e.CopyAscii(in + i, run, size - i);
      i += run;
      continue;
    }
    if (b - 0xA1u < 94) {
      if (i + 1 == size && !last) break;
      const unsigned cell = i + 1 < size ? in[i + 1] - 0xA1u : 94;
      if (cell < 94) {
        const char32_t c = kGb2312CodePoints[(b - 0xA1) * 94 + cell];
        if (!(c != 0 ? e.Put(c) : Unreadable(e, 2))) break;
        i += 2;
        continue;
      }
    }
    if (!Unreadable(e, 1)) break;
    i += 1;
  }
  sink = e;
  return i;
}

// The character of a GB18030 four-byte index; 0 where there is none.
char32_t Gb18030FourByteCharacter(std::uint32_t index);

// GB18030, which reads GBK and CP936 alike: pairs of a lead 0x81..0xFE and a
// trail 0x40..0x7E or 0x80..0xFE, four-byte codes of a lead, a digit, a lead
// and a digit, and 0x80 as the euro sign. A lead that begins neither is
// unreadable; an ASCII byte after it is read anew.
template <typename Encoder>
std::size_t DecodeGb18030(const std::uint8_t* in, std::size_t size, bool last, Encoder& sink) {
  Encoder e = sink;  // held in registers: no store of the output can reach it
  std::size_t i = 0;
  while (i < size) {
    // Hanzi after hanzi, the loop of a Chinese text.
    while (i + 1 < size) {
      const unsigned lead = in[i] - 0x81u;
      if (lead >= 126) break;
      const char32_t c = kGb18030PairCodePoints[GbPairSlot(in[i], in[i + 1])];
      if (c < 0x80) break;  // 0: no pair, the long way; every pair is U+0080 or above
      if (!e.Put(c)) {
        sink = e;
        return i;
      }
      i += 2;
    }
    if (i == size) break;
    const unsigned b = in[i];
    if (b < 0x80) {
      const std::size_t run = AsciiRun(in + i, size - i);
      e.CopyAscii(in + i, run, size - i);
      i += run;
      continue;
    }
    if (IsExtendedLead(b) && i + 1 < size) {
      const unsigned t = in[i + 1];
      // The table holds 0 for the bytes that are no trail, a character for every trail.
      const char32_t c = kGb18030PairCodePoints[GbPairSlot(b, t)];
      if (c != 0) {
        if (!e.Put(c)) break;
        i += 2;
        continue;
      }
      if (IsFourByteDigit(t)) {
        // A four-byte code, whole or cut by the end of the block.
        const std::size_t left = size - i;
        const bool third = left > 2 && IsExtendedLead(in[i + 2]);
        const bool fourth = third && left > 3 && IsFourByteDigit(in[i + 3]);
        if (fourth) {
          const std::uint32_t index =
              ((b - 0x81) * 10 + (t - 0x30)) * 1260 + (in[i + 2] - 0x81) * 10 + (in[i + 3] - 0x30);
          const char32_t c = Gb18030FourByteCharacter(index);
          if (!(c != 0 ? e.Put(c) : Unreadable(e, 4))) break;
          i += 4;
          continue;
        }
        if (left == (third ? 3u : 2u)) {
          if (!last) break;
          if (!Unreadable(e, left)) break;  // cut by the end of the text: one unreadable code
          i = size;
          continue;
        }
      }
      // No code: the lead alone is unreadable, or with 0xFF after it both.
      const std::size_t bytes = t == 0xFF ? 2 : 1;
      if (!Unreadable(e, bytes)) break;
      i += bytes;
      continue;
    }
    if (b == 0x80) {
      if (!e.Put(0x20AC)) break;
      i += 1;
      continue;
    }
    if (IsExtendedLead(b) && !last) break;  // the lead is the block's last byte
    if (!Unreadable(e, 1)) break;
    i += 1;
  }
  sink = e;
  return i;
}

// The characters of the four BIG5 codes that read as two: Ê̄ Ê̌ ê̄ ê̌.
constexpr char32_t kBig5Sequences[4][2] = {
    {0x00CA, 0x0304}, {0x00CA, 0x030C}, {0x00EA, 0x0304}, {0x00EA, 0x030C}};

// BIG5 through one of its tables (CP950's or Big5-HKSCS's reading): pairs of
// a lead 0x81..0xFE and a trail 0x40..0x7E or 0xA1..0xFE. A pair with no
// character is unreadable, or its lead alone when the trail is ASCII.
template <typename Encoder>
std::size_t DecodeBig5(const std::uint16_t* table, const std::uint8_t* in, std::size_t size,
                       bool last, Encoder& sink) {
  Encoder e = sink;  // held in registers: no store of the output can reach it
  std::size_t i = 0;
  while (i < size) {
    // Hanzi after hanzi, the loop of a Chinese text.
    while (i + 1 < size) {
      const unsigned lead = in[i] - 0x81u, column = in[i + 1] - 0x40u;
      if (lead >= 126 || column >= kPairRow) break;
      const char32_t c = table[lead * kPairRow + column];
      if (c < 0x80 || c - kPlane2Base < 0x800) break;  // none, two characters, plane 2
      if (!e.Put(c)) {
        sink = e;
        return i;
      }
      i += 2;
    }
    if (i == size) break;
    const unsigned b = in[i];
    if (b < 0x80) {
      const std::size_t run = AsciiRun(in + i, size - i);
      e.CopyAscii(in + i, run, size - i);
      i += run;
      continue;
    }
    if (IsExtendedLead(b)) {
      if (i + 1 == size && !last) break;
      const unsigned t = i + 1 < size ? in[i + 1] : 0;
      // The table holds 0 for the bytes between the two ranges of trails.
      const unsigned v = t >= 0x40 ? table[(b - 0x81) * kPairRow + t - 0x40] : 0;
      if (v >= 0x80 && v - kPlane2Base >= 0x800) {
        if (!e.Put(v)) break;
        i += 2;
        continue;
      }
      if (IsBig5Trail(t)) {
        if (v >= kPlane2Base) {
          if (!e.Put(kBig5Plane2[v - kPlane2Base])) break;
          i += 2;
          continue;
        }
        if (v != 0) {
          const char32_t* pair = kBig5Sequences[v - 1];
          if (!e.Put(pair[0]) || !e.Put(pair[1])) break;
          i += 2;
          continue;
        }
        const std::size_t bytes = t < 0x80 ? 1 : 2;
        if (!Unreadable(e, bytes)) break;
        i += bytes;
        continue;
      }
    }
    if (!Unreadable(e, 1)) break;
    i += 1;
  }
  sink = e;
  return i;
}

// UTF-8, strictly: no overlong forms, no surrogates, nothing past U+10FFFF.
// A broken sequence is unreadable as far as it was a sequence's start, and
// the byte that broke it is read anew.
template <typename Encoder>
std::size_t DecodeUtf8(const std::uint8_t* in, std::size_t size, bool last, Encoder& sink) {
  Encoder e = sink;  // held in registers: no store of the output can reach it
  std::size_t i = 0;
  while (i < size) {
    // Three-byte characters one after another, the loop of a Chinese text.
    while (i + 2 < size) {
      const unsigned b = in[i], b1 = in[i + 1], b2 = in[i + 2];
      if ((b & 0xF0) != 0xE0 || ((b1 | b2 << 8) & 0xC0C0) != 0x8080) break;
      const char32_t c = (b & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F);
      // Below U+0800 it was an overlong form, and surrogates are no characters.
      if (c < 0x800 || c - 0xD800 < 0x800) break;
      if (!e.Put(c)) {
        sink = e;
        return i;
      }
      i += 3;
    }
    if (i == size) break;
    const unsigned b = in[i];
    if (b < 0x80) {
      const std::size_t run = AsciiRun(in + i, size - i);
      e.CopyAscii(in + i, run, size - i);
      i += run;
      continue;
    }
    std::size_t length;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (b - 0xC2u < 30) {
      length = 2;
    } else if (b - 0xE0u < 16) {
      length = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b - 0xF0u < 5) {
      length = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      if (!Unreadable(e, 1)) break;
      i += 1;
      continue;
    }
    // The sequence's bytes that are there and right.
    std::size_t good = 1;
    char32_t c = b & (0x7F >> length);
    while (good < length && i + good < size) {
      const unsigned next = in[i + good];
      if (good == 1 ? (next < low || next > high) : (next - 0x80u >= 0x40)) break;
      c = c << 6 | (next & 0x3F);
      ++good;
    }
    if (good == length) {
      if (!e.Put(c)) break;
      i += length;
      continue;
    }
    if (i + good == size && !last) break;  // cut by the end of the block
    if (!Unreadable(e, good)) break;
    i += good;
  }
  sink = e;
  return i;
}

// UTF-16 in the byte order its mark gave (little-endian without one), the
// mark itself left out. A surrogate without its other half is unreadable.
template <typename Encoder>
std::size_t DecodeUtf16(const std::uint8_t* in, std::size_t size, bool last, Encoder& e) {
  Transcoding& t = *e.t;
  if (size == 0) return 0;
  std::size_t i = 0;
  if (!t.started) {
    if (size < 2 && !last) return 0;
    t.started = true;
    if (size >= 2 && ((in[0] == 0xFF && in[1] == 0xFE) || (in[0] == 0xFE && in[1] == 0xFF))) {
      t.bigEndian = in[0] == 0xFE;
      i = 2;
    }
  }
  const int first = t.bigEndian ? 0 : 1;  // the unit's more significant byte
  const auto unit = [&](std::size_t at) -> char32_t {
    return static_cast<char32_t>(in[at + first] << 8 | in[at + 1 - first]);
  };
  while (i + 1 < size) {
    const char32_t u = unit(i);
    if (u - 0xD800u >= 0x800) {
      if (!e.Put(u)) return i;
      i += 2;
      continue;
    }
    if (u < 0xDC00) {
      if (i + 3 < size) {
        const char32_t low = unit(i + 2);
        if (low - 0xDC00u < 0x400) {
          if (!e.Put(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00))) return i;
          i += 4;
          continue;
        }
      } else if (!last) {
        return i;  // the other half may come next
      }
    }
    if (!Unreadable(e, 2)) return i;
    i += 2;
  }
  if (i < size && last) {
    if (!Unreadable(e, 1)) return i;
    i += 1;
  }
  return i;
}

// Runs the decoder of from over the block into e; returns the bytes used.
template <typename Encoder>
std::size_t RunDecoder(Encoding from, const std::uint8_t* in, std::size_t size, bool last,
                       Encoder& e) {
  switch (from) {
    case kGb2312: return DecodeGb2312(in, size, last, e);
    case kGbk:
    case kGb18030: return DecodeGb18030(in, size, last, e);
    case kBig5: return DecodeBig5(kBig5Cp950CodePoints, in, size, last, e);
    case kBig5Hkscs: return DecodeBig5(kBig5HkscsCodePoints, in, size, last, e);
    case kUtf16: return DecodeUtf16(in, size, last, e);
    default:  // UTF-8, and ASCII, which is UTF-8 too
      return DecodeUtf8(in, size, last, e);
  }
}

}  // namespace decoders
