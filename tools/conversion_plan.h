// What tavelo-convert runs over a file: the conversion named on its command
// line, or for auto the one that detection asks for, followed by the
// re-encoding to UTF-8 when that is wanted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "conversion/detect_encoding.h"
#include "tools/block_convert.h"

struct Converter {
  const char* name;       // the first argument that chooses it
  BlockConverter block;   // null for auto, which picks one by detection
  Encoding from;  // the encoding it reads
};

// The converter of that name; null when there is none.
const Converter* FindConverter(const char* name);

// The sample detection looks at: enough for any text's verdict, and a
// quoted-printable one is decoded from it.
constexpr std::size_t kDetectSample = 256 * 1024;

// What detection says of a file's sample: the encoding, and for
// quoted-printable the encoding of what it decodes to.
struct Verdict {
  Encoding encoding;
  Encoding decoded;
};

Verdict Detect(const std::vector<std::uint8_t>& sample);

// The steps for converter over a file whose first bytes are sample (looked
// at by auto only), with GB2312 results re-encoded when toUtf8; UTF-8 and
// ASCII that auto finds stay as they are. False for auto on a binary file.
bool PlanConversion(const Converter& converter, bool toUtf8,
                    const std::vector<std::uint8_t>& sample, ConversionSteps* steps);
