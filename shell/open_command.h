// The Open command and the BIG5 toggle: every way of opening a document ends here.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Opens fileName (or the dialog's choice), records its directory, replaces
// the document, sets the caption and lays it out from its top in the mode
// its name asks for.
void OpenCommand();

// The same with the display line holding byte top at the top: a document
// reopened from the recent list, where the reader left it.
void OpenCommandAt(std::int32_t top);

// "Tavelo - " and the document's name, with the mode's name in the modes
// through Unicode ("Tavelo - novel.txt [UTF-8]").
void SetDocumentCaption();

// Switches between GB and BIG5 mode and lays the document out again.
void Big5Toggle();

// The directory part of name as the last directory records it; false when
// the name has none (no PathSeparator).
bool DirectoryOf(const char* name, char (&directory)[kMaxPath]);

// The name's extension asks for the other encoding mode than the current one.
bool ExtensionAsksForOtherMode(const char* name);
