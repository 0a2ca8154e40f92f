// A text from one encoding into another over whole blocks: each character
// decoded into its code point and encoded at once, with nothing in between.
// Like the block converters, a call takes the bytes it is given and leaves
// unused only an unfinished character at the end, which the caller hands in
// again in front of the next block; any cut of the input gives the same
// output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding/encoding.h"

// What becomes of a byte that from cannot read, or a character that to
// cannot hold.
enum Unconvertible {
  kReplaceUnconvertible,  // U+FFFD in UTF-8 and UTF-16, "?" in the others
  kSkipUnconvertible,     // left out
  kStopAtUnconvertible,   // the call ends before it and says so
};

// One text's transcoding: its two encodings and what it has met so far.
struct Transcoding {
  Encoding from;
  Encoding to;
  Unconvertible policy;
  bool started;              // UTF-16 input: its first bytes (a byte-order mark or not) are read
  bool bigEndian;            // UTF-16 input that began with FE FF
  bool markWritten;          // UTF-16 output: the byte-order mark is written
  char32_t held;             // Big5-HKSCS: an Ê or ê written once the next character is known
  std::uint64_t malformed;   // input bytes that were no character of from
  std::uint64_t unmappable;  // characters that to has no code for
  bool stopped;              // kStopAtUnconvertible met one: it begins where used ends
};

// A transcoding at the start of a text. from is any encoding CanDecode
// takes but HZ (which is unwrapped into GB2312 first); to any CanEncode takes.
Transcoding StartTranscoding(Encoding from, Encoding to, Unconvertible policy);

// Transcodes in[0, size) into out, which has room for kMostBytesPerCharacter
// bytes per input byte. With last, the text ends after this block and every
// byte is used (unless the transcoding stops).
CodecResult Transcode(Transcoding* transcoding, const std::uint8_t* in, std::size_t size, bool last,
                      std::uint8_t* out);

// The two halves of a transcoding, for a caller that wants the code points
// themselves. Decodes in[0, size) as from into out, which has room for size
// code points.
CodecResult DecodeToCodePoints(Transcoding* transcoding, const std::uint8_t* in, std::size_t size,
                               bool last, char32_t* out);

// Encodes in[0, count) (no surrogates) as to into out, which has room for
// kMostBytesPerCharacter bytes per code point. Without last, a final Ê or ê
// is left unused for Big5-HKSCS, which may join it with the next character.
CodecResult EncodeCodePoints(Transcoding* transcoding, const char32_t* in, std::size_t count,
                             bool last, std::uint8_t* out);

// Whether to's encoder writes c (no surrogate) as a code of its own, not as
// a replacement.
bool HasCode(Encoding to, char32_t c);
