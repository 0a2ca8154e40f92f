#include "document/range_text.h"

#include <vector>

#include "document/encoding_mode.h"
#include "document/line_table.h"
#include "document/next_character.h"
#include "document/reader.h"
#include "encoding/transcode.h"

namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr std::size_t kChunk = 64 * 1024;

// HZ: the characters NextCharacter reads from the place of the line that
// holds start, whose run state only the layout knows.
void AppendHzText(std::int32_t start, std::int32_t end, std::u16string* text) {
  const LinePlace place = PlaceOfLine(LineOfOffset(start));
  SeekTo(place.offset);
  hzInRun = place.hzInRun;
  for (;;) {
    const Character c = NextCharacter();
    if (c.kind == kEndOfText || c.start >= end) return;
    if (c.start < start) continue;
    if (c.kind == kLineBreak) {
      if (c.value == kCarriageReturn) text->push_back(u'\r');
      if (c.value == kLineFeed || c.bytes == 2) text->push_back(u'\n');
    } else if (c.kind == kTabCharacter) {
      text->push_back(u'\t');
    } else if (c.glyph == kGlyphUnicode) {
      AppendUtf16(static_cast<char32_t>(c.value), text);
    } else if (c.glyph == kGlyphUnreadable) {
      text->push_back(static_cast<char16_t>(kReplacementCharacter));
    }
  }
}

}  // namespace

void AppendUtf16(char32_t c, std::u16string* text) {
  if (c < 0x10000) {
    text->push_back(static_cast<char16_t>(c));
    return;
  }
  c -= 0x10000;
  text->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
  text->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

void AppendRangeText(std::int32_t start, std::int32_t end, std::u16string* text) {
  if (end <= start) return;
  if (textMode == kHz) return AppendHzText(start, end, text);
  // The old modes' bytes are GB2312's or BIG5's; the others their mode's.
  const Encoding from = textMode == kGb2312 && big5Mode ? kBig5 : textMode;
  Transcoding t = StartTranscoding(from, kUtf8, kReplaceUnconvertible);
  // Inside a UTF-16 text the mark is behind: the units are in its order.
  t.started = start > 0;
  t.bigEndian = utf16BigEndian;
  std::vector<std::uint8_t> bytes(kChunk);
  std::vector<char32_t> points(kChunk);
  std::size_t held = 0;  // an unfinished character from the chunk before
  std::int32_t at = start;
  bool first = true;
  SeekTo(start);
  while (at < end || held > 0) {
    std::size_t fill = held;
    while (fill < kChunk && at < end) {
      const int b = ReadByte();
      if (b < 0) break;
      bytes[fill++] = static_cast<std::uint8_t>(b);
      ++at;
    }
    const bool last = at >= end || fill < kChunk;
    const CodecResult r = DecodeToCodePoints(&t, bytes.data(), fill, last, points.data());
    for (std::size_t i = 0; i < r.written; ++i) {
      if (!(first && start == 0 && points[i] == kByteOrderMark)) AppendUtf16(points[i], text);
      first = false;
    }
    held = fill - r.used;
    for (std::size_t i = 0; i < held; ++i) bytes[i] = bytes[r.used + i];
    if (last) break;
  }
}
