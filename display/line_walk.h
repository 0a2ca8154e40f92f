// The characters of the visible display lines and where each stands: the
// one walk the painter, the selection and the pointer's hit test share, so
// what is drawn, inverted and clicked cannot drift apart.
#pragma once

#include <cstdint>

#include "document/next_character.h"

// Told of a text character placed on visible line `line` (counted from the
// top line) at column col; offset is its first byte in the document.
using PlacedCharacter = void (*)(const Character& c, int line, int col, std::int32_t offset,
                                 void* context);

// Walks visible lines first..last (within the document) and tells placed of
// their characters. In the two old modes a line is left once a character
// would start right of lastCol, as the painter always did; the Line table's
// modes lay every line out whole.
void WalkVisibleLines(int first, int last, int lastCol, PlacedCharacter placed, void* context);
