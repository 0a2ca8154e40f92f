// Outputs of the tools, made so that no failure costs anyone a file: the
// input is refused by any name before anything is opened for writing, and a
// failed output is removed as far as the tool made it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/posix/posix.h"
#include "platform/posix/posix_internal.h"

namespace {

// A device read and written at once (a terminal, /dev/null) loses nothing.
bool SameAs(const struct stat& info, const FileIdentity& input) {
  return !S_ISCHR(info.st_mode) && static_cast<std::uint64_t>(info.st_dev) == input.volume &&
         static_cast<std::uint64_t>(info.st_ino) == input.index;
}

// The file behind name still is the one the tool opened.
bool StillOurs(const std::string& path, const OutputFile& output) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         static_cast<std::uint64_t>(info.st_dev) == output.device &&
         static_cast<std::uint64_t>(info.st_ino) == output.inode;
}

// The folder's own entry flushed, so that a rename in it survives a crash.
void SyncFolderOf(const char* name) {
  const std::string path = name;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  static_cast<void>(fsync(fd) == 0);
  close(fd);
}

}  // namespace

OutputOpening OpenOutputFile(const char* name, FileHandle input, OutputFile* output) {
  *output = OutputFile{};
  FileIdentity inputIdentity{};
  const bool knowInput = input != kInvalidFile && FileIdentityOf(input, &inputIdentity);
  struct stat info;
  struct stat link;
  output->viaLink = lstat(name, &link) == 0 && S_ISLNK(link.st_mode);
  const bool existed = stat(name, &info) == 0;
  if (existed && knowInput && SameAs(info, inputIdentity)) return kOutputIsInput;
  if (existed && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return kOutputFailed;
  }
  constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY;
  int fd = -1;
  if (existed) {
    fd = open(name, kFlags);
  } else {
    // O_EXCL refuses any link, even one that leads nowhere; through such a
    // link the file is made where it points.
    fd = open(name, kFlags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST && output->viaLink) fd = open(name, kFlags | O_CREAT, 0666);
    output->created = fd >= 0;
  }
  if (fd < 0) return kOutputFailed;
  // What was opened is checked again: the name may have changed in between.
  if (fstat(fd, &info) != 0 || (knowInput && SameAs(info, inputIdentity))) {
    close(fd);
    return kOutputIsInput;
  }
  output->regular = S_ISREG(info.st_mode);
  output->device = static_cast<std::uint64_t>(info.st_dev);
  output->inode = static_cast<std::uint64_t>(info.st_ino);
  if (output->created) {
    char real[PATH_MAX];
    if (realpath(name, real) != nullptr) output->removePath = real;
  } else if (output->regular && !output->viaLink) {
    output->removePath = name;
  }
  if (output->regular && !output->created && ftruncate(fd, 0) != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return kOutputFailed;
  }
  output->handle = AdoptDescriptor(fd, true);
  ArmRemovalOnSignals(*output);
  return kOutputOpened;
}

OutputOpening OpenStandardOutput(FileHandle input, OutputFile* output) {
  *output = OutputFile{};
  FileIdentity inputIdentity{};
  struct stat info;
  if (fstat(STDOUT_FILENO, &info) != 0) return kOutputFailed;
  if (input != kInvalidFile && FileIdentityOf(input, &inputIdentity) &&
      SameAs(info, inputIdentity)) {
    return kOutputIsInput;
  }
  const int fd = DuplicateDescriptor(STDOUT_FILENO);
  if (fd < 0) return kOutputFailed;
  output->handle = AdoptDescriptor(fd, true);
  return kOutputOpened;
}

void DiscardOutputFile(OutputFile* output) {
  DisarmRemovalOnSignals();
  if (output->handle != kInvalidFile) {
    // Emptied first: another link to the file must not keep a part of it.
    if (output->regular) static_cast<void>(ftruncate(static_cast<int>(output->handle), 0) == 0);
    CloseUnwritten(output->handle);
    output->handle = kInvalidFile;
  }
  if (!output->removePath.empty() && StillOurs(output->removePath, *output)) {
    unlink(output->removePath.c_str());
  }
  output->removePath.clear();
}

bool ReplaceWithOutput(OutputFile* output, const char* original) {
  const int fd = static_cast<int>(output->handle);
  struct stat info;
  bool done = output->regular && !output->removePath.empty() && FlushWrites(output->handle) &&
              stat(original, &info) == 0;
  if (done) {
    // The owner first: changing it clears the set-user-ID bit fchmod gives.
    static_cast<void>(fchown(fd, info.st_uid, info.st_gid) == 0);
    done = fchmod(fd, info.st_mode & 07777) == 0 && fsync(fd) == 0;
  }
  // A signal between the rename and the disarming would empty the new file
  // under the original's name: both happen before any signal is taken.
  HoldEndingSignals(true);
  done = done && rename(output->removePath.c_str(), original) == 0;
  const int error = errno;
  if (done) {
    DisarmRemovalOnSignals();
    CloseUnwritten(output->handle);
    output->handle = kInvalidFile;
    output->removePath.clear();
  } else {
    DiscardOutputFile(output);
  }
  HoldEndingSignals(false);
  if (done) SyncFolderOf(original);
  errno = error;
  return done;
}
