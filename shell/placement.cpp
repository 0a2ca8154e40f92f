#include "shell/placement.h"

#include <cstdint>

#include "platform/platform.h"

void ForgetRectangle() {
  placement.left = placement.top = placement.right = placement.bottom = kUseDefault;
}

bool RectangleIsUsable() {
  const WindowPlacement& p = placement;
  if (p.left == kUseDefault || p.top == kUseDefault || p.right == kUseDefault ||
      p.bottom == kUseDefault) {
    return false;
  }
  // Widths of stored values can exceed an int; a window that big is no placement either.
  const std::int64_t width = std::int64_t{p.right} - p.left;
  const std::int64_t height = std::int64_t{p.bottom} - p.top;
  if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) return false;
  return RectangleOnAnyMonitor(PixelRect{p.left, p.top, p.right, p.bottom});
}

void RecordRectangle() {
  const PixelRect r = WindowRectangle();
  placement.left = r.left;
  placement.top = r.top;
  placement.right = r.right;
  placement.bottom = r.bottom;
}

void RecordWindowState(unsigned sizeKind) {
  switch (sizeKind) {
    case kSizeRestored:
      placement.WinStatus = 0;
      RecordRectangle();
      break;
    case kSizeMinimized: placement.WinStatus = 1; break;
    case kSizeMaximized: placement.WinStatus = 2; break;
    default: break;
  }
}
