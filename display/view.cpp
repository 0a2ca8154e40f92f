#include "display/view.h"

#include "display/geometry.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "platform/platform.h"

void ApplyClientSize(unsigned sizeKind, int width, int height) {
  view.pageLines = height / kLinePitch;
  if (view.pageLines < 1) view.pageLines = 1;
  const int previousColumns = view.columns;
  view.columns = (width - kColumnSlack) / kColumnWidth;
  if (view.columns > kMaxColumns) view.columns = kMaxColumns;
  if (view.columns < kMinColumns) view.columns = kMinColumns;

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

void Relayout(bool rebuild, RelayoutTop top) {
  const std::int32_t anchor = view.topOffset;
  ShowHourglass();
  if (rebuild) truncated = BuildLineIndex(view.columns);
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
  wheelRemainder = 0;
  ComputeMaxTopLine();
}

void ReanchorAt(std::int32_t anchor) {
  ComputeMaxTopLine();
  view.topLine = 0;
  view.topOffset = 0;
  while (view.topLine < view.maxTopLine && view.topOffset + lineBytes[view.topLine] <= anchor) {
    view.topOffset += lineBytes[view.topLine];
    ++view.topLine;
  }
}

void UpdateScrollBar() {
  const int lines = lastLine + 1;
  SetVScroll(lastLine, view.pageLines < lines ? view.pageLines : lines, view.topLine);
}

void SetVScroll(int maximum, int page, int position) {
  SetScrollBar(maximum, page, position);
}

void ScrollLinesDown(int n) {
  for (int i = 0; i < n; ++i) {
    view.topOffset += lineBytes[view.topLine];
    ++view.topLine;
  }
}

void ScrollLinesUp(int n) {
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
    ScrollClient(-kLinePitch * d);
  } else {
    InvalidateClient();
  }
}

bool HandleScrollCommand(int code, int thumbPosition) {
  if (documentHandle == kInvalidFile) return false;
  const int top = view.topLine;
  const int maxTop = view.maxTopLine;
  switch (code) {
    case kScrollLineUp:
      if (top == 0) break;
      ScrollLinesUp(1);
      UpdateScrollBar();
      ScrollClient(kLinePitch);
      break;
    case kScrollLineDown:
      if (top >= maxTop) break;
      ScrollLinesDown(1);
      UpdateScrollBar();
      ScrollClient(-kLinePitch);
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
      MoveTo(thumbPosition);
      break;
    case kScrollTop:
      if (top == 0) break;
      view.topLine = 0;
      view.topOffset = 0;
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
