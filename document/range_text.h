// The text of a part of the open document, as the user sees it, in UTF-16:
// what Copy puts on the clipboard and what Find compares in HZ.
#pragma once

#include <cstdint>
#include <string>

// Appends the characters of the bytes [start, end) to text, read in the mode
// the document is shown in (start is a character's first byte): line breaks
// as the file has them, a byte the mode cannot read as U+FFFD, a byte-order
// mark at the start and HZ's escapes left out.
void AppendRangeText(std::int32_t start, std::int32_t end, std::u16string* text);

// Appends c to text as one or two UTF-16 code units.
void AppendUtf16(char32_t c, std::u16string* text);
