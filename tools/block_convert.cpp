#include "tools/block_convert.h"

#include <algorithm>

namespace {

// One step of a run: its converter and the bytes it has been given but not
// yet used (an unfinished piece at the end of the last block).
struct Stage {
  BlockConverter run;
  std::vector<std::uint8_t> pending;
  std::vector<std::uint8_t> out;
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

void Feed(Stage* stages, int count, Sink& sink, const std::uint8_t* data, std::size_t size,
          bool last) {
  Stage& stage = stages[0];
  stage.pending.insert(stage.pending.end(), data, data + size);
  if (!last && stage.pending.size() < stage.retryAt) return;
  stage.out.resize(stage.pending.size() * kBlockOutputFactor);
  const BlockResult result =
      stage.run(stage.pending.data(), stage.pending.size(), last, stage.out.data());
  stage.retryAt = result.used == 0 ? stage.pending.size() * 2 : 0;
  stage.pending.erase(stage.pending.begin(),
                      stage.pending.begin() + static_cast<std::ptrdiff_t>(result.used));
  if (count > 1) {
    Feed(stages + 1, count - 1, sink, stage.out.data(), result.written, last);
  } else {
    Deliver(sink, stage.out.data(), result.written);
  }
}

void Prepare(const ConversionSteps& steps, Stage* stages) {
  for (int i = 0; i < steps.count; ++i) {
    stages[i].run = steps.steps[i];
  }
}

}  // namespace

bool ConvertInBlocks(const ConversionSteps& steps, FileHandle input, FileHandle output,
                     std::int32_t blockSize) {
  Stage stages[2];
  Prepare(steps, stages);
  Sink sink;
  sink.file = output;
  std::vector<std::uint8_t> block(static_cast<std::size_t>(blockSize));
  std::int32_t got;
  while (!sink.failed && (got = ReadFromFile(input, block.data(), blockSize)) > 0) {
    Feed(stages, steps.count, sink, block.data(), static_cast<std::size_t>(got), false);
  }
  Feed(stages, steps.count, sink, nullptr, 0, true);
  return !sink.failed;
}

std::vector<std::uint8_t> ConvertBytes(const ConversionSteps& steps,
                                       const std::vector<std::uint8_t>& bytes) {
  Stage stages[2];
  Prepare(steps, stages);
  std::vector<std::uint8_t> result;
  Sink sink;
  sink.bytes = &result;
  Feed(stages, steps.count, sink, bytes.data(), bytes.size(), true);
  return result;
}

std::vector<std::uint8_t> ReadSample(FileHandle input, std::size_t limit) {
  std::vector<std::uint8_t> sample(limit);
  std::size_t fill = 0;
  std::int32_t got;
  while (fill < limit &&
         (got = ReadFromFile(input, sample.data() + fill,
                             static_cast<std::int32_t>(std::min<std::size_t>(
                                 limit - fill, kReadBlockSize)))) > 0) {
    fill += static_cast<std::size_t>(got);
  }
  sample.resize(fill);
  return sample;
}
