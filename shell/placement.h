// The window placement: its state and its last normal rectangle, kept while
// the window moves and changes size, saved at exit and restored at start-up.
#pragma once

struct WindowPlacement {
  int WinStatus = 0;  // 0 normal, 1 minimized, 2 maximized; -1 before creation at a first run
  int left = 0;       // the whole window's rectangle in its last normal placement,
  int top = 0;        // in screen coordinates; all CW_USEDEFAULT while unknown
  int right = 0;
  int bottom = 0;
};
extern WindowPlacement placement;

// No placement is known: the platform chooses the rectangle.
void ForgetRectangle();

// The rectangle can be given to the new window: known, not empty, on a monitor.
bool RectangleIsUsable();

// On a move: the rectangle, unless the window is minimized or maximized.
void RecordRectangle();

// On a size notification: the state, and in the normal state the rectangle.
void RecordWindowState(unsigned sizeKind);
