// The encoding mode and the two-byte classification that layout, painting and
// conversion share, so that all of them split a text into characters alike.
#pragma once

#include "document/state.h"  // big5Mode

constexpr int kTab = 9;
constexpr int kLineFeed = 10;
constexpr int kCarriageReturn = 13;

// A BIG5 lead byte, whatever the mode.
inline bool IsBig5Lead(int b) {
  return b >= 0xA1 && b <= 0xF9;
}

// A BIG5 trail byte, whatever the mode.
inline bool IsBig5Trail(int b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

// A byte that begins a two-byte character in the current mode.
inline bool IsLeadByte(int b) {
  return b >= 0xA1 && b <= (big5Mode ? 0xF9 : 0xF7);
}

// A byte that ends a two-byte character in the current mode (-1 never does).
inline bool IsTrailByte(int b) {
  return (b >= 0xA1 && b <= 0xFE) || (big5Mode && b >= 0x40 && b <= 0x7E);
}
