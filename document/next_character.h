// The next character of the open document: the one way the Line index and
// the Page painter split the text, so that what is laid out and what is
// drawn cannot drift apart. Read through the Document reader, from where it
// stands.
#pragma once

#include <cstdint>

enum CharacterKind {
  kEndOfText,      // the reader has no more bytes
  kLineBreak,      // CR, LF, or CR LF
  kTabCharacter,   // expanded to the next tab stop by whoever lays it out
  kTextCharacter,  // takes columns and has a glyph
};

// What a text character is drawn from.
enum GlyphSource {
  kGlyphByte,        // a byte's narrow cell (value: the byte)
  kGlyphPair,        // a two-column pair of the mode's encoding (value: lead << 8 | trail)
  kGlyphUnicode,     // a character of the Unicode atlas (value: its code point)
  kGlyphUnreadable,  // bytes the encoding cannot read, a narrow placeholder each
  kGlyphNone,        // nothing to draw: a byte-order mark, an HZ escape (no columns)
};

struct Character {
  CharacterKind kind;
  int bytes;            // the bytes it took from the reader
  int columns;          // a text character's columns: 0, 1 or 2
  GlyphSource glyph;    // a text character's glyph
  std::uint32_t value;  // what the glyph source names
  std::int32_t start;   // in the Unicode modes, its offset, where GiveBack goes back to
  bool hzInRunBefore;   // in HZ, whether it began inside a "~{" run
};

// Reads the next character in textMode. In the two modes the reader has
// always had, in GB mode a lead byte 0xA1..0xF7 before a trail byte
// 0xA1..0xFE is one two-column pair, in BIG5 mode a lead 0xA1..0xF9 before a
// trail 0x40..0x7E or 0xA1..0xFE; every other byte but TAB, CR and LF is one
// column by itself, and a lead that finds no trail gives the byte after it
// back, to be read anew. In the Unicode modes the encoding room's rules say
// where a character ends and what it reads as; its columns are its glyph's.
Character NextCharacter();

// The bytes NextCharacter takes for the character at the front of
// bytes[0, available), in every mode but HZ (a CR and an LF count a byte
// each): in the old modes a pair or a byte; in the others a code the mode
// cannot read takes one byte, the reading starting again after it (a UTF-16
// unit stays whole). 0 when the bytes at hand do not tell yet and more may
// come (ends false).
int CharacterBytes(const std::uint8_t* bytes, int available, bool ends);

// Gives a character just read back to the reader, which delivers its bytes
// again next. A line break or the end is never given back; at most one
// character is (in the old modes the reader holds two bytes of push-back).
void GiveBack(const Character& character);
