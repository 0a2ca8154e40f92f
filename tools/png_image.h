// Writing grey images as PNG files (libpng), for the native tools. libpng's
// own messages are kept back: a failure is only the result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// Writes width x height grey pixels (row by row, 0 black, 255 white) to a new
// file at path; false on failure.
bool WriteGreyPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& pixels);

// The same, through the platform's writes to an open file; false when the
// image could not be made or a write failed.
bool WriteGreyPngTo(FileHandle file, int width, int height,
                    const std::vector<std::uint8_t>& pixels);
