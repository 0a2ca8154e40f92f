// A file's conversion over large blocks: the input read through the
// platform's file operations, run through up to two byte steps in a row
// (quoted-printable, HZ, Save in GB) and then, when the output is to be in
// another encoding, through a transcoding (encoding/transcode.h), and the
// output written in large pieces. Works over whichever platform side is
// linked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoding/byte_steps.h"
#include "encoding/transcode.h"
#include "platform/platform.h"

// Up to two byte steps, the first one's output the second one's input, and
// what they give transcoded when transcodes is set.
struct ConversionSteps {
  BlockConverter steps[2];
  int count;
  bool transcodes;
  Transcoding transcoding;  // at the text's start
};

// Bytes read from the input per block: small enough that a block and what
// it converts to stay in the processor's cache on their way to the output.
constexpr std::int32_t kReadBlockSize = 1 << 17;

// The most an unfinished piece is held in memory: an HZ run longer than this
// is set aside in a temporary file while it is scanned to its end, and then
// read again from there.
constexpr std::size_t kHeldLimit = std::size_t{2} << 20;

// Told, after each block, how many bytes of the input have been read so far.
struct BlockProgress {
  void (*report)(std::int64_t bytesRead, void* context);
  void* context;
};

// The input of a run: bytes taken from it before (a sample looked at first;
// so input need not be seekable), then the file from where it stands.
struct BlockInput {
  const std::vector<std::uint8_t>* already;
  FileHandle file;
};

// Where a transcoding stopped: the offset in its input (the file's, when no
// byte step comes before it) and the bytes of what it could not convert.
struct StopPlace {
  std::uint64_t offset;
  std::uint8_t bytes[4];
  int length;
};

// What a run met.
struct RunOutcome {
  bool written;              // every write took all its bytes (else the rest was not tried)
  bool setAsideFailed;       // a long HZ run could not be set aside: the rest is not converted
  bool stopped;              // the transcoding met what it could not convert and stopped there
  StopPlace stop;            // where, when stopped
  std::uint64_t malformed;   // input bytes that were no character of the transcoding's source
  std::uint64_t unmappable;  // characters its target has no code for
};

// Runs the steps over input, blockSize bytes at a time, into output.
RunOutcome ConvertInBlocks(const ConversionSteps& steps, const BlockInput& input, FileHandle output,
                           std::int32_t blockSize = kReadBlockSize,
                           const BlockProgress* progress = nullptr);

// Runs the steps over bytes held in memory, as a whole; for a sample of a file.
std::vector<std::uint8_t> ConvertBytes(const ConversionSteps& steps,
                                       const std::vector<std::uint8_t>& bytes);

// Up to limit bytes from the start of input, which is left positioned after them.
std::vector<std::uint8_t> ReadSample(FileHandle input, std::size_t limit);
