// What the parts of the POSIX side share among themselves.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix.h"

// Takes an open descriptor into the table of files; its handle. A read of
// one that is not a regular file, or of any when stream, goes as a stream's.
FileHandle AdoptDescriptor(int fd, bool writing, bool stream = false);

// A copy of a descriptor of the process's own (standard input or output),
// so that closing the file leaves the process's one as it was; -1 on failure.
int DuplicateDescriptor(int fd);

// Takes a descriptor open for reading (-1: none), refusing a folder; a
// regular file that does not stand at its start is read from where it stands.
FileHandle AdoptForReading(int fd);

// Writes what is still buffered for an output; false when a write failed.
bool FlushWrites(FileHandle file);

// Closes a file without writing what is still buffered for it.
void CloseUnwritten(FileHandle file);

// What the signals that end the tool remove while an output is open (see
// posix.h): output is emptied when it is a regular file, then its removePath
// is deleted if it still is the file made. Disarmed, they just end the tool.
void ArmRemovalOnSignals(const OutputFile& output);
void DisarmRemovalOnSignals();

// Holds back the signals that end the tool (hold), or lets those that came
// meanwhile arrive, for a step that must not be cut in two.
void HoldEndingSignals(bool hold);

// A loaded bitmap resource, behind its handle: 1-bit, bottom-up rows, most
// significant bit leftmost, 1 = white.
struct Bitmap {
  int width = 0;
  int height = 0;
  int rowBytes = 0;
  std::vector<std::uint8_t> pixels;
};
