// The command line's file conversion: the input read in large blocks through
// the platform's file operations, run through one or two block converters in
// a row, and the output written in large pieces. Works over whichever
// platform side is linked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "conversion/block_converters.h"
#include "platform/platform.h"

// Up to two converters, the first one's output the second one's input.
struct ConversionSteps {
  BlockConverter steps[2];
  int count;
};

// Bytes read from the input per block: small enough that a block and what
// it converts to stay in the processor's cache on their way to the output.
constexpr std::int32_t kReadBlockSize = 1 << 17;

// Told, after each block, how many bytes of the input have been read so far.
struct BlockProgress {
  void (*report)(std::int64_t bytesRead, void* context);
  void* context;
};

// Runs the steps over already, bytes taken from input before (a sample
// looked at first; so input need not be seekable), and then over input, read
// blockSize bytes at a time from where it stands to its end, into output;
// false when a write did not take all its bytes (the rest is then not tried).
bool ConvertInBlocks(const ConversionSteps& steps, const std::vector<std::uint8_t>& already,
                     FileHandle input, FileHandle output, std::int32_t blockSize = kReadBlockSize,
                     const BlockProgress* progress = nullptr);

// Runs the steps over bytes held in memory, as a whole; for a sample of a file.
std::vector<std::uint8_t> ConvertBytes(const ConversionSteps& steps,
                                       const std::vector<std::uint8_t>& bytes);

// Up to limit bytes from the start of input, which is left positioned after them.
std::vector<std::uint8_t> ReadSample(FileHandle input, std::size_t limit);
