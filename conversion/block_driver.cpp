#include "conversion/block_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "encoding/byte_rules.h"

namespace {

// Bytes in memory that is not cleared when it grows: each block is read or
// converted straight into it. The memory is page-aligned and blocks are read
// kHeadroom bytes into it, the unused bytes of the last block moved in front:
// a read's copy out of the kernel's page-aligned cache is several times
// slower into memory at a small offset from a page (4K aliasing).
constexpr std::size_t kHeadroom = 64;
constexpr std::align_val_t kPage{4096};

struct Buffer {
  std::uint8_t* data = nullptr;
  std::size_t begin = 0;  // the bytes are data[begin, begin + size)
  std::size_t size = 0;
  std::size_t capacity = 0;
  Buffer() = default;
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  ~Buffer() { ::operator delete[](data, kPage); }
  std::uint8_t* Bytes() const { return data + begin; }
  std::uint8_t* End() const { return data + begin + size; }
  // Room for wanted bytes from Bytes() on.
  void Reserve(std::size_t wanted) {
    if (begin + wanted <= capacity) return;
    if (wanted <= capacity) {
      Front(0);
      return;
    }
    const std::size_t grown = std::max(wanted, capacity * 2);
    auto* bigger = static_cast<std::uint8_t*>(::operator new[](grown, kPage));
    if (size > 0) std::memcpy(bigger, Bytes(), size);
    ::operator delete[](data, kPage);
    data = bigger;
    capacity = grown;
    begin = 0;
  }
  // Moves the bytes to begin at offset at.
  void Front(std::size_t at) {
    if (size > 0 && at != begin) std::memmove(data + at, Bytes(), size);
    begin = at;
  }
  // Makes room for a block of count bytes to be read at End(), which is
  // kHeadroom into the memory when the bytes fit in front of it.
  std::uint8_t* RoomForBlock(std::size_t count) {
    if (size <= kHeadroom) {
      Reserve(kHeadroom + count);
      Front(kHeadroom - size);
    } else {
      Reserve(size + count);
    }
    return End();
  }
  void Append(const std::uint8_t* bytes, std::size_t count) {
    Reserve(size + count);
    if (count > 0) std::memcpy(End(), bytes, count);
    size += count;
  }
  void Drop(std::size_t count) {  // the first count bytes
    begin += count;
    size -= count;
    if (size == 0) begin = 0;
  }
};

// One step of a run: a byte step or the transcoding, and the bytes it has
// been given but not yet used (an unfinished piece at the end of the last
// block).
struct Stage {
  BlockConverter step = nullptr;  // null: the transcoding
  Transcoding transcoding{};
  std::uint64_t used = 0;  // bytes of its input it has used so far
  Buffer pending;
  Buffer out;
  // A step that used nothing of its bytes (a long HZ run still open) is asked
  // again only when they have doubled, so a long run is scanned a few times,
  // not once per block.
  std::size_t retryAt = 0;
  // An HZ run too long to hold, set aside from its first pair on while it is
  // scanned for its end; null while there is none.
  std::FILE* setAside = nullptr;
  HzRunScan scan{};
};

// Where the last step's output goes (a file, or memory), and how the run is going.
struct Sink {
  FileHandle file = kInvalidFile;
  std::vector<std::uint8_t>* bytes = nullptr;
  bool failed = false;
  bool stopped = false;
  StopPlace stop{};
  bool setAsideFailed = false;
};

void Deliver(Sink& sink, const std::uint8_t* data, std::size_t size) {
  if (sink.failed || size == 0) return;
  if (sink.bytes != nullptr) {
    sink.bytes->insert(sink.bytes->end(), data, data + size);
  } else if (!WriteToFile(sink.file, data, static_cast<std::int32_t>(size))) {
    sink.failed = true;
  }
}

void Run(Stage* stages, int count, Sink& sink, bool last);

// Hands what the first stage made to the next stage or the sink.
void Pass(Stage* stages, int count, Sink& sink, const std::uint8_t* data, std::size_t size,
          bool last) {
  if (count == 1) {
    Deliver(sink, data, size);
    return;
  }
  stages[1].pending.Append(data, size);
  Run(stages + 1, count - 1, sink, last);
}

// Sets aside the HZ run that the first stage's pending bytes begin with
// ("~{" and its first pairs), to be scanned for its end.
void SetAside(Stage& stage, Sink& sink) {
  stage.setAside = std::tmpfile();
  Buffer& pending = stage.pending;
  if (stage.setAside == nullptr) {
    sink.setAsideFailed = true;
    return;
  }
  stage.scan = kHzRunStart;
  std::fwrite(pending.Bytes() + 2, 1, pending.size - 2, stage.setAside);
  ScanHzRun(&stage.scan, pending.Bytes() + 2, pending.size - 2, false);
  pending.Drop(pending.size);
}

// The set-aside run has ended: it is read again from the file, as GB2312
// bytes when "~}" or the end of the text closed it, else as ordinary input
// after its "~{", as DecodeHzBlock reads it. What followed its end goes on
// through the stage as it comes.
void ReadSetAside(Stage* stages, int count, Sink& sink, bool last) {
  Stage& stage = stages[0];
  std::FILE* file = stage.setAside;
  stage.setAside = nullptr;
  bool failed = std::fflush(file) != 0 || std::ferror(file) != 0;
  std::rewind(file);
  std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[kReadBlockSize]);
  if (!stage.scan.closed) {
    static const std::uint8_t kRunStart[2] = {'~', '{'};
    Pass(stages, count, sink, kRunStart, 2, false);
  }
  for (std::uint64_t pairs = stage.scan.closed ? stage.scan.pairBytes : 0; pairs > 0;) {
    const std::size_t got =
        std::fread(chunk.get(), 1, std::min<std::uint64_t>(pairs, kReadBlockSize), file);
    if (got == 0) break;
    for (std::size_t i = 0; i < got; ++i) chunk[i] |= 0x80;
    Pass(stages, count, sink, chunk.get(), got, false);
    pairs -= got;
  }
  if (stage.scan.closed && !stage.scan.atEnd) std::fseek(file, 2, SEEK_CUR);  // the "~}"
  // The rest as ordinary input: an unclosed run's pairs, and what followed the run.
  stage.retryAt = 0;
  std::size_t got;
  while ((got = std::fread(chunk.get(), 1, kReadBlockSize, file)) > 0) {
    stage.pending.Append(chunk.get(), got);
    Run(stages, count, sink, false);
  }
  failed = failed || std::ferror(file) != 0;
  std::fclose(file);
  sink.setAsideFailed = sink.setAsideFailed || failed;
  if (last) Run(stages, count, sink, true);
}

