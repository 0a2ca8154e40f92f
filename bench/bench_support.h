// Documents the benchmarks read: generated once, written to scratch files.
#pragma once

#include <string>

#include "tests/test_support.h"

// GB2312 text (mostly hanzi, some ASCII) in CR LF lines of 40 to 120 bytes,
// with as many lines as keep the layout at columns under the display-line limit.
Bytes GbText(std::size_t maxBytes, int columns);

// Writes bytes to a scratch file that lives until the process ends; its path.
std::string ScratchFile(const std::string& name, const Bytes& content);

// The folder that holds the scratch files.
std::string ScratchFolderPath();
