// Find against a plain model, in every mode searched by bytes, with blocks of
// 1 to 64 bytes so that a document crosses many of them: the place found is
// the first (or, backwards, the last) character start, round the end from
// where the search began, at which the document's bytes are those the text
// is written as (TextBytes); none when there is no such start. The texts are taken from
// the document's own characters, so that most have a place.
//
// Input: a mode byte, a block byte, where the text begins and how many
// characters it takes, where the search begins and which way, then the
// document's bytes.
#include "document/find_text.h"
#include "document/next_character.h"
#include "document/range_text.h"
#include "document/reader.h"
#include "fuzz/fuzz_support.h"

namespace {

struct Mode {
  Encoding mode;
  int big5;  // the old BIG5 mode
};
constexpr Mode kModes[] = {{kGb2312, 0},    {kGb2312, 1}, {kGb18030, 0}, {kBig5, 0},
                           {kBig5Hkscs, 0}, {kUtf8, 0},   {kUtf16, 0}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StartFuzzProgram(640, 480);
  FuzzInput input(data, size);
  const Mode mode = kModes[input.Byte() % (sizeof kModes / sizeof kModes[0])];
  const std::int32_t blockBytes = 1 + input.Byte() % 64;
  const unsigned first = input.Unsigned16();
  const unsigned length = 1 + input.Byte() % 4;
  const unsigned fromPick = input.Unsigned16();
  const bool forward = (fromPick & 1) == 0;
  const Bytes document = input.Rest();
  const auto documentSize = static_cast<std::int32_t>(document.size());

  OpenFuzzDocument(document);
  textMode = mode.mode;
  big5Mode = mode.big5;
  utf16BigEndian = document.size() >= 2 && document[0] == 0xFE && document[1] == 0xFF;

  // Every character's start, read as the reader reads it.
  std::vector<Character> characters;
  SeekTo(0);
  for (;;) {
    const Character c = NextCharacter();
    if (c.kind == kEndOfText) break;
    characters.push_back(c);
  }
  std::vector<std::int32_t> starts{0};
  for (const Character& c : characters) starts.push_back(starts.back() + c.bytes);
  FUZZ_CHECK(starts.back() == documentSize, "the characters take every byte once");
  if (characters.empty()) return 0;

  // A text of the document's own characters, no line break in it.
  const std::size_t at = first % characters.size();
  std::size_t end = at;
  while (end < characters.size() && end - at < length && characters[end].kind != kLineBreak) ++end;
  if (end == at) return 0;
  std::u16string text;
  AppendRangeText(starts[at], starts[end], &text);
  Bytes written;
  if (!TextBytes(text, &written)) written.clear();

  const std::int32_t from = starts[fromPick / 2 % starts.size()];
  // The model: character starts from where the search begins, round the end.
  long expected = -1;
  const auto matches = [&](std::int32_t s) {
    return !written.empty() && s + written.size() <= document.size() &&
           std::equal(written.begin(), written.end(), document.begin() + s);
  };
  const std::size_t count = starts.size() - 1;  // the end is no character's start
  std::size_t origin = 0;
  while (origin < count && starts[origin] < from) ++origin;
  for (std::size_t k = 0; k < count && expected < 0; ++k) {
    const std::size_t i = forward ? (origin + k) % count : (origin + count - 1 - k) % count;
    if (matches(starts[i])) expected = starts[i];
  }

  FoundText found{-1, -1};
  const bool any = FindText(text, from, forward, &found, blockBytes);
  FUZZ_CHECK(any == (expected >= 0), "Find finds a place exactly when the model has one");
  if (any) {
    FUZZ_CHECK(found.start == expected, "Find's place is the model's");
    FUZZ_CHECK(found.end - found.start == static_cast<std::int32_t>(written.size()),
               "the place is as long as the text's bytes");
  }
  CheckReaderWithin(documentSize);
  return 0;
}