// The first stage's pending bytes, the new ones already appended, go into
// the HZ run set aside: scanned and kept in the file.
void AddToSetAside(Stage* stages, int count, Sink& sink, bool last) {
  Stage& stage = stages[0];
  Buffer& pending = stage.pending;
  std::fwrite(pending.Bytes(), 1, pending.size, stage.setAside);
  ScanHzRun(&stage.scan, pending.Bytes(), pending.size, last);
  pending.Drop(pending.size);
  if (stage.scan.ended) ReadSetAside(stages, count, sink, last);
}

// Runs the first stage over its pending bytes (the new ones already appended)
// and passes on what it made.
void Run(Stage* stages, int count, Sink& sink, bool last) {
  Stage& stage = stages[0];
  Buffer& pending = stage.pending;
  if (sink.stopped || sink.setAsideFailed) return;
  if (stage.setAside != nullptr) {
    AddToSetAside(stages, count, sink, last);
    return;
  }
  if (!last && pending.size < stage.retryAt) return;
  BlockResult result;
  if (stage.step != nullptr) {
    stage.out.Reserve(pending.size);
    result = stage.step(pending.Bytes(), pending.size, last, stage.out.Bytes());
  } else {
    stage.out.Reserve(pending.size * kMostBytesPerCharacter);
    const CodecResult r =
        Transcode(&stage.transcoding, pending.Bytes(), pending.size, last, stage.out.Bytes());
    result = {r.used, r.written};
    sink.stopped = stage.transcoding.stopped;
    if (sink.stopped) {
      // What it stopped at: the character as the source's rules bound it, or
      // the bytes left when they do not tell.
      const std::uint8_t* at = pending.Bytes() + r.used;
      const int left = static_cast<int>(std::min<std::size_t>(pending.size - r.used, 4));
      const int length =
          CharacterLength(stage.transcoding.from, at, left, true, stage.transcoding.bigEndian);
      sink.stop.offset = stage.used + r.used;
      sink.stop.length = length > 0 && length <= left ? length : left;
      std::memcpy(sink.stop.bytes, at, static_cast<std::size_t>(sink.stop.length));
    }
  }
  stage.used += result.used;
  stage.retryAt = result.used == 0 ? pending.size * 2 : 0;
  pending.Drop(result.used);
  Pass(stages, count, sink, stage.out.Bytes(), result.written, last);
  // Only an HZ run leaves more than a few bytes unused; it begins with "~{".
  if (!last && stage.step == DecodeHzBlock && pending.size >= kHeldLimit) SetAside(stage, sink);
}

