// The files of the command-line tools: the document opened for the reader,
// the output made safely and ended as a whole or not at all, and every
// failure told as one line on standard error ("TOOL: FILE: what"). Argument
// parsing stays with each tool; these pieces know nothing of it.
#pragma once

#include <string>

#include "platform/posix/posix.h"

// The tool's name, first on each line it reports (defined by each tool).
extern const char* const kToolName;

// Reports a failure with file, as one line written at once; returns 1, the tools' status for a file
// that could not be used.
int ReportFailure(const char* file, const char* what);

// ReportFailure with the reason errno's error gives, when there is one.
void ReportErrno(const char* file, const char* what, int error);

// The last part of a path, its trailing slashes left off.
std::string FileNameOf(const std::string& path);

// The folder that holds path (no trailing slash): "." for a bare name.
std::string FolderOf(const std::string& path);

// The name that stands for standard input as an input, standard output as
// an output.
constexpr char kStandardStream[] = "-";

// Opens name, or standard input for "-", for reading; kInvalidFile, errno
// saying why, when it cannot be read (a folder among others).
FileHandle OpenInput(const char* name);

// Opens name (OpenInput) as the document and allocates the Work area; a
// regular file is read at any offset, a pipe, FIFO or device as a stream.
// False, having reported, when it cannot be read.
bool OpenDocument(const char* name);

// Closes the document and frees the Work area, for the next one.
void CloseDocument();

// After a run over the document: false, having reported, when the document
// was not read to its end: a read failed, a stream could not be gone back
// in, or the reader stopped at its 2 GB limit with more to come (a stream, a
// file that grew).
bool DocumentReadWhole(const char* name);

// Opens name, or standard output for "-", for the output, refusing the
// document by any name. False, having reported, when it is the document or
// cannot be made.
bool OpenOutput(const char* name, OutputFile* output);

// Ends the output of a run: closes it when every write went (written), else,
// or when the close fails, reports failure with the system's reason and
// removes the partial output. True when the output stands whole. (After a
// failure already reported, DiscardOutputFile removes the output alone.)
bool FinishOutput(const char* name, OutputFile* output, bool written, const char* failure);
