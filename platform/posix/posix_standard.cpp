// The process's own files: standard input and output as the tools' "-",
// standard error's terminal, and the folder an output goes into.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix.h"
#include "platform/posix/posix_internal.h"

// A copy of the descriptor, so that closing the file leaves the process's
// own one as it was.
static int Duplicate(int fd) {
  return fcntl(fd, F_DUPFD_CLOEXEC, 3);
}

FileHandle OpenStandardInput() {
  const int fd = Duplicate(STDIN_FILENO);
  if (fd < 0) return kInvalidFile;
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    errno = EISDIR;
    return kInvalidFile;
  }
  // A regular file given part read (`(head -1; tavelo-convert gb - OUT) < F`)
  // is read on from there: offsets count from where it stood.
  const bool partRead = S_ISREG(info.st_mode) && lseek(fd, 0, SEEK_CUR) != 0;
  return AdoptDescriptor(fd, false, partRead);
}

OutputOpening OpenStandardOutput(FileHandle input, OutputFile* output) {
  *output = OutputFile{};
  struct stat info;
  if (fstat(STDOUT_FILENO, &info) != 0) return kOutputFailed;
  FileIdentity identity{};
  if (input != kInvalidFile && !S_ISCHR(info.st_mode) && FileIdentityOf(input, &identity) &&
      static_cast<std::uint64_t>(info.st_dev) == identity.volume &&
      static_cast<std::uint64_t>(info.st_ino) == identity.index) {
    return kOutputIsInput;
  }
  const int fd = Duplicate(STDOUT_FILENO);
  if (fd < 0) return kOutputFailed;
  output->handle = AdoptDescriptor(fd, true);
  return kOutputOpened;
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
