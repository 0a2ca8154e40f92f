// Random documents through each converter loop. Save in GB writes exactly as
// many bytes as it reads (each BIG5 pair becomes one GB2312 pair, every other
// byte stays itself); the HZ and quoted-printable decoders never write more
// than they read, and leave a document without their escape character as it
// is. Output goes in pieces of 30 or 31 bytes and one final rest; on a disk
// that runs full the loop reports the failure and the file holds exactly the
// bytes that fitted, the first bytes of the full output.
//
// Input: a loop selector, a disk-space selector (16 bits), then the document.
#include <algorithm>
#include <string>

#include "conversion/converters.h"
#include "conversion/output_sink.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "fuzz/fuzz_support.h"

namespace {

struct Loop {
  const char* name;
  ConverterLoop run;
  int escape;  // the decoder's escape byte; 0 for Save in GB
};

const Loop kLoops[] = {
    {"Save in GB", SaveInGbLoop, 0},
    {"Decode HZ", DecodeHzLoop, '~'},
    {"Decode QP", DecodeQpLoop, '='},
};

std::string OutputPath() {
  return ScratchPath("output.txt");
}

// Converts the open document into the output file; what ConvertDocument says.
bool Convert(const Loop& loop, Bytes* written) {
  const FileHandle output = CreateFileForWriting(OutputPath().c_str());
  FUZZ_CHECK(output != kInvalidFile, "the output cannot be created");
  simFiles = SimFileCounters{};
  const bool complete = ConvertDocument(loop.run, output);
  CloseFile(output);
  *written = ReadWholeFile(OutputPath());
  return complete;
}

void CheckPieces(const std::string& name) {
  const std::vector<int>& sizes = simFiles.writeSizes;
  FUZZ_CHECK(!sizes.empty(), name + ": no final write");
  for (std::size_t i = 0; i + 1 < sizes.size(); ++i) {
    FUZZ_CHECK(sizes[i] == kOutputFlushAt || sizes[i] == kOutputFlushAt + 1,
               name + ": a write of " + std::to_string(sizes[i]) + " bytes");
  }
  FUZZ_CHECK(sizes.back() >= 0 && sizes.back() <= kOutputFlushAt + 1,
             name + ": a final write of " + std::to_string(sizes.back()) + " bytes");
}

// Save in GB's output, byte for byte against its input.
void CheckSaveInGb(const Bytes& in, const Bytes& out) {
  FUZZ_CHECK(out.size() == in.size(), "Save in GB wrote " + std::to_string(out.size()) +
                                          " bytes for " + std::to_string(in.size()));
  for (std::size_t i = 0; i < in.size();) {
    if (IsBig5Lead(in[i]) && i + 1 < in.size() && IsBig5Trail(in[i + 1])) {
      FUZZ_CHECK(out[i] >= 0xA1 && out[i] <= 0xF7 && out[i + 1] >= 0xA1 && out[i + 1] <= 0xFE,
                 "Save in GB: the pair at " + std::to_string(i) + " is no GB2312 code");
      i += 2;
    } else {
      FUZZ_CHECK(out[i] == in[i], "Save in GB changed the single byte at " + std::to_string(i));
      i += 1;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StartFuzzProgram(640, 400);
  FuzzInput input(data, size);
  const Loop& loop = kLoops[input.Byte() % 3];
  const unsigned spaceSelector = input.Unsigned16();
  const Bytes document = input.Rest();
  const std::int64_t documentSize = static_cast<std::int64_t>(document.size());
  const std::string name = loop.name;
  OpenFuzzDocument(document);

  Bytes out;
  FUZZ_CHECK(Convert(loop, &out), name + ": a write failed with room on the disk");
  CheckPieces(name);
  CheckReaderWithin(documentSize);
  FUZZ_CHECK(reader.blockBase + reader.blockFill == documentSize,
             name + ": stopped before the end");
  if (loop.escape == 0) {
    CheckSaveInGb(document, out);
  } else {
    FUZZ_CHECK(out.size() <= document.size(), name + " wrote " + std::to_string(out.size()) +
                                                  " bytes for " + std::to_string(document.size()));
    bool escapes = false;
    for (std::uint8_t b : document) escapes = escapes || b == loop.escape;
    FUZZ_CHECK(escapes || out == document, name + " changed a document without escapes");
  }

  // The same run on a disk with room for only part of the output.
  const std::int64_t room = static_cast<std::int64_t>(spaceSelector % (out.size() + 1));
  SimSetDiskSpace(room);
  Bytes partial;
  const bool complete = Convert(loop, &partial);
  SimSetDiskSpace(-1);
  const bool fits = room >= static_cast<std::int64_t>(out.size());
  FUZZ_CHECK(complete == fits, name + ": a full disk went unreported, or a fitting output failed");
  FUZZ_CHECK(partial.size() == static_cast<std::size_t>(fits ? out.size() : room),
             name + ": the file does not hold what fitted");
  FUZZ_CHECK(std::equal(partial.begin(), partial.end(), out.begin()),
             name + ": the file is not the start of the output");
  CheckReaderWithin(documentSize);
  return 0;
}
