// Handling the names the commands pass among themselves (zero-terminated,
// single-byte; the buffers are the shell's state).
#pragma once

#include "platform/platform.h"
#include "shell/state.h"  // fileName, currentName, lastDirectory, fileTitle

// Copies text into a name buffer; false, leaving it unchanged, when it does not fit.
bool SetName(char (&buffer)[kMaxPath], const char* text);

// The two names are the same text, letter case included.
bool SameName(const char* a, const char* b);

// text ends with suffix, compared without regard to case.
bool EndsWithNoCase(const char* text, const char* suffix);
