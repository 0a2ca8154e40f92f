#include "conversion/detect_encoding.h"

#include <algorithm>
#include <vector>

#include "conversion/detect_model.h"
#include "conversion/state.h"
#include "encoding/byte_steps.h"
#include "encoding/transcode.h"

namespace {

// The cost, in half bits, of a byte that the reading cannot take, and of a
// character no text means (a control, a private-use one): more than any
// character costs, so one such byte outweighs a rare character.
constexpr int kInvalidCost = 60;

// Bytes looked at; detection of a longer text decides on its start.
constexpr std::size_t kLookAt = 64 * 1024;

// Bytes from 0x80 up in a text that UTF-8 reads whole that make it UTF-8
// without weighing the other readings: a GB or BIG5 text is valid UTF-8 by
// chance only when short (its pairs would have to fall into UTF-8's
// sequences again and again).
constexpr std::size_t kSurelyUtf8 = 1024;

// Bytes from 0x80 up that are enough to tell the encodings apart (some four
// thousand characters): the readings stop there, so a long Chinese text is
// told as soon as a short one, while one that is mostly ASCII is still read
// up to kLookAt.
constexpr std::size_t kHighEnough = 8 * 1024;

// Bytes decoded at a time, into code points on the stack.
constexpr std::size_t kBlock = 4096;

// What a hanzi that only Big5-HKSCS has costs less in its reading than the
// model says: whoever writes Big5-HKSCS writes Hong Kong text, which has them
// far more often than the training text, the Cantonese words of the Unified
// Ideographs (嘅 咗 嚟 啲 喺) most, those of the extensions (㗎 𨋢) less.
// Not the simplified ones HKSCS has too, nor those at the codes CP950 reads
// as other characters: Hong Kong text has neither more often.
constexpr int kHongKongDiscount = 30;
constexpr int kHongKongExtensionDiscount = 15;

// What a hanzi that GB2312 lacks costs more in a GBK or GB18030 reading
// than the model says: the model mixes simplified and traditional text
// evenly, but text in the GB encodings is mostly GB2312's simplified
// characters, with a name or a traditional character here and there.
constexpr int kBeyondGb2312Charge = 8;

// A reading whose characters cost more than this on average is no text,
// when it also could not take every byte.
constexpr int kMostMeanCost = 36;

// The controls below 0x20 that text has: tab, line feed, form feed, carriage
// return, SUB (a DOS end of file) and ESC.
constexpr std::uint32_t kTextControls =
    1u << '\t' | 1u << '\n' | 1u << '\f' | 1u << '\r' | 1u << 0x1A | 1u << 0x1B;

inline bool IsOddControl(char32_t c) {
  return (c < 0x20 && (kTextControls >> c & 1) == 0) || (c >= 0x7F && c < 0xA0);
}

bool IsUnifiedIdeograph(char32_t c) {
  return c - kFirstHanzi < static_cast<char32_t>(kHanziCount);
}

bool IsHanzi(char32_t c) {
  return (c >= 0x3400 && c < 0xA000) || (c >= 0xF900 && c < 0xFB00) ||
         (c >= 0x20000 && c < 0x32000);
}

// The character's entry in the model (conversion/detect_model.h), or
// kInvalidCost for one no text means.
int CharacterEntry(char32_t c) {
  if (IsUnifiedIdeograph(c)) return kHanziCost[c - kFirstHanzi];
  const char32_t* end = kOtherCharacters + kOtherCount;
  const char32_t* found = std::lower_bound(kOtherCharacters, end, c);
  if (found != end && *found == c) return kOtherCosts[found - kOtherCharacters];
  const bool privateUse = (c >= 0xE000 && c < 0xF900) || c >= 0xF0000;
  const bool noCharacter = (c & 0xFFFE) == 0xFFFE || (c >= 0xFDD0 && c < 0xFDF0);
  if (IsOddControl(c) || privateUse || noCharacter) return kInvalidCost;
  return IsHanzi(c) ? kUnseenCost : kUnseenSymbolCost;
}

unsigned WorkOutFacts(char32_t c) {
  return static_cast<unsigned>(CharacterEntry(c)) | (HasCode(kGb2312, c) ? kFactInGb2312 : 0) |
         (HasCode(kBig5, c) ? kFactInBig5 : 0);
}

// The character's facts, from characterFacts once seen (a reading looks up
// the same few thousand characters again and again).
unsigned FactsOf(char32_t c) {
  if (c >= 0x10000) return WorkOutFacts(c);
  if (characterFacts.empty()) characterFacts.assign(0x10000, kFactsUnknown);
  std::uint16_t& facts = characterFacts[c];
  if (facts == kFactsUnknown) facts = static_cast<std::uint16_t>(WorkOutFacts(c));
  return facts;
}

// A reading of the text by one of the encoding room's decoders: what its
// characters (ASCII left out) cost together, and what it could not read.
struct Reading {
  Encoding encoding = kBinary;
  long cost = 0;
  long characters = 0;
  long hanzi = 0;
  long controls = 0;
  long malformed = 0;     // bytes
  long discount = 0;      // Big5-HKSCS: what its Hong Kong hanzi cost less
  long charge = 0;        // GBK and GB18030: what the hanzi beyond GB2312 cost more
  bool hopeless = false;  // given up: it could not take a third of the text
  long Total() const { return cost + malformed * kInvalidCost - discount + charge; }
  // Characters enough and bytes it could not read few enough for a text.
  bool Plausible() const {
    if (hopeless) return false;
    if (malformed == 0) return hanzi > 0 || (characters > 0 && cost <= characters * kMostMeanCost);
    return malformed * 4 <= characters + malformed && cost <= characters * kMostMeanCost;
  }
};

// Reads text[0, size) as encoding; with ends false the text goes on after
// size, and a character cut there is left out.
Reading Read(Encoding encoding, const std::uint8_t* text, std::size_t size, bool ends) {
  Reading r;
  r.encoding = encoding;
  Transcoding t = StartTranscoding(encoding, kUtf8, kSkipUnconvertible);
  // Big5-HKSCS's Hong Kong hanzi are those that CP950's decoder reads alike
  // (it reads Big5-HKSCS's own codes too) and CP950's encoder lacks.
  const bool hongKong = encoding == kBig5Hkscs;
  Transcoding cp950 = StartTranscoding(kBig5, kBig5, kSkipUnconvertible);
  // GB18030's hanzi beyond GB2312 are those GB2312's encoder lacks.
  const bool gbk = encoding == kGb18030;
  char32_t points[kBlock];
  char32_t cp950Points[kBlock];
  for (std::size_t at = 0; at < size;) {
    const std::size_t n = std::min(kBlock, size - at);
    const bool last = ends && at + n == size;
    const CodecResult result = DecodeToCodePoints(&t, text + at, n, last, points);
    const bool alike =
        hongKong &&
        DecodeToCodePoints(&cp950, text + at, n, last, cp950Points).written == result.written;
    for (std::size_t i = 0; i < result.written; ++i) {
      const char32_t c = points[i];
      if (c < 0x80 && !IsOddControl(c)) continue;
      const unsigned facts = FactsOf(c);
      const int entry = facts & 0xFF;
      ++r.characters;
      r.cost += entry & kCostBits;
      r.hanzi += IsHanzi(c);
      r.controls += IsOddControl(c);
      if (gbk && IsHanzi(c) && !(facts & kFactInGb2312)) r.charge += kBeyondGb2312Charge;
      if (alike && IsHanzi(c) && cp950Points[i] == c && !(entry & kSimplifiedOnly) &&
          !(facts & kFactInBig5)) {
        r.discount += IsUnifiedIdeograph(c) ? kHongKongDiscount : kHongKongExtensionDiscount;
      }
    }
    if (result.used == 0) break;  // a character cut by the end of what is looked at
    at += result.used;
    // A reading that could not take a third of the text is no text however
    // the rest reads (it has fewer characters than that): it is given up.
    if (t.malformed * 3 > size) {
      r.hopeless = true;
      break;
    }
  }
  r.malformed = static_cast<long>(t.malformed);
  return r;
}

// Whether to holds every character that from's decoder reads, each in as
// many bytes: re-encoded, the text keeps its length. (The BIG5 decoders read
// each other's codes too, so only the encoders tell them apart.)
bool HoldsAll(Encoding from, Encoding to, const std::uint8_t* text, std::size_t size, bool ends) {
  Transcoding t = StartTranscoding(from, to, kSkipUnconvertible);
  std::uint8_t out[kBlock * kMostBytesPerCharacter];
  std::size_t used = 0, written = 0;
  while (used < size) {
    const std::size_t n = std::min(kBlock, size - used);
    const CodecResult result = Transcode(&t, text + used, n, ends && used + n == size, out);
    if (result.used == 0) break;
    used += result.used;
    written += result.written;
  }
  return t.unmappable == 0 && written + t.malformed == used;
}

bool IsUpperHex(int b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F');
}
int HexValue(int digit) {
  return digit <= '9' ? digit - '0' : digit - 'A' + 10;
}

// HZ: the "~{" runs of 7-bit pairs that "~}" or the end closes, as the
// decoder reads them; their pairs, made GB2312 again, read as GB2312.
Reading ReadHzRuns(const std::uint8_t* text, std::size_t size, long& runs) {
  std::vector<std::uint8_t> pairs;
  runs = 0;
  for (std::size_t i = 0; i + 1 < size; ++i) {
    if (text[i] != '~') continue;
    if (text[i + 1] == '~') {
      ++i;
      continue;
    }
    if (text[i + 1] != '{') continue;
    std::size_t j = i + 2;
    while (j + 1 < size && IsHzRunLead(text[j]) && IsHzRunTrail(text[j + 1])) j += 2;
    const bool closed = j >= size || (j + 1 < size && text[j] == '~' && text[j + 1] == '}');
    if (!closed || j == i + 2) continue;
    ++runs;
    for (std::size_t k = i + 2; k < j; ++k) pairs.push_back(text[k] | 0x80);
    i = j;
  }
  return Read(kGb2312, pairs.data(), pairs.size(), true);
}

// Quoted-printable: escapes of bytes from 0x80 up, and "=" that begin no
// escape and no soft line break.
void CountQp(const std::uint8_t* text, std::size_t size, long& high, long& stray) {
  high = stray = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (text[i] != '=') continue;
    if (i + 1 < size && (text[i + 1] == '\r' || text[i + 1] == '\n')) continue;
    if (i + 2 < size && IsUpperHex(text[i + 1]) && IsUpperHex(text[i + 2])) {
      if (HexValue(text[i + 1]) >= 8) ++high;
      i += 2;
    } else if (i + 2 < size) {
      ++stray;
    }
  }
}

