// Draws a sample of the glyph atlas into a PNG so that a person can look at
// the font: a mixed line of hanzi and ASCII on one baseline, the symbol rows,
// the first hanzi rows, the folded last row and the placeholders, enlarged.
//
// Usage: atlas-sample OUTPUT.png
#include <cstdio>
#include <string>
#include <vector>

#include "display/glyph_atlas.h"
#include "platform/platform.h"
#include "shell/texts.h"
#include "tools/png_image.h"

namespace {

constexpr int kScale = 3;
constexpr int kWidth = 1248;
constexpr int kHeight = 1040;

std::vector<std::uint8_t> atlasBits(156 * kHeight);

bool Paper(int x, int y) {
  return (atlasBits[(kHeight - 1 - y) * 156 + x / 8] >> (7 - x % 8)) & 1;
}

struct Canvas {
  int width, height;
  std::vector<std::uint8_t> pixels;
  Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 255) {}
  // Copies an atlas rectangle to (x, y) of the canvas, enlarged.
  void Copy(int x, int y, int sx, int sy, int w, int h) {
    for (int dy = 0; dy < h * kScale; ++dy) {
      for (int dx = 0; dx < w * kScale; ++dx) {
        const int px = x + dx, py = y + dy;
        if (px >= width || py >= height) continue;
        pixels[py * width + px] = Paper(sx + dx / kScale, sy + dy / kScale) ? 255 : 0;
      }
    }
  }
};

// A line of GB2312 text (bytes) drawn cell by cell as the painter places it.
int DrawLine(Canvas& canvas, int y, const std::string& text) {
  int x = 10;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int b = static_cast<unsigned char>(text[i]);
    if (b >= 0xA1 && i + 1 < text.size()) {
      const CellOrigin o = WideCell(b - 0xA1, static_cast<unsigned char>(text[++i]) - 0xA1);
      canvas.Copy(x, y, o.x, o.y, 13, 13);
      x += 14 * kScale;
    } else {
      const CellOrigin o = NarrowCell(b);
      canvas.Copy(x, y, o.x, o.y, 7, 13);
      x += 7 * kScale;
    }
  }
  return y + 18 * kScale;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: atlas-sample OUTPUT.png\n");
    return 2;
  }
  const BitmapHandle atlas = LoadBitmapResource(kFontBitmapName);
  if (atlas == 0) {
    std::fprintf(stderr, "atlas-sample: cannot load the glyph atlas\n");
    return 1;
  }
  CopyBitmapPixels(atlas, kWidth, kHeight, atlasBits.data());
  DeleteBitmap(atlas);

  Canvas canvas(96 * 13 * kScale / 2 + 20, 1200);
  int y = 10;
  // "中文Text混排, Baseline: gpqy 汉字ABC123." and a line of box drawing.
  y = DrawLine(canvas, y,
               "\xD6\xD0\xCE\xC4Text\xBB\xEC\xC5\xC5\xA3\xAC Baseline: gpqy \xBA\xBA\xD7\xD6"
               "ABC123.");
  y = DrawLine(canvas, y,
               "\xA9\xB0\xA9\xA4\xA9\xD0\xA9\xA4\xA9\xB4 \x7F \xAA\xA1 \xA2\xD9\xA2\xDA\xA2\xDB");
  y += 10;
  // Atlas rows 0-1 (symbols), 9-10 (the first hanzi), the left half of each.
  const int rows[] = {0, 1, 7, 8, 9, 10, 79};
  for (int row : rows) {
    canvas.Copy(10, y, 0, row * 13, 47 * 13, 13);
    y += 15 * kScale;
  }
  // The folded last row's first cells and the placeholders column.
  canvas.Copy(10, y, 94 * 13, 0, 26, 13 * 8);
  canvas.Copy(10 + 40 * kScale, y, 94 * 13, 47 * 13, 26, 13);
  canvas.Copy(10 + 80 * kScale, y, 1222, 624, 21, 13 * 8);
  if (!WriteGreyPng(argv[1], canvas.width, y + 13 * 8 * kScale + 10, canvas.pixels)) {
    std::fprintf(stderr, "atlas-sample: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
