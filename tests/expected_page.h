// What the window should show, worked out independently of the painter:
// the bytes are laid out by the layout rules, and each character's cell is
// copied from the atlas file on disk to its place on a white page.
#pragma once

#include <string>

#include "tests/test_support.h"

struct PageRequest {
  Bytes document;
  int columns = 0;
  bool big5 = false;  // BIG5 pairs are looked up with the loaded BIG5 table
  int topLine = 0;
  int width = 0;  // client size in pixels
  int height = 0;
  int zoom = 1;  // each page pixel a zoom x zoom square of the client area
};

// The client area's pixels, row by row: 0 black, 255 white.
Bytes ExpectedPage(const PageRequest& request);

// Pixels that differ between two pages of the same size; on a difference both
// pages are written as PNG files named after label into the build folder.
int DifferingPixels(const Bytes& expected, const Bytes& actual, int width, int height,
                    const std::string& label);
