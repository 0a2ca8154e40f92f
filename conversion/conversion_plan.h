// What tavelo-convert runs over a file: the conversion named on its command
// line, or for auto the one that detection asks for, and then the text's
// transcoding into the encoding asked for with --to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "conversion/block_driver.h"
#include "encoding/encoding.h"

struct Converter {
  const char* name;     // the first argument that chooses it
  BlockConverter step;  // null for auto, which picks its steps by detection
  Encoding gives;       // the encoding of what the step writes
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

// The output a conversion is asked for: without a target, the converter's
// own bytes (for auto: GB2312 from BIG5 and HZ, anything else as it is); with
// one, the text in that encoding, every character kept (but for BIG5 asked
// for in GB2312, which the reader's Save in GB simplifies, as without one).
struct Target {
  bool given;
  Encoding encoding;  // when given: one that CanEncode takes
  // iconv's form (-f, -t): every character as it is, none simplified, and
  // what cannot be converted met by policy.
  bool asIconv = false;
  Unconvertible policy = kReplaceUnconvertible;
};

// The steps for converter over a file whose first bytes are sample (looked
// at by auto only). A text already in the target is copied as it is. False
// for auto on a binary file.
bool PlanConversion(const Converter& converter, Target target,
                    const std::vector<std::uint8_t>& sample, ConversionSteps* steps);

// iconv's form: the text read as from (any encoding CanDecode takes, or HZ;
// quoted-printable is decoded and what it decodes to detected) written in
// target's encoding, which is given. False for quoted-printable of binary.
bool PlanFrom(Encoding from, Target target, const std::vector<std::uint8_t>& sample,
              ConversionSteps* steps);
