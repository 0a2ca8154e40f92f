// The display room's process-wide state, all of it: the view over the Line
// index and the glyph atlas. ResetDisplayState puts every field back to its
// start-up value (a fresh process in the tests).
#pragma once

#include <cstdint>

#include "document/line_table.h"  // LinePlace
#include "platform/platform.h"

// Which display line stands at the top and how much the window holds.
struct ViewState {
  int topLine = 0;             // display line shown at the top, 0..maxTopLine
  std::int32_t topOffset = 0;  // file offset of topLine: the sum of lineBytes before it
  int maxTopLine = 0;          // largest topLine, so the last page shows the last lines
  int pageLines = 0;           // whole display lines in the client height, at least 1
  int columns = 0;             // character columns per display line, 2..253
  LinePlace topPlace{};        // where topLine starts, when the Line table lays the text out
};
extern ViewState view;

// The selection: the document's bytes from the lower of anchor and active up
// to the higher, each a character's first byte or the end of a line; shown
// inverted, empty when they are equal.
struct Selection {
  std::int32_t anchor = 0;  // where the drag began; Shift+click extends from here
  std::int32_t active = 0;  // where it ends now, under the pointer
  bool dragging = false;    // the left button went down on the page and is held
};
extern Selection selection;

// Device pixels to a page pixel, kMinZoom..kMaxZoom: the page is laid out
// over the client size divided by it and each atlas pixel drawn as a square.
extern int zoom;

// The wheel's turn not yet scrolled, in wheel units (kWheelDelta a notch): a
// touchpad sends fractions of a notch, which add up to whole lines. Cleared
// when the turn changes direction and when a document is placed at the top.
extern int wheelRemainder;

// The atlas bitmap, loaded at window creation; 0 while not loaded.
extern BitmapHandle atlasBitmap;
// The Unicode atlas, the bitmap "Glyphs", for the Line table's modes; loaded with it.
extern BitmapHandle glyphsBitmap;

// Every field above back to its start-up value; frees nothing.
void ResetDisplayState();
