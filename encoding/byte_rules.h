// Which bytes begin and end the two-byte characters of GB2312 and BIG5 as the
// reader lays a document out: the rows that hold GB2312's characters (leads
// 0xA1..0xF7) and BIG5's standard leads (0xA1..0xF9), for which the BIG5 to
// GB2312 table is made. The decoders (encoding/decoders.h) read the wider
// code spaces of GBK, GB18030, CP950 and Big5-HKSCS, which begin at 0x81.
#pragma once

#include <cstdint>

#include "encoding/encoding.h"

// A GB2312 lead byte: a row that holds characters.
inline bool IsGb2312Lead(int b) {
  return b >= 0xA1 && b <= 0xF7;
}

// A GB2312 trail byte (-1 never is one).
inline bool IsGb2312Trail(int b) {
  return b >= 0xA1 && b <= 0xFE;
}

// A BIG5 lead byte.
inline bool IsBig5Lead(int b) {
  return b >= 0xA1 && b <= 0xF9;
}

// A BIG5 trail byte (-1 never is one).
inline bool IsBig5Trail(int b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

// A lead byte of GBK, GB18030, CP950 and Big5-HKSCS, whose code spaces begin
// at 0x81.
inline bool IsExtendedLead(int b) {
  return b >= 0x81 && b <= 0xFE;
}

// The second and fourth byte of a GB18030 four-byte code.
inline bool IsFourByteDigit(int b) {
  return b >= 0x30 && b <= 0x39;
}

// The number of bytes of the character at the front of bytes[0, available)
// in encoding, as its decoder reads it (a code or byte it cannot read counts
// as one character of the bytes it spans); 0 when the bytes at hand do not
// tell yet and more may come (ends false). For UTF-16, bytes are whole
// units in the text's byte order (bigEndian), its byte-order mark aside.
// Every encoding a decoder reads but HZ.
int CharacterLength(Encoding encoding, const std::uint8_t* bytes, int available, bool ends,
                    bool bigEndian);
