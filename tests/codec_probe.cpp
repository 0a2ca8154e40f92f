// Reads each line of standard input on its own through one of the encoding
// room's decoders or encoders and prints one line for it, for the comparison
// of whole code spaces with the system's codecs (tests/encoding_tables_test.py):
//
//   codec-probe decode ENCODING   each line's bytes as ENCODING; prints their
//                                 characters in UTF-8, or "-" when a byte
//                                 could not be read
//   codec-probe encode ENCODING   each line as UTF-8; prints the bytes of
//                                 ENCODING in hex, or "-" when a character
//                                 has no code
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "encoding/transcode.h"

namespace {

// The line through the transcoding, or false when it met what it could not convert.
bool Convert(Encoding from, Encoding to, const std::string& line, std::vector<std::uint8_t>* out) {
  Transcoding t = StartTranscoding(from, to, kStopAtUnconvertible);
  out->assign(line.size() * kMostBytesPerCharacter + 8, 0);
  const CodecResult r = Transcode(&t, reinterpret_cast<const std::uint8_t*>(line.data()),
                                  line.size(), true, out->data());
  out->resize(r.written);
  return !t.stopped;
}

}  // namespace

int main(int argc, char** argv) {
  Encoding encoding;
  if (argc != 3 || !FindEncoding(argv[2], &encoding)) {
    std::fputs("usage: codec-probe decode|encode ENCODING\n", stderr);
    return 2;
  }
  const bool decode = std::strcmp(argv[1], "decode") == 0;
  std::string line;
  std::vector<std::uint8_t> out;
  int c;
  while ((c = std::getchar()) != EOF) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    const bool whole =
        decode ? Convert(encoding, kUtf8, line, &out) : Convert(kUtf8, encoding, line, &out);
    if (!whole) {
      std::fputs("-", stdout);
    } else if (decode) {
      std::fwrite(out.data(), 1, out.size(), stdout);
    } else {
      for (std::uint8_t b : out) std::printf("%02x", b);
    }
    std::fputc('\n', stdout);
    line.clear();
  }
  return 0;
}
