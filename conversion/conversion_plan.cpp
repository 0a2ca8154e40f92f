#include "conversion/conversion_plan.h"

#include <cstring>

#include "conversion/block_converters.h"
#include "conversion/detect_encoding.h"

namespace {

const Converter kConverters[] = {
    {"big5-to-gb", SaveInGbBlock, kGb2312},
    {"hz", DecodeHzBlock, kGb2312},
    {"qp", DecodeQpBlock, kGb2312},
    {"gb", CopyBlock, kGb2312},
    {"auto", nullptr, kBinary},
};

void Add(ConversionSteps* steps, BlockConverter step) {
  if (steps->count < 2) steps->steps[steps->count++] = step;
}

void AddTranscoding(ConversionSteps* steps, Encoding from, Target target) {
  steps->transcodes = true;
  steps->transcoding = StartTranscoding(from, target.encoding, target.policy);
}

// A text that needs no transcoding to be in target: in it already, or ASCII
// in an encoding that keeps ASCII as it is.
bool AlreadyIn(Encoding text, Encoding target) {
  return text == target || (text == kAscii && target != kUtf16);
}

// auto's steps; false for a binary file.
bool PlanAuto(const std::vector<std::uint8_t>& sample, Target target, ConversionSteps* steps) {
  const Verdict verdict = Detect(sample);
  Encoding text = verdict.encoding;
  if (text == kQp) {
    Add(steps, DecodeQpBlock);
    text = verdict.decoded;
  }
  if (text == kBinary || text == kQp) {
    // Decoded once, what it decodes to is kept as it is.
    return steps->count > 0;
  }
  if (text == kHz) {
    Add(steps, DecodeHzBlock);
    text = kGb2312;
  }
  const bool big5 = text == kBig5 || text == kBig5Hkscs;
  if (!target.given || (target.encoding == kGb2312 && big5 && !target.asIconv)) {
    // The reader's own conversions: BIG5 simplified into GB2312 by Save in
    // GB; every other text is kept as it is.
    if (big5) Add(steps, SaveInGbBlock);
  } else if (!AlreadyIn(text, target.encoding)) {
    AddTranscoding(steps, text, target);
  }
  if (steps->count == 0 && !steps->transcodes) Add(steps, CopyBlock);
  return true;
}

}  // namespace

const Converter* FindConverter(const char* name) {
  for (const Converter& converter : kConverters) {
    if (std::strcmp(name, converter.name) == 0) return &converter;
  }
  return nullptr;
}

Verdict Detect(const std::vector<std::uint8_t>& sample) {
  Verdict verdict{DetectEncoding(sample.data(), sample.size()), kBinary};
  if (verdict.encoding == kQp) {
    ConversionSteps decoding{};
    Add(&decoding, DecodeQpBlock);
    const std::vector<std::uint8_t> decoded = ConvertBytes(decoding, sample);
    verdict.decoded = DetectEncoding(decoded.data(), decoded.size());
  }
  return verdict;
}

bool PlanConversion(const Converter& converter, Target target,
                    const std::vector<std::uint8_t>& sample, ConversionSteps* steps) {
  *steps = ConversionSteps{};
  if (converter.step == nullptr) return PlanAuto(sample, target, steps);
  // GB2312 kept as it is needs no copy before its transcoding.
  const bool transcodes = target.given && target.encoding != converter.gives;
  if (converter.step != CopyBlock || !transcodes) Add(steps, converter.step);
  if (transcodes) AddTranscoding(steps, converter.gives, target);
  return true;
}

bool PlanFrom(Encoding from, Target target, const std::vector<std::uint8_t>& sample,
              ConversionSteps* steps) {
  *steps = ConversionSteps{};
  if (from == kQp) {
    Add(steps, DecodeQpBlock);
    ConversionSteps decoding{};
    Add(&decoding, DecodeQpBlock);
    const std::vector<std::uint8_t> decoded = ConvertBytes(decoding, sample);
    from = DetectEncoding(decoded.data(), decoded.size());
    if (from == kBinary || from == kQp) return false;
  }
  if (from == kHz) {
    Add(steps, DecodeHzBlock);
    from = kGb2312;
  }
  // Read even when it is the target already: a byte it cannot read is met
  // as iconv meets it.
  AddTranscoding(steps, from == kAscii ? kUtf8 : from, target);
  return true;
}
