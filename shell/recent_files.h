// The File menu's list of the documents read last, and where the reader
// stopped in each: an option, off at first in tavelo.exe, whose list is
// kept with the other settings only while it is on.
#pragma once

#include "platform/platform.h"

// Whether the File menu lists the recent documents.
bool KeepsRecentFiles();

// The option's check mark and the File menu's section for the list, as they stand.
void ShowRecentFiles();

// The option's menu item; turned on, the open document heads the list.
void ToggleRecentFiles();

// A list item: opens its document with the top line where the reader left it.
void ReopenRecentFile(int command);

// The open document heads the list (Open, after it opened a file).
void NoteDocumentOpened();

// Keeps the open document's top offset in its item, before it is closed.
void NoteDocumentLeft();

// A file that could not be opened leaves the list.
void DropRecentFile(const char* name);

// The list from the options key at start-up.
void ReadRecentFiles(RegistryKey key);

// The list into the options key, when the key exists and the option is on.
void SaveRecentFiles();
