// The encoding room's generated tables (tools/make_encoding_tables.py): what
// each code reads as, and the code of each character, for the two-byte
// encodings. Pair tables are indexed by (lead - 0x81) * kPairRow + trail -
// 0x40 for trails 0x40..0xFF; a 0 there is a code with no character.
#pragma once

#include <cstdint>

constexpr int kPairRow = 192;
constexpr int kPairLeads = 126;  // 0x81..0xFE
constexpr int kPairSlots = kPairLeads * kPairRow;

// The slot of a lead and trail in a pair table.
constexpr int PairSlot(int lead, int trail) {
  return (lead - 0x81) * kPairRow + trail - 0x40;
}

// ---- GB2312, GBK, GB18030 ----

// GB2312's character at each EUC-CN position, row * 94 + cell (row = lead -
// 0xA1, cell = trail - 0xA1); 0 where GB2312 has none.
extern const std::uint16_t kGb2312CodePoints[94 * 94];

// GB18030's character of every pair (all BMP), in a row of 256 a lead
// whose columns begin with the trail 0xA1 ((trail - 0xA1) & 0xFF): GB2312's
// pairs, most of any GB text, fill the first 188 bytes of each row together;
// 0 for the bytes that are no trail.
constexpr int kGbRow = 256;
constexpr int GbPairSlot(int lead, int trail) {
  return (lead - 0x81) * kGbRow + ((trail - 0xA1) & 0xFF);
}
extern const std::uint16_t kGb18030PairCodePoints[kPairLeads * kGbRow];

// One bit a pair slot: the pair is one of GBK's, read alike in GBK and GB18030.
extern const std::uint8_t kGbkPairBits[(kPairSlots + 7) / 8];

// A run of four-byte codes whose characters count up with their index
// (((b1 - 0x81) * 10 + b2 - 0x30) * 126 + b3 - 0x81) * 10 + b4 - 0x30.
struct FourByteRun {
  std::uint32_t index;
  std::uint16_t character;
  std::uint16_t length;
};
constexpr int kGb18030FourByteRunCount = 221;
extern const FourByteRun kGb18030FourByteRuns[kGb18030FourByteRunCount];             // by index
extern const FourByteRun kGb18030FourByteRunsByCharacter[kGb18030FourByteRunCount];  // by character

// The pair of each BMP character that has one: the page of its high byte,
// then its low byte within the page (page 0 is all zeros).
constexpr int kGb18030PageCount = 131;
extern const std::uint8_t kGb18030PairPages[256];
extern const std::uint16_t kGb18030PairCodes[kGb18030PageCount * 256];

// ---- BIG5 ----

// The character of every BIG5 code, read as CP950 and as Big5-HKSCS. Values
// 1..4 are the four codes that read as two characters (kBig5Sequences);
// kPlane2Base + k is kBig5Plane2[k].
constexpr std::uint16_t kPlane2Base = 0xD800;
extern const std::uint16_t kBig5Cp950CodePoints[kPairSlots];
extern const std::uint16_t kBig5HkscsCodePoints[kPairSlots];
constexpr int kBig5Plane2Count = 1713;
extern const std::uint32_t kBig5Plane2[kBig5Plane2Count];

// The codes of CP950 and of Big5-HKSCS for BMP characters, paged as above.
constexpr int kCp950PageCount = 100;
extern const std::uint8_t kCp950Pages[256];
extern const std::uint16_t kCp950Codes[kCp950PageCount * 256];
constexpr int kBig5HkscsPageCount = 133;
extern const std::uint8_t kBig5HkscsPages[256];
extern const std::uint16_t kBig5HkscsCodes[kBig5HkscsPageCount * 256];

// Big5-HKSCS's codes of plane-2 characters, by character.
struct Plane2Code {
  std::uint32_t character;
  std::uint16_t code;
};
constexpr int kBig5HkscsPlane2CodeCount = 1713;
extern const Plane2Code kBig5HkscsPlane2Codes[kBig5HkscsPlane2CodeCount];
