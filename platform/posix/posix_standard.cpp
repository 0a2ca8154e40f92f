// The process's own files: standard input and output as the tools' "-",
// standard error's terminal, and the folder an output goes into.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix.h"
#include "platform/posix/posix_internal.h"

int DuplicateDescriptor(int fd) {
  return fcntl(fd, F_DUPFD_CLOEXEC, 3);
}

FileHandle OpenStandardInput() {
  return AdoptForReading(DuplicateDescriptor(STDIN_FILENO));
}

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

bool FileIdentityOfName(const char* name, FileIdentity* identity) {
  struct stat info;
  if (stat(name, &info) != 0) return false;
  identity->volume = static_cast<std::uint64_t>(info.st_dev);
  identity->index = static_cast<std::uint64_t>(info.st_ino);
  return true;
}

bool MakeFolder(const char* name) {
  if (mkdir(name, 0777) == 0) return true;
  const int error = errno;
  struct stat info;
  if (stat(name, &info) == 0 && S_ISDIR(info.st_mode)) return true;
  errno = error == EEXIST ? ENOTDIR : error;
  return false;
}