// Text without bytes from 0x80 up: HZ, quoted-printable or ASCII.
Encoding DetectSevenBit(const std::uint8_t* text, std::size_t size) {
  long runs;
  const Reading hz = ReadHzRuns(text, size, runs);
  // At most a quarter of the pairs may be positions without a character.
  if (runs > 0 && !hz.hopeless && hz.malformed * 4 <= hz.characters * 2 + hz.malformed) return kHz;
  long highEscapes, stray;
  CountQp(text, size, highEscapes, stray);
  if (highEscapes >= 2 && stray * 4 <= highEscapes) return kQp;
  return kAscii;
}

// UTF-16 is answered when its decoder reads every byte into no control: with
// a byte-order mark, or little-endian without one when every zero byte is
// the high byte of a unit (as in text with ASCII in it) and what is not
// ASCII reads as text.
bool IsUtf16(const std::uint8_t* text, std::size_t size, bool ends, bool mark) {
  if (!mark) {
    for (std::size_t i = 0; i < size; i += 2) {
      if (text[i] == 0) return false;
    }
  }
  const Reading r = Read(kUtf16, text, size, ends);
  return r.malformed == 0 && r.controls == 0 && (mark || r.characters == 0 || r.Plausible());
}

}  // namespace

Encoding DetectEncoding(const std::uint8_t* text, std::size_t size) {
  bool ends = size <= kLookAt;
  if (!ends) size = kLookAt;
  const bool utf16Mark =
      size >= 2 && ((text[0] == 0xFF && text[1] == 0xFE) || (text[0] == 0xFE && text[1] == 0xFF));
  if (utf16Mark && IsUtf16(text, size, ends, true)) return kUtf16;

  std::size_t controls = 0, high = 0, zeros = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned b = text[i];
    zeros += b == 0;
    controls += b < 0x20 && (kTextControls >> (b & 0x1F) & 1) == 0;
    high += b >= 0x80;
  }
  if (zeros > 0) return IsUtf16(text, size, ends, false) ? kUtf16 : kBinary;
  if (controls * 50 > size) return kBinary;
  if (high == 0) return DetectSevenBit(text, size);
  if (high > kHighEnough) {
    std::size_t seen = 0, cut = 0;
    while (seen < kHighEnough) seen += text[cut++] >= 0x80;
    size = cut;
    ends = false;
  }

  const bool utf8Mark = size >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF;
  const Reading utf8 = Read(kUtf8, text, size, ends);
  if ((utf8Mark || high >= kSurelyUtf8) && utf8.malformed == 0) return kUtf8;
  const Reading gb = Read(kGb18030, text, size, ends);
  const Reading big5 = Read(kBig5, text, size, ends);
  const Reading hkscs = Read(kBig5Hkscs, text, size, ends);
  // The cheapest reading that is text; on a tie the one named first.
  const Reading* best = nullptr;
  for (const Reading* r : {&utf8, &gb, &big5, &hkscs}) {
    if (r->Plausible() && (best == nullptr || r->Total() < best->Total())) best = r;
  }
  if (best == nullptr) return kBinary;
  if (best->encoding == kUtf8) return kUtf8;
  // Of the family, the narrowest encoding that reads the text alike.
  if (best->encoding == kGb18030) {
    const Reading gb2312 = Read(kGb2312, text, size, ends);
    if (!gb2312.hopeless && gb2312.malformed <= gb.malformed) return kGb2312;
    return HoldsAll(kGb18030, kGbk, text, size, ends) ? kGbk : kGb18030;
  }
  return big5.Total() <= hkscs.Total() && HoldsAll(kBig5, kBig5, text, size, ends) ? kBig5
                                                                                   : kBig5Hkscs;
}
