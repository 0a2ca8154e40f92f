// What the fuzz targets share: the program started once on the simulated
// desktop, random documents made the open document, the checks that turn a
// broken property into a crash libFuzzer keeps, and the painter's cells
// checked against the bytes of the lines they belong to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "tests/test_support.h"

// Stops the run with the failed property; libFuzzer saves the input.
[[noreturn]] void FuzzFailure(const char* file, int line, const std::string& what);

#define FUZZ_CHECK(condition, what)                                       \
  do {                                                                    \
    if (!(condition)) FuzzFailure(__FILE__, __LINE__, std::string(what)); \
  } while (0)

// Takes bytes off the front of a fuzz input; past its end every value is 0.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int Int16() { return static_cast<std::int16_t>(Byte() | Byte() << 8); }
  unsigned Unsigned16() { return static_cast<unsigned>(Byte() | Byte() << 8); }
  Bytes Take(std::size_t count);  // at most count bytes
  Bytes Rest() { return Take(size_ - at_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Starts the program (not a first run, no document) with a client area of
// width x height pixels and the BIG5 table loaded, so that either mode can be
// switched on by its flag alone. Runs once per process.
void StartFuzzProgram(int width, int height);

// Writes the bytes to the process's scratch file and makes it the open
// document in place of any other. Does not lay it out.
void OpenFuzzDocument(const Bytes& document);

// A file of that name in the process's scratch folder, which goes at exit.
std::string ScratchPath(const std::string& name);

// Closes the open document, if any.
void CloseFuzzDocument();

// The reader holds nothing the document does not have: its block lies within
// the file and its cursor within the block.
void CheckReaderWithin(std::int64_t documentSize);

// The Line index of the open document keeps its invariants for columns.
void CheckIndexInvariants(std::int64_t documentSize, int columns);

// The file offset of every display line's first byte, and of the end of the
// last line: lastLine + 2 sums of lineBytes.
std::vector<std::int64_t> LineStarts();

// Checks the copies that one paint of the page made (simPaint.copies) against
// the document: every cell stands on a visible line in its place, and walking
// each display line's bytes (from its lineBytes entry) yields exactly the
// cells drawn on it, in order, each from the atlas cell of its byte or pair.
// The page shows lines from firstLine on, visible lines 0..lastVisible of it.
// With wholeLines, every character of each painted line must have been drawn
// (a rectangle that reaches past the last column); otherwise only a prefix.
void CheckCopiesAgainstLines(const Bytes& document, const std::vector<std::int64_t>& starts,
                             int firstLine, int lastVisible, bool wholeLines);
