// tavelo-convert -r and --in-place: the trees walked first into a list of
// files (folders made as they are met), then the files converted.
#include "tools/convert_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tools/in_place.h"
#include "tools/parallel_files.h"
#include "tools/tool_files.h"

namespace {

// Lists the files of the tree at input into jobs, output mirroring it:
// folders are made (in place: cleared of what a killed run left), symbolic
// links and special files reported and left, and the folder being written
// (when it lies inside the input) never entered. 0, or 1.
int ListTree(const Request& request, const std::string& input, const std::string& output,
             const FileIdentity& written, std::vector<FileJob>* jobs) {
  TreeTally& tally = *request.tally;
  struct stat kind;
  if (lstat(input.c_str(), &kind) != 0) {
    ++tally.failed;
    return ReportSystemFailure(input, "cannot be read");
  }
  if (S_ISLNK(kind.st_mode) || !(S_ISDIR(kind.st_mode) || S_ISREG(kind.st_mode))) {
    ++tally.skipped;
    ReportFailure(input.c_str(), S_ISLNK(kind.st_mode) ? "is a symbolic link; not followed"
                                                       : "is not a file or a folder; left");
    return 0;
  }
  if (S_ISREG(kind.st_mode)) {
    jobs->push_back({input, output});
    return 0;
  }
  if (!request.recursive) {
    ++tally.failed;
    return ReportFailure(input.c_str(), "is a folder; -r converts its tree");
  }
  FileIdentity folder;
  if (!request.inPlace && FileIdentityOfName(input.c_str(), &folder) &&
      folder.volume == written.volume && folder.index == written.index) {
    return 0;  // the output, inside the input
  }
  if (request.inPlace) {
    RemoveLeftovers(input);
  } else if (!MakeFolder(output.c_str())) {
    ++tally.failed;
    return ReportSystemFailure(output, "cannot make the folder");
  }
  std::vector<std::string> names;
  if (DIR* dir = opendir(input.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (request.inPlace && IsInPlaceTemporary(name)) continue;
      names.push_back(name);
    }
    closedir(dir);
  } else {
    ++tally.failed;
    return ReportSystemFailure(input, "cannot be listed");
  }
  std::sort(names.begin(), names.end());
  int status = 0;
  for (const std::string& name : names) {
    status |= ListTree(request, input + "/" + name, output + "/" + name, written, jobs);
  }
  return status;
}

// The closing line: the files converted, by the encoding they were read in,
// and the others.
void ReportTally(const Request& request, const TreeTally& tally) {
  int converted = 0;
  std::string by;
  for (const auto& entry : tally.converted) {
    converted += entry.second;
    by += (by.empty() ? " (" : ", ") + entry.first + " " + std::to_string(entry.second);
  }
  const int others = request.inPlace ? tally.unchanged : tally.copied;
  if (converted + others + tally.failed <= 1) return;
  std::fprintf(stderr, "%s: %d %s converted%s, %d %s, %d failed%s\n", kToolName, converted,
               converted == 1 ? "file" : "files", by.empty() ? "" : (by + ")").c_str(), others,
               request.inPlace ? "unchanged" : "copied", tally.failed,
               tally.skipped > 0 ? (", " + std::to_string(tally.skipped) + " left").c_str() : "");
}

}  // namespace

int ConvertTrees(Request& request) {
  TreeTally tally;
  request.tally = &tally;
  FileIdentity written{};
  if (!request.inPlace) {
    if (!MakeFolder(request.folder)) {
      return ReportSystemFailure(request.folder, "cannot make the folder");
    }
    FileIdentityOfName(request.folder, &written);
  }
  std::vector<FileJob> jobs;
  std::set<std::string> cleared;  // folders already rid of leftovers
  int status = 0;
  for (const char* input : request.files) {
    if (request.inPlace && cleared.insert(FolderOf(input)).second) {
      RemoveLeftovers(FolderOf(input));
    }
    const std::string output =
        request.inPlace ? input : std::string(request.folder) + "/" + FileNameOf(input);
    status |= ListTree(request, input, output, written, &jobs);
  }
  status |= ConvertInWorkers(request, jobs, request.workers);
  ReportTally(request, tally);
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
