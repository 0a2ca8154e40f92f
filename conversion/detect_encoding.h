// Tells which of the encodings Tavelo reads a text is in, from its bytes
// alone; made for short texts too (a subject line, a line of a poem).
#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding/encoding.h"

// The encoding of the text: of those whose decoder reads it best, the
// narrowest that takes every byte as the wider ones do (GB2312 before GBK
// before GB18030, BIG5 before Big5-HKSCS). Quoted-printable is answered as
// such; what it decodes to is a question for the decoded bytes.
Encoding DetectEncoding(const std::uint8_t* text, std::size_t size);
