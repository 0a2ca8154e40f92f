// find_bench: Find over a whole document, timed, on the tools' POSIX side
// (the program's own search, as Ctrl+F and F3 run it):
//
//   find_bench --encoding NAME FILE TEXT...
//
// For each TEXT (UTF-8 on the command line, as the Find dialog would hand
// it over in UTF-16): the first place from the top, the next after it, the
// last before the end (Shift+F3 from the end) and, for a text that stands
// nowhere, the whole document read through once. One line each on standard
// output: milliseconds and the document's megabytes a second.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/novel_text.h"
#include "conversion/reading_mode.h"
#include "document/find_text.h"
#include "document/range_text.h"
#include "document/state.h"
#include "encoding/transcode.h"
#include "tools/tool_files.h"

const char* const kToolName = "find_bench";

namespace {

using Clock = std::chrono::steady_clock;

// The UTF-8 of the command line as the dialog's UTF-16.
std::u16string Utf16Of(const std::string& utf8) {
  Transcoding t = StartTranscoding(kUtf8, kUtf8, kReplaceUnconvertible);
  std::vector<char32_t> points(utf8.size());
  const CodecResult r = DecodeToCodePoints(&t, reinterpret_cast<const std::uint8_t*>(utf8.data()),
                                           utf8.size(), true, points.data());
  std::u16string text;
  for (std::size_t i = 0; i < r.written; ++i) AppendUtf16(points[i], &text);
  return text;
}

void Time(const char* what, const std::string& shown, const std::u16string& text, std::int32_t from,
          bool forward, double megabytes, FoundText* found) {
  const auto start = Clock::now();
  const bool any = FindText(text, from, forward, found);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf("%-28s %-12s %s at %-11ld %9.1f ms  %7.0f MB/s of the document\n", what,
              shown.c_str(), any ? "found" : "none ", any ? static_cast<long>(found->start) : -1L,
              ms, megabytes / (ms / 1000));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || std::string(argv[1]) != "--encoding" || FindBenchMode(argv[2]) == nullptr) {
    std::fprintf(stderr, "usage: find_bench --encoding NAME FILE TEXT...\n");
    return 2;
  }
  const BenchMode* mode = FindBenchMode(argv[2]);
  if (!OpenDocument(argv[3])) return 1;
  big5Mode = mode->big5 ? 1 : 0;
  SetTextMode(mode->mode);
  const std::int32_t size = SearchableBytes();
  const double megabytes = size / 1048576.0;
  std::printf("document=%s bytes=%ld mode=%s\n", argv[3], static_cast<long>(size), mode->name);
  for (int i = 4; i < argc; ++i) {
    const std::u16string text = Utf16Of(argv[i]);
    FoundText found{0, 0};
    Time("first from the top", argv[i], text, 0, true, megabytes, &found);
    Time("the next after it", argv[i], text, found.end, true, megabytes, &found);
    Time("the last, from the end back", argv[i], text, size, false, megabytes, &found);
  }
  return 0;
}
