// tavelo-convert -r: each input tree mirrored in the output folder.
#include "tools/convert_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/tool_files.h"

namespace {

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

}  // namespace

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

std::string FileNameOf(const char* name) {
  std::string path = name;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int ReportSystemFailure(const std::string& file, const char* what) {
  ReportErrno(file.c_str(), what, errno);
  return 1;
}
