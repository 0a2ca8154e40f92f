// Where a display line of the modes through Unicode may end: never before
// closing punctuation (。，、」 and their ASCII kin), never after opening
// punctuation (「（《), and never inside a run of Latin letters or digits
// that fits on a line of its own.
#pragma once

#include "document/line_index.h"  // LineLayout, CharacterSeen

// Punctuation a line must not begin with.
bool IsClosingPunctuation(char32_t c);
// Punctuation a line must not end with.
bool IsOpeningPunctuation(char32_t c);
// A Latin letter or digit: runs of them are words and numbers.
bool IsWordCharacter(char32_t c);

// LayOutLine for the modes through Unicode: as the old modes lay a line
// out, but a character that does not fit moves, with what it must not be
// parted from, to the next line; a closing mark that does not fit hangs in
// the right margin instead (its ink, 12 pixels at most, fits the margin's
// 12 or more). seen hears only of the characters the line keeps.
bool LayOutTextLine(int columns, LineLayout& line, CharacterSeen seen, void* context);
