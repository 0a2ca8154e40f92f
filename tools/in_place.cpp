#include "tools/in_place.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

// ".tavelo-convert.PID.tmp": hidden, and not a name a user gives a file.
const char kPrefix[] = ".tavelo-convert.";
const char kSuffix[] = ".tmp";

// The process that made a temporary file's name, or 0 when the name is not one.
pid_t WriterOf(const std::string& name) {
  const std::size_t prefix = sizeof kPrefix - 1;
  const std::size_t suffix = sizeof kSuffix - 1;
  if (name.size() <= prefix + suffix || name.compare(0, prefix, kPrefix) != 0 ||
      name.compare(name.size() - suffix, suffix, kSuffix) != 0) {
    return 0;
  }
  const std::string digits = name.substr(prefix, name.size() - prefix - suffix);
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return static_cast<pid_t>(std::atoi(digits.c_str()));
}

}  // namespace

std::string InPlaceTemporary(const char* name) {
  const std::string path = name;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return folder + kPrefix + std::to_string(getpid()) + kSuffix;
}

bool IsInPlaceTemporary(const std::string& name) {
  return WriterOf(name) > 0;
}

void RemoveLeftovers(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const pid_t writer = WriterOf(entry->d_name);
    // A live writer's file is its own to end; ours cannot be open yet here.
    if (writer <= 0 || (writer != getpid() && (kill(writer, 0) == 0 || errno != ESRCH))) continue;
    const std::string path = folder + "/" + entry->d_name;
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) unlink(path.c_str());
  }
  closedir(dir);
}

bool FinishInPlace(const char* name, OutputFile* output, bool written) {
  int error = FileError(output->handle);
  if (written && error == 0) {
    errno = 0;
    if (ReplaceWithOutput(output, name)) return true;
    error = errno;
  } else {
    DiscardOutputFile(output);
  }
  ReportErrno(name, "could not be converted in place; left as it was", error);
  return false;
}
