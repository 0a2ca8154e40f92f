// tavelo-convert -r: each INPUT, a file or a folder, mirrored in the output
// folder under its own name.
#pragma once

#include <string>

#include "tools/convert_request.h"

// Converts request's files and trees into its folder; one line at the end
// counts what was done when more than one file was handled. 0, or 1.
int ConvertTrees(Request& request);

// ReportErrno for errno, as a failed file's status.
int ReportSystemFailure(const std::string& file, const char* what);
