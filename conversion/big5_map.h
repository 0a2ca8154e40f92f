// The BIG5-to-GB map: a compressed 13,240-byte table, in memory exactly while
// BIG5 mode is on, that turns each BIG5 code into the GbIndex of a GB2312 code.
#pragma once

#include <cstdint>

#include "conversion/state.h"  // big5Table

constexpr std::uint32_t kBig5TableSize = 13240;
constexpr int kBig5TableWidth = 320;  // the table is carried as a 320x331 1-bit bitmap
constexpr int kBig5TableHeight = 331;
constexpr char kCodeBitmapName[] = "Code";  // the bitmap resource that carries it

// The GbIndex the table gives a BIG5 code (lead 0xA1..0xF9, trail 0x40..0x7E or
// 0xA1..0xFE), or (0, 0) when it has none. Only while the table is loaded.
void Big5ToGb(int lead, int trail, int& row, int& cell);

// What kept the table from loading; the caller warns.
enum class Big5MapFailure {
  kNone,
  kNoBitmap,  // the bitmap resource "Code" did not load
  kNoMemory,  // its fixed block could not be allocated
};

// Loads the table into a new fixed block. False on failure, holding nothing,
// with the reason in *failure when one is asked for.
bool LoadBig5Map(Big5MapFailure* failure = nullptr);

// Releases the table's block.
void FreeBig5Map();
