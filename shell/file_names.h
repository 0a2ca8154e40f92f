// The names the commands pass among themselves (zero-terminated, single-byte).
#pragma once

#include "platform/platform.h"

constexpr int kFileTitleSize = 512;

extern char fileName[kMaxPath];       // the name to open: from a dialog, a drop or the command line
extern char currentName[kMaxPath];    // full name of the open document
extern char lastDirectory[kMaxPath];  // the dialogs' initial directory, as in the registry
extern char fileTitle[kFileTitleSize];  // the chosen file's title; nothing reads it

// Copies text into a name buffer; false, leaving it unchanged, when it does not fit.
bool SetName(char (&buffer)[kMaxPath], const char* text);

// The two names are the same text, letter case included.
bool SameName(const char* a, const char* b);

// text ends with suffix, compared without regard to case.
bool EndsWithNoCase(const char* text, const char* suffix);
