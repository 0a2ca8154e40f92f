// The Line index: the layout of the whole document into display lines, kept
// as two small facts per line in the Work area (bytes consumed, tab phase).
#pragma once

#include <cstdint>

#include "document/state.h"  // lastLine, truncated, lineBytes, linePhase

// Lays the open document out with columns (2..253, the view's) and big5Mode
// into lineBytes and linePhase. Returns 1 when it stopped at the 32,768-line
// limit, else 0.
int BuildLineIndex(int columns);

// The tab phase (0..7) stored for display line k.
int StoredPhase(int k);

// The file offset at which display line k begins: the sum of lineBytes[0..k-1].
std::int32_t LineStartOffset(int k);
