// Laying out a GB2312 text, beside reading the same file through the same
// 2,048-byte platform reads while touching every byte.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "display/view.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "platform/platform.h"

namespace {

// Wrapped 40..120-byte lines take up to two display lines at 80 columns, so
// the whole text fits the 32,768-line index at about 1.7 MB; the same file is
// used at 253 columns, where it takes one display line per text line.
const std::string& Document() {
  static const std::string path = ScratchFile("gb.txt", GbText(8u << 20, 80));
  return path;
}

void BM_BuildLineIndex(benchmark::State& state) {
  OpenDocumentFile(Document());
  view.columns = static_cast<int>(state.range(0));
  std::int64_t bytes = 0;
  for (auto _ : state) {
    truncated = BuildLineIndex(view.columns);
    bytes += LineStartOffset(lastLine + 1);
  }
  state.counters["lines"] = lastLine + 1;
  state.counters["truncated"] = truncated;
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_BuildLineIndex)->Arg(80)->Arg(253)->Unit(benchmark::kMillisecond);

void BM_ReadEveryByteInBlocks(benchmark::State& state) {
  OpenDocumentFile(Document());
  static std::uint8_t block[2048];
  std::int64_t bytes = 0;
  for (auto _ : state) {
    SeekFile(documentHandle, 0);
    unsigned sum = 0;
    std::int32_t got;
    while ((got = ReadFromFile(documentHandle, block, sizeof block)) > 0) {
      for (std::int32_t i = 0; i < got; ++i) sum += block[i];
      bytes += got;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadEveryByteInBlocks)->Unit(benchmark::kMillisecond);

}  // namespace
