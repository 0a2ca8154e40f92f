// make_novel: writes a novel-like Chinese text of about BYTES bytes in a
// reader's mode, a paragraph at a time, so that a text of hundreds of
// megabytes never sits in memory.
//
//   make_novel [--encoding NAME] BYTES OUTPUT
//
// NAME as tavelo-render takes it (utf-8 by default); BYTES may end in K or M.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/novel_text.h"

int main(int argc, char** argv) {
  const BenchMode* mode = FindBenchMode("utf-8");
  int i = 1;
  if (argc > 2 && std::string(argv[1]) == "--encoding") {
    mode = FindBenchMode(argv[2]);
    i = 3;
  }
  if (mode == nullptr || argc - i != 2) {
    std::fprintf(stderr, "usage: make_novel [--encoding NAME] BYTES OUTPUT\n");
    return 2;
  }
  char* end = nullptr;
  long long size = std::strtoll(argv[i], &end, 10);
  if (*end == 'K' || *end == 'k') size <<= 10;
  if (*end == 'M' || *end == 'm') size <<= 20;
  std::FILE* out = std::fopen(argv[i + 1], "wb");
  if (out == nullptr) {
    std::perror(argv[i + 1]);
    return 1;
  }
  Novel novel(42);
  long long written = 0;
  for (bool first = true; written < size; first = false) {
    const std::vector<std::uint8_t> bytes = EncodeNovel(novel.NextParagraph(), *mode, first);
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
      std::perror(argv[i + 1]);
      return 1;
    }
    written += static_cast<long long>(bytes.size());
  }
  if (std::fclose(out) != 0) {
    std::perror(argv[i + 1]);
    return 1;
  }
  return 0;
}
