#include "document/find_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/line_table.h"
#include "document/next_character.h"
#include "document/range_text.h"
#include "document/reader.h"
#include "encoding/transcode.h"

namespace {

constexpr std::int32_t kChunkBlocks = 8;  // a backward search's step, in blocks

// The encoding the document's bytes are in: the old modes' GB2312 or BIG5.
Encoding BytesEncoding() {
  return textMode == kGb2312 && big5Mode ? kBig5 : textMode;
}

// The text's code points, a surrogate pair joined; a lone half is kept as
// it is, which no encoding writes, so it is never found.
std::vector<char32_t> CodePoints(const std::u16string& text) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t u = text[i];
    if (u - 0xD800u < 0x400 && i + 1 < text.size() && text[i + 1] - 0xDC00u < 0x400) {
      points.push_back(0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00u));
      ++i;
    } else {
      points.push_back(u);
    }
  }
  return points;
}

bool PatternBytes(const std::vector<char32_t>& points, std::vector<std::uint8_t>* pattern) {
  const Encoding to = BytesEncoding();
  for (const char32_t c : points) {
    if (c - 0xD800u < 0x800 || !HasCode(to, c)) return false;
  }
  Transcoding t = StartTranscoding(kUtf8, to, kStopAtUnconvertible);
  t.markWritten = true;  // a UTF-16 document's mark is at its start, not in the text
  pattern->resize(points.size() * kMostBytesPerCharacter);
  const CodecResult r = EncodeCodePoints(&t, points.data(), points.size(), true, pattern->data());
  pattern->resize(r.written);
  if (to == kUtf16 && utf16BigEndian) {
    for (std::size_t i = 0; i + 1 < pattern->size(); i += 2) {
      std::swap((*pattern)[i], (*pattern)[i + 1]);
    }
  }
  return r.used == points.size() && !pattern->empty();
}

// The bytes of the character that begins at p (end the bytes at hand, ends
// whether the document ends there): 0 when they do not tell yet.
int LengthAt(const std::uint8_t* p, const std::uint8_t* end, bool ends) {
  return CharacterBytes(p, static_cast<int>(std::min<std::ptrdiff_t>(end - p, 4)), ends);
}

// A line feed is a character of its own in every mode searched by bytes but
// UTF-16, so the byte after one begins a character.
const std::uint8_t* AfterLastLineFeed(const std::uint8_t* from, const std::uint8_t* to) {
  for (const std::uint8_t* p = to; p > from; --p) {
    if (p[-1] == kLineFeed) return p;
  }
  return from;
}

// One search of the bytes: the pattern, Horspool's shift for each byte that
// ends a window, and a block to read into.
struct ByteSearch {
  const std::vector<std::uint8_t>& pattern;
  std::int32_t limit;       // the searchable bytes
  std::int32_t blockBytes;  // bytes searched a read
  std::vector<std::uint8_t> block;
  std::size_t shift[256];
};

void PrepareShifts(ByteSearch& s) {
  const std::size_t m = s.pattern.size();
  for (std::size_t& shift : s.shift) shift = m;
  for (std::size_t i = 0; i + 1 < m; ++i) s.shift[s.pattern[i]] = m - 1 - i;
}

// The first place in [from, to) where the pattern begins wholly before to;
// to - m + 1 or later when there is none.
const std::uint8_t* NextHit(const ByteSearch& s, const std::uint8_t* from, const std::uint8_t* to) {
  const std::size_t m = s.pattern.size();
  const std::uint8_t* p = from;
  const std::uint8_t lastByte = s.pattern[m - 1];
  while (static_cast<std::size_t>(to - p) >= m) {
    const std::uint8_t end = p[m - 1];
    if (end == lastByte && std::memcmp(p, s.pattern.data(), m - 1) == 0) return p;
    p += s.shift[end];
  }
  return to;
}

// Walks known, a character's first byte, on over whole characters while the
// next one begins before to; false when the bytes at hand do not tell.
bool WalkCharacters(const std::uint8_t*& known, const std::uint8_t* to, const std::uint8_t* end,
                    bool ends) {
  known = std::max(known, AfterLastLineFeed(known, to));
  while (known < to) {
    const int length = LengthAt(known, end, ends);
    if (length == 0) return false;
    known += length;
  }
  return true;
}

// The first (or with wantLast the last) hit beginning in [start, end) on a
// character's first byte; start is one. -1 when none.
std::int32_t ScanRange(ByteSearch& s, std::int32_t start, std::int32_t end, bool wantLast) {
  const auto m = static_cast<std::int32_t>(s.pattern.size());
  std::int32_t found = -1;
  std::int32_t base = start;
  while (base < end && base <= s.limit - m) {
    // The block, and after it the rest of a hit or of a character begun in it.
    const std::int32_t tail = std::max<std::int32_t>(m, kMostBytesPerCharacter) - 1;
    const auto want = static_cast<std::int32_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(s.blockBytes) + tail, s.limit - base));
    const std::int32_t got = ReadBytesAt(base, s.block.data(), want);
    if (got < m) break;
    const bool ends = got < want || base + got == s.limit;
    const std::uint8_t* data = s.block.data();
    const std::uint8_t* dataEnd = data + got;
    // Hits may begin up to stop in this block; the rest are the next one's.
    const std::uint8_t* stop =
        data + std::min<std::int64_t>(std::min(got - m + 1, s.blockBytes), end - base);
    const std::uint8_t* known = data;  // a character begins here
    for (const std::uint8_t* at = data;;) {
      const std::uint8_t* hit = NextHit(s, at, stop + m - 1);
      if (hit >= stop) break;
      bool whole = true;
      if (textMode == kUtf16) {
        whole = (base + (hit - data)) % 2 == 0;
      } else if (textMode != kUtf8) {
        if (!WalkCharacters(known, hit, dataEnd, ends)) {
          stop = hit;  // the next block begins at known, before it
          break;
        }
        whole = known == hit;
      }
      if (whole) {
        found = base + static_cast<std::int32_t>(hit - data);
        if (!wantLast) return found;
      }
      at = hit + 1;
    }
    if ((ends && stop - data >= got - m + 1) || stop - data >= end - base) break;
    // The next block begins on a character at or before this one's stop.
    if (textMode == kUtf8) {
      known = stop;
    } else if (textMode == kUtf16) {
      // Units begin at even offsets.
      const std::int64_t next = (base + (stop - data)) & ~std::int64_t{1};
      known = data + std::max<std::int64_t>(next - base, 1);
    } else {
      WalkCharacters(known, stop, dataEnd, ends);
    }
    if (known == data) break;  // no headway: the bytes at hand never told
    base += static_cast<std::int32_t>(known - data);
  }
  return found;
}

