// --in-place: a file converted where it lies. Its new bytes go into a
// temporary file beside it, named for the process that writes it, which
// takes the file's place only when whole; what a run killed outright leaves
// behind, the next run in that folder removes.
#pragma once

#include <string>

#include "tools/tool_files.h"

// The temporary file beside name that this process writes its new bytes into.
std::string InPlaceTemporary(const char* name);

// Whether a name in a folder is such a temporary file, which a walk leaves alone.
bool IsInPlaceTemporary(const std::string& name);

// Removes from folder the temporary files of processes no longer running.
void RemoveLeftovers(const std::string& folder);

// Ends the output of a run over name in place: when every write went
// (written), it takes name's place; else, or when that fails, reports why
// and removes it, name left as it was. True when name holds the new bytes.
bool FinishInPlace(const char* name, OutputFile* output, bool written);
