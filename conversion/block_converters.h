// The command line's converters: the bytes of the save-as loops, made over
// whole blocks of memory instead of through the Document reader and the
// 32-byte output buffer. A block converter takes the bytes it has been given
// and leaves unused only an unfinished piece at the end (a lead byte, an
// escape, an HZ run not yet closed), which the caller hands in again at the
// front of the next block; so the state carried across blocks is just bytes,
// and any split of the input gives the same output.
#pragma once

#include <cstddef>
#include <cstdint>

// What one call did.
struct BlockResult {
  std::size_t used;     // bytes of the input consumed; the rest comes again next time
  std::size_t written;  // bytes put into the output
};

// One converter over in[0, size) into out, which has room for
// kBlockOutputFactor * size bytes. With last, the input ends after this block
// and every byte is used.
using BlockConverter = BlockResult (*)(const std::uint8_t* in, std::size_t size, bool last,
                                       std::uint8_t* out);

// The most output any converter makes of one input byte (a stray byte of
// GB2312 text becomes the three bytes of U+FFFD).
constexpr std::size_t kBlockOutputFactor = 3;

// Number of BIG5 code positions: leads 0xA1..0xF9, 157 trails each.
constexpr int kBig5Positions = 13973;

// big5GbCodes (conversion/state.h), filled by ExpandBig5Map: the GB2312 code of every BIG5 code,
// both bytes, as Big5ToGb gives it, indexed by lead - 0xA1 and the trail byte itself; both bytes 0
// where the byte is no BIG5 trail (no GB2312 code has a zero byte).

// Expands the loaded compressed table (big5Table) into big5GbCodes in one
// sequential pass over its bits.
void ExpandBig5Map();

// Save in GB's bytes: each BIG5 pair becomes its GB2312 code, every other byte
// stays. Needs ExpandBig5Map.
BlockResult SaveInGbBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);

// Decode HZ's bytes.
BlockResult DecodeHzBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);

// Decode QP's bytes.
BlockResult DecodeQpBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);

// The input as it is (GB2312 text that is only to be re-encoded).
BlockResult CopyBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);

// GB2312 text to UTF-8. Bytes below 0x80 (ASCII, CR, LF, every control byte)
// stay as they are. A byte 0xA1..0xFE followed by one in 0xA1..0xFE is a pair:
// its character, or U+FFFD when GB2312 has none at that position. Any other
// byte from 0x80 up (0x80..0xA0, 0xFF, a lead before a byte that is no trail
// or at the end) becomes U+FFFD by itself, and the byte after it is read anew.
BlockResult GbToUtf8Block(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);
