#include "tools/progress_line.h"

#include <cstdio>

#include "platform/posix/posix.h"
#include "tools/tool_files.h"

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

void Draw(std::int64_t bytesRead, void* context) {
  ProgressLine& line = *static_cast<ProgressLine*>(context);
  if (bytesRead < kProgressFrom) return;
  const auto now = std::chrono::steady_clock::now();
  if (line.shownWidth > 0 && now - line.lastDrawn < kRedrawEvery) return;
  line.lastDrawn = now;
  const long long megabytes = static_cast<long long>(bytesRead >> 20);
  int width;
  if (line.total > 0) {
    width = std::fprintf(stderr, "\r%s: %s: %lld MB of %lld MB", kToolName, line.name, megabytes,
                         static_cast<long long>(line.total >> 20)) -
            1;
  } else {
    width = std::fprintf(stderr, "\r%s: %s: %lld MB", kToolName, line.name, megabytes) - 1;
  }
  // A shorter line than the last (a name's width never changes, a count's
  // hardly) leaves nothing of the old one behind.
  for (int i = width; i < line.shownWidth; ++i) std::fputc(' ', stderr);
  if (width > line.shownWidth) line.shownWidth = width;
  std::fflush(stderr);
}

}  // namespace

const BlockProgress* StartProgress(ProgressLine* line, const char* name, std::int64_t total) {
  if (!StandardErrorIsTerminal()) return nullptr;
  *line = ProgressLine{};
  line->name = name;
  line->total = total;
  line->progress = {Draw, line};
  return &line->progress;
}

void EndProgress(ProgressLine* line) {
  if (line->shownWidth == 0) return;
  std::fprintf(stderr, "\r%*s\r", line->shownWidth, "");
  std::fflush(stderr);
  line->shownWidth = 0;
}
