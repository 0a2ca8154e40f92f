#include "tools/conversion_plan.h"

#include <cstring>

namespace {

const Converter kConverters[] = {
    {"big5-to-gb", SaveInGbBlock, kBig5}, {"hz", DecodeHzBlock, kHz},
    {"qp", DecodeQpBlock, kQp},           {"gb", CopyBlock, kGb2312},
    {"auto", nullptr, kBinary},
};

// The conversion to GB2312 of a text in the given encoding; null for one
// that has none (UTF-8, ASCII and binary are not GB2312's business).
BlockConverter ToGb(Encoding encoding) {
  for (const Converter& converter : kConverters) {
    if (converter.block != nullptr && converter.from == encoding) return converter.block;
  }
  return nullptr;
}

void Add(ConversionSteps* steps, BlockConverter step) {
  steps->steps[steps->count++] = step;
}

// auto's steps; false for a binary file. givesGb tells whether they end in
// GB2312 text.
bool PlanAuto(const std::vector<std::uint8_t>& sample, ConversionSteps* steps, bool* givesGb) {
  const Verdict verdict = Detect(sample);
  Encoding text = verdict.encoding;
  if (text == kQp) {
    Add(steps, DecodeQpBlock);
    text = verdict.decoded;
  }
  if (text == kBinary || text == kQp) {
    // Decoded once, what it decodes to is kept as it is.
    *givesGb = false;
    return steps->count > 0;
  }
  const BlockConverter toGb = ToGb(text);
  *givesGb = toGb != nullptr;
  if (steps->count == 0 || (toGb != nullptr && toGb != CopyBlock)) {
    Add(steps, toGb != nullptr ? toGb : CopyBlock);
  }
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
    const std::vector<std::uint8_t> decoded = ConvertBytes({{DecodeQpBlock}, 1}, sample);
    verdict.decoded = DetectEncoding(decoded.data(), decoded.size());
  }
  return verdict;
}

bool PlanConversion(const Converter& converter, bool toUtf8,
                    const std::vector<std::uint8_t>& sample, ConversionSteps* steps) {
  steps->count = 0;
  bool givesGb = true;
  if (converter.block != nullptr) {
    Add(steps, converter.block);
  } else if (!PlanAuto(sample, steps, &givesGb)) {
    return false;
  }
  if (toUtf8 && givesGb) {
    // GB2312 kept as it is needs no copy before its re-encoding.
    if (steps->steps[steps->count - 1] == CopyBlock) --steps->count;
    Add(steps, GbToUtf8Block);
  }
  return true;
}
