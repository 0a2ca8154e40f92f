#include "conversion/reading_mode.h"

#include <cstdint>
#include <vector>

#include "conversion/detect_encoding.h"
#include "document/reader.h"
#include "document/state.h"

namespace {

// Detection tells the encodings apart within a few KB of high bytes; a
// text whose first 64 KB hold none of them reads alike in every mode.
constexpr std::size_t kDetectionSample = 64 << 10;

}  // namespace

Encoding DetectReadingMode() {
  std::vector<std::uint8_t> sample;
  sample.reserve(kDetectionSample);
  SeekTo(0);
  for (int b; sample.size() < kDetectionSample && (b = ReadByte()) >= 0;) {
    sample.push_back(static_cast<std::uint8_t>(b));
  }
  SeekTo(0);
  const Encoding found = DetectEncoding(sample.data(), sample.size());
  switch (found) {
    case kBig5:
    case kBig5Hkscs:
    case kUtf8:
    case kUtf16:
    case kHz: return found;
    default: return kGb18030;
  }
}

void SetTextMode(Encoding mode) {
  textMode = mode;
  utf16BigEndian = false;
  hzInRun = false;
  if (mode == kUtf16) {
    SeekTo(0);
    const int first = ReadByte();
    utf16BigEndian = first == 0xFE && ReadByte() == 0xFF;
    SeekTo(0);
  }
}
