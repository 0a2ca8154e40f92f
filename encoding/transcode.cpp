#include "encoding/transcode.h"

#include "encoding/decoders.h"
#include "encoding/encoders.h"

namespace {

using namespace encoders;

// One block through from's decoder into an Encoder writing at out.
template <typename Encoder>
CodecResult Through(Transcoding* t, const std::uint8_t* in, std::size_t size, bool last,
                    std::uint8_t* out) {
  Encoder e;
  e.out = out;
  e.t = t;
  const std::size_t used = decoders::RunDecoder(t->from, in, size, last, e);
  if (last && used == size) e.Finish();
  return {used, static_cast<std::size_t>(e.out - out)};
}

}  // namespace

Transcoding StartTranscoding(Encoding from, Encoding to, Unconvertible policy) {
  Transcoding t{};
  t.from = from;
  t.to = to;
  t.policy = policy;
  return t;
}

CodecResult Transcode(Transcoding* t, const std::uint8_t* in, std::size_t size, bool last,
                      std::uint8_t* out) {
  switch (t->to) {
    case kGb2312: return Through<Gb2312Encoder>(t, in, size, last, out);
    case kGbk: return Through<GbkEncoder>(t, in, size, last, out);
    case kGb18030: return Through<Gb18030Encoder>(t, in, size, last, out);
    case kBig5: return Through<Cp950Encoder>(t, in, size, last, out);
    case kBig5Hkscs: return Through<Big5HkscsEncoder>(t, in, size, last, out);
    case kUtf16: return Through<Utf16Encoder>(t, in, size, last, out);
    default: return Through<Utf8Encoder>(t, in, size, last, out);
  }
}