// A character's first byte at or before offset.
std::int32_t CharacterStartBefore(ByteSearch& s, std::int32_t offset) {
  if (textMode == kUtf8) return offset;
  if (textMode == kUtf16) return offset & ~1;
  while (offset > 0) {
    const std::int32_t from = std::max(0, offset - s.blockBytes);
    const std::int32_t got = ReadBytesAt(from, s.block.data(), offset - from);
    const std::uint8_t* p = AfterLastLineFeed(s.block.data(), s.block.data() + got);
    if (p != s.block.data() || from == 0) {
      return from + static_cast<std::int32_t>(p - s.block.data());
    }
    offset = from;
  }
  return 0;
}

// The last hit beginning in [start, end), chunk by chunk from the end.
std::int32_t ScanBackward(ByteSearch& s, std::int32_t start, std::int32_t end) {
  while (end > start) {
    const std::int32_t chunk = std::max(
        start, CharacterStartBefore(s, std::max(start, end - kChunkBlocks * s.blockBytes)));
    const std::int32_t hit = ScanRange(s, chunk, end, true);
    if (hit >= 0) return hit;
    end = chunk;
  }
  return -1;
}

// What a character compares as in HZ; 0 for an escape, which is skipped.
char32_t HzPoint(const Character& c) {
  switch (c.kind) {
    case kTabCharacter: return kTab;
    case kLineBreak: return static_cast<char32_t>(c.value);
    case kTextCharacter:
      if (c.glyph == kGlyphUnreadable) return 0xFFFD;
      return c.glyph == kGlyphUnicode ? static_cast<char32_t>(c.value) : 0;
    default: return 0;
  }
}

// HZ: the characters read one by one from the top and compared with the
// text's; the first place at or after from, or the last before it, or round
// the end the first (last) of all.
bool FindHzText(const std::vector<char32_t>& points, std::int32_t from, bool forward,
                FoundText* found) {
  std::vector<char32_t> window;      // the last characters read
  std::vector<std::int32_t> starts;  // where each began
  bool haveFirst = false, haveBefore = false, haveAfter = false;
  FoundText first{0, 0}, before{0, 0}, after{0, 0}, last{0, 0};
  SeekTo(0);
  hzInRun = false;
  for (;;) {
    const Character c = NextCharacter();
    if (c.kind == kEndOfText) break;
    const char32_t point = HzPoint(c);
    if (point == 0) continue;
    window.push_back(point);
    starts.push_back(c.start);
    if (window.size() > points.size()) {
      window.erase(window.begin());
      starts.erase(starts.begin());
    }
    if (window != points) continue;
    last = FoundText{starts.front(), c.start + c.bytes};
    if (!haveFirst) first = last, haveFirst = true;
    if (last.start < from) before = last, haveBefore = true;
    if (last.start >= from && !haveAfter) {
      after = last, haveAfter = true;
      if (forward) break;
    }
  }
  if (!haveFirst) return false;
  if (forward) {
    *found = haveAfter ? after : first;
  } else {
    *found = haveBefore ? before : last;
  }
  return true;
}

}  // namespace

std::int32_t SearchableBytes() {
  if (textMode == kGb2312 && truncated) return LineStartOffset(lastLine + 1);
  const std::int64_t size = FileSizeOf(documentHandle);
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(std::max<std::int64_t>(size, 0), kReadableLimit));
}

bool TextBytes(const std::u16string& text, std::vector<std::uint8_t>* bytes) {
  return PatternBytes(CodePoints(text), bytes);
}

bool FindText(const std::u16string& text, std::int32_t from, bool forward, FoundText* found,
              std::int32_t blockBytes) {
  const std::vector<char32_t> points = CodePoints(text);
  if (points.empty() || documentHandle == kInvalidFile) return false;
  if (textMode == kHz) return FindHzText(points, from, forward, found);
  std::vector<std::uint8_t> pattern;
  if (!PatternBytes(points, &pattern)) return false;
  ByteSearch s{pattern,
               SearchableBytes(),
               blockBytes,
               std::vector<std::uint8_t>(blockBytes + pattern.size() + kMostBytesPerCharacter),
               {}};
  PrepareShifts(s);
  from = std::min(std::max(from, 0), s.limit);
  std::int32_t hit;
  if (forward) {
    hit = ScanRange(s, from, s.limit, false);
    if (hit < 0) hit = ScanRange(s, 0, from, false);
  } else {
    hit = ScanBackward(s, 0, from);
    if (hit < 0) hit = ScanBackward(s, from, s.limit);
  }
  if (hit < 0) return false;
  *found = FoundText{hit, hit + static_cast<std::int32_t>(pattern.size())};
  return true;
}
