// first_page_bench: what the native reader does when it opens a document,
// timed, on the tools' POSIX side (the program's own layout, view and
// painter; an off-screen page in place of the window):
//
//   first_page_bench [--encoding NAME | --encoding auto] [--size WxH] FILE
//
// The atlases load as at window creation; then, on the clock, the document
// opens, its mode is picked (detection by default, as the native reader does
// at first), the size handler lays out the first page and the page is
// painted: the time to the first page. Then the timer's slices lay out the
// rest, one ContinueLayout each, as the window's timer would run them: the
// whole layout's time and the longest slice (the window does not answer
// during one). Last, the page half-way down is shown and painted. Peak
// memory is the process's maximum resident set (getrusage). One "key=value"
// a line on standard output.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/novel_text.h"
#include "conversion/big5_map.h"
#include "conversion/reading_mode.h"
#include "display/page_painter.h"
#include "display/view.h"
#include "document/line_table.h"
#include "document/state.h"
#include "platform/platform.h"
#include "shell/texts.h"
#include "tools/tool_files.h"

const char* const kToolName = "first_page_bench";

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':') {
      return std::stol(line.substr(n + 1));
    }
  }
  return -1;
}

void PaintWholePage() {
  PixelRect update;
  const PaintTarget target = BeginWindowPaint(&update);
  PaintPage(target, update);
  EndWindowPaint(target);
}

const char* ModeName(const BenchMode* chosen) {
  if (chosen != nullptr) return chosen->name;
  for (const BenchMode& m : kBenchModes) {
    if (!m.big5 && m.mode == textMode) return m.name;
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  const BenchMode* mode = nullptr;  // null: detection picks
  int width = 720, height = 540;
  int i = 1;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    if (std::strcmp(argv[i], "--encoding") == 0) {
      mode = std::strcmp(argv[i + 1], "auto") == 0 ? nullptr : FindBenchMode(argv[i + 1]);
      if (mode == nullptr && std::strcmp(argv[i + 1], "auto") != 0) break;
    } else if (std::strcmp(argv[i], "--size") != 0 ||
               std::sscanf(argv[i + 1], "%dx%d", &width, &height) != 2) {
      break;
    }
  }
  if (argc - i != 1) {
    std::fprintf(stderr, "usage: first_page_bench [--encoding NAME|auto] [--size WxH] FILE\n");
    return 2;
  }
  const char* input = argv[i];

  const Clock::time_point created = Clock::now();
  atlasBitmap = LoadBitmapResource(kFontBitmapName);
  glyphsBitmap = LoadBitmapResource(kGlyphsBitmapName);
  if (atlasBitmap == 0 || glyphsBitmap == 0) return ReportFailure(input, "cannot load the atlases");
  SetPageSize(width, height);
  const double atlasMs = MillisecondsSince(created);
  const long rssBeforeOpen = PeakRssKb();

  const Clock::time_point opened = Clock::now();
  if (!OpenDocument(input)) return 1;
  if (mode != nullptr && mode->big5) {
    if (!LoadBig5Map()) return 1;
    big5Mode = 1;
  }
  SetTextMode(mode != nullptr ? mode->mode : DetectReadingMode());
  ApplyClientSize(kSizeRestored, width, height);
  PaintWholePage();
  const double firstPageMs = MillisecondsSince(opened);
  const int linesAtFirstPage = lastLine + 1;
  const long rssFirstPage = PeakRssKb();

  int slices = 0;
  double longestSliceMs = 0;
  while (ReadsThroughUnicode() && !LineTableDone()) {
    const Clock::time_point slice = Clock::now();
    ContinueLayout();
    const double ms = MillisecondsSince(slice);
    if (ms > longestSliceMs) longestSliceMs = ms;
    ++slices;
  }
  const double layoutMs = MillisecondsSince(opened);

  const Clock::time_point jumped = Clock::now();
  ScrollLinesDown(view.maxTopLine / 2 - view.topLine);
  UpdateScrollBar();
  PaintWholePage();
  const double middlePageMs = MillisecondsSince(jumped);

  const Clock::time_point repainted = Clock::now();
  PaintWholePage();
  const double repaintMs = MillisecondsSince(repainted);

  if (!DocumentReadWhole(input)) return 1;
  std::FILE* file = std::fopen(input, "rb");
  std::fseek(file, 0, SEEK_END);
  const long bytes = std::ftell(file);
  std::fclose(file);

  std::printf("file=%s\nbytes=%ld\nmode=%s\nclient=%dx%d\ncolumns=%d\n", input, bytes,
              ModeName(mode), width, height, view.columns);
  std::printf("atlas_load_ms=%.2f\n", atlasMs);
  std::printf("open_to_first_page_ms=%.2f\nlines_at_first_page=%d\n", firstPageMs,
              linesAtFirstPage);
  std::printf(
      "open_to_layout_done_ms=%.1f\nlayout_MB_per_s=%.1f\nslices=%d\nlongest_slice_ms=%.1f\n",
      layoutMs, static_cast<double>(bytes) / (1 << 20) / (layoutMs / 1000), slices, longestSliceMs);
  std::printf("lines=%d\ntruncated=%d\nline_table_places=%zu\n", lastLine + 1, truncated,
              lineTable.places.size());
  std::printf("middle_page_line=%d\nmiddle_page_ms=%.2f\nrepaint_ms=%.2f\n", view.topLine,
              middlePageMs, repaintMs);
  std::printf("peak_rss_before_open_kb=%ld\npeak_rss_at_first_page_kb=%ld\npeak_rss_kb=%ld\n",
              rssBeforeOpen, rssFirstPage, PeakRssKb());
  std::printf("vm_hwm_kb=%ld\nvm_rss_kb=%ld\n", StatusKb("VmHWM"), StatusKb("VmRSS"));
  return 0;
}
