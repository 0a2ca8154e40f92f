// The length of a run of ASCII bytes, found 16 bytes at a time: the markup
// of a web page and the source code in a GBK file are long runs of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The number of bytes below 0x80 at the start of p[0, size).
inline std::size_t AsciiRun(const std::uint8_t* p, std::size_t size) {
  std::size_t i = 0;
#ifdef __SSE2__
  for (; i + 16 <= size; i += 16) {
    const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
    if (high != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
  }
#endif
  while (i < size && p[i] < 0x80) ++i;
  return i;
}

// Copies the run of n ASCII bytes at p, which has readable bytes, to out,
// which has room for as many: a short run as one store of 16 bytes.
inline void CopyAsciiRun(const std::uint8_t* p, std::size_t n, std::size_t readable,
                         std::uint8_t* out) {
#ifdef __SSE2__
  if (n <= 16 && readable >= 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    return;
  }
#else
  static_cast<void>(readable);
#endif
  std::memcpy(out, p, n);
}
