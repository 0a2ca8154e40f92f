// tavelo-convert: the reader's save-as converters on the command line, for
// converting whole folders and for comparing the converters with other tools.
//
//   tavelo-convert CONVERSION [--to ENCODING] INPUT OUTPUT
//   tavelo-convert CONVERSION [--to ENCODING] -o FOLDER INPUT...
//   tavelo-convert -f FROM -t TO [-c | --replace] [-o OUTPUT] [INPUT...]
//   tavelo-convert -r [-j [N]] [--names] [-f FROM] [-t TO] -o FOLDER INPUT...
//   tavelo-convert --in-place [-r] [-j [N]] [--names] [-f FROM] [-t TO] INPUT...
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
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "conversion/conversion_plan.h"
#include "tools/convert_request.h"
#include "tools/convert_tree.h"
#include "tools/parallel_files.h"
#include "tools/tool_files.h"
#include "tools/version.h"

const char* const kToolName = "tavelo-convert";

namespace {

const char kUsage[] =
    "usage: tavelo-convert -f FROM -t TO [-c | --replace] [-o OUTPUT] [INPUT...]\n"
    "       tavelo-convert -r [-j [N]] [--names] [-f FROM] [-t TO] -o FOLDER INPUT...\n"
    "       tavelo-convert --in-place [-r] [-j [N]] [--names] [-f FROM] [-t TO] INPUT...\n"
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
    "  --in-place  convert each INPUT where it lies (with -r, every file of each\n"
    "              INPUT folder's tree): the new bytes go to a temporary file\n"
    "              beside it, flushed to the disk with its permission bits, that\n"
    "              replaces it only when whole, so a failure, a full disk or an\n"
    "              interruption leaves it as it was (what a run killed outright\n"
    "              left, the next run in that folder removes); a file already in\n"
    "              TO, and a binary one, is left alone and counted as unchanged\n"
    "  -j [N]      with -r or --in-place, convert N files at once (without N,\n"
    "              and by default: one for each processor); each file's lines on\n"
    "              standard error stay whole\n"
    "  --names     with -r -o or --in-place, write in UTF-8 each file or folder\n"
    "              name that is not UTF-8 (or is only by chance), read in the\n"
    "              encoding detected over all such names together; a name that\n"
    "              would become another's takes a suffix (~1, ~2), reported\n"
    "  --names-from ENC\n"
    "              --names, the names read in ENC instead\n"
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

bool Holds(const std::vector<FileIdentity>& files, const FileIdentity& file) {
  for (const FileIdentity& one : files) {
    if (one.volume == file.volume && one.index == file.index) return true;
  }
  return false;
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

// A count as -j takes it: digits, few enough for an int.
bool IsNumber(const std::string& text) {
  return !text.empty() && text.size() <= 4 &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

// iconv's form, from its first argument; 0, or the usage's 2.
int ParseIconvForm(int count, char** arguments, Request* request) {
  request->target = Target{true, kUtf8, true, kStopAtUnconvertible};
  request->converter = FindConverter("auto");  // until -f names an encoding
  request->workers = ProcessorCount();
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
    } else if (argument == "-j" && !(valued && IsNumber(arguments[i + 1]))) {
      request->workers = ProcessorCount();  // as make's -j: N may be left out
    } else if (argument.compare(0, 2, "-j") == 0) {
      const std::string count = argument.size() > 2 ? argument.substr(2) : arguments[++i];
      if (!IsNumber(count) || std::stoi(count) < 1) {
        return Usage(("-j wants a number of files at once, not " + count).c_str());
      }
      request->workers = std::stoi(count);
    } else if (argument == "--names") {
      request->names = true;
    } else if (argument == "--names-from" && valued) {
      const std::string from = arguments[++i];
      if (!FindEncoding(from.c_str(), &request->namesFrom) || !CanDecode(request->namesFrom)) {
        return Usage(("unknown --names-from " + from + " (-l lists them)").c_str());
      }
      request->names = true;
    } else if (argument == "--in-place") {
      request->inPlace = true;
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
  if (request->names && !request->inPlace && !(recursive && output != nullptr)) {
    return Usage("--names works with -r -o FOLDER or --in-place");
  }
  if (request->inPlace) {
    if (output != nullptr) return Usage("--in-place writes no -o OUTPUT");
    if (request->files.empty()) return Usage("--in-place needs the INPUT files");
    for (const char* file : request->files) {
      if (std::strcmp(file, kStandardStream) == 0) {
        return Usage("standard input cannot be converted in place");
      }
    }
    request->recursive = recursive;
    return 0;
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
  if (request.recursive || request.inPlace) return ConvertTrees(request);
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
