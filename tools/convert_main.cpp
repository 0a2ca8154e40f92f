// tavelo-convert: the reader's save-as converters on the command line, for
// converting whole folders and for comparing the converters with other tools.
//
//   tavelo-convert CONVERSION [--to ENCODING] INPUT OUTPUT
//   tavelo-convert CONVERSION [--to ENCODING] -o FOLDER INPUT...
//   tavelo-convert -f FROM -t TO [-c | --replace] [-o OUTPUT] [INPUT...]
//   tavelo-convert -r [-f FROM] [-t TO] -o FOLDER INPUT...
//   tavelo-convert -l
//   tavelo-convert detect FILE...
//   tavelo-convert --help | --version
//
// The conversions give exactly the bytes of the File menu's converters, made
// over large blocks (conversion/block_converters.h), on the files as given:
// names are used exactly (letter case counts), "-" is standard input or
// output. An input may be a pipe, a FIFO or a device, read as a stream to its
// end whatever its length; a folder is refused. An output that is an input by
// any name (another spelling, a symbolic or hard link) is refused before
// anything is written. A failure is one line on standard error naming the
// file; its partial output is removed (a device only written to), also when
// the tool is interrupted. The exit status is in kHelp.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "conversion/big5_map.h"
#include "conversion/block_converters.h"
#include "conversion/conversion_plan.h"
#include "document/state.h"
#include "tools/progress_line.h"
#include "tools/tool_files.h"
#include "tools/version.h"

const char* const kToolName = "tavelo-convert";

