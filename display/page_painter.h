// The Page painter: draws the visible display lines that meet a paint
// request's rectangle, re-reading each line's bytes as the Line index did.
#pragma once

#include "platform/platform.h"

// The truncation warning was shown for the open document (cleared by Open).
extern bool truncationWarned;

// The paint request: begins the paint, draws, ends it, then shows the
// truncation warning once per document.
MessageResult OnPaint();

// Copies the glyph cells of the lines and columns that meet update onto the
// target. Returns false when there was nothing to paint (no document, or the
// rectangle lies below the last line).
bool PaintPage(PaintTarget target, const PixelRect& update);
