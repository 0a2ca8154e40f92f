#include "encoding/encoding.h"

namespace {

// Names compare without regard to the case of ASCII letters.
bool SameName(const char* a, const char* b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  while (*a != 0 && lower(*a) == lower(*b)) {
    ++a;
    ++b;
  }
  return lower(*a) == lower(*b);
}

// Each encoding's names, its own first; the aliases are those iconv and
// Windows use for the same encoding.
struct Names {
  Encoding encoding;
  const char* names[6];
};
const Names kNames[kEncodingCount] = {
    {kGb2312, {"gb2312", "euc-cn", "euccn", "csgb2312"}},
    {kGbk, {"gbk", "cp936", "ms936", "windows-936"}},
    {kGb18030, {"gb18030", "gb-18030"}},
    {kBig5, {"big5", "cp950", "big-5", "csbig5", "ms950", "windows-950"}},
    {kBig5Hkscs, {"big5-hkscs", "big5hkscs", "hkscs"}},
    {kHz, {"hz", "hz-gb-2312"}},
    {kUtf8, {"utf-8", "utf8"}},
    {kUtf16, {"utf-16", "utf16"}},
    {kQp, {"qp", "quoted-printable"}},
    {kAscii, {"ascii", "us-ascii"}},
    {kBinary, {"binary"}},
};

}  // namespace

const char* EncodingName(Encoding encoding) {
  return kNames[encoding].names[0];
}

const char* EncodingAlias(Encoding encoding, int index) {
  return index >= 0 && index < 6 ? kNames[encoding].names[index] : nullptr;
}

bool FindEncoding(const char* name, Encoding* encoding) {
  for (const Names& entry : kNames) {
    for (const char* known : entry.names) {
      if (known != nullptr && SameName(known, name)) {
        *encoding = entry.encoding;
        return true;
      }
    }
  }
  return false;
}

bool CanDecode(Encoding encoding) {
  return encoding <= kUtf16 || encoding == kAscii;
}

bool CanEncode(Encoding encoding) {
  return encoding <= kBig5Hkscs || encoding == kUtf8 || encoding == kUtf16;
}
