// The Line index: the layout of the whole document into display lines, kept
// as two small facts per line in the Work area (bytes consumed, tab phase).
#pragma once

#include <cstdint>

#include "document/next_character.h"
#include "document/state.h"  // lastLine, truncated, lineBytes, linePhase

// The running state of a layout from one display line to the next.
struct LineLayout {
  int phase;           // logical column modulo 8, carried across wraps
  int carry;           // spaces of a tab still to be placed; the tab waits at the reader
  std::int32_t count;  // bytes the last line laid out consumes
};

// Told of each text character a line lays out, with the column it begins at.
using CharacterSeen = void (*)(const Character& c, int col, void* context);

// Lays out one display line of at most columns columns from where the reader
// stands and line's phase and carry, which it leaves as the next line starts
// with, and tells seen of each text character placed. True when the text
// ended on the line. In the modes through Unicode the line may end earlier,
// or one closing mark later, as Chinese text breaks (LayOutTextLine).
bool LayOutLine(int columns, LineLayout& line, CharacterSeen seen, void* context);

// Lays the open document out with columns (2..253, the view's) and big5Mode
// into lineBytes and linePhase. Returns 1 when it stopped at the 32,768-line
// limit, else 0.
int BuildLineIndex(int columns);

// The tab phase (0..7) stored for display line k.
int StoredPhase(int k);

// The file offset at which display line k begins: the sum of lineBytes[0..k-1].
std::int32_t LineStartOffset(int k);
