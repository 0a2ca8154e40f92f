// tavelo-convert -j: the files of a run converted by several worker
// processes at once. The conversion's state is process-wide and
// single-threaded by design, so each worker is a process of its own, forked
// once, taking the next file from a counter they share until none is left.
#pragma once

#include <vector>

#include "tools/convert_request.h"

// The number of processors online, -j's default.
int ProcessorCount();

// Converts each of jobs, in up to workers processes at once (1: in this
// one), adding what was done into request.tally. 0, or 1 when a file failed.
int ConvertInWorkers(const Request& request, const std::vector<FileJob>& jobs, int workers);
