// The Options menu's encodings: the reading mode the user chose, or
// detection, which picks the mode on each open so that no mode carries over
// from the last document.
#pragma once

#include "encoding/encoding.h"

// Whether detection picks the mode on each open.
bool DetectsOnOpen();

// The mode saved with the options, at start-up, and the menu's bullet and
// check mark for it.
void ApplySavedReadingMode();

// The menu's radio bullet and Detect encoding's check mark, as they stand.
void ShowReadingMode();

// A reading mode's menu item: the open document is laid out again in it,
// keeping the text at the top in view.
void ChooseReadingMode(int command);

// Detect encoding's menu item.
void ToggleDetection();

// Open's choice of mode for the new document, before its layout: detection's
// when it is on. False when the document is read in the modes the reader has
// always had, where its name's extension may still ask for BIG5 mode.
bool PickModeOnOpen();

// Reads the next document (and the open one) in mode, as the menu would,
// but without saving it as the user's choice: for a file the program wrote
// itself, which the old modes would not show.
void UseReadingMode(Encoding mode);

// Leaves the modes through Unicode for GB2312's, for the BIG5 toggle.
void ReturnToGbMode();

// The caption's name for the current mode ("UTF-8"), or nullptr in the modes
// the reader has always had.
const char* ReadingModeLabel();
