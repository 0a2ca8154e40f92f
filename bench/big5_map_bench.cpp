// Big5ToGb per section: the mean over every position of the section, and the
// worst case, its last position (the longest walk of a flagged section).
#include <benchmark/benchmark.h>

#include "conversion/big5_map.h"

namespace {

struct Section {
  int first;  // code positions first..last
  int last;
};
const Section kSections[] = {{0, 470}, {471, 5871}, {5872, 13972}};

void Lookup(int n) {
  const int t = n % 157;
  int row, cell;
  Big5ToGb(0xA1 + n / 157, t < 63 ? 0x40 + t : 0x62 + t, row, cell);
  benchmark::DoNotOptimize(row);
  benchmark::DoNotOptimize(cell);
}

void EnsureLoaded() {
  static const bool loaded = LoadBig5Map();
  (void)loaded;
}

void BM_Big5ToGbMean(benchmark::State& state) {
  EnsureLoaded();
  const Section& s = kSections[state.range(0)];
  for (auto _ : state) {
    for (int n = s.first; n <= s.last; ++n) Lookup(n);
  }
  // Reported per lookup: one iteration is every position of the section.
  state.SetItemsProcessed(state.iterations() * (s.last - s.first + 1));
  state.counters["ns_per_lookup"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * (s.last - s.first + 1),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Big5ToGbMean)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_Big5ToGbWorst(benchmark::State& state) {
  EnsureLoaded();
  const Section& s = kSections[state.range(0)];
  for (auto _ : state) Lookup(s.last);
}
BENCHMARK(BM_Big5ToGbWorst)->DenseRange(0, 2);

}  // namespace