namespace {

const char kUsage[] =
    "usage: tavelo-convert -f FROM -t TO [-c | --replace] [-o OUTPUT] [INPUT...]\n"
    "       tavelo-convert -r [-f FROM] [-t TO] -o FOLDER INPUT...\n"
    "       tavelo-convert -l\n"
    "       tavelo-convert CONVERSION [--to ENCODING] INPUT OUTPUT\n"
    "       tavelo-convert CONVERSION [--to ENCODING] -o FOLDER INPUT...\n"
    "       tavelo-convert detect FILE...\n"
    "       tavelo-convert --help | --version\n";

const char kHelp[] =
    "\n"
    "  -f, --from FROM  the encoding of the INPUTs (-l lists them), or auto to\n"
    "              detect each (the default)\n"
    "  -t, --to TO the encoding to write, any -l marks as one (default utf-8)\n"
    "              Every character is converted as it is; a byte FROM cannot read\n"
    "              or a character TO has no code for stops that file, with a line\n"
    "              naming the file, the offset and the bytes, and its output is\n"
    "              removed, unless\n"
    "  -c          leave such characters out, or\n"
    "  --replace   write U+FFFD in utf-8 and utf-16, \"?\" in the others;\n"
    "              either way a line on standard error counts them\n"
    "  -o OUTPUT   the output file; without it, standard output. With several\n"
    "              INPUTs, the folder they are written into under their names\n"
    "  INPUT...    the files to convert; none, or -, is standard input\n"
    "  -r          with -o FOLDER: each INPUT folder's tree mirrored in FOLDER under\n"
    "              its name, text converted, binary files copied as they are,\n"
    "              symbolic links reported and not followed; one line at the end\n"
    "              counts the files converted (by encoding), copied and failed\n"
    "  -l          list the encodings and their other names\n"
    "\n"
    "CONVERSION is one of\n"
    "  big5-to-gb  BIG5 text to GB2312 (traditional characters simplified)\n"
    "  hz          HZ (~{...~}) to GB2312\n"
    "  qp          quoted-printable decoded\n"
    "  gb          GB2312 text as it is (to re-encode it with --to)\n"
    "  auto        the conversion that detect's answer asks for: quoted-printable\n"
    "              is decoded and then detected again; without --to, BIG5 and\n"
    "              HZ become GB2312 and every other text is copied unchanged;\n"
    "              binary files are refused\n"
    "\n"
    "  --to ENCODING\n"
    "              write the text in ENCODING, every character kept: utf-8,\n"
    "              utf-16, gb18030, gbk (cp936), gb2312, big5 (cp950) or\n"
    "              big5-hkscs. auto reads the text in the encoding detected\n"
    "              (BIG5 stays traditional; big5-to-gb --to utf-8 simplifies);\n"
    "              the other conversions' GB2312 is re-encoded. A text already\n"
    "              in ENCODING is copied unchanged. A byte that cannot be read\n"
    "              and a character ENCODING has no code for become U+FFFD in\n"
    "              utf-8 and utf-16, \"?\" in the others; a line on standard\n"
    "              error counts them. With --to gb2312, auto simplifies BIG5 as\n"
    "              big5-to-gb does\n"
    "  -o FOLDER   convert each INPUT into FOLDER under the INPUT's own file name;\n"
    "              FOLDER is made if it is missing; an output that is one of the\n"
    "              inputs, or that an earlier input was written to, is refused\n"
    "  --          what follows is INPUT and OUTPUT names, even if they start with -\n"
    "  -           as INPUT standard input, as OUTPUT standard output\n"
    "\n"
    "  detect [--] FILE...\n"
    "              one line per file, \"FILE: NAME\", NAME the narrowest encoding\n"
    "              that reads the whole text: gb2312, gbk, gb18030, big5,\n"
    "              big5-hkscs, hz, utf-8, utf-16, qp (with what it decodes to),\n"
    "              ascii or binary\n"
    "\n"
    "On a terminal, a line on standard error shows the progress through each input\n"
    "past 64 MB. An output that could not be made whole is removed, also when the\n"
    "tool is ended by SIGINT, SIGTERM or SIGHUP; a device or FIFO is only written\n"
    "to, and standard output left as it is.\n"
    "\n"
    "Exit status: 0 every output was written whole (detect: every file was read);\n"
    "1 a file could not be read, converted or written (one line on standard error\n"
    "names it; the other files are still converted); 2 a wrong command line.\n";

// A wrong command line is one line too, with the short form of the usage.
int Usage(const char* problem) {
  std::fprintf(stderr,
               "%s: %s (usage: %s CONVERSION [--to ENCODING] INPUT OUTPUT | -o FOLDER INPUT... "
               "| detect FILE...; see --help)\n",
               kToolName, problem, kToolName);
  return 2;
}

int Help() {
  std::fputs(kUsage, stdout);
  std::fputs(kHelp, stdout);
  return 0;
}

int DetectFiles(int count, char** names) {
  int status = 0;
  for (int i = 0; i < count; ++i) {
    const FileHandle file = OpenInput(names[i]);
    if (file == kInvalidFile) {
      status = ReportFailure(names[i], "cannot open it for reading");
      continue;
    }
    const Verdict verdict = Detect(ReadSample(file, kDetectSample));
    const int error = FileError(file);
    CloseFile(file);
    if (error != 0) {
      status = ReportFailure(names[i], std::strerror(error));
    } else if (verdict.encoding == kQp) {
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

// What a run over trees (-r) did, for its closing line.
struct TreeTally {
  std::map<std::string, int> converted;  // files, by the encoding they were read in
  int copied = 0;                        // binary files, copied as they are
  int skipped = 0;                       // links and special files, not followed
  int failed = 0;
};

// A command line's conversion.
struct Request {
  const Converter* converter = nullptr;  // auto in iconv's form; else null, and
  Encoding from = kBinary;               // iconv's form reads from
  Target target{false, kGb2312};
  const char* folder = nullptr;  // -o FOLDER
  std::vector<const char*> files;
  TreeTally* tally = nullptr;  // -r: binary files are copied, and every file counted
  bool recursive = false;      // -r
};

// Says how many bytes the transcoding could not read and how many
// characters it could not write, so that nothing is replaced in silence.
void ReportReplacements(const char* input, const ConversionSteps& steps, const RunOutcome& run) {
  const Transcoding& t = steps.transcoding;
  const auto became = [&t](std::uint64_t count) {
    if (t.policy == kSkipUnconvertible) return count == 1 ? "was left out" : "were left out";
    return t.to == kUtf8 || t.to == kUtf16 ? "became U+FFFD" : "became \"?\"";
  };
  if (run.malformed > 0) {
    std::fprintf(stderr, "%s: %s: %llu %s could not be read as %s and %s\n", kToolName, input,
                 static_cast<unsigned long long>(run.malformed),
                 run.malformed == 1 ? "byte" : "bytes", EncodingName(t.from),
                 became(run.malformed));
  }
  if (run.unmappable > 0) {
    std::fprintf(stderr, "%s: %s: %llu %s no code in %s and %s\n", kToolName, input,
                 static_cast<unsigned long long>(run.unmappable),
                 run.unmappable == 1 ? "character has" : "characters have", EncodingName(t.to),
                 became(run.unmappable));
  }
}

// Names what a stopped transcoding could not convert, and where.
void ReportStop(const char* input, const ConversionSteps& steps, const RunOutcome& run) {
  const Transcoding& t = steps.transcoding;
  std::string bytes;
  for (int i = 0; i < run.stop.length; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", run.stop.bytes[i]);
    bytes += hex;
  }
  const std::string what =
      (run.malformed > 0
           ? "cannot be read as " + std::string(EncodingName(t.from))
           : "has a character " + std::string(EncodingName(t.to)) + " has no code for") +
      (steps.count > 0 ? " at byte " : " at offset ") + std::to_string(run.stop.offset) +
      (steps.count > 0 ? " of its decoded text" : "") + " (" + bytes + "); not converted";
  ReportFailure(input, what.c_str());
}

// The run over the document once its steps are known, into output.
bool ConvertDocument(const ConversionSteps& steps, const std::vector<std::uint8_t>& sample,
                     const char* input, const char* output) {
  for (int i = 0; i < steps.count; ++i) {
    if (steps.steps[i] == SaveInGbBlock && !LoadMapOnce()) return false;  // the map said why
  }
  OutputFile file;
  if (!OpenOutput(output, &file)) return false;
  ProgressLine line;
  const BlockProgress* progress = StartProgress(&line, input, FileSizeOf(documentHandle));
  // The sample was read from the document's start; the rest follows it.
  const BlockInput from{&sample, documentHandle};
  const RunOutcome run = ConvertInBlocks(steps, from, file.handle, kReadBlockSize, progress);
  EndProgress(&line);
  if (!DocumentReadWhole(input)) {
    DiscardOutputFile(&file);
    return false;
  }
  if (run.setAsideFailed) {
    DiscardOutputFile(&file);
    ReportFailure(input, "has a long HZ run that could not be set aside in a temporary file");
    return false;
  }
  if (run.stopped) {
    DiscardOutputFile(&file);
    ReportStop(input, steps, run);
    return false;
  }
  ReportReplacements(input, steps, run);
  return FinishOutput(output, &file, run.written, "could not write the file");
}

// The run over the open document, its steps chosen first; false having
// reported.
bool ConvertOpenDocument(const Request& request, const char* input, const char* output) {
  // auto's and quoted-printable's sample is converted first, then the rest
  // read after it.
  std::vector<std::uint8_t> sample;
  const bool detects =
      request.converter != nullptr ? request.converter->step == nullptr : request.from == kQp;
  if (detects) {
    sample = ReadSample(documentHandle, kDetectSample);
    if (!DocumentReadWhole(input)) return false;
  }
  ConversionSteps steps;
  const bool planned = request.converter != nullptr
                           ? PlanConversion(*request.converter, request.target, sample, &steps)
                           : PlanFrom(request.from, request.target, sample, &steps);
  if (!planned && request.tally != nullptr) {
    // In a tree a binary file goes along as it is.
    steps = ConversionSteps{};
    steps.steps[steps.count++] = CopyBlock;
    if (!ConvertDocument(steps, sample, input, output)) return false;
    ++request.tally->copied;
    return true;
  }
  if (!planned) {
    ReportFailure(input, "looks binary; not converted");
    return false;
  }
  if (!ConvertDocument(steps, sample, input, output)) return false;
  if (request.tally != nullptr) {
    const Encoding read = request.converter == nullptr ? request.from
                          : steps.transcodes           ? steps.transcoding.from
                                                       : Detect(sample).encoding;
    ++request.tally->converted[EncodingName(read)];
  }
  return true;
}

// Converts input into output; 0, or 1 having reported. The document is
// closed either way, ready for the next input.
int ConvertFile(const Request& request, const char* input, const char* output) {
  const bool done = OpenDocument(input) && ConvertOpenDocument(request, input, output);
  CloseDocument();
  return done ? 0 : 1;
}

// The last part of a name, its trailing slashes left off.
std::string FileNameOf(const char* name) {
  std::string path = name;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Holds(const std::vector<FileIdentity>& files, const FileIdentity& file) {
  for (const FileIdentity& one : files) {
    if (one.volume == file.volume && one.index == file.index) return true;
  }
  return false;
}

// ReportErrno for errno, as a failed file's status.
int ReportSystemFailure(const std::string& file, const char* what) {
  ReportErrno(file.c_str(), what, errno);
  return 1;
}

int ConvertIntoFolder(const Request& request) {
  if (!MakeFolder(request.folder))
    return ReportSystemFailure(request.folder, "cannot make the folder");
  // Every input stands until the end: no output may land on one that is
  // still to be read, or on one already converted.
  std::vector<FileIdentity> inputs;
  for (const char* input : request.files) {
    FileIdentity identity;
    if (FileIdentityOfName(input, &identity)) inputs.push_back(identity);
  }
  std::vector<FileIdentity> made;
  int status = 0;
  for (const char* input : request.files) {
    const std::string output = std::string(request.folder) + "/" + FileNameOf(input);
    FileIdentity existing;
    if (FileIdentityOfName(output.c_str(), &existing)) {
      if (Holds(made, existing)) {
        status = ReportFailure(output.c_str(), "was written from an input of the same name");
        continue;
      }
      if (Holds(inputs, existing)) {
        status = ReportFailure(output.c_str(), "is one of the inputs");
        continue;
      }
    }
    if (ConvertFile(request, input, output.c_str()) != 0) {
      status = 1;
    } else if (FileIdentityOfName(output.c_str(), &existing)) {
      made.push_back(existing);
    }
  }
  return status;
}

// Reads the arguments after the conversion's name; 0, or the usage's 2.
int ParseConversion(int count, char** arguments, Request* request) {
  bool names = false;  // after "--" every argument is a name
  for (int i = 0; i < count; ++i) {
    const std::string argument = arguments[i];
    if (names || argument == kStandardStream || argument[0] != '-') {
      request->files.push_back(arguments[i]);
    } else if (argument == "--") {
      names = true;
    } else if (argument == "--to" && i + 1 < count) {
      const std::string to = arguments[++i];
      Encoding encoding;
      if (!FindEncoding(to.c_str(), &encoding) || !CanEncode(encoding)) {
        return Usage(
            ("unknown --to " + to + ": utf-8, utf-16, gb18030, gbk, gb2312, big5 or big5-hkscs")
                .c_str());
      }
      request->target = {true, encoding};
    } else if (argument == "-o" && i + 1 < count) {
      request->folder = arguments[++i];
    } else {
      return Usage(("unknown option " + argument).c_str());
    }
  }
  if (request->folder == nullptr) {
    return request->files.size() == 2 ? 0 : Usage("give one INPUT and one OUTPUT");
  }
  if (request->files.empty()) return Usage("give the INPUT files to convert into the folder");
  for (const char* file : request->files) {
    if (std::strcmp(file, kStandardStream) == 0) {
      return Usage("standard input has no file name to convert into a folder");
    }
  }
  return 0;
}

// "gbk (cp936, ms936, windows-936)": an encoding's name and its aliases.
std::string EncodingNames(Encoding encoding) {
  std::string names = EncodingName(encoding);
  for (int i = 1; EncodingAlias(encoding, i) != nullptr; ++i) {
    names += (i == 1 ? " (" : ", ") + std::string(EncodingAlias(encoding, i));
  }
  return EncodingAlias(encoding, 1) != nullptr ? names + ")" : names;
}

// Converts the tree at input into output, which mirrors it; folders are
// made, symbolic links and special files reported and left, and the folder
// being written (when it lies inside the input) never entered. 0, or 1.
int ConvertTree(const Request& request, const std::string& input, const std::string& output,
                const FileIdentity& written) {
  struct stat kind;
  if (lstat(input.c_str(), &kind) != 0) {
    ++request.tally->failed;
    return ReportSystemFailure(input, "cannot be read");
  }
  if (S_ISLNK(kind.st_mode) || !(S_ISDIR(kind.st_mode) || S_ISREG(kind.st_mode))) {
    ++request.tally->skipped;
    ReportFailure(input.c_str(), S_ISLNK(kind.st_mode) ? "is a symbolic link; not followed"
                                                       : "is not a file or a folder; left");
    return 0;
  }
  if (S_ISREG(kind.st_mode)) {
    const int failed = ConvertFile(request, input.c_str(), output.c_str());
    request.tally->failed += failed;
    return failed;
  }
  FileIdentity folder;
  if (FileIdentityOfName(input.c_str(), &folder) && folder.volume == written.volume &&
      folder.index == written.index) {
    return 0;  // the output, inside the input
  }
  if (!MakeFolder(output.c_str())) {
    ++request.tally->failed;
    return ReportSystemFailure(output, "cannot make the folder");
  }
  std::vector<std::string> names;
  if (DIR* dir = opendir(input.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  } else {
    ++request.tally->failed;
    return ReportSystemFailure(input, "cannot be listed");
  }
  std::sort(names.begin(), names.end());
  int status = 0;
  for (const std::string& name : names) {
    status |= ConvertTree(request, input + "/" + name, output + "/" + name, written);
  }
  return status;
}

// -r: each INPUT, a file or a folder, into the folder under its own name;
// one line at the end when more than one file was handled.
int ConvertTrees(Request& request) {
  TreeTally tally;
  request.tally = &tally;
  if (!MakeFolder(request.folder)) {
    return ReportSystemFailure(request.folder, "cannot make the folder");
  }
  FileIdentity written;
  FileIdentityOfName(request.folder, &written);
  int status = 0;
  for (const char* input : request.files) {
    status |=
        ConvertTree(request, input, std::string(request.folder) + "/" + FileNameOf(input), written);
  }
  int converted = 0;
  std::string by;
  for (const auto& entry : tally.converted) {
    converted += entry.second;
    by += (by.empty() ? " (" : ", ") + entry.first + " " + std::to_string(entry.second);
  }
  if (converted + tally.copied + tally.failed > 1) {
    std::fprintf(stderr, "%s: %d %s converted%s, %d copied, %d failed%s\n", kToolName, converted,
                 converted == 1 ? "file" : "files", by.empty() ? "" : (by + ")").c_str(),
                 tally.copied, tally.failed,
                 tally.skipped > 0 ? (", " + std::to_string(tally.skipped) + " left").c_str() : "");
  }
  return status;
}

// -l: each encoding with its other names, and what it can be.
int ListEncodings() {
  for (int e = 0; e < kEncodingCount; ++e) {
    const auto encoding = static_cast<Encoding>(e);
    if (!CanDecode(encoding) && encoding != kHz && encoding != kQp) continue;
    std::printf("%s%s\n", EncodingNames(encoding).c_str(),
                CanEncode(encoding) ? "" : " (FROM only)");
  }
  std::printf("auto (FROM only: detected)\n");
  return 0;
}

// iconv's form, from its first argument; 0, or the usage's 2.
int ParseIconvForm(int count, char** arguments, Request* request) {
  request->target = Target{true, kUtf8, true, kStopAtUnconvertible};
  request->converter = FindConverter("auto");  // until -f names an encoding
  const char* output = nullptr;
  bool names = false;
  bool recursive = false;
  for (int i = 0; i < count; ++i) {
    const std::string argument = arguments[i];
    const bool valued = i + 1 < count;
    if (names || argument == kStandardStream || argument[0] != '-') {
      request->files.push_back(arguments[i]);
    } else if (argument == "--") {
      names = true;
    } else if ((argument == "-f" || argument == "--from") && valued) {
      const std::string from = arguments[++i];
      Encoding encoding = kBinary;
      if (from != "auto" && (!FindEncoding(from.c_str(), &encoding) ||
                             !(CanDecode(encoding) || encoding == kHz || encoding == kQp))) {
        return Usage(("unknown FROM " + from + " (-l lists them)").c_str());
      }
      request->from = encoding == kAscii ? kUtf8 : encoding;
      request->converter = from == "auto" ? FindConverter("auto") : nullptr;
    } else if ((argument == "-t" || argument == "--to") && valued) {
      const std::string to = arguments[++i];
      if (!FindEncoding(to.c_str(), &request->target.encoding) ||
          !CanEncode(request->target.encoding)) {
        return Usage(("unknown TO " + to + " (-l lists them)").c_str());
      }
    } else if (argument == "-r") {
      recursive = true;
    } else if (argument == "-c") {
      request->target.policy = kSkipUnconvertible;
    } else if (argument == "--replace") {
      request->target.policy = kReplaceUnconvertible;
    } else if (argument == "-o" && valued) {
      output = arguments[++i];
    } else {
      return Usage(("unknown option " + argument).c_str());
    }
  }
  if (recursive) {
    if (output == nullptr) return Usage("-r needs -o FOLDER");
    if (request->files.empty()) return Usage("-r needs the INPUT files and folders");
    request->folder = output;
    request->recursive = true;
    return 0;
  }
  if (request->files.empty()) request->files.push_back(kStandardStream);
  if (output != nullptr && request->files.size() > 1) {
    request->folder = output;
  } else {
    request->files.push_back(output != nullptr ? output : kStandardStream);
  }
  return 0;
}

// iconv's form: each input into the output, or all of them one after the
// other into standard output.
int RunIconvForm(int count, char** arguments) {
  Request request;
  if (const int wrong = ParseIconvForm(count, arguments, &request)) return wrong;
  if (request.recursive) return ConvertTrees(request);
  if (request.folder != nullptr) return ConvertIntoFolder(request);
  const char* output = request.files.back();
  int status = 0;
  for (std::size_t i = 0; i + 1 < request.files.size(); ++i) {
    status |= ConvertFile(request, request.files[i], output);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("give a CONVERSION, detect, --help or --version");
  const std::string first = argv[1];
  if (first == "--help" || first == "-h") return Help();
  if (first == "--version") return std::printf("%s %s\n", kToolName, kTaveloVersion) < 0;
  if (first == "-l" || first == "--list") return ListEncodings();
  if (first[0] == '-' && first != "-") return RunIconvForm(argc - 1, argv + 1);
  if (first == "detect") {
    const int skip = argc > 2 && std::strcmp(argv[2], "--") == 0 ? 3 : 2;  // names from here
    return argc > skip ? DetectFiles(argc - skip, argv + skip) : Usage("give the FILEs to detect");
  }
  Request request;
  request.converter = FindConverter(argv[1]);
  if (request.converter == nullptr) return Usage(("unknown conversion " + first).c_str());
  if (const int wrong = ParseConversion(argc - 2, argv + 2, &request)) return wrong;
  if (request.folder != nullptr) return ConvertIntoFolder(request);
  return ConvertFile(request, request.files[0], request.files[1]);
}
