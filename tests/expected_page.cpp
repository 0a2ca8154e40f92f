#include "tests/expected_page.h"

#include "conversion/big5_map.h"
#include "tools/png_image.h"

namespace {

struct Cell {
  int col;
  bool wide;
  int first;   // the byte, or a pair's lead
  int second;  // a pair's trail
};

// Display lines as lists of cells, by the layout rules.
std::vector<std::vector<Cell>> LayOut(const Bytes& d, int columns, bool big5) {
  const int leadTop = big5 ? 0xF9 : 0xF7;
  auto lead = [&](int b) { return b >= 0xA1 && b <= leadTop; };
  auto trail = [&](int b) { return (b >= 0xA1 && b <= 0xFE) || (big5 && b >= 0x40 && b <= 0x7E); };
  std::vector<std::vector<Cell>> lines(1);
  int col = 0, phase = 0;
  auto wrap = [&] {
    lines.emplace_back();
    col = 0;
  };
  for (std::size_t i = 0; i < d.size() && lines.size() <= 32768;) {
    const int b = d[i];
    if (b == 13 || b == 10) {
      i += (b == 13 && i + 1 < d.size() && d[i + 1] == 10) ? 2 : 1;
      phase = 0;
      wrap();
      continue;
    }
    if (col == columns) wrap();
    if (b == 9) {
      int spaces = 8 - phase;
      while (col + spaces > columns) {
        spaces -= columns - col;
        phase = (phase + columns - col) % 8;
        wrap();
      }
      col += spaces;
      phase = 0;
      ++i;
      continue;
    }
    const bool pair = lead(b) && i + 1 < d.size() && trail(d[i + 1]);
    const int width = pair ? 2 : 1;
    if (col + width > columns) wrap();
    lines.back().push_back(Cell{col, pair, b, pair ? d[i + 1] : 0});
    col += width;
    phase = (phase + width) % 8;
    i += width;
  }
  return lines;
}

// The atlas as stored in the committed file: bit (x, y) from the top left, 1 = paper.
struct AtlasFile {
  Bytes file;
  AtlasFile() : file(ReadWholeFile(std::string(TAVELO_SOURCE_FOLDER) + "/resources/font.bmp")) {}
  bool Paper(int x, int y) const {
    const std::size_t at = 62 + static_cast<std::size_t>(1039 - y) * 156 + x / 8;
    return (file[at] >> (7 - x % 8)) & 1;
  }
};

// Where a cell's image sits in the atlas.
void Origin(const Cell& c, bool big5, int& x, int& y) {
  if (!c.wide) {
    const int k = (c.first >= 32 && c.first <= 126 ? c.first : 127) - 32;
    x = 1222 + 7 * (k % 3);
    y = 624 + 13 * (k / 3);
    return;
  }
  int row = c.first - 0xA1, cell = c.second - 0xA1;
  if (big5) Big5ToGb(c.first, c.second, row, cell);
  if (row >= 9 && row <= 14) {
    x = 1222;
    y = 611;
  } else if (row == 86) {
    x = 13 * (94 + cell % 2);
    y = 13 * (cell / 2);
  } else {
    x = 13 * cell;
    y = 13 * (row >= 15 ? row - 6 : row);
  }
}

}  // namespace

Bytes ExpectedPage(const PageRequest& request) {
  if (request.zoom > 1) {
    // The page at zoom 1 over every page pixel the client touches, each
    // pixel then drawn as a square.
    const int z = request.zoom;
    PageRequest plain = request;
    plain.zoom = 1;
    plain.width = (request.width + z - 1) / z;
    plain.height = (request.height + z - 1) / z;
    const Bytes small = ExpectedPage(plain);
    Bytes page(static_cast<std::size_t>(request.width) * request.height);
    for (int y = 0; y < request.height; ++y) {
      for (int x = 0; x < request.width; ++x) {
        page[y * request.width + x] = small[(y / z) * plain.width + x / z];
      }
    }
    return page;
  }
  static const AtlasFile atlas;
  Bytes page(static_cast<std::size_t>(request.width) * request.height, 255);
  const auto lines = LayOut(request.document, request.columns, request.big5);
  for (std::size_t k = request.topLine; k < lines.size(); ++k) {
    const int top = 5 + 18 * static_cast<int>(k - request.topLine);
    if (top >= request.height) break;
    for (const Cell& c : lines[k]) {
      int ax, ay;
      Origin(c, request.big5, ax, ay);
      const int left = 15 + 7 * c.col;
      for (int dy = 0; dy < 13; ++dy) {
        for (int dx = 0; dx < (c.wide ? 13 : 7); ++dx) {
          const int x = left + dx, y = top + dy;
          if (x >= request.width || y >= request.height) continue;
          page[y * request.width + x] = atlas.Paper(ax + dx, ay + dy) ? 255 : 0;
        }
      }
    }
  }
  return page;
}

int DifferingPixels(const Bytes& expected, const Bytes& actual, int width, int height,
                    const std::string& label) {
  if (expected.size() != actual.size()) return -1;
  int differing = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) differing += expected[i] != actual[i];
  if (differing > 0) {
    WriteGreyPng(label + "-expected.png", width, height, expected);
    WriteGreyPng(label + "-actual.png", width, height, actual);
  }
  return differing;
}
