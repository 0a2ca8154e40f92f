// The encodings Tavelo reads and writes, by one name each, and what the rest
// of the program asks of them. Every encoding meets the others in Unicode: a
// decoder turns its bytes into code points, an encoder turns code points into
// its bytes; a transcoding (encoding/transcode.h) runs one into the other
// over whole blocks.
#pragma once

#include <cstddef>
#include <cstdint>

// An encoding, and detection's answers that are no encoding of their own.
enum Encoding {
  kGb2312,     // EUC-CN: GB2312's 7,445 characters in pairs 0xA1..0xF7 / 0xA1..0xFE
  kGbk,        // CP936: GB2312's superset of 21,791 characters, pairs from 0x81
  kGb18030,    // GBK's superset holding all of Unicode, in pairs and four-byte codes
  kBig5,       // BIG5 as Windows' CP950 has it
  kBig5Hkscs,  // BIG5 with the Hong Kong Supplementary Character Set (HKSCS-2008)
  kHz,         // HZ: GB2312 pairs in 7-bit "~{" runs
  kUtf8,
  kUtf16,  // with a byte-order mark; little-endian without one
  kQp,     // quoted-printable: what it decodes to is a question of its own
  kAscii,  // bytes below 0x80 only, readable in every encoding above
  kBinary,
};
constexpr int kEncodingCount = kBinary + 1;

// The name tavelo-convert prints and takes: gb2312, gbk, gb18030, big5,
// big5-hkscs, hz, utf-8, utf-16, qp, ascii, binary.
const char* EncodingName(Encoding encoding);
// Its names, its own first and then the aliases FindEncoding also takes;
// null past the last.
const char* EncodingAlias(Encoding encoding, int index);

// The encoding a name or one of its aliases stands for (case does not
// matter: gbk, cp936, big5, cp950, utf8, ...); false when there is none.
bool FindEncoding(const char* name, Encoding* encoding);

// The encodings a decoder reads: GB2312, GBK and GB18030 (one decoder, which
// differs for GB2312 only in the forms of two punctuation marks and in
// reading no pair outside GB2312), BIG5 and Big5-HKSCS (one decoder), HZ,
// UTF-8, UTF-16; ASCII reads as UTF-8.
bool CanDecode(Encoding encoding);

// The encodings an encoder writes: GB2312, GBK, GB18030, BIG5, Big5-HKSCS,
// UTF-8, UTF-16.
bool CanEncode(Encoding encoding);

// What one decoding or encoding call did.
struct CodecResult {
  std::size_t used;     // input units consumed; the rest comes again next time
  std::size_t written;  // output units made
};

// The most bytes an encoder writes for one code point, and so for one input
// byte of any decoder.
constexpr std::size_t kMostBytesPerCharacter = 4;
