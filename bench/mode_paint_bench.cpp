// Painting a 1,920 x 1,080 client area in the simulated window in each
// reading mode, on a page of a novel-like text about 10,000 display lines
// down: the full repaint, and Page Down or Page Up there with its repaint.
// The document is opened by the program's Open and its mode chosen from the
// menu, so the layout, the view and the painter are the program's own.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_support.h"
#include "bench/novel_text.h"
#include "display/state.h"
#include "document/state.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/texts.h"
#include "tests/fresh_process.h"

namespace {

constexpr int kTopLine = 10000;

// 253 columns (the most there are) at 1,920 pixels: a text that the Line
// index holds whole there, so that every mode shows the same page.
const std::u32string& PageText() {
  static const std::u32string text = NovelText(SIZE_MAX, 32000, 253);
  return text;
}

int MenuCommandOf(const BenchMode& mode) {
  if (mode.big5) return CMD_BIG5;
  switch (mode.mode) {
    case kGb18030: return CMD_MODE_GB18030;
    case kBig5: return CMD_MODE_BIG5;
    case kBig5Hkscs: return CMD_MODE_BIG5_HKSCS;
    case kUtf8: return CMD_MODE_UTF8;
    case kUtf16: return CMD_MODE_UTF16;
    case kHz: return CMD_MODE_HZ;
    default: return 0;
  }
}

// Starts the program on the text in mode with a 1,920 x 1,080 client area,
// lets the layout run to its end and pages down to line 10,000 or the last page.
void StartDeepIn(const BenchMode& mode) {
  StartFreshProcess();
  SimMapDrive('C', ScratchFolderPath());
  const std::string name = std::string("page.") + mode.key + ".txt";
  ScratchFile(name, EncodeNovel(PageText(), mode));
  SimCreateKey(kLocalMachine, kPositionKey);
  SimSetMonitors({PixelRect{0, 0, 2560, 1440}});
  RunProgram("tavelo.exe C:\\" + name);
  SimResizeClient(1920, 1080);
  SimRunUntilIdle();
  if (const int command = MenuCommandOf(mode)) {
    SimChooseCommand(command);
    SimRunUntilIdle();
  }
  while (view.topLine < kTopLine && view.topLine < view.maxTopLine) {
    SimPressKey(kKeyPageDown);
    SimRunUntilIdle();
  }
  simPaint.copies.clear();
}

void Report(benchmark::State& state, int cellsBefore) {
  const double cells = static_cast<double>(simPaint.cellsCopied - cellsBefore);
  state.counters["cells_per_page"] = cells / static_cast<double>(state.iterations());
  state.counters["top_line"] = view.topLine;
  state.counters["lines"] = lastLine + 1;
  state.counters["columns"] = view.columns;
  state.counters["unicode"] = ReadsThroughUnicode();
  state.counters["truncated"] = truncated;
}

void FullRepaint(benchmark::State& state, const BenchMode& mode) {
  StartDeepIn(mode);
  const int before = simPaint.cellsCopied;
  for (auto _ : state) {
    InvalidateClient();
    SimRunUntilIdle();
    // The sim keeps every copy for the tests; a benchmark has no use for them.
    simPaint.copies.clear();
  }
  Report(state, before);
}

void PageDownAndUp(benchmark::State& state, const BenchMode& mode) {
  StartDeepIn(mode);
  const int before = simPaint.cellsCopied;
  bool down = true;
  for (auto _ : state) {
    SimPressKey(down ? kKeyPageDown : kKeyPageUp);
    SimRunUntilIdle();
    simPaint.copies.clear();
    down = !down;
  }
  Report(state, before);
}

const int registered = [] {
  for (const BenchMode& m : kBenchModes) {
    const BenchMode* mode = &m;
    benchmark::RegisterBenchmark((std::string("BM_FullRepaint") + m.key).c_str(),
                                 [mode](benchmark::State& state) { FullRepaint(state, *mode); })
        ->Unit(benchmark::kMillisecond);
  }
  for (const BenchMode& m : kBenchModes) {
    const BenchMode* mode = &m;
    benchmark::RegisterBenchmark((std::string("BM_PageDownUp") + m.key).c_str(),
                                 [mode](benchmark::State& state) { PageDownAndUp(state, *mode); })
        ->Unit(benchmark::kMillisecond);
  }
  return 0;
}();

}  // namespace
