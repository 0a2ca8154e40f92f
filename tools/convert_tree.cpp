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
#include "tools/name_recoding.h"
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
  std::vector<std::string> outputs =
      request.names ? RecodeFolderNames(input, names, request.namesFrom) : names;
  int status = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (outputs[i] != names[i]) {
      ++tally.renamed;
      // In place the entry itself is renamed, or keeps its name if it cannot be.
      if (request.inPlace && !RenameEntry(input, names[i], &outputs[i])) status = 1;
    }
    const std::string from = input + "/" + (request.inPlace ? outputs[i] : names[i]);
    status |= ListTree(request, from, output + "/" + outputs[i], written, jobs);
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
  std::string line = std::string(kToolName) + ": " + std::to_string(converted) +
                     (converted == 1 ? " file" : " files") + " converted" +
                     (by.empty() ? "" : by + ")") + ", " + std::to_string(others) +
                     (request.inPlace ? " unchanged, " : " copied, ") +
                     std::to_string(tally.failed) + " failed";
  if (tally.skipped > 0) line += ", " + std::to_string(tally.skipped) + " left";
  if (tally.renamed > 0) {
    line += ", " + std::to_string(tally.renamed) + (tally.renamed == 1 ? " name" : " names") +
            " written in UTF-8";
  }
  std::fprintf(stderr, "%s\n", line.c_str());
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
  if (request.names && request.namesFrom == kBinary) {
    std::string odd;
    for (const char* input : request.files) CollectOddNames(input, &odd);
    if (!DetectNamesEncoding(odd, &request.namesFrom)) request.names = false;
  }
  std::vector<FileJob> jobs;
  std::set<std::string> cleared;  // folders already rid of leftovers
  int status = 0;
  for (const char* given : request.files) {
    std::string input = given;
    while (input.size() > 1 && input.back() == '/') input.pop_back();
    const std::string folder = FolderOf(input);
    if (request.inPlace && cleared.insert(folder).second) RemoveLeftovers(folder);
    const std::string name = FileNameOf(given);
    std::string recoded = request.names ? RecodeName(folder, name, request.namesFrom) : name;
    if (recoded != name) {
      ++tally.renamed;
      if (request.inPlace && !RenameEntry(folder, name, &recoded)) status = 1;
      if (request.inPlace)
        input = input.find('/') == std::string::npos ? recoded : folder + "/" + recoded;
    }
    const std::string output =
        request.inPlace ? input : std::string(request.folder) + "/" + recoded;
    status |= ListTree(request, input, output, written, &jobs);
  }
  status |= ConvertInWorkers(request, jobs, request.workers);
  ReportTally(request, tally);
  return status;
}

int ReportSystemFailure(const std::string& file, const char* what) {
  ReportErrno(file.c_str(), what, errno);
  return 1;
}
