#include "encoding/byte_steps.h"

namespace {

constexpr int kLineFeed = 10;
constexpr int kCarriageReturn = 13;

// Byte -> the value of an upper-case hex digit ("=4a" is no escape), or -1.
struct HexDigits {
  signed char of[256];
  constexpr HexDigits() : of() {
    for (int b = 0; b < 256; ++b) {
      of[b] = b >= '0' && b <= '9' ? b - '0' : b >= 'A' && b <= 'F' ? b - 'A' + 10 : -1;
    }
  }
};
constexpr HexDigits kHex;

}  // namespace

BlockResult DecodeQpBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out) {
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < size) {
    const int c = in[i];
    if (c != '=') {
      out[o++] = static_cast<std::uint8_t>(c);
      ++i;
      continue;
    }
    const std::size_t left = size - i;  // "=" and what follows it
    if (left >= 3) {
      // The common case first: "=" and two digits.
      const int high = kHex.of[in[i + 1]];
      const int low = kHex.of[in[i + 2]];
      if ((high | low) >= 0) {
        out[o++] = static_cast<std::uint8_t>(high << 4 | low);
        i += 3;
        continue;
      }
    }
    if (left == 1) {
      if (!last) break;
      out[o++] = '=';
      i += 1;
      continue;
    }
    const int e = in[i + 1];
    if (e == kCarriageReturn) {
      if (left == 2 && !last) break;
      // A soft line break; after "=" CR alone the next byte is ordinary input.
      i += left > 2 && in[i + 2] == kLineFeed ? 3 : 2;
    } else if (e == kLineFeed) {
      i += 2;
    } else if (kHex.of[e] >= 0) {
      if (left == 2 && !last) break;
      // Not followed by a second digit: "=" and the digit stay, the next byte is read anew.
      out[o++] = '=';
      out[o++] = static_cast<std::uint8_t>(e);
      i += 2;
    } else {
      out[o++] = '=';
      i += 1;
    }
  }
  return {i, o};
}
