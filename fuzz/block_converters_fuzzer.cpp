// The command line's block converters against the reader's loops: random
// documents through every conversion, read in blocks of a random size, give
// exactly the loop's bytes; and the UTF-8 step, run on those blocks behind the
// conversion, gives what it gives for the loop's whole output at once.
//
// Input: a conversion selector, a block-size selector, the size of a sample
// taken before the blocks (as auto takes one), then the document.
#include <algorithm>
#include <string>

#include "conversion/block_converters.h"
#include "conversion/block_driver.h"
#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "fuzz/fuzz_support.h"

namespace {

struct Conversion {
  const char* name;
  ConverterLoop loop;  // null: GB2312 as it is
  BlockConverter block;
};

const Conversion kConversions[] = {
    {"Save in GB", SaveInGbLoop, SaveInGbBlock},
    {"Decode HZ", DecodeHzLoop, DecodeHzBlock},
    {"Decode QP", DecodeQpLoop, DecodeQpBlock},
    {"GB2312", nullptr, CopyBlock},
};

// Runs the steps over the document: its first bytes as a sample taken before,
// the rest from the file, blockSize bytes at a time.
Bytes RunBlocks(const ConversionSteps& steps, const Bytes& sample, const std::string& rest,
                std::int32_t blockSize) {
  const std::string output = ScratchPath("blocks.txt");
  const FileHandle in = OpenFileForReading(rest.c_str());
  const FileHandle out = CreateFileForWriting(output.c_str());
  FUZZ_CHECK(in != kInvalidFile && out != kInvalidFile, "the files cannot be opened");
  FUZZ_CHECK(ConvertInBlocks(steps, {&sample, in}, out, blockSize).written, "a write failed");
  CloseFile(in);
  CloseFile(out);
  return ReadWholeFile(output);
}

Bytes RunLoop(ConverterLoop loop) {
  const std::string output = ScratchPath("loop.txt");
  const FileHandle out = CreateFileForWriting(output.c_str());
  FUZZ_CHECK(out != kInvalidFile && ConvertDocument(loop, out), "the loop's output failed");
  CloseFile(out);
  return ReadWholeFile(output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StartFuzzProgram(640, 400);
  static bool expanded = false;
  if (!expanded) ExpandBig5Map();
  expanded = true;
  big5Mode = 1;
  FuzzInput input(data, size);
  const Conversion& c = kConversions[input.Byte() % 4];
  const std::int32_t blockSize = 1 + static_cast<std::int32_t>(input.Byte() % 64);
  const std::size_t sampleSize = input.Byte() % 16;
  const Bytes document = input.Rest();
  const Bytes sample(document.begin(), document.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                              sampleSize, document.size())));
  OpenFuzzDocument(document);
  const std::string name = std::string(c.name) + ", blocks of " + std::to_string(blockSize);
  const std::string restPath = ScratchPath("block-input.txt");
  {
    const FileHandle copy = CreateFileForWriting(restPath.c_str());
    WriteToFile(copy, document.data() + sample.size(),
                static_cast<std::int32_t>(document.size() - sample.size()));
    CloseFile(copy);
  }

  const Bytes expected = c.loop != nullptr ? RunLoop(c.loop) : document;
  ConversionSteps steps{};
  steps.steps[steps.count++] = c.block;
  FUZZ_CHECK(RunBlocks(steps, sample, restPath, blockSize) == expected,
             name + ": not the loop's bytes");
  ConversionSteps toUtf8{};
  toUtf8.transcodes = true;
  toUtf8.transcoding = StartTranscoding(kGb2312, kUtf8, kReplaceUnconvertible);
  steps.transcodes = true;
  steps.transcoding = toUtf8.transcoding;
  FUZZ_CHECK(RunBlocks(steps, sample, restPath, blockSize) == ConvertBytes(toUtf8, expected),
             name + ": UTF-8 made in blocks differs from UTF-8 made at once");
  return 0;
}
