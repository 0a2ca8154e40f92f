#include "display/selection.h"

#include <algorithm>

#include "display/geometry.h"
#include "display/line_walk.h"
#include "display/view.h"
#include "document/line_index.h"
#include "document/line_table.h"

namespace {

// Device pixels to page pixels, rounding towards minus infinity so that a
// point left of or above the client stays outside.
int PagePixel(int device) {
  return device >= 0 ? device / zoom : -((-device + zoom - 1) / zoom);
}

// The hit test's walk over one line: the first character whose middle lies
// right of the point, or failing one, where the line's last character ends.
struct Hit {
  int x2;  // the point's x in half-pixels from column 0's left edge
  bool found;
  std::int32_t offset;
};

void HitCharacter(const Character& c, int, int col, std::int32_t offset, void* context) {
  auto& hit = *static_cast<Hit*>(context);
  if (hit.found) return;
  if (hit.x2 < kColumnWidth * (2 * col + c.columns)) {
    hit.found = true;
    hit.offset = offset;
  } else {
    hit.offset = offset + c.bytes;
  }
}

// Where visible line `line` starts in the document.
std::int32_t LineStart(int line) {
  const int k = view.topLine + line;
  if (ReadsThroughUnicode()) return PlaceOfLine(k).offset;
  std::int32_t offset = view.topOffset;
  for (int i = 0; i < line; ++i) offset += lineBytes[view.topLine + i];
  return offset;
}

std::int32_t OffsetOnLine(int line, int x2) {
  Hit hit{x2, false, LineStart(line)};
  WalkVisibleLines(line, line, view.columns - 1, HitCharacter, &hit);
  return hit.offset;
}

}  // namespace

std::int32_t OffsetAtPoint(int x, int y) {
  const int pageY = PagePixel(y);
  if (pageY < 0 && view.topLine == 0) return 0;
  const int line = std::max(0, pageY / kLinePitch);
  const int last = lastLine - view.topLine;
  if (line > last) return OffsetOnLine(last, INT32_MAX / 2);
  return OffsetOnLine(line, 2 * (PagePixel(x) - kLeftMargin));
}

void PressAt(int x, int y, bool extend) {
  if (documentHandle == kInvalidFile) return;
  const std::int32_t at = OffsetAtPoint(x, y);
  if (!extend) selection.anchor = at;
  selection.active = at;
  selection.dragging = true;
  CaptureMouse();
  InvalidateClient();
}

void DragTo(int x, int y) {
  if (!selection.dragging) return;
  const PixelRect client = ClientRectangle();
  if (y < client.top) {
    HandleScrollCommand(kScrollLineUp, 0);
  } else if (y >= client.bottom) {
    HandleScrollCommand(kScrollLineDown, 0);
  }
  const std::int32_t at = OffsetAtPoint(x, y);
  if (at == selection.active) return;
  selection.active = at;
  InvalidateClient();
}

void ReleaseAt(int x, int y) {
  if (!selection.dragging) return;
  DragTo(x, y);
  EndDrag();
}

void EndDrag() {
  if (!selection.dragging) return;
  selection.dragging = false;
  ReleaseMouse();
}

void SelectBytes(std::int32_t start, std::int32_t end) {
  selection.anchor = start;
  selection.active = end;
  InvalidateClient();
}

void ClearSelection() {
  const bool dragging = selection.dragging;
  selection = Selection{};
  if (dragging) ReleaseMouse();
}

bool HasSelection() {
  return selection.anchor != selection.active;
}

std::int32_t SelectionStart() {
  return std::min(selection.anchor, selection.active);
}

std::int32_t SelectionEnd() {
  return std::max(selection.anchor, selection.active);
}

void ScrollOffsetIntoView(std::int32_t offset) {
  int line = 0;
  if (ReadsThroughUnicode()) {
    ExtendLineTableTo(offset);
    ComputeMaxTopLine();
    line = LineOfOffset(offset);
  } else {
    for (std::int32_t at = 0; line < lastLine && at + lineBytes[line] <= offset; ++line) {
      at += lineBytes[line];
    }
  }
  if (line >= view.topLine && line < view.topLine + view.pageLines) return;
  ScrollToLine(std::max(0, line - view.pageLines / 3));
}
