#include "display/view.h"

#include <algorithm>

#include "display/geometry.h"
#include "document/line_index.h"
#include "document/line_table.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "platform/platform.h"

// pageLines and columns of a client area, counted in page pixels: the
// geometry scaled by the zoom gives the same counts.
static void ComputeMetrics(int width, int height) {
  view.pageLines = height / zoom / kLinePitch;
  if (view.pageLines < 1) view.pageLines = 1;
  view.columns = (width / zoom - kColumnSlack) / kColumnWidth;
  if (view.columns > kMaxColumns) view.columns = kMaxColumns;
  if (view.columns < kMinColumns) view.columns = kMinColumns;
}

void ApplyClientSize(unsigned sizeKind, int width, int height) {
  const int previousColumns = view.columns;
  ComputeMetrics(width, height);

  if (documentHandle == kInvalidFile) {
    SetVScroll(0, 0, 0);
    return;
  }
  if ((sizeKind & 0xFFFF) == kSizeMinimized) return;

  const std::int32_t anchor = view.topOffset;
  const int previousTop = view.topLine;
  Relayout(view.columns != previousColumns, RelayoutTop::kSameText);
  // A height change repaints only the exposed strip, which would leave the
  // old lines standing if the top moved.
  if (view.topLine != previousTop || view.topOffset != anchor) InvalidateClient();
}

bool SetZoom(int level) {
  level = std::min(std::max(level, kMinZoom), kMaxZoom);
  if (level == zoom) return false;
  zoom = level;
  const PixelRect client = ClientRectangle();
  ComputeMetrics(client.right - client.left, client.bottom - client.top);
  if (documentHandle != kInvalidFile) Relayout(true, RelayoutTop::kSameText);
  InvalidateClient();
  return true;
}

namespace {

// Bytes of text the Line table lays out a timer tick: some 25 ms at the
// 40 MB/s the modes through Unicode lay out at, so that keys and paints
// wait no longer than that while a long document is laid out.
constexpr std::int32_t kLayoutSlice = 1 << 20;
constexpr std::int32_t kFirstPageSlice = 64 << 10;

// Thumb positions travel in 16 bits (HIWORD of WM_VSCROLL): a longer
// document's scroll bar counts in units of several lines.
constexpr int kScrollUnits = 32767;

// The scroll bar's page and the positions its thumb takes, 0..span.
struct ScrollScale {
  int page;
  int span;
};

ScrollScale ScaledBar() {
  const std::int64_t lines = static_cast<std::int64_t>(lastLine) + 1;
  const int page =
      static_cast<int>(std::max<std::int64_t>(1, view.pageLines * kScrollUnits / lines));
  return ScrollScale{page, kScrollUnits - page + 1};
}

bool BarIsScaled() {
  return lastLine > kScrollUnits;
}

// The line a thumb position stands for.
int LineAtThumb(int position) {
  if (!BarIsScaled()) return position;
  const ScrollScale scale = ScaledBar();
  return static_cast<int>((static_cast<std::int64_t>(position) * view.maxTopLine + scale.span / 2) /
                          scale.span);
}

// Puts line at the top in the Line table's modes: a few lines on are laid
// out from the top line, anything else from the line kept before it.
void SetTopLine(int line) {
  const int ahead = line - view.topLine;
  if (ahead > 0 && ahead <= kLinesPerPlace) {
    for (int i = 0; i < ahead; ++i) {
      view.topPlace = LayOutLineAt(view.topPlace, view.columns, nullptr, nullptr, nullptr);
    }
  } else if (ahead != 0) {
    view.topPlace = PlaceOfLine(line);
  }
  view.topLine = line;
  view.topOffset = view.topPlace.offset;
}

}  // namespace

void StartLayout(std::int32_t anchor) {
  StartLineTable(view.columns);
  ExtendLineTableTo(anchor);
  const int top = LineOfOffset(anchor);
  while (!LineTableDone() && lastLine < top + view.pageLines) ContinueLineTable(kFirstPageSlice);
  if (!LineTableDone()) StartWindowTimer(kLayoutTimer, 1);
}

