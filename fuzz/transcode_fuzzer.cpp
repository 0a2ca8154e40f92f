// The encoding room's decoders and encoders over random bytes cut into
// random blocks: every cut gives what one whole-buffer transcoding gives and
// counts alike what could not be converted, the code points made block by
// block and then encoded give the bytes of the transcoding that never leaves
// its loop, and UTF-8 written by any decoder reads back as itself.
//
// Input: an encoding selector for the source and one for the target, then
// the block sizes' seed, then the text.
#include <string>
#include <vector>

#include "encoding/byte_rules.h"
#include "encoding/transcode.h"
#include "fuzz/fuzz_support.h"

namespace {

const Encoding kSources[] = {kGb2312, kGbk, kGb18030, kBig5, kBig5Hkscs, kUtf8, kUtf16};
const Encoding kTargets[] = {kUtf8, kUtf16, kGb18030, kGbk, kGb2312, kBig5, kBig5Hkscs};

using Bytes = std::vector<std::uint8_t>;

// The sizes of the blocks the text is cut into, 1 to 16 bytes, from a seed.
struct Cuts {
  std::uint32_t state;
  std::size_t Next() {
    state = state * 1103515245u + 12345u;
    return 1 + (state >> 16) % 16;
  }
};

// The text through a transcoding, whole or in blocks; a block that leaves an
// unfinished character comes again with the next one, as the block driver
// gives it.
Bytes TranscodeInBlocks(Transcoding t, const Bytes& text, Cuts* cuts, Transcoding* end) {
  Bytes out;
  Bytes pending;
  std::size_t at = 0;
  bool last = false;
  while (!last) {
    const std::size_t n = cuts != nullptr ? std::min(cuts->Next(), text.size() - at) : text.size();
    pending.insert(pending.end(), text.begin() + at, text.begin() + at + n);
    at += n;
    last = at == text.size();
    Bytes made(pending.size() * kMostBytesPerCharacter + 4);
    const CodecResult r = Transcode(&t, pending.data(), pending.size(), last, made.data());
    out.insert(out.end(), made.begin(), made.begin() + r.written);
    pending.erase(pending.begin(), pending.begin() + r.used);
    FUZZ_CHECK(!last || pending.empty(), "the last block left bytes unused");
  }
  *end = t;
  return out;
}

// The same text decoded into code points in blocks, then encoded in blocks.
Bytes ThroughCodePoints(Transcoding t, const Bytes& text, Cuts* cuts) {
  std::vector<char32_t> points;
  Bytes pending;
  std::size_t at = 0;
  bool last = false;
  while (!last) {
    const std::size_t n = std::min(cuts->Next(), text.size() - at);
    pending.insert(pending.end(), text.begin() + at, text.begin() + at + n);
    at += n;
    last = at == text.size();
    std::vector<char32_t> made(pending.size() + 1);
    const CodecResult r = DecodeToCodePoints(&t, pending.data(), pending.size(), last, made.data());
    points.insert(points.end(), made.begin(), made.begin() + r.written);
    pending.erase(pending.begin(), pending.begin() + r.used);
  }
  Bytes out(points.size() * kMostBytesPerCharacter + 4);
  const CodecResult r = EncodeCodePoints(&t, points.data(), points.size(), true, out.data());
  FUZZ_CHECK(r.used == points.size(), "the encoder left code points unused");
  out.resize(r.written);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const Encoding from = kSources[data[0] % std::size(kSources)];
  const Encoding to = kTargets[data[1] % std::size(kTargets)];
  const Bytes text(data + 3, data + size);
  const std::string name = std::string(EncodingName(from)) + " to " + EncodingName(to);
  const Transcoding start = StartTranscoding(from, to, kReplaceUnconvertible);

  Transcoding whole, cut;
  const Bytes expected = TranscodeInBlocks(start, text, nullptr, &whole);
  Cuts cuts{data[2]};
  FUZZ_CHECK(TranscodeInBlocks(start, text, &cuts, &cut) == expected,
             name + ": blocks give other bytes than the whole text");
  FUZZ_CHECK(cut.malformed == whole.malformed && cut.unmappable == whole.unmappable,
             name + ": blocks count otherwise than the whole text");
  // Through code points, a replacement would be one more character to encode:
  // the two paths are compared leaving out what cannot be converted.
  const Transcoding skipping = StartTranscoding(from, to, kSkipUnconvertible);
  Transcoding skipped;
  Cuts again{data[2]};
  FUZZ_CHECK(ThroughCodePoints(skipping, text, &again) ==
                 TranscodeInBlocks(skipping, text, nullptr, &skipped),
             name + ": code points encoded give other bytes than the transcoding");

  // Character by character, as CharacterLength cuts the text, the decoder
  // reads what it reads at once.
  if (from != kUtf16) {
    Transcoding one = StartTranscoding(from, kUtf8, kReplaceUnconvertible);
    Transcoding all = StartTranscoding(from, kUtf8, kReplaceUnconvertible);
    std::vector<char32_t> whole(text.size() + 1), pieces;
    whole.resize(DecodeToCodePoints(&all, text.data(), text.size(), true, whole.data()).written);
    for (std::size_t at = 0; at < text.size();) {
      const int length =
          CharacterLength(from, text.data() + at, static_cast<int>(text.size() - at), true, false);
      FUZZ_CHECK(length > 0, name + ": no length for a character");
      char32_t points[4];
      const CodecResult r = DecodeToCodePoints(&one, text.data() + at, length, true, points);
      FUZZ_CHECK(r.used == static_cast<std::size_t>(length) && r.written >= 1 && r.written <= 2,
                 name + ": a character is not one decoded character");
      pieces.insert(pieces.end(), points, points + r.written);
      at += static_cast<std::size_t>(length);
    }
    FUZZ_CHECK(pieces == whole, name + ": characters one by one read otherwise than at once");
  }

  // UTF-8 out of any decoder is UTF-8 that reads back whole into itself.
  if (to == kUtf8) {
    Transcoding back;
    const Bytes reread = TranscodeInBlocks(StartTranscoding(kUtf8, kUtf8, kStopAtUnconvertible),
                                           expected, nullptr, &back);
    FUZZ_CHECK(!back.stopped && reread == expected, name + ": the UTF-8 written is not valid");
  }
  return 0;
}
