// The Line table: the layout of a document read through Unicode, with no
// limit on its lines. It keeps where every 64th display line starts; any
// other line is found by laying out forward from the one kept before it, so
// memory grows with a 64th of the lines. The layout runs in slices, so the
// first page shows before a long document is laid out to its end.
#pragma once

#include <cstdint>

#include "document/line_index.h"  // LineLayout, CharacterSeen
#include "document/state.h"       // LinePlace, lineTable

constexpr int kLinesPerPlace = 64;
constexpr LinePlace kDocumentStart{0, 0, 0, false};

// Forgets the layout and starts it again from the top with columns.
void StartLineTable(int columns);

// Lays out further lines, about budget (> 0) bytes of them; lastLine grows with
// them. True once the document is laid out to its end.
bool ContinueLineTable(std::int32_t budget);

// Lays out until the table holds the line with the byte at offset, or the end.
void ExtendLineTableTo(std::int32_t offset);

// Whether the layout reached the end: until then lastLine counts the lines so far.
bool LineTableDone();

// The start of display line k, 0..lastLine.
LinePlace PlaceOfLine(int k);

// The display line that holds the byte at offset, at most lastLine.
int LineOfOffset(std::int32_t offset);

// Lays out the line that starts at place with columns, telling seen of each
// character placed, and returns where the next line starts. *ended, when
// given, says whether the text ended on the line.
LinePlace LayOutLineAt(const LinePlace& place, int columns, CharacterSeen seen, void* context,
                       bool* ended);
