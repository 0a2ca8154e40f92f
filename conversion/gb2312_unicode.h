// The Unicode character of each GB2312 position, generated from glibc's
// GB2312 charmap by tools/make_gb2312_unicode.py.
#pragma once

#include <cstdint>

constexpr int kGb2312Positions = 94 * 94;

// Indexed by row * 94 + cell (row = lead - 0xA1, cell = trail - 0xA1); 0 where
// GB2312 defines no character.
extern const std::uint16_t kGb2312Unicode[kGb2312Positions];

// The defined positions in the order of their characters, for finding the
// position of a character.
constexpr int kGb2312Characters = 7445;
struct Gb2312ByUnicode {
  std::uint16_t character;
  std::uint16_t position;
};
extern const Gb2312ByUnicode kGb2312ByUnicode[kGb2312Characters];
