// The off-screen page of the tools: the client area the painter sees, with
// the cells it copies from the glyph atlas. There is no window, so what would
// move a window's pixels, bar or cursor has nothing to act on: the tool asks
// for the whole page once the view is placed.
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/platform.h"
#include "platform/posix/posix.h"
#include "platform/posix/posix_internal.h"

namespace {

constexpr std::uint8_t kWhite = 255;
constexpr std::uint8_t kBlack = 0;

int pageWidth = 0;
int pageHeight = 0;
std::vector<std::uint8_t> page;  // row by row, pageWidth wide

}  // namespace

void SetPageSize(int width, int height) {
  pageWidth = std::max(width, 0);
  pageHeight = std::max(height, 0);
  page.assign(static_cast<std::size_t>(pageWidth) * pageHeight, kWhite);
}

const std::vector<std::uint8_t>& PagePixels() {
  return page;
}

PixelRect ClientRectangle() {
  return PixelRect{0, 0, pageWidth, pageHeight};
}

// The whole page, erased.
PaintTarget BeginWindowPaint(PixelRect* update) {
  std::fill(page.begin(), page.end(), kWhite);
  *update = ClientRectangle();
  return 1;
}

void EndWindowPaint(PaintTarget) {}

CellSource SelectAtlas(PaintTarget, BitmapHandle atlas) {
  return atlas;
}

void ReleaseAtlas(CellSource) {}

void CopyCell(PaintTarget, CellSource source, int x, int y, int sourceX, int sourceY, int width,
              int height, int zoom) {
  const Bitmap* atlas = reinterpret_cast<const Bitmap*>(source);
  if (atlas == nullptr) return;
  const int left = std::max(x, 0), right = std::min(x + width * zoom, pageWidth);
  const int top = std::max(y, 0), bottom = std::min(y + height * zoom, pageHeight);
  for (int py = top; py < bottom; ++py) {
    const int ay = sourceY + (py - y) / zoom;
    if (ay < 0 || ay >= atlas->height) continue;
    const std::uint8_t* row =
        &atlas->pixels[static_cast<std::size_t>(atlas->height - 1 - ay) * atlas->rowBytes];
    for (int px = left; px < right; ++px) {
      const int ax = sourceX + (px - x) / zoom;
      if (ax < 0 || ax >= atlas->width) continue;
      const bool paper = (row[ax / 8] >> (7 - ax % 8)) & 1;
      page[static_cast<std::size_t>(py) * pageWidth + px] = paper ? kWhite : kBlack;
    }
  }
}

void InvertPixels(PaintTarget, const PixelRect& rect) {
  for (int py = std::max(rect.top, 0); py < std::min(rect.bottom, pageHeight); ++py) {
    for (int px = std::max(rect.left, 0); px < std::min(rect.right, pageWidth); ++px) {
      std::uint8_t& pixel = page[static_cast<std::size_t>(py) * pageWidth + px];
      pixel = static_cast<std::uint8_t>(kWhite - pixel);
    }
  }
}

void SetScrollBar(int, int, int) {}
void ScrollClient(int) {}
void StartWindowTimer(unsigned, unsigned) {}
bool KeyIsDown(unsigned) {
  return false;
}
void StopWindowTimer(unsigned) {}
void InvalidateClient() {}
void ShowHourglass() {}
void ShowArrow() {}
void PostToWindow(unsigned, MessageParam, MessageData) {}
void SoundBeep(unsigned) {}
// The view's wheel handling is linked in with its scrolling; no wheel turns here.
unsigned WheelScrollLines() {
  return 3;
}
int DesktopScale() {
  return 1;
}

// A warning has no window to be shown in: it is the tool's one line on
// standard error.
int ShowMessageBox(const char* text, const char*, unsigned) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, text);
  return kAnswerOk;
}
