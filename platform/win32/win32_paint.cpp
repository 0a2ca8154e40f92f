// The client area on Win32: the vertical scroll bar, scrolling, invalidation
// and the bracketed paint that copies glyph cells out of the atlas.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

namespace {

PAINTSTRUCT paint;       // the paint in progress; BeginPaint fills it, EndPaint needs it back
HGDIOBJ atlasDisplaced;  // what the atlas pushed out of its memory DC, restored before DeleteDC

}  // namespace

void SetScrollBar(int maximum, int page, int position) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = static_cast<UINT>(page);
  info.nPos = position;
  SetScrollInfo(mainWindow, SB_VERT, &info, TRUE);
}

void ScrollClient(int dy) {
  // Null rectangles scroll and clip to the whole client area.
  ScrollWindowEx(mainWindow, 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
}

void InvalidateClient() {
  InvalidateRect(mainWindow, nullptr, TRUE);
}

PaintTarget BeginWindowPaint(PixelRect* update) {
  const HDC dc = BeginPaint(mainWindow, &paint);
  const RECT& r = paint.rcPaint;
  *update = PixelRect{r.left, r.top, r.right, r.bottom};
  return FromHandle(dc);
}

void EndWindowPaint(PaintTarget) {
  EndPaint(mainWindow, &paint);
}

CellSource SelectAtlas(PaintTarget target, BitmapHandle atlas) {
  const HDC cells = CreateCompatibleDC(AsHandle<HDC>(target));
  if (cells == nullptr) return 0;
  atlasDisplaced = SelectObject(cells, AsHandle<HBITMAP>(atlas));
  return FromHandle(cells);
}

// The atlas is monochrome: its 0 bits take the window DC's text colour and
// its 1 bits the background colour, black and white by default, which is
// why no colours are set anywhere.
// Zoomed, COLORONCOLOR keeps each pixel whole: no halftoning, no blending.
void CopyCell(PaintTarget target, CellSource source, int x, int y, int sourceX, int sourceY,
              int width, int height, int zoom) {
  const HDC window = AsHandle<HDC>(target);
  if (zoom <= 1) {
    BitBlt(window, x, y, width, height, AsHandle<HDC>(source), sourceX, sourceY, SRCCOPY);
    return;
  }
  SetStretchBltMode(window, COLORONCOLOR);
  StretchBlt(window, x, y, width * zoom, height * zoom, AsHandle<HDC>(source), sourceX, sourceY,
             width, height, SRCCOPY);
}

void InvertPixels(PaintTarget target, const PixelRect& rect) {
  const RECT area{rect.left, rect.top, rect.right, rect.bottom};
  InvertRect(AsHandle<HDC>(target), &area);
}

void ReleaseAtlas(CellSource source) {
  if (source == 0) return;
  const HDC cells = AsHandle<HDC>(source);
  // Putting the DC's own bitmap back frees the atlas for the next paint and
  // for DeleteObject at exit, which refuses a bitmap still selected.
  SelectObject(cells, atlasDisplaced);
  DeleteDC(cells);
}
