#include "bench/bench_support.h"

#include <random>

// The scratch folder of the whole run, removed when the process ends.
static ScratchFolder& Folder() {
  static ScratchFolder folder;
  return folder;
}

Bytes GbText(std::size_t maxBytes, int columns) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> lineLength(40, 120);
  std::uniform_int_distribution<int> lead(0xB0, 0xD7), trail(0xA1, 0xF9), ascii(0x20, 0x7E);
  std::uniform_int_distribution<int> percent(0, 99);
  Bytes text;
  long displayLines = 0;
  for (;;) {
    const int length = lineLength(random);  // CR LF included
    const long wraps = (length - 2 + columns - 1) / columns;
    // Leave one display line for the empty line after the final break.
    if (text.size() + length > maxBytes || displayLines + wraps + 1 > 32768) break;
    int written = 0;
    while (written < length - 2) {
      if (written + 2 <= length - 2 && percent(random) < 85) {
        text.push_back(static_cast<std::uint8_t>(lead(random)));
        text.push_back(static_cast<std::uint8_t>(trail(random)));
        written += 2;
      } else {
        text.push_back(static_cast<std::uint8_t>(ascii(random)));
        written += 1;
      }
    }
    text.push_back('\r');
    text.push_back('\n');
    displayLines += wraps;
  }
  return text;
}

std::string ScratchFolderPath() {
  return Folder().Root();
}

std::string ScratchFile(const std::string& name, const Bytes& content) {
  return Folder().Write(name, content);
}
