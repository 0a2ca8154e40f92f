// The lookups over the generated tables that are searched rather than
// indexed: GB18030's four-byte runs and Big5-HKSCS's plane-2 codes.
#include <algorithm>

#include "encoding/decoders.h"
#include "encoding/encoders.h"

char32_t decoders::Gb18030FourByteCharacter(std::uint32_t index) {
  if (index >= encoders::kSupplementaryIndex) {
    const std::uint32_t offset = index - encoders::kSupplementaryIndex;
    return offset < 0x100000 ? 0x10000 + offset : 0;
  }
  const FourByteRun* end = kGb18030FourByteRuns + kGb18030FourByteRunCount;
  const FourByteRun* run =
      std::upper_bound(kGb18030FourByteRuns, end, index,
                       [](std::uint32_t i, const FourByteRun& r) { return i < r.index; });
  if (run == kGb18030FourByteRuns) return 0;
  --run;
  return index - run->index < run->length ? run->character + (index - run->index) : 0;
}

std::uint32_t encoders::Gb18030FourByteIndex(char32_t c) {
  const FourByteRun* end = kGb18030FourByteRunsByCharacter + kGb18030FourByteRunCount;
  const FourByteRun* run =
      std::upper_bound(kGb18030FourByteRunsByCharacter, end, c,
                       [](char32_t ch, const FourByteRun& r) { return ch < r.character; });
  --run;  // every BMP character without a pair lies in a run
  return run->index + (c - run->character);
}

unsigned encoders::Big5HkscsPlane2Code(char32_t c) {
  const Plane2Code* end = kBig5HkscsPlane2Codes + kBig5HkscsPlane2CodeCount;
  const Plane2Code* found =
      std::lower_bound(kBig5HkscsPlane2Codes, end, c,
                       [](const Plane2Code& p, char32_t ch) { return p.character < ch; });
  return found != end && found->character == c ? found->code : 0;
}
