// Writing grey images as PNG files (libpng), for the native tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height grey pixels (row by row, 0 black, 255 white); false on failure.
bool WriteGreyPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& pixels);
