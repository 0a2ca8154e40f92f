// tavelo-convert: the reader's save-as converters on the command line, for
// converting many files and for comparing the converters with other tools.
//
//   tavelo-convert big5-to-gb|hz|qp INPUT OUTPUT
//
// It runs the very loops and output buffer of the File menu's commands on
// the files as given: names are used exactly (letter case counts). INPUT may
// be a pipe, a FIFO or a device, read as a stream; a folder is refused. An
// OUTPUT that is INPUT by any name (another spelling, a symbolic or hard
// link) is refused before anything is written. Exit status: 0 when OUTPUT was
// written whole, 1 when a file could not be used or the output could not be
// made whole (one line on standard error names the file; a partial output is
// removed, a device only written to), 2 for a wrong command line.
#include <cstdio>
#include <cstring>

#include "conversion/big5_map.h"
#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "tools/tool_files.h"

const char* const kToolName = "tavelo-convert";

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

int Convert(const Converter& converter, const char* input, const char* output) {
  if (!OpenDocument(input)) return 1;
  if (TooLargeToConvert(documentHandle)) {
    return ReportFailure(input, "is 2 GB or larger; only the part below 2 GB could be read");
  }
  if (converter.needsBig5Map) {
    if (!LoadBig5Map()) return 1;  // the map has said why
    big5Mode = 1;
  }
  OutputFile file;
  if (!OpenOutput(output, &file)) return 1;
  const bool written = ConvertDocument(converter.loop, file.handle);
  if (!DocumentReadWhole(input)) {
    DiscardOutputFile(&file);
    return 1;
  }
  return FinishOutput(output, &file, written, "could not write the file") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  for (const Converter& converter : kConverters) {
    if (std::strcmp(argv[1], converter.name) == 0) return Convert(converter, argv[2], argv[3]);
  }
  return Usage();
}