void ContinueLayout() {
  if (documentHandle == kInvalidFile || !ReadsThroughUnicode() || LineTableDone()) {
    StopWindowTimer(kLayoutTimer);
    return;
  }
  const int shownBefore = lastLine;
  const bool done = ContinueLineTable(kLayoutSlice);
  if (done) StopWindowTimer(kLayoutTimer);
  ComputeMaxTopLine();
  UpdateScrollBar();
  // The view stands where it stood; lines that were not laid out yet when the
  // page was painted are there now.
  if (shownBefore < view.topLine + view.pageLines) InvalidateClient();
}

void FinishLayout() {
  while (ReadsThroughUnicode() && !LineTableDone()) ContinueLineTable(kLayoutSlice);
  StopWindowTimer(kLayoutTimer);
  ComputeMaxTopLine();
}

void Relayout(bool rebuild, RelayoutTop top) {
  const std::int32_t anchor = top == RelayoutTop::kDocumentStart ? 0 : view.topOffset;
  ShowHourglass();
  if (rebuild && ReadsThroughUnicode()) {
    StartLayout(anchor);
  } else if (rebuild) {
    StopWindowTimer(kLayoutTimer);
    truncated = BuildLineIndex(view.columns);
  }
  if (top == RelayoutTop::kDocumentStart) {
    ResetViewToTop();
  } else {
    ReanchorAt(anchor);
  }
  UpdateScrollBar();
  ShowArrow();
}

void ComputeMaxTopLine() {
  view.maxTopLine = view.pageLines - 1 < lastLine ? lastLine - view.pageLines + 1 : 0;
}

void ResetViewToTop() {
  view.topLine = 0;
  view.topOffset = 0;
  view.topPlace = kDocumentStart;
  wheelRemainder = 0;
  ComputeMaxTopLine();
}

void ReanchorAt(std::int32_t anchor) {
  ComputeMaxTopLine();
  if (ReadsThroughUnicode()) {
    view.topLine = std::min(LineOfOffset(anchor), view.maxTopLine);
    view.topPlace = PlaceOfLine(view.topLine);
    view.topOffset = view.topPlace.offset;
    return;
  }
  view.topLine = 0;
  view.topOffset = 0;
  while (view.topLine < view.maxTopLine && view.topOffset + lineBytes[view.topLine] <= anchor) {
    view.topOffset += lineBytes[view.topLine];
    ++view.topLine;
  }
}

void UpdateScrollBar() {
  if (BarIsScaled()) {
    const ScrollScale scale = ScaledBar();
    const std::int64_t position =
        view.maxTopLine > 0 ? static_cast<std::int64_t>(view.topLine) * scale.span / view.maxTopLine
                            : 0;
    SetVScroll(kScrollUnits, scale.page, static_cast<int>(position));
    return;
  }
  const int lines = lastLine + 1;
  SetVScroll(lastLine, view.pageLines < lines ? view.pageLines : lines, view.topLine);
}

void SetVScroll(int maximum, int page, int position) {
  SetScrollBar(maximum, page, position);
}

void ScrollLinesDown(int n) {
  if (ReadsThroughUnicode()) return SetTopLine(view.topLine + n);
  for (int i = 0; i < n; ++i) {
    view.topOffset += lineBytes[view.topLine];
    ++view.topLine;
  }
}

void ScrollLinesUp(int n) {
  if (ReadsThroughUnicode()) return SetTopLine(view.topLine - n);
  for (int i = 0; i < n; ++i) {
    --view.topLine;
    view.topOffset -= lineBytes[view.topLine];
  }
}

// Moves the view by d lines (either way) with the operations that keep topOffset.
static void MoveBy(int d) {
  if (d > 0) {
    ScrollLinesDown(d);
  } else {
    ScrollLinesUp(-d);
  }
}

// Moves the top to target (within 0..maxTopLine): the pixels move for less
// than a page, a larger move repaints all.
static void MoveTo(int target) {
  if (target > view.maxTopLine) target = view.maxTopLine;
  if (target < 0) target = 0;
  const int d = target - view.topLine;
  if (d == 0) return;
  MoveBy(d);
  UpdateScrollBar();
  if ((d < 0 ? -d : d) < view.pageLines) {
    ScrollClient(-kLinePitch * zoom * d);
  } else {
    InvalidateClient();
  }
}

