// tavelo-convert: the reader's save-as converters on the command line, for
// converting many files and for comparing the converters with other tools.
//
//   tavelo-convert big5-to-gb|hz|qp INPUT OUTPUT
//
// It runs the very loops and output buffer of the File menu's commands over
// the simulated desktop, so names follow Windows' rules (letter case is not
// told apart) and the input is held open with read sharing only. Exit status:
// 0 when OUTPUT was written whole, 1 when a file could not be used (one line
// on standard error names it), 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "conversion/big5_map.h"
#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"

namespace {

struct Converter {
  const char* name;  // the first argument that chooses it
  ConverterLoop loop;
  bool needsBig5Map;  // runs in BIG5 mode, with the BIG5-to-GB map loaded
};

const Converter kConverters[] = {
    {"big5-to-gb", SaveInGbLoop, true},
    {"hz", DecodeHzLoop, false},
    {"qp", DecodeQpLoop, false},
};

int Usage() {
  std::fprintf(stderr, "usage: tavelo-convert big5-to-gb|hz|qp INPUT OUTPUT\n");
  return 2;
}

int Fail(const char* file, const char* what) {
  std::fprintf(stderr, "tavelo-convert: %s: %s\n", file, what);
  return 1;
}

// The two names reach one file, by whatever path or link; compared as the
// platform resolves them, so a name differing only in case counts too.
bool SameFile(const char* a, const char* b) {
  std::error_code error;
  return std::filesystem::equivalent(SimNativePath(a), SimNativePath(b), error);
}

int Convert(const Converter& converter, const char* input, const char* output) {
  if (!AllocateWorkArea()) return Fail(input, "cannot allocate the reader's buffer");
  documentHandle = OpenFileForReading(input);
  if (documentHandle == kInvalidFile) return Fail(input, "cannot open it for reading");
  if (TooLargeToConvert(documentHandle)) {
    return Fail(input, "is 2 GB or larger; only the part below 2 GB could be read");
  }
  if (SameFile(input, output)) return Fail(output, "is the input file itself");
  if (converter.needsBig5Map) {
    if (!LoadBig5Map()) return Fail(input, "cannot load the BIG5-to-GB map");
    big5Mode = 1;
  }
  const FileHandle file = CreateFileForWriting(output);
  if (file == kInvalidFile) return Fail(output, "cannot create it");
  const bool written = ConvertDocument(converter.loop, file);
  CloseFile(file);
  if (!written) {
    DeleteFileNamed(output);
    return Fail(output, "could not write the file");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  for (const Converter& converter : kConverters) {
    if (std::strcmp(argv[1], converter.name) == 0) return Convert(converter, argv[2], argv[3]);
  }
  return Usage();
}
