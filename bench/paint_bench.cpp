// Painting a 1,920 x 1,080 client area in the simulated window: a full page
// of GB2312 text, a full page of BIG5 text whose characters all lie in the
// table's walked section C, and the repaint after a one-line scroll.
#include <benchmark/benchmark.h>

#include <random>

#include "bench/bench_support.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "shell/texts.h"
#include "tests/fresh_process.h"

namespace {

// BIG5 characters from 0xC940 on, in lines of 40 to 120 bytes.
Bytes Big5SectionCText() {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> lead(0xC9, 0xF8), trail(0, 156), length(20, 60);
  Bytes text;
  while (text.size() < (1u << 20)) {
    for (int i = length(random); i > 0; --i) {
      const int t = trail(random);
      text.push_back(static_cast<std::uint8_t>(lead(random)));
      text.push_back(static_cast<std::uint8_t>(t < 63 ? 0x40 + t : 0x62 + t));
    }
    text.push_back('\r');
    text.push_back('\n');
  }
  return text;
}

// Starts the program in the sim on a document, with a 1,920 x 1,080 client area.
void StartOn(const std::string& name, const Bytes& content) {
  StartFreshProcess();
  SimMapDrive('C', ScratchFolderPath());
  ScratchFile(name, content);
  SimCreateKey(kLocalMachine, kPositionKey);
  SimSetMonitors({PixelRect{0, 0, 2560, 1440}});
  RunProgram("tavelo.exe C:\\" + name);
  SimResizeClient(1920, 1080);
  SimRunUntilIdle();
}

void FullRepaint(benchmark::State& state, const std::string& name, const Bytes& content) {
  StartOn(name, content);
  const int before = simPaint.cellsCopied;
  for (auto _ : state) {
    InvalidateClient();
    SimRunUntilIdle();
  }
  state.counters["cells_per_second"] = benchmark::Counter(
      static_cast<double>(simPaint.cellsCopied - before), benchmark::Counter::kIsRate);
  state.counters["cells_per_page"] =
      static_cast<double>(simPaint.cellsCopied - before) / static_cast<double>(state.iterations());
}

void BM_FullRepaintGb(benchmark::State& state) {
  FullRepaint(state, "page.gb", GbText(1u << 20, 270));
}
BENCHMARK(BM_FullRepaintGb)->Unit(benchmark::kMillisecond);

void BM_FullRepaintBig5SectionC(benchmark::State& state) {
  FullRepaint(state, "page.b5", Big5SectionCText());
}
BENCHMARK(BM_FullRepaintBig5SectionC)->Unit(benchmark::kMillisecond);

void BM_OneLineScroll(benchmark::State& state) {
  StartOn("scroll.gb", GbText(1u << 20, 270));
  bool down = true;
  for (auto _ : state) {
    SimPressKey(down ? kKeyDown : kKeyUp);
    SimRunUntilIdle();
    down = !down;
  }
}
BENCHMARK(BM_OneLineScroll)->Unit(benchmark::kMicrosecond);

}  // namespace