void ScrollToLine(int line) {
  MoveTo(line);
}

bool HandleScrollCommand(int code, int thumbPosition) {
  if (documentHandle == kInvalidFile) return false;
  // The end is where the reader asked to go: lay the rest out now.
  if (code == kScrollBottom && ReadsThroughUnicode() && !LineTableDone()) {
    ShowHourglass();
    FinishLayout();
    ShowArrow();
  }
  const int top = view.topLine;
  const int maxTop = view.maxTopLine;
  switch (code) {
    case kScrollLineUp:
      if (top == 0) break;
      ScrollLinesUp(1);
      UpdateScrollBar();
      ScrollClient(kLinePitch * zoom);
      break;
    case kScrollLineDown:
      if (top >= maxTop) break;
      ScrollLinesDown(1);
      UpdateScrollBar();
      ScrollClient(-kLinePitch * zoom);
      break;
    case kScrollPageUp:
      if (top == 0) break;
      ScrollLinesUp(view.pageLines < top ? view.pageLines : top);
      UpdateScrollBar();
      InvalidateClient();
      break;
    case kScrollPageDown:
      if (top >= maxTop) break;
      ScrollLinesDown(view.pageLines < maxTop - top ? view.pageLines : maxTop - top);
      UpdateScrollBar();
      InvalidateClient();
      break;
    case kScrollThumbPosition:
    case kScrollThumbTrack:
      // The bar's range keeps the thumb within 0..maxTopLine; a forged message
      // must not walk the view past the table, so MoveTo holds it there anyway.
      MoveTo(LineAtThumb(thumbPosition));
      break;
    case kScrollTop:
      if (top == 0) break;
      view.topLine = 0;
      view.topOffset = 0;
      view.topPlace = kDocumentStart;
      UpdateScrollBar();
      InvalidateClient();
      break;
    case kScrollBottom:
      if (top >= maxTop) break;
      ScrollLinesDown(maxTop - top);
      UpdateScrollBar();
      InvalidateClient();
      break;
    default: break;
  }
  return true;
}

void HandleKeyDown(unsigned key) {
  if (documentHandle == kInvalidFile) return;
  int code;
  switch (key) {
    case kKeyPageUp: code = kScrollPageUp; break;
    case kKeyPageDown: code = kScrollPageDown; break;
    case kKeyEnd: code = kScrollBottom; break;
    case kKeyHome: code = kScrollTop; break;
    case kKeyUp: code = kScrollLineUp; break;
    case kKeyDown: code = kScrollLineDown; break;
    case kKeySpace: code = KeyIsDown(kKeyShift) ? kScrollPageUp : kScrollPageDown; break;
    default: return;
  }
  PostToWindow(kMessageVScroll, static_cast<MessageParam>(code), 0);
}

void HandleMouseWheel(int delta) {
  if (documentHandle == kInvalidFile) return;
  // A turn the other way starts afresh rather than first paying off the old one.
  if ((wheelRemainder < 0 && delta > 0) || (wheelRemainder > 0 && delta < 0)) wheelRemainder = 0;
  wheelRemainder += delta;
  const unsigned setting = WheelScrollLines();
  if (setting == kWheelPageScroll) {
    const int notches = wheelRemainder / kWheelDelta;
    wheelRemainder -= notches * kWheelDelta;
    for (int i = 0; i < notches; ++i) HandleScrollCommand(kScrollPageUp, 0);
    for (int i = 0; i > notches; --i) HandleScrollCommand(kScrollPageDown, 0);
    return;
  }
  // More lines a notch than the index can hold moves no further; the limit
  // also keeps the products below within an int.
  const unsigned limit = static_cast<unsigned>(kMaxDisplayLines);
  const int perNotch = static_cast<int>(setting < limit ? setting : limit);
  if (perNotch == 0) {
    wheelRemainder = 0;
    return;
  }
  const int lines = wheelRemainder * perNotch / kWheelDelta;
  wheelRemainder -= lines * kWheelDelta / perNotch;
  MoveTo(view.topLine - lines);
}
