// The BIG5-to-GB map: a compressed 13,240-byte table, in memory exactly while
// BIG5 mode is on, that turns each BIG5 code into the GbIndex of a GB2312 code.
#pragma once

#include <cstdint>

constexpr std::uint32_t kBig5TableSize = 13240;
constexpr int kBig5TableWidth = 320;  // the table is carried as a 320x331 1-bit bitmap
constexpr int kBig5TableHeight = 331;

// The loaded table; stale after FreeBig5Map until the next load.
extern const std::uint8_t* big5Table;

// The GbIndex the table gives a BIG5 code (lead 0xA1..0xF9, trail 0x40..0x7E or
// 0xA1..0xFE), or (0, 0) when it has none. Only while the table is loaded.
void Big5ToGb(int lead, int trail, int& row, int& cell);

// Loads the table into a new fixed block; on failure it has warned and holds nothing.
bool LoadBig5Map();

// Releases the table's block.
void FreeBig5Map();
