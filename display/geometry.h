// Page geometry in client-area pixels, shared by the painter and the view.
#pragma once

constexpr int kLinePitch = 18;    // pixels from one display line to the next
constexpr int kColumnWidth = 7;   // pixels per character column
constexpr int kLeftMargin = 15;   // x of column 0
constexpr int kTopMargin = 5;     // y of the top of visible line 0
constexpr int kGlyphHeight = 13;  // both cells are this high
constexpr int kWideWidth = 13;    // a two-column character's cell (the 14th pixel stays white)
constexpr int kNarrowWidth = 7;   // a one-column character's cell

// Columns are (width - kColumnSlack) / 7: the margins and the right gap.
constexpr int kColumnSlack = 27;
constexpr int kMinColumns = 2;
constexpr int kMaxColumns = 253;

// The zoom draws each atlas pixel as a zoom x zoom square; everything above is
// at zoom 1 and scales with it.
constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 4;
