// The selection: made with the pointer over the page's cells, or by Find and
// Select all, kept as a range of the document's bytes so that it outlives
// scrolling, zooming and a new layout.
#pragma once

#include <cstdint>

#include "display/state.h"  // selection

// The byte the boundary nearest the client pixel (x, y) stands before: a
// character's first byte, or the end of the line's last character. Above the
// document the start, below its last line the end of that line.
std::int32_t OffsetAtPoint(int x, int y);

// The left button went down at (x, y): the selection starts there, or with
// extend (Shift held) the one there is runs from its anchor to there.
void PressAt(int x, int y, bool extend);
// The pointer moved with the button held: the selection follows it, and
// beyond the top or bottom edge the page scrolls a line towards it.
void DragTo(int x, int y);
// The button went up: the drag ends where it is.
void ReleaseAt(int x, int y);
// The drag ends where it stood: the button went up where the window did not
// see it (another window took the mouse).
void EndDrag();

// Selects the bytes [start, end) and repaints.
void SelectBytes(std::int32_t start, std::int32_t end);
// Nothing selected (a newly opened document).
void ClearSelection();
bool HasSelection();
std::int32_t SelectionStart();
std::int32_t SelectionEnd();

// Brings the display line holding offset into view, a third of a page below
// the top when it was out of view; nothing when it is shown already.
void ScrollOffsetIntoView(std::int32_t offset);
