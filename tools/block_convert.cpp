#include "tools/block_convert.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Bytes in memory that is not cleared when it grows: each block is read or
// converted straight into it.
struct Buffer {
  std::unique_ptr<std::uint8_t[]> data;
  std::size_t size = 0;
  std::size_t capacity = 0;
  void Reserve(std::size_t wanted) {
    if (wanted <= capacity) return;
    const std::size_t grown = std::max(wanted, capacity * 2);
    std::unique_ptr<std::uint8_t[]> bigger(new std::uint8_t[grown]);
    if (size > 0) std::memcpy(bigger.get(), data.get(), size);
    data = std::move(bigger);
    capacity = grown;
  }
  void Append(const std::uint8_t* bytes, std::size_t count) {
    Reserve(size + count);
    if (count > 0) std::memcpy(data.get() + size, bytes, count);
    size += count;
  }
  void Drop(std::size_t count) {  // the first count bytes
    if (count == 0) return;
    std::memmove(data.get(), data.get() + count, size - count);
    size -= count;
  }
};

// One step of a run: its converter and the bytes it has been given but not
// yet used (an unfinished piece at the end of the last block).
struct Stage {
  BlockConverter run;
  Buffer pending;
  Buffer out;
  // A step that used nothing of its bytes (a long HZ run still open) is asked
  // again only when they have doubled, so a long run is scanned a few times,
  // not once per block.
  std::size_t retryAt = 0;
};

// Where the last step's output goes: a file, or memory.
struct Sink {
  FileHandle file = kInvalidFile;
  std::vector<std::uint8_t>* bytes = nullptr;
  bool failed = false;
};

void Deliver(Sink& sink, const std::uint8_t* data, std::size_t size) {
  if (sink.failed || size == 0) return;
  if (sink.bytes != nullptr) {
    sink.bytes->insert(sink.bytes->end(), data, data + size);
  } else if (!WriteToFile(sink.file, data, static_cast<std::int32_t>(size))) {
    sink.failed = true;
  }
}

// Runs the first stage over its pending bytes (the new ones already appended)
// and hands what it made to the next stage or the sink.
void Run(Stage* stages, int count, Sink& sink, bool last) {
  Stage& stage = stages[0];
  Buffer& pending = stage.pending;
  if (!last && pending.size < stage.retryAt) return;
  stage.out.Reserve(pending.size * kBlockOutputFactor);
  const BlockResult result =
      stage.run(pending.data.get(), pending.size, last, stage.out.data.get());
  stage.retryAt = result.used == 0 ? pending.size * 2 : 0;
  pending.Drop(result.used);
  if (count == 1) {
    Deliver(sink, stage.out.data.get(), result.written);
    return;
  }
  stages[1].pending.Append(stage.out.data.get(), result.written);
  Run(stages + 1, count - 1, sink, last);
}

void Prepare(const ConversionSteps& steps, Stage* stages) {
  for (int i = 0; i < steps.count; ++i) {
    stages[i].run = steps.steps[i];
  }
}

}  // namespace

bool ConvertInBlocks(const ConversionSteps& steps, const std::vector<std::uint8_t>& already,
                     FileHandle input, FileHandle output, std::int32_t blockSize,
                     const BlockProgress* progress) {
  Stage stages[2];
  Prepare(steps, stages);
  Sink sink;
  sink.file = output;
  // Each block is read straight behind the first stage's unused bytes.
  Buffer& pending = stages[0].pending;
  pending.Append(already.data(), already.size());
  std::int64_t read = static_cast<std::int64_t>(already.size());
  while (!sink.failed) {
    pending.Reserve(pending.size + static_cast<std::size_t>(blockSize));
    const std::int32_t got = ReadFromFile(input, pending.data.get() + pending.size, blockSize);
    if (got <= 0) break;
    pending.size += static_cast<std::size_t>(got);
    Run(stages, steps.count, sink, false);
    read += got;
    if (progress != nullptr) progress->report(read, progress->context);
  }
  Run(stages, steps.count, sink, true);
  return !sink.failed;
}

std::vector<std::uint8_t> ConvertBytes(const ConversionSteps& steps,
                                       const std::vector<std::uint8_t>& bytes) {
  Stage stages[2];
  Prepare(steps, stages);
  std::vector<std::uint8_t> result;
  Sink sink;
  sink.bytes = &result;
  stages[0].pending.Append(bytes.data(), bytes.size());
  Run(stages, steps.count, sink, true);
  return result;
}

std::vector<std::uint8_t> ReadSample(FileHandle input, std::size_t limit) {
  std::vector<std::uint8_t> sample(limit);
  std::size_t fill = 0;
  std::int32_t got;
  while (fill < limit && (got = ReadFromFile(input, sample.data() + fill,
                                             static_cast<std::int32_t>(std::min<std::size_t>(
                                                 limit - fill, kReadBlockSize)))) > 0) {
    fill += static_cast<std::size_t>(got);
  }
  sample.resize(fill);
  return sample;
}
