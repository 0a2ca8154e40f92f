// One file's conversion: the document opened, its steps planned from its
// first bytes, and the output written whole or removed.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "conversion/big5_map.h"
#include "conversion/block_converters.h"
#include "document/state.h"
#include "tools/convert_request.h"
#include "tools/in_place.h"
#include "tools/progress_line.h"
#include "tools/tool_files.h"

namespace {

bool LoadMapOnce() {
  static bool loaded = false;
  if (!loaded && LoadBig5Map()) {
    ExpandBig5Map();
    loaded = true;
  }
  return loaded;
}

// Says how many bytes the transcoding could not read and how many
// characters it could not write, so that nothing is replaced in silence.
void ReportReplacements(const char* input, const ConversionSteps& steps, const RunOutcome& run) {
  const Transcoding& t = steps.transcoding;
  const auto became = [&t](std::uint64_t count) {
    if (t.policy == kSkipUnconvertible) return count == 1 ? "was left out" : "were left out";
    return t.to == kUtf8 || t.to == kUtf16 ? "became U+FFFD" : "became \"?\"";
  };
  if (run.malformed > 0) {
    const std::string what = std::to_string(run.malformed) +
                             (run.malformed == 1 ? " byte" : " bytes") + " could not be read as " +
                             EncodingName(t.from) + " and " + became(run.malformed);
    ReportFailure(input, what.c_str());
  }
  if (run.unmappable > 0) {
    const std::string what = std::to_string(run.unmappable) +
                             (run.unmappable == 1 ? " character has" : " characters have") +
                             " no code in " + EncodingName(t.to) + " and " + became(run.unmappable);
    ReportFailure(input, what.c_str());
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

// The run over the document once its steps are known, into output (in
// place: into a temporary file that then takes the input's place).
bool ConvertDocument(const Request& request, const ConversionSteps& steps,
                     const std::vector<std::uint8_t>& sample, const char* input,
                     const char* output) {
  for (int i = 0; i < steps.count; ++i) {
    if (steps.steps[i] == SaveInGbBlock && !LoadMapOnce()) return false;  // the map said why
  }
  const std::string temporary = request.inPlace ? InPlaceTemporary(input) : std::string();
  OutputFile file;
  if (!OpenOutput(request.inPlace ? temporary.c_str() : output, &file)) return false;
  ProgressLine line;
  const BlockProgress* progress =
      request.progress ? StartProgress(&line, input, FileSizeOf(documentHandle)) : nullptr;
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
  if (request.inPlace) return FinishInPlace(input, &file, run.written);
  return FinishOutput(output, &file, run.written, "could not write the file");
}

// The steps leave the text as it is: it is in the target already.
bool AlreadyInTarget(const ConversionSteps& steps) {
  if (steps.count == 1 && steps.steps[0] == CopyBlock && !steps.transcodes) return true;
  return steps.count == 0 && steps.transcodes && steps.transcoding.from == steps.transcoding.to;
}

// The encoding a converted file was read in, for the tally. A text copied
// as it is was in the target already, or ASCII: no second detection needed.
Encoding EncodingRead(const Request& request, const ConversionSteps& steps,
                      const std::vector<std::uint8_t>& sample) {
  if (request.converter == nullptr) return request.from;
  if (steps.transcodes) return steps.transcoding.from;
  if (steps.count == 1 && steps.steps[0] == CopyBlock && request.target.given) {
    const bool high =
        std::any_of(sample.begin(), sample.end(), [](std::uint8_t byte) { return byte >= 0x80; });
    return high || request.target.encoding == kUtf16 ? request.target.encoding : kAscii;
  }
  return Detect(sample).encoding;
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
  if (request.inPlace && (!planned || AlreadyInTarget(steps))) {
    ++request.tally->unchanged;
    return true;
  }
  if (!planned && request.tally != nullptr) {
    // In a tree a binary file goes along as it is.
    steps = ConversionSteps{};
    steps.steps[steps.count++] = CopyBlock;
    if (!ConvertDocument(request, steps, sample, input, output)) return false;
    ++request.tally->copied;
    return true;
  }
  if (!planned) {
    ReportFailure(input, "looks binary; not converted");
    return false;
  }
  if (!ConvertDocument(request, steps, sample, input, output)) return false;
  if (request.tally != nullptr)
    ++request.tally->converted[EncodingName(EncodingRead(request, steps, sample))];
  return true;
}

}  // namespace

int ConvertFile(const Request& request, const char* input, const char* output) {
  const bool done = OpenDocument(input) && ConvertOpenDocument(request, input, output);
  CloseDocument();
  return done ? 0 : 1;
}
