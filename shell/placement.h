// The window placement: its state and its last normal rectangle, kept while
// the window moves and changes size, saved at exit and restored at start-up.
#pragma once

#include "shell/state.h"  // placement

// No placement is known: the platform chooses the rectangle.
void ForgetRectangle();

// The rectangle can be given to the new window: known, not empty, on a monitor.
bool RectangleIsUsable();

// On a move: the rectangle, unless the window is minimized or maximized.
void RecordRectangle();

// On a size notification: the state, and in the normal state the rectangle.
void RecordWindowState(unsigned sizeKind);
