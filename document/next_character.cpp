#include "document/next_character.h"

#include "document/encoding_mode.h"
#include "document/reader.h"

Character NextCharacter() {
  Character c{kTextCharacter, 1, 1, kGlyphByte, 0};
  const int a = ReadByte();
  if (a < 0) {
    c.kind = kEndOfText;
    c.bytes = 0;
    return c;
  }
  c.value = static_cast<std::uint32_t>(a);
  if (a == kCarriageReturn) {
    c.kind = kLineBreak;
    const int next = ReadByte();
    if (next == kLineFeed) {
      c.bytes = 2;
    } else {
      Unread(next);
    }
    return c;
  }
  if (a == kLineFeed) {
    c.kind = kLineBreak;
    return c;
  }
  if (a == kTab) {
    c.kind = kTabCharacter;
    return c;
  }
  if (IsLeadByte(a)) {
    const int trail = ReadByte();
    if (IsTrailByte(trail)) {
      c.bytes = 2;
      c.columns = 2;
      c.glyph = kGlyphPair;
      c.value = static_cast<std::uint32_t>(a << 8 | trail);
      return c;
    }
    Unread(trail);
  }
  return c;
}

void GiveBack(const Character& character) {
  if (character.glyph == kGlyphPair) Unread(static_cast<int>(character.value & 0xFF));
  Unread(static_cast<int>(character.glyph == kGlyphPair ? character.value >> 8 : character.value));
}
