// The encoding mode and the two-byte classification that layout, painting and
// conversion share, so that all of them split a text into characters alike.
#pragma once

#include "document/state.h"  // big5Mode
#include "encoding/byte_rules.h"

constexpr int kTab = 9;
constexpr int kLineFeed = 10;
constexpr int kCarriageReturn = 13;

// A byte that begins a two-byte character in the current mode.
inline bool IsLeadByte(int b) {
  return big5Mode ? IsBig5Lead(b) : IsGb2312Lead(b);
}

// A byte that ends a two-byte character in the current mode (-1 never does).
inline bool IsTrailByte(int b) {
  return big5Mode ? IsBig5Trail(b) : IsGb2312Trail(b);
}
