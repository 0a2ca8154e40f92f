// Find: where a text stands in the open document, as whole characters of
// the mode it is read in. The text is written in the document's encoding
// once and its bytes are searched for, a large block at a time; only a hit
// is checked to begin on a character (in HZ, whose bytes depend on the run
// they are in, the characters themselves are compared).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A place where the text stands: its bytes [start, end).
struct FoundText {
  std::int32_t start;
  std::int32_t end;
};

// The document's bytes that can be shown: in the two old modes those of the
// lines the Line index holds, otherwise all of them (below 2 GB).
std::int32_t SearchableBytes();

// The bytes text is written as in the open document's mode (not HZ), which
// Find looks for; false when the mode has no code for one of its characters.
bool TextBytes(const std::u16string& text, std::vector<std::uint8_t>* bytes);

// The bytes Find reads at a time; a test passes fewer, to cross many blocks.
constexpr std::int32_t kFindBlockBytes = 1 << 20;

// With forward, the first place the text stands beginning at or after from,
// else the last beginning before from; either way round past the end of the
// document to its other end, so that every place is found. False when the
// text stands nowhere (or the mode cannot write one of its characters).
bool FindText(const std::u16string& text, std::int32_t from, bool forward, FoundText* found,
              std::int32_t blockBytes = kFindBlockBytes);
