// Files and fixed memory blocks on Linux. POSIX files know no sharing
// modes, so the program's own open files keep Win32's rules among
// themselves: a file open for reading may be read again but not written,
// one open for writing is not opened again, and neither may be deleted.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "platform/gtk/gtk_main.h"

namespace {

struct OpenFile {
  dev_t device;
  ino_t inode;
  bool writing;
};
std::map<int, OpenFile> openFiles;  // by descriptor

bool Identity(const char* name, dev_t* device, ino_t* inode) {
  struct stat status;
  if (stat(name, &status) != 0) return false;
  *device = status.st_dev;
  *inode = status.st_ino;
  return true;
}

// How the program already holds the file: 0 not at all, 1 for reading only, 2 for writing.
int HeldAs(const char* name) {
  dev_t device;
  ino_t inode;
  if (!Identity(name, &device, &inode)) return 0;
  int held = 0;
  for (const auto& entry : openFiles) {
    if (entry.second.device == device && entry.second.inode == inode) {
      held = entry.second.writing ? 2 : (held > 1 ? held : 1);
    }
  }
  return held;
}

FileHandle Track(int descriptor, bool writing) {
  if (descriptor < 0) return kInvalidFile;
  struct stat status;
  if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
    close(descriptor);
    return kInvalidFile;
  }
  openFiles[descriptor] = OpenFile{status.st_dev, status.st_ino, writing};
  return descriptor;
}

}  // namespace

bool HeldByProgram(const char* name) {
  return HeldAs(name) != 0;
}

FileHandle OpenFileForReading(const char* name) {
  if (HeldAs(name) == 2) return kInvalidFile;
  return Track(open(name, O_RDONLY | O_CLOEXEC), false);
}

FileHandle CreateFileForWriting(const char* name) {
  if (HeldAs(name) != 0) return kInvalidFile;
  return Track(open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666), true);
}

void SeekFile(FileHandle file, std::int32_t offset) {
  lseek(static_cast<int>(file), offset, SEEK_SET);
}

std::int32_t ReadFromFile(FileHandle file, void* buffer, std::int32_t size) {
  if (size <= 0) return 0;
  const ssize_t got = read(static_cast<int>(file), buffer, static_cast<std::size_t>(size));
  return got < 0 ? 0 : static_cast<std::int32_t>(got);
}

bool WriteToFile(FileHandle file, const void* data, std::int32_t size) {
  if (size < 0) return false;
  const auto* bytes = static_cast<const char*>(data);
  std::int32_t left = size;
  while (left > 0) {
    const ssize_t put = write(static_cast<int>(file), bytes, static_cast<std::size_t>(left));
    if (put <= 0) return false;
    bytes += put;
    left -= static_cast<std::int32_t>(put);
  }
  return true;
}

void CloseFile(FileHandle file) {
  openFiles.erase(static_cast<int>(file));
  close(static_cast<int>(file));
}

std::int64_t FileSizeOf(FileHandle file) {
  struct stat status;
  if (fstat(static_cast<int>(file), &status) != 0) return -1;
  return status.st_size;
}

bool DeleteFileNamed(const char* name) {
  if (HeldAs(name) != 0) return false;
  return unlink(name) == 0;
}

char PathSeparator() {
  return '/';
}

BlockHandle AllocateFixedBlock(std::uint32_t size) {
  return FromPointer(std::malloc(size == 0 ? 1 : size));
}

std::uint8_t* LockFixedBlock(BlockHandle block) {
  return AsPointer<std::uint8_t>(block);
}

void FreeFixedBlock(BlockHandle block) {
  std::free(AsPointer<void>(block));
}
