// The client surface of the simulated window: its pixels, the invalid
// region (kept as a bounding box, like the rcPaint that BeginPaint gives),
// scrolling, and the cell copies from the glyph atlas.
#include <algorithm>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"

SimPaintCounters simPaint;
std::vector<PixelRect> simInversions;

namespace {

int surfaceWidth = 0;
int surfaceHeight = 0;
std::vector<std::uint8_t> pixels;  // 0 black, 255 white
bool invalid = false;
bool erase = false;
PixelRect invalidRect{};
bool painting = false;
PixelRect clip{};  // where the paint in progress may draw

constexpr std::uint8_t kWhite = 255;
constexpr std::uint8_t kBlack = 0;

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  return PixelRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const PixelRect& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

PixelRect Client() {
  return PixelRect{0, 0, surfaceWidth, surfaceHeight};
}

// Adds a rectangle to the invalid region, to be erased before it is painted.
void Invalidate(const PixelRect& rect) {
  const PixelRect r = Intersect(rect, Client());
  if (IsEmpty(r)) return;
  if (!invalid) {
    invalidRect = r;
  } else {
    invalidRect =
        PixelRect{std::min(invalidRect.left, r.left), std::min(invalidRect.top, r.top),
                  std::max(invalidRect.right, r.right), std::max(invalidRect.bottom, r.bottom)};
  }
  invalid = true;
  erase = true;
}

void Fill(const PixelRect& rect, std::uint8_t value) {
  const PixelRect r = Intersect(rect, Client());
  for (int y = r.top; y < r.bottom; ++y) {
    std::fill(pixels.begin() + y * surfaceWidth + r.left,
              pixels.begin() + y * surfaceWidth + r.right, value);
  }
}

}  // namespace

void SimResetSurface() {
  surfaceWidth = surfaceHeight = 0;
  pixels.clear();
  invalid = erase = painting = false;
  simPaint = SimPaintCounters{};
  simInversions.clear();
}

void SimResizeSurface(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == surfaceWidth && height == surfaceHeight) return;
  std::vector<std::uint8_t> resized(static_cast<std::size_t>(width) * height, kWhite);
  for (int y = 0; y < std::min(height, surfaceHeight); ++y) {
    for (int x = 0; x < std::min(width, surfaceWidth); ++x) {
      resized[y * width + x] = pixels[y * surfaceWidth + x];
    }
  }
  const bool widthChanged = width != surfaceWidth;
  const int oldHeight = surfaceHeight;
  pixels.swap(resized);
  surfaceWidth = width;
  surfaceHeight = height;
  if (invalid) invalidRect = Intersect(invalidRect, Client());
  if (invalid && IsEmpty(invalidRect)) invalid = false;
  if (widthChanged) {
    Invalidate(Client());
  } else if (height > oldHeight) {
    Invalidate(PixelRect{0, oldHeight, width, height});
  }
}

void SimValidateAll() {
  invalid = erase = false;
}

std::uint8_t SimPixel(int x, int y) {
  if (x < 0 || y < 0 || x >= surfaceWidth || y >= surfaceHeight) return kWhite;
  return pixels[y * surfaceWidth + x];
}

const std::vector<std::uint8_t>& SimSurface() {
  return pixels;
}

bool SimInvalid() {
  return invalid;
}

PixelRect SimInvalidRect() {
  return invalid ? invalidRect : PixelRect{0, 0, 0, 0};
}

void SimInvalidateRect(const PixelRect& rect) {
  Invalidate(rect);
}

void InvalidateClient() {
  ++simPaint.invalidations;
  Invalidate(Client());
}

void ScrollClient(int dy) {
  simPaint.scrolls.push_back(dy);
  if (dy == 0 || surfaceHeight == 0) return;
  std::vector<std::uint8_t> moved(pixels.size(), kWhite);
  for (int y = 0; y < surfaceHeight; ++y) {
    const int from = y - dy;
    if (from >= 0 && from < surfaceHeight) {
      std::copy(pixels.begin() + from * surfaceWidth, pixels.begin() + (from + 1) * surfaceWidth,
                moved.begin() + y * surfaceWidth);
    }
  }
  pixels.swap(moved);
  // What waited for a paint moves with the pixels; the uncovered strip joins it.
  if (invalid) {
    invalidRect.top += dy;
    invalidRect.bottom += dy;
    invalidRect = Intersect(invalidRect, Client());
    if (IsEmpty(invalidRect)) invalid = false;
  }
  if (dy > 0) {
    Invalidate(PixelRect{0, 0, surfaceWidth, dy});
  } else {
    Invalidate(PixelRect{0, surfaceHeight + dy, surfaceWidth, surfaceHeight});
  }
}

PaintTarget BeginWindowPaint(PixelRect* update) {
  ++simPaint.paints;
  *update = invalid ? invalidRect : PixelRect{0, 0, 0, 0};
  if (invalid && erase) Fill(invalidRect, kWhite);
  clip = *update;
  invalid = erase = false;
  painting = true;
  simPaint.paintRects.push_back(*update);
  return 1;
}

void EndWindowPaint(PaintTarget) {
  painting = false;
}

CellSource SelectAtlas(PaintTarget, BitmapHandle atlas) {
  ++simPaint.atlasSelected;
  return atlas;
}

void InvertPixels(PaintTarget, const PixelRect& rect) {
  simInversions.push_back(rect);
  const PixelRect r = Intersect(rect, painting ? Intersect(clip, Client()) : Client());
  for (int py = r.top; py < r.bottom; ++py) {
    for (int px = r.left; px < r.right; ++px) {
      std::uint8_t& pixel = pixels[py * surfaceWidth + px];
      pixel = static_cast<std::uint8_t>(kWhite - pixel);
    }
  }
}

void ReleaseAtlas(CellSource) {
  --simPaint.atlasSelected;
}

void CopyCell(PaintTarget, CellSource source, int x, int y, int sourceX, int sourceY, int width,
              int height, int zoom) {
  ++simPaint.cellsCopied;
  simPaint.copies.push_back(SimCellCopy{x, y, sourceX, sourceY, width, height});
  const PixelRect cell{x, y, x + width * zoom, y + height * zoom};
  if (IsEmpty(Intersect(cell, Client()))) ++simPaint.copiesOutside;
  const SimBitmap* atlas = SimFindBitmap(source);
  if (atlas == nullptr) return;
  // Drawing outside the update region is clipped away, as on Win32.
  const PixelRect r = Intersect(cell, painting ? Intersect(clip, Client()) : Client());
  for (int py = r.top; py < r.bottom; ++py) {
    const int ay = sourceY + (py - y) / zoom;
    if (ay < 0 || ay >= atlas->height) continue;
    const std::uint8_t* row =
        &atlas->pixels[static_cast<std::size_t>(atlas->height - 1 - ay) * atlas->rowBytes];
    for (int px = r.left; px < r.right; ++px) {
      const int ax = sourceX + (px - x) / zoom;
      if (ax < 0 || ax >= atlas->width) continue;
      const bool paper = (row[ax / 8] >> (7 - ax % 8)) & 1;
      pixels[py * surfaceWidth + px] = paper ? kWhite : kBlack;
    }
  }
}
