// What the parts of the POSIX side share among themselves.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// Takes an open descriptor into the table of files; its handle.
FileHandle AdoptDescriptor(int fd, bool writing);

// Closes a file without writing what is still buffered for it.
void CloseUnwritten(FileHandle file);

// A loaded bitmap resource, behind its handle: 1-bit, bottom-up rows, most
// significant bit leftmost, 1 = white.
struct Bitmap {
  int width = 0;
  int height = 0;
  int rowBytes = 0;
  std::vector<std::uint8_t> pixels;
};
