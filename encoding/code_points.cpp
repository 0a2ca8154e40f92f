#include "encoding/decoders.h"
#include "encoding/encoders.h"
#include "encoding/transcode.h"

namespace {

using namespace encoders;

template <typename Encoder>
CodecResult EncodeWith(Transcoding* t, const char32_t* in, std::size_t count, bool last,
                       std::uint8_t* out) {
  Encoder e;
  e.out = out;
  e.t = t;
  std::size_t i = 0;
  while (i < count && e.Put(in[i])) ++i;
  if (last && i == count) e.Finish();
  return {i, static_cast<std::size_t>(e.out - out)};
}

}  // namespace

CodecResult DecodeToCodePoints(Transcoding* t, const std::uint8_t* in, std::size_t size, bool last,
                               char32_t* out) {
  CodePointSink sink;
  sink.out = out;
  sink.t = t;
  const std::size_t used = decoders::RunDecoder(t->from, in, size, last, sink);
  return {used, static_cast<std::size_t>(sink.out - out)};
}

CodecResult EncodeCodePoints(Transcoding* t, const char32_t* in, std::size_t count, bool last,
                             std::uint8_t* out) {
  // Big5-HKSCS joins a final Ê or ê with what comes next.
  if (!last && t->to == kBig5Hkscs && count > 0 &&
      (in[count - 1] == 0xCA || in[count - 1] == 0xEA)) {
    --count;
  }
  switch (t->to) {
    case kGb2312: return EncodeWith<Gb2312Encoder>(t, in, count, last, out);
    case kGbk: return EncodeWith<GbkEncoder>(t, in, count, last, out);
    case kGb18030: return EncodeWith<Gb18030Encoder>(t, in, count, last, out);
    case kBig5: return EncodeWith<Cp950Encoder>(t, in, count, last, out);
    case kBig5Hkscs: return EncodeWith<Big5HkscsEncoder>(t, in, count, last, out);
    case kUtf16: return EncodeWith<Utf16Encoder>(t, in, count, last, out);
    default: return EncodeWith<Utf8Encoder>(t, in, count, last, out);
  }
}

bool HasCode(Encoding to, char32_t c) {
  if (c < 0x80) return true;
  switch (to) {
    case kGb2312: return Gb2312Codes::Code(c) != 0;
    case kGbk: return GbkCodes::Code(c) != 0;
    case kBig5: return Cp950Codes::Code(c) != 0;
    case kBig5Hkscs: return Big5HkscsEncoder::Code(c) != 0;
    default:  // GB18030 and the UTFs hold every character
      return true;
  }
}
