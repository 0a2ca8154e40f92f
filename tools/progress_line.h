// The line that shows how far a long conversion has come, on standard error
// when it is a terminal: drawn once an input has passed kProgressFrom bytes,
// redrawn a few times a second over itself, and erased when the file is done.
#pragma once

#include <chrono>
#include <cstdint>

#include "conversion/block_driver.h"

// Smaller inputs are done before a line would be worth reading.
constexpr std::int64_t kProgressFrom = std::int64_t{64} << 20;

struct ProgressLine {
  const char* name = nullptr;
  std::int64_t total = -1;  // the input's size, -1 for a stream
  int shownWidth = 0;       // characters on the terminal now, 0 while none
  std::chrono::steady_clock::time_point lastDrawn;
  BlockProgress progress{};  // what the run is given, drawing this line
};

// The progress of a run over the file name of total bytes (-1: unknown), or
// null when standard error is not a terminal.
const BlockProgress* StartProgress(ProgressLine* line, const char* name, std::int64_t total);

// Erases the line if it was drawn.
void EndProgress(ProgressLine* line);
