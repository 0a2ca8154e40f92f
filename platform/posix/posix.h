// What the native command-line tools need of the system beyond platform.h:
// the facts of a failed read or write, outputs made safely, and the
// off-screen page that tavelo-render paints.
//
// Names are used exactly as given: letter case counts and a backslash is an
// ordinary character. Pipes, FIFOs and character devices are read as streams;
// what was read from one is kept for kStreamHistory bytes, so that the
// reader can go back within that much (the HZ decoder returns to the start of
// each run, the painter to the lines it shows).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// ---- Files ----

constexpr std::int64_t kStreamHistory = std::int64_t{16} << 20;

// errno of the file's first failed read or write (ESPIPE for a stream sought
// back further than its history); 0 while none failed.
int FileError(FileHandle file);

// An output file of a tool, from its opening to its end.
struct OutputFile {
  FileHandle handle = kInvalidFile;
  bool regular = false;  // a regular file; devices and FIFOs are only written to
  bool created = false;  // the tool made it: it did not exist before
  bool viaLink = false;  // the name given is a symbolic link
  // What a failure removes: the real path of a file the tool made, or the
  // name of a regular file named directly; empty for the target of a link
  // that existed before, and for devices.
  std::string removePath;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

enum OutputOpening {
  kOutputOpened,   // ready for WriteToFile
  kOutputIsInput,  // the name reaches the input file: nothing was opened or changed
  kOutputFailed,   // errno says why; nothing was created
};

// Opens name for writing, unless it reaches input by any path or link. An
// existing regular file is emptied only after that check; a device or FIFO
// is written as it is.
OutputOpening OpenOutputFile(const char* name, FileHandle input, OutputFile* output);

// Writes what is still buffered and closes the file; false when a write or
// the close failed (errno says why).
bool CloseOutputFile(OutputFile* output);

// After a failure: closes the file if it is open and removes the partial
// output. A regular file is emptied first (so no other link to it keeps a
// part), then deleted if the tool made it or it was named directly; the
// target of a symbolic link that existed before stays (empty), and a device
// or FIFO is never touched.
void DiscardOutputFile(OutputFile* output);

// Ends an output written beside original to take its place: what is still
// buffered written, the file given original's owner (where allowed) and
// permission bits and flushed to the disk, then renamed over original, so
// that original is at every moment either as it was or the whole new file.
// False, errno saying why, with the output removed and original as it was.
bool ReplaceWithOutput(OutputFile* output, const char* original);

// While an output is open, SIGINT, SIGTERM and SIGHUP remove it as
// DiscardOutputFile would before the tool dies of them (a signal the tool
// was started ignoring stays ignored).

// ---- The process's own files ----

// Standard input as a file to read: a regular file from where it stands, a
// pipe, FIFO or device as a stream. kInvalidFile when it is closed.
FileHandle OpenStandardInput();

// Standard output as an output, refused like any other when it is input
// (`>> INPUT`). It is only written to: a failure leaves what the shell made.
OutputOpening OpenStandardOutput(FileHandle input, OutputFile* output);

// Standard error is a terminal, where a progress line can be redrawn.
bool StandardErrorIsTerminal();

// The file that name reaches, links followed; false when there is none.
bool FileIdentityOfName(const char* name, FileIdentity* identity);

// Makes the folder name unless one is there; false, errno saying why, when
// there is no folder of that name afterwards.
bool MakeFolder(const char* name);

// ---- The off-screen page ----

// The tools have no window: the painter paints onto a page of this size
// (white, 0 black and 255 white), which is the client area it sees.
void SetPageSize(int width, int height);
const std::vector<std::uint8_t>& PagePixels();
