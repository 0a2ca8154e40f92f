// The view: which display line stands at the top, how many lines and columns
// the window holds, and the scrolling that moves through the document.
#pragma once

#include <cstdint>

#include "display/state.h"  // view, wheelRemainder

// The size handler: metrics from the client size, relayout when the columns changed.
void ApplyClientSize(unsigned sizeKind, int width, int height);

// Sets the zoom (held to kMinZoom..kMaxZoom): the metrics follow the client
// size at the new scale and the document is laid out again with the top
// line's text kept in view. False when the zoom stays as it was.
bool SetZoom(int level);

// Where a relayout puts the view.
enum class RelayoutTop {
  kDocumentStart,  // line 0, offset 0: a newly opened document
  kSameText,       // the display line that holds the byte that was at the top
};

// The one relayout of the open document, for Open, the BIG5 toggle and the
// size handler: under the hourglass, rebuilds the Line index when rebuild is
// set (its result becomes truncated), places the view and updates the scroll
// bar. The caller repaints. A scroll bar that appears or disappears changes
// the client width, and the platform sends that size notification from inside
// UpdateScrollBar (SetScrollInfo, as on Win32): the size handler then lays the
// document out again, nested, with the new column count, before this one
// shows the arrow.
void Relayout(bool rebuild, RelayoutTop top);

// The Line table's modes lay a document out in slices, one a timer tick.
constexpr unsigned kLayoutTimer = 1;

// Starts the Line table's layout: what the window shows from the line that
// holds anchor is laid out at once, the rest on the timer.
void StartLayout(std::int32_t anchor);
// The timer's slice; the scroll bar grows with the lines.
void ContinueLayout();
// Lays the rest out at once (for the tools, which show one page and end).
void FinishLayout();

// maxTopLine from lastLine and pageLines.
void ComputeMaxTopLine();

// The top of the document at the top of the window, with no wheel turn left over.
void ResetViewToTop();

// Puts at the top the display line holding the byte at anchor, but not beyond maxTopLine.
void ReanchorAt(std::int32_t anchor);

// The scroll bar follows the view: range lastLine, page, position topLine.
void UpdateScrollBar();

// Sets the vertical scroll bar: minimum 0 and the given maximum, page and position.
void SetVScroll(int maximum, int page, int position);

// Puts display line `line` at the top (within 0..maxTopLine), scrolling the
// pixels or repainting, and the scroll bar with it.
void ScrollToLine(int line);

void ScrollLinesDown(int n);
void ScrollLinesUp(int n);

// A scroll command; false when no document is open and the platform should handle it.
bool HandleScrollCommand(int code, int thumbPosition);

// Turns the scrolling keys into queued scroll commands: the six of old, with
// Ctrl too, and Space and Shift+Space as Page Down and Page Up.
void HandleKeyDown(unsigned key);

// Scrolls by the wheel's turn (positive up) as the user's wheel setting asks:
// lines a notch, or a page a notch; nothing without a document.
void HandleMouseWheel(int delta);
