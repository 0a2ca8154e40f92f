// The open and save dialogs, which share one record and the last directory.
#pragma once

#include "platform/platform.h"

// The one dialog record, cleared and filled anew before each dialog.
extern FileDialogRecord dialogRecord;

// Refreshes lastDirectory from the registry: empty when the key is missing,
// unchanged when its value cannot be read.
void ReadLastDirectory();

// Asks for an existing file to open into fileName; false when cancelled.
bool AskForFileToOpen();

// Asks for a name to write into fileName; false when cancelled.
bool AskForFileToSave();
