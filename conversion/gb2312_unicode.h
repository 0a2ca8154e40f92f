// The Unicode character of each GB2312 position, generated from glibc's
// GB2312 charmap by tools/make_gb2312_unicode.py: as UTF-8 for the output,
// and the positions ordered by character for detection.
#pragma once

#include <cstdint>

constexpr int kGb2312Positions = 94 * 94;

// The UTF-8 of each position's character, indexed by row * 94 + cell
// (row = lead - 0xA1, cell = trail - 0xA1); U+FFFD's where GB2312 defines none.
struct Gb2312Utf8 {
  std::uint8_t bytes[3];  // padded with zeros
  std::uint8_t length;
};
extern const Gb2312Utf8 kGb2312Utf8[kGb2312Positions];

// The defined positions in the order of their characters, for finding the
// position of a character.
constexpr int kGb2312Characters = 7445;
struct Gb2312ByUnicode {
  std::uint16_t character;
  std::uint16_t position;
};
extern const Gb2312ByUnicode kGb2312ByUnicode[kGb2312Characters];
