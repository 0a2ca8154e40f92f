// The open and save dialogs, which share one record and the last directory.
#pragma once

#include "platform/platform.h"
#include "shell/state.h"  // dialogRecord

// Refreshes lastDirectory from the registry: empty when the key is missing,
// unchanged when its value cannot be read.
void ReadLastDirectory();

// Asks for an existing file to open into fileName; false when cancelled.
bool AskForFileToOpen();

// Asks for a name to write into fileName; false when cancelled.
bool AskForFileToSave();
