// The character statistics detection weighs a reading of a text with: what
// each character costs, in half bits (-2 log2 of its frequency in the
// training text), and whether only simplified text has it often. Generated
// by tools/make_detect_model.py into conversion/detect_model.cpp.
#pragma once

#include <cstdint>

// An entry: the cost in its low seven bits, and a flag for a character of
// simplified text that traditional text has far more rarely.
constexpr std::uint8_t kCostBits = 0x7F;
constexpr std::uint8_t kSimplifiedOnly = 0x80;

// The cost of a hanzi the training text never had, and the most any
// character costs; and the cost of any other character it never had.
extern const std::uint8_t kUnseenCost;
extern const std::uint8_t kUnseenSymbolCost;

// The CJK Unified Ideographs U+4E00..U+9FFF, by position.
constexpr char32_t kFirstHanzi = 0x4E00;
constexpr int kHanziCount = 0x5200;
extern const std::uint8_t kHanziCost[kHanziCount];

// The other characters (not ASCII) that cost less than an unseen one, in the
// order of their code points, and their entries.
extern const int kOtherCount;
extern const char32_t kOtherCharacters[];
extern const std::uint8_t kOtherCosts[];
