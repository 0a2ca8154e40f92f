#include "tools/tool_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "document/reader.h"
#include "document/work_area.h"

int ReportFailure(const char* file, const char* what) {
  // One write(2): the lines of workers sharing standard error never mix.
  const std::string line = std::string(kToolName) + ": " + file + ": " + what + "\n";
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = write(STDERR_FILENO, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return 1;
}

void ReportErrno(const char* file, const char* what, int error) {
  std::string text = what;
  if (error != 0) text += std::string(" (") + std::strerror(error) + ")";
  ReportFailure(file, text.c_str());
}

FileHandle OpenInput(const char* name) {
  errno = 0;
  return std::strcmp(name, kStandardStream) == 0 ? OpenStandardInput() : OpenFileForReading(name);
}

bool OpenDocument(const char* name) {
  if (!AllocateWorkArea()) {
    ReportFailure(name, "cannot allocate the reader's buffer");
    return false;
  }
  documentHandle = OpenInput(name);
  if (documentHandle == kInvalidFile) {
    ReportErrno(name, "cannot open it for reading", errno);
    return false;
  }
  return true;
}

void CloseDocument() {
  if (documentHandle != kInvalidFile) CloseFile(documentHandle);
  documentHandle = kInvalidFile;
  FreeWorkArea();
}

bool DocumentReadWhole(const char* name) {
  if (const int error = FileError(documentHandle)) {
    if (error == ESPIPE) {
      const std::string what = "a stream could not be read again from more than " +
                               std::to_string(kStreamHistory >> 20) + " MB back";
      ReportFailure(name, what.c_str());
    } else {
      ReportErrno(name, "could not be read to its end", error);
    }
    return false;
  }
  // Stopped at the limit: anything behind it was never read.
  std::uint8_t more;
  if (reader.blockBase == kReadableLimit && ReadFromFile(documentHandle, &more, 1) > 0) {
    ReportFailure(name, "reached 2 GB; only the part below 2 GB could be read");
    return false;
  }
  return true;
}

bool OpenOutput(const char* name, OutputFile* output) {
  errno = 0;
  const OutputOpening opening = std::strcmp(name, kStandardStream) == 0
                                    ? OpenStandardOutput(documentHandle, output)
                                    : OpenOutputFile(name, documentHandle, output);
  switch (opening) {
    case kOutputOpened: return true;
    case kOutputIsInput: ReportFailure(name, "is the input file itself"); return false;
    case kOutputFailed: ReportErrno(name, "cannot create it", errno); return false;
  }
  return false;
}

bool FinishOutput(const char* name, OutputFile* output, bool written, const char* failure) {
  int error = FileError(output->handle);
  if (written && error == 0) {
    errno = 0;
    if (CloseOutputFile(output)) return true;
    error = errno;
  }
  DiscardOutputFile(output);
  ReportErrno(name, failure, error);
  return false;
}

std::string FileNameOf(const std::string& path) {
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}
