// The view: which display line stands at the top, how many lines and columns
// the window holds, and the scrolling that moves through the document.
#pragma once

#include <cstdint>

struct ViewState {
  int topLine = 0;             // display line shown at the top, 0..maxTopLine
  std::int32_t topOffset = 0;  // file offset of topLine: the sum of lineBytes before it
  int maxTopLine = 0;          // largest topLine, so the last page shows the last lines
  int pageLines = 0;           // whole display lines in the client height, at least 1
  int columns = 0;             // character columns per display line, 2..253
};
extern ViewState view;

// The wheel's turn not yet scrolled, in wheel units (kWheelDelta a notch): a
// touchpad sends fractions of a notch, which add up to whole lines. Cleared
// when the turn changes direction and when a document is placed at the top.
extern int wheelRemainder;

// The size handler: metrics from the client size, relayout when the columns changed.
void ApplyClientSize(unsigned sizeKind, int width, int height);

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

void ScrollLinesDown(int n);
void ScrollLinesUp(int n);

// A scroll command; false when no document is open and the platform should handle it.
bool HandleScrollCommand(int code, int thumbPosition);

// Turns the six scrolling keys into queued scroll commands.
void HandleKeyDown(unsigned key);

// Scrolls by the wheel's turn (positive up) as the user's wheel setting asks:
// lines a notch, or a page a notch; nothing without a document.
void HandleMouseWheel(int delta);
