// The menu's commands and the File menu's graying.
#pragma once

#include "platform/platform.h"

// Carries out a menu command; unknown ids are ignored.
void HandleCommand(int command);

// Grays or enables the File menu's items as it opens; false for other popups.
bool OnInitMenuPopup(int position, bool systemMenu);

// Opens the first dropped file.
void OnDropFiles(DropHandle drop);
