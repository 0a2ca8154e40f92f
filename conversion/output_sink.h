// The converters' output: bytes gather in a 32-byte buffer that is written to
// the file whenever it holds 30 or more, so each write carries 30 or 31 bytes.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr int kOutputBufferSize = 32;
constexpr int kOutputFlushAt = 30;  // a write follows the append that reaches this count

// One run's output: local to the run, never shared.
struct OutputSink {
  FileHandle file = kInvalidFile;          // the file being written
  std::uint8_t buffer[kOutputBufferSize];  // appended bytes not yet written
  int count = 0;                           // bytes in buffer, 0..31
  bool writeFailed = false;                // a write did not take every byte; no more are tried
};

// Writes the buffered bytes (also when there are none) and empties the buffer.
void FlushOutput(OutputSink& sink);

// Appends one byte; inline, as the loops append nearly every byte they read.
inline void AppendByte(OutputSink& sink, int byte) {
  sink.buffer[sink.count++] = static_cast<std::uint8_t>(byte);
  if (sink.count >= kOutputFlushAt) FlushOutput(sink);
}

// Appends two bytes as one output: the count is tested once, after both.
inline void AppendPair(OutputSink& sink, int first, int second) {
  sink.buffer[sink.count] = static_cast<std::uint8_t>(first);
  sink.buffer[sink.count + 1] = static_cast<std::uint8_t>(second);
  sink.count += 2;
  if (sink.count >= kOutputFlushAt) FlushOutput(sink);
}
