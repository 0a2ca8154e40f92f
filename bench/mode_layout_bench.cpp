// Laying out a novel-like Chinese text in each reading mode at the native
// reader's default width of 720 pixels (99 columns), through the view's
// relayout as Open runs it and the rest of the layout the timer's slices
// would do. The two modes with the Line index hold 32,768 display lines, so
// every mode lays out the same text of that many lines ("Fits"); the modes
// through Unicode also lay out a text of 8 million characters ("Long").
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "bench/novel_text.h"
#include "conversion/big5_map.h"
#include "conversion/reading_mode.h"
#include "display/view.h"
#include "document/line_index.h"
#include "document/state.h"
#include "platform/platform.h"

namespace {

constexpr int kClientWidth = 720;
constexpr int kClientHeight = 540;
constexpr int kColumns = (kClientWidth - 27) / 7;

const std::u32string& FittingText() {
  static const std::u32string text = NovelText(SIZE_MAX, 32768, kColumns);
  return text;
}

const std::u32string& LongText() {
  static const std::u32string text = NovelText(8u << 20, LONG_MAX, kColumns);
  return text;
}

void LayOut(benchmark::State& state, const BenchMode& mode, const std::u32string& text,
            const std::string& name) {
  StartFreshProcess();
  std::int64_t size;
  {
    const Bytes content = EncodeNovel(text, mode);
    size = static_cast<std::int64_t>(content.size());
    const std::string path = ScratchFile(name, content);
    const bool opened = OpenDocumentFile(path);
    // The open file stays readable; the scratch folder need not hold every text at once.
    std::remove(path.c_str());
    if (!opened) {
      state.SkipWithError("cannot open the document");
      return;
    }
  }
  if (mode.big5) {
    if (!LoadBig5Map()) {
      state.SkipWithError("cannot load the BIG5 map");
      return;
    }
    big5Mode = 1;
  }
  SetTextMode(mode.mode);
  ApplyClientSize(kSizeRestored, kClientWidth, kClientHeight);
  FinishLayout();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    Relayout(true, RelayoutTop::kDocumentStart);
    FinishLayout();
    bytes += ReadsThroughUnicode() ? size : LineStartOffset(lastLine + 1);
  }
  state.SetBytesProcessed(bytes);
  state.counters["file_MB"] = static_cast<double>(size) / (1 << 20);
  state.counters["columns"] = view.columns;
  state.counters["lines"] = lastLine + 1;
  state.counters["truncated"] = truncated;
  state.counters["chars_per_second"] =
      benchmark::Counter(static_cast<double>(text.size()) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

const int registered = [] {
  for (const BenchMode& m : kBenchModes) {
    const BenchMode* mode = &m;
    const std::string fits = std::string("BM_Layout") + m.key + "/Fits";
    benchmark::RegisterBenchmark(fits.c_str(), [mode](benchmark::State& state) {
      LayOut(state, *mode, FittingText(), std::string("fits.") + mode->key);
    })->Unit(benchmark::kMillisecond);
  }
  for (const BenchMode& m : kBenchModes) {
    if (m.mode == kGb2312) continue;
    const BenchMode* mode = &m;
    const std::string name = std::string("BM_Layout") + m.key + "/Long";
    benchmark::RegisterBenchmark(name.c_str(), [mode](benchmark::State& state) {
      LayOut(state, *mode, LongText(), std::string("long.") + mode->key);
    })->Unit(benchmark::kMillisecond);
  }
  return 0;
}();

}  // namespace