int Prepare(const ConversionSteps& steps, Stage* stages) {
  for (int i = 0; i < steps.count; ++i) stages[i].step = steps.steps[i];
  if (!steps.transcodes) return steps.count;
  stages[steps.count].transcoding = steps.transcoding;
  return steps.count + 1;
}

// The input of a run as it is read: the bytes taken before, then the file.
struct Source {
  const BlockInput& input;
  std::size_t taken = 0;  // of the bytes taken before
  std::int64_t read = 0;  // bytes read in all
  std::int32_t Read(std::uint8_t* into, std::int32_t size) {
    const std::vector<std::uint8_t>& already = *input.already;
    std::int32_t got;
    if (taken < already.size()) {
      got = static_cast<std::int32_t>(std::min<std::size_t>(size, already.size() - taken));
      std::memcpy(into, already.data() + taken, static_cast<std::size_t>(got));
      taken += static_cast<std::size_t>(got);
    } else {
      got = ReadFromFile(input.file, into, size);
    }
    read += got;
    return got;
  }
};

}  // namespace

RunOutcome ConvertInBlocks(const ConversionSteps& steps, const BlockInput& input, FileHandle output,
                           std::int32_t blockSize, const BlockProgress* progress) {
  Stage stages[3];
  const int count = Prepare(steps, stages);
  Sink sink;
  sink.file = output;
  Source source{input};
  // Each block is read straight behind the first stage's unused bytes.
  Buffer& pending = stages[0].pending;
  while (!sink.failed && !sink.stopped && !sink.setAsideFailed) {
    const std::int32_t got =
        source.Read(pending.RoomForBlock(static_cast<std::size_t>(blockSize)), blockSize);
    if (got <= 0) break;
    pending.size += static_cast<std::size_t>(got);
    Run(stages, count, sink, false);
    if (progress != nullptr) progress->report(source.read, progress->context);
  }
  Run(stages, count, sink, true);
  RunOutcome outcome{};
  outcome.written = !sink.failed;
  outcome.stopped = sink.stopped;
  outcome.stop = sink.stop;
  outcome.setAsideFailed = sink.setAsideFailed;
  for (Stage& stage : stages) {
    if (stage.setAside != nullptr) std::fclose(stage.setAside);
  }
  if (steps.transcodes) {
    const Transcoding& t = stages[count - 1].transcoding;
    outcome.malformed = t.malformed;
    outcome.unmappable = t.unmappable;
  }
  return outcome;
}

std::vector<std::uint8_t> ConvertBytes(const ConversionSteps& steps,
                                       const std::vector<std::uint8_t>& bytes) {
  Stage stages[3];
  const int count = Prepare(steps, stages);
  std::vector<std::uint8_t> result;
  Sink sink;
  sink.bytes = &result;
  stages[0].pending.Append(bytes.data(), bytes.size());
  Run(stages, count, sink, true);
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
