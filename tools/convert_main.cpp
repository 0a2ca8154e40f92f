// tavelo-convert: the reader's save-as converters on the command line, for
// converting many files and for comparing the converters with other tools.
//
//   tavelo-convert big5-to-gb|hz|qp|gb|auto [--to utf-8] INPUT OUTPUT
//   tavelo-convert detect FILE...
//   tavelo-convert --help
//
// The conversions give exactly the bytes of the File menu's converters, made
// over large blocks (conversion/block_converters.h), on the files as given:
// names are used exactly (letter case counts). INPUT may be a pipe, a FIFO or
// a device, read as a stream, to its end whatever its length; a folder is
// refused. An OUTPUT that is INPUT by any name (another spelling, a symbolic
// or hard link) is refused before anything is written. Exit status: 0 when
// OUTPUT was written whole (detect: every file was read), 1 when a file could
// not be used or the output could not be made whole (one line on standard
// error names the file; a partial output is removed, a device only written
// to), 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "conversion/big5_map.h"
#include "conversion/block_converters.h"
#include "conversion/detect_encoding.h"
#include "document/reader.h"
#include "tools/block_convert.h"
#include "tools/tool_files.h"

const char* const kToolName = "tavelo-convert";

namespace {

struct Converter {
  const char* name;       // the first argument that chooses it
  BlockConverter block;   // null for auto, which picks one by detection
  DetectedEncoding from;  // the encoding it reads
};

const Converter kConverters[] = {
    {"big5-to-gb", SaveInGbBlock, kEncodingBig5}, {"hz", DecodeHzBlock, kEncodingHz},
    {"qp", DecodeQpBlock, kEncodingQp},           {"gb", CopyBlock, kEncodingGb2312},
    {"auto", nullptr, kEncodingBinary},
};

const char kUsage[] =
    "usage: tavelo-convert big5-to-gb|hz|qp|gb|auto [--to utf-8] INPUT OUTPUT | detect FILE...\n";

const char kHelp[] =
    "  big5-to-gb  BIG5 text to GB2312 (traditional characters simplified)\n"
    "  hz          HZ (~{...~}) to GB2312\n"
    "  qp          quoted-printable decoded\n"
    "  gb          GB2312 text as it is (to re-encode it with --to utf-8)\n"
    "  auto        the conversion that detect's answer asks for; quoted-printable\n"
    "              is decoded and then detected again; UTF-8 and ASCII are\n"
    "              copied unchanged, binary files are refused\n"
    "  --to utf-8  write UTF-8 instead of GB2312: bytes below 0x80 (ASCII, CR, LF)\n"
    "              stay, each GB2312 pair becomes its character, a pair where\n"
    "              GB2312 has no character and every other byte of 0x80 or more\n"
    "              become U+FFFD\n"
    "  detect      one line per file, \"FILE: NAME\", NAME one of gb2312, big5,\n"
    "              hz, qp, utf-8, ascii, binary\n"
    "\n"
    "exit status: 0 done, 1 a file could not be used, 2 wrong command line\n";

// The sample detection looks at: enough for any text's verdict, and a
// quoted-printable one is decoded from it.
constexpr std::size_t kDetectSample = 256 * 1024;

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Help() {
  std::fputs(kUsage, stdout);
  std::fputs(kHelp, stdout);
  return 0;
}

// The conversion to GB2312 of a text in the given encoding; null for one
// that has none (UTF-8, ASCII and binary are not GB2312's business).
BlockConverter ToGb(DetectedEncoding encoding) {
  for (const Converter& converter : kConverters) {
    if (converter.block != nullptr && converter.from == encoding) return converter.block;
  }
  return nullptr;
}

// What detect says of a file's sample: the encoding, and for quoted-printable
// the encoding of what it decodes to.
struct Verdict {
  DetectedEncoding encoding;
  DetectedEncoding decoded;
};

Verdict Detect(const std::vector<std::uint8_t>& sample) {
  Verdict verdict{DetectEncoding(sample.data(), sample.size()), kEncodingBinary};
  if (verdict.encoding == kEncodingQp) {
    const std::vector<std::uint8_t> decoded = ConvertBytes({{DecodeQpBlock}, 1}, sample);
    verdict.decoded = DetectEncoding(decoded.data(), decoded.size());
  }
  return verdict;
}

int DetectFiles(int count, char** names) {
  int status = 0;
  for (int i = 0; i < count; ++i) {
    const FileHandle file = OpenFileForReading(names[i]);
    if (file == kInvalidFile) {
      status = ReportFailure(names[i], "cannot open it for reading");
      continue;
    }
    const Verdict verdict = Detect(ReadSample(file, kDetectSample));
    CloseFile(file);
    if (verdict.encoding == kEncodingQp) {
      std::printf("%s: qp (decodes to %s)\n", names[i], EncodingName(verdict.decoded));
    } else {
      std::printf("%s: %s\n", names[i], EncodingName(verdict.encoding));
    }
  }
  return status;
}

bool LoadMapOnce() {
  static bool loaded = false;
  if (!loaded && LoadBig5Map()) {
    ExpandBig5Map();
    loaded = true;
  }
  return loaded;
}

// A conversion decided: its steps, and whether they leave GB2312 text (which
// --to utf-8 then re-encodes; UTF-8 and ASCII stay as they are).
struct Plan {
  ConversionSteps steps;
  bool givesGb;
};

// The plan for auto, from the input's sample; false for a binary file.
bool Choose(const std::vector<std::uint8_t>& sample, Plan& plan) {
  const Verdict verdict = Detect(sample);
  DetectedEncoding text = verdict.encoding;
  plan.steps.count = 0;
  if (text == kEncodingQp) {
    plan.steps.steps[plan.steps.count++] = DecodeQpBlock;
    text = verdict.decoded;
  }
  if (text == kEncodingBinary || text == kEncodingQp) {
    // Decoded once, what it decodes to is kept as it is.
    plan.givesGb = false;
    return plan.steps.count > 0;
  }
  const BlockConverter toGb = ToGb(text);
  plan.givesGb = toGb != nullptr;
  if (plan.steps.count == 0 || (toGb != nullptr && toGb != CopyBlock)) {
    plan.steps.steps[plan.steps.count++] = toGb != nullptr ? toGb : CopyBlock;
  }
  return true;
}

int Convert(const Converter& converter, bool toUtf8, const char* input, const char* output) {
  if (!OpenDocument(input)) return 1;
  Plan plan{{{converter.block, nullptr}, 1}, true};
  // auto's sample is converted first, then the rest read after it.
  std::vector<std::uint8_t> sample;
  if (converter.block == nullptr) {
    sample = ReadSample(documentHandle, kDetectSample);
    if (!DocumentReadWhole(input)) return 1;
    if (!Choose(sample, plan)) return ReportFailure(input, "looks binary; not converted");
  }
  ConversionSteps& steps = plan.steps;
  if (toUtf8 && plan.givesGb) {
    if (steps.steps[steps.count - 1] == CopyBlock) --steps.count;
    steps.steps[steps.count++] = GbToUtf8Block;
  }
  for (int i = 0; i < steps.count; ++i) {
    if (steps.steps[i] == SaveInGbBlock && !LoadMapOnce()) return 1;  // the map has said why
  }
  OutputFile file;
  if (!OpenOutput(output, &file)) return 1;
  const bool written = ConvertInBlocks(steps, sample, documentHandle, file.handle);
  if (!DocumentReadWhole(input)) {
    DiscardOutputFile(&file);
    return 1;
  }
  return FinishOutput(output, &file, written, "could not write the file") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return Help();
  if (argc >= 3 && std::strcmp(argv[1], "detect") == 0) return DetectFiles(argc - 2, argv + 2);
  std::vector<char*> files;
  bool toUtf8 = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--to") == 0 && i + 1 < argc) {
      const std::string to = argv[++i];
      if (to == "utf-8" || to == "UTF-8" || to == "utf8") {
        toUtf8 = true;
      } else if (to != "gb2312" && to != "GB2312") {
        return Usage();
      }
    } else {
      files.push_back(argv[i]);
    }
  }
  if (argc < 2 || files.size() != 2) return Usage();
  for (const Converter& converter : kConverters) {
    if (std::strcmp(argv[1], converter.name) == 0) {
      return Convert(converter, toUtf8, files[0], files[1]);
    }
  }
  return Usage();
}
