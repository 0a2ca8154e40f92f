#include "document/next_character.h"

#include "document/encoding_mode.h"
#include "document/reader.h"
#include "document/unicode_cells.h"
#include "encoding/byte_rules.h"
#include "encoding/byte_steps.h"
#include "encoding/transcode.h"

namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;

// A character of the Unicode modes, begun at start, that reads as point.
Character FromCodePoint(std::int32_t start, int bytes, char32_t point) {
  Character c{kTextCharacter, bytes, 0, kGlyphUnicode, point, start, hzInRun};
  if (point == kLineFeed || point == kCarriageReturn) {
    c.kind = kLineBreak;
  } else if (point == kTab) {
    c.kind = kTabCharacter;
  } else if (point == kByteOrderMark && start == 0) {
    c.glyph = kGlyphNone;  // the mark says how the text is stored; it is not shown
  } else {
    c.columns = UnicodeColumns(point);
  }
  return c;
}

// Whether the length bytes of one character read as one in encoding; its
// code points (a Big5-HKSCS code may read as two) go to points. A
// transcoding at the character's start: a UTF-16 text's mark is read as a
// character of its own.
bool ReadsAsCharacter(Encoding encoding, const std::uint8_t* bytes, int length,
                      char32_t (&points)[4]) {
  Transcoding t{};
  t.from = encoding;
  t.to = kUtf8;
  t.started = true;
  t.bigEndian = utf16BigEndian;
  const CodecResult r =
      DecodeToCodePoints(&t, bytes, static_cast<std::size_t>(length), true, points);
  return t.malformed == 0 && r.written > 0;
}

// What the bytes of one character, length of them at the front of bytes,
// read as in encoding. Bytes that read as no character are shown a byte to
// a placeholder: the reading starts again at the byte after the first, but a
// UTF-16 unit stays whole, so that the units after it keep their places.
Character Decode(Encoding encoding, std::int32_t start, const std::uint8_t* bytes, int length) {
  char32_t points[4];
  if (!ReadsAsCharacter(encoding, bytes, length, points)) {
    const int taken = encoding == kUtf16 ? length : 1;
    if (taken < length) SeekTo(start + taken);
    return Character{kTextCharacter, taken, taken, kGlyphUnreadable, 0, start, hzInRun};
  }
  // Of a code that reads as a letter and its accent (Big5-HKSCS's Ê̄), the letter is drawn.
  return FromCodePoint(start, length, points[0]);
}

// The length a UTF-8 lead byte of a sequence announces; 0 for any other byte.
int Utf8SequenceLength(std::uint8_t lead) {
  return lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
}

// The character of a well-formed UTF-8 sequence of 2 to 4 bytes.
char32_t Utf8CodePoint(const std::uint8_t* bytes, int length) {
  char32_t c = bytes[0] & (0x7F >> length);
  for (int i = 1; i < length; ++i) c = c << 6 | (bytes[i] & 0x3F);
  return c;
}

// A CR that begins a CR LF takes the LF with it.
Character JoinLineFeed(Character c) {
  const std::int32_t after = c.start + c.bytes;
  const Character next = NextCharacter();
  if (next.kind == kLineBreak && next.value == kLineFeed) {
    c.bytes += next.bytes;
  } else {
    SeekTo(after);
    hzInRun = next.hzInRunBefore;
  }
  return c;
}

// The next character of an encoding the room decodes, bytes read until its
// rules tell where the character ends.
Character NextDecodedCharacter() {
  const std::int32_t start = CurrentOffset();
  std::uint8_t bytes[4];
  int have = 0;
  bool ends = false;
  for (;;) {
    const int b = ReadByte();
    if (b < 0) {
      ends = true;
    } else {
      bytes[have++] = static_cast<std::uint8_t>(b);
    }
    if (have == 0) return Character{kEndOfText, 0, 0, kGlyphNone, 0, start, hzInRun};
    // ASCII is itself in every mode read this way but UTF-16.
    if (have == 1 && bytes[0] < 0x80 && textMode != kUtf16) {
      return FromCodePoint(start, 1, bytes[0]);
    }
    const int length = CharacterLength(textMode, bytes, have, ends, utf16BigEndian);
    if (length > 0) {
      if (length < have) SeekTo(start + length);
      // CharacterLength spans a malformed sequence only as far as it is
      // right, never the whole length its lead announces: one that long is
      // well formed.
      if (textMode == kUtf8 && length == Utf8SequenceLength(bytes[0])) {
        return FromCodePoint(start, length, Utf8CodePoint(bytes, length));
      }
      return Decode(textMode, start, bytes, length);
    }
  }
}

// HZ: "~{" and "~}" switch the reading into and out of GB2312 pairs of 7-bit
// bytes and take no columns; "~~" is a "~"; a run ends at a line break.
Character NextHzCharacter() {
  const std::int32_t start = CurrentOffset();
  const bool inRun = hzInRun;
  const int a = ReadByte();
  if (a < 0) return Character{kEndOfText, 0, 0, kGlyphNone, 0, start, inRun};
  if (a == kCarriageReturn || a == kLineFeed) {
    hzInRun = false;
    return Character{kLineBreak, 1, 0, kGlyphNone, static_cast<std::uint32_t>(a), start, inRun};
  }
  const int b = ReadByte();
  if (a == '~' && (b == '{' || b == '}' || b == '~')) {
    if (b == '~' && !inRun) return FromCodePoint(start, 2, '~');
    hzInRun = b == '{';
    return Character{kTextCharacter, 2, 0, kGlyphNone, 0, start, inRun};
  }
  if (inRun && IsHzRunLead(a) && IsHzRunTrail(b)) {
    const std::uint8_t pair[2] = {static_cast<std::uint8_t>(a | 0x80),
                                  static_cast<std::uint8_t>(b | 0x80)};
    Character c = Decode(kGb2312, start, pair, 2);
    c.hzInRunBefore = inRun;
    return c;
  }
  SeekTo(start + 1);
  if (a == kTab) return Character{kTabCharacter, 1, 0, kGlyphNone, kTab, start, inRun};
  if (a < 0x80) return FromCodePoint(start, 1, static_cast<char32_t>(a));
  return Character{kTextCharacter, 1, 1, kGlyphUnreadable, 0, start, inRun};
}

}  // namespace

int CharacterBytes(const std::uint8_t* bytes, int available, bool ends) {
  if (textMode == kGb2312) {
    if (!IsLeadByte(bytes[0])) return 1;
    if (available < 2) return ends ? 1 : 0;
    return IsTrailByte(bytes[1]) ? 2 : 1;
  }
  const int length = CharacterLength(textMode, bytes, available, ends, utf16BigEndian);
  if (length <= 1 || textMode == kUtf16) return length;
  char32_t points[4];
  return ReadsAsCharacter(textMode, bytes, length, points) ? length : 1;
}

Character NextCharacter() {
  if (textMode != kGb2312) {
    const Character c = textMode == kHz ? NextHzCharacter() : NextDecodedCharacter();
    return c.kind == kLineBreak && c.value == kCarriageReturn ? JoinLineFeed(c) : c;
  }
  Character c{kTextCharacter, 1, 1, kGlyphByte, 0, 0, false};
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
  if (textMode != kGb2312) {
    SeekTo(character.start);
    hzInRun = character.hzInRunBefore;
    return;
  }
  if (character.glyph == kGlyphPair) Unread(static_cast<int>(character.value & 0xFF));
  Unread(static_cast<int>(character.glyph == kGlyphPair ? character.value >> 8 : character.value));
}
