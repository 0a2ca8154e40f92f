// The Page painter: draws the visible display lines that meet a paint
// request's rectangle, re-reading each line's bytes as the Line index did.
#pragma once

#include "platform/platform.h"

// Copies the glyph cells of the lines and columns that meet update onto the
// target. Returns false when there was nothing to paint (no document, or the
// rectangle lies below the last line).
bool PaintPage(PaintTarget target, const PixelRect& update);
