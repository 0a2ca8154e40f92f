// Files of the simulated desktop: real files under Windows' rules for names
// and sharing, so that what fails on Win32 fails here too.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <map>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"

SimFileCounters simFiles;

namespace {

// One open handle: the file's identity and what it allows others.
struct OpenFile {
  int fd;
  dev_t device;
  ino_t inode;
  bool writes;      // opened for writing
  bool sharesRead;  // lets others open it for reading
};

std::map<FileHandle, OpenFile> openFiles;
FileHandle nextHandle = 100;
std::map<char, std::string> drives;
std::vector<OpenFile> heldByOthers;
std::int64_t diskSpace = -1;  // bytes the disk still takes, -1 without limit

// Windows refuses these in a name; a quoted name is therefore never a file.
bool HasForbiddenCharacter(const char* name) {
  for (const char* p = name; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 32 || std::strchr("<>\"|?*", c)) return true;
    if (c == ':' && p != name + 1) return true;
  }
  return false;
}

// Finds component in directory without regard to case, as Windows does.
std::string ResolveComponent(const std::string& directory, const std::string& component) {
  const std::string exact = directory + "/" + component;
  struct stat info;
  if (component == "." || component == ".." || lstat(exact.c_str(), &info) == 0) return exact;
  if (DIR* dir = opendir(directory.empty() ? "/" : directory.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (strcasecmp(entry->d_name, component.c_str()) == 0) {
        const std::string found = directory + "/" + entry->d_name;
        closedir(dir);
        return found;
      }
    }
    closedir(dir);
  }
  return exact;
}

// Opens a file for the platform if the sharing of every other opener allows it.
FileHandle OpenShared(const char* name, bool write) {
  if (name == nullptr || *name == 0 || std::strlen(name) >= kMaxPath) return kInvalidFile;
  if (HasForbiddenCharacter(name)) return kInvalidFile;
  const std::string path = SimNativePath(name);
  struct stat info;
  const bool exists = stat(path.c_str(), &info) == 0;
  if (!exists && !write) return kInvalidFile;
  if (exists) {
    if (S_ISDIR(info.st_mode)) return kInvalidFile;
    auto conflicts = [&](const OpenFile& other) {
      if (other.device != info.st_dev || other.inode != info.st_ino) return false;
      return write || other.writes || !other.sharesRead;
    };
    for (const auto& entry : openFiles) {
      if (conflicts(entry.second)) return kInvalidFile;
    }
    for (const OpenFile& other : heldByOthers) {
      if (conflicts(other)) return kInvalidFile;
    }
  }
  const int fd = write ? open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                       : open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kInvalidFile;
  fstat(fd, &info);
  const FileHandle handle = nextHandle++;
  openFiles[handle] = OpenFile{fd, info.st_dev, info.st_ino, write, !write};
  return handle;
}

OpenFile* Find(FileHandle file) {
  auto it = openFiles.find(file);
  return it == openFiles.end() ? nullptr : &it->second;
}

}  // namespace

void SimCloseFiles() {
  for (auto& entry : openFiles) close(entry.second.fd);
  openFiles.clear();
}

void SimResetFiles() {
  SimCloseFiles();
  heldByOthers.clear();
  diskSpace = -1;
  drives.clear();
  simFiles = SimFileCounters{};
}

void SimMapDrive(char letter, const std::string& directory) {
  drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = directory;
}

std::string SimNativePath(const char* name) {
  std::string rest = name;
  std::string base;
  if (rest.size() >= 2 && rest[1] == ':') {
    auto drive = drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0]))));
    if (drive != drives.end()) {
      base = drive->second;
      rest = rest.substr(2);
    }
  }
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  if (base.empty() && !rest.empty() && rest[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) base = cwd;
  }
  std::string path = base;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('/', start);
    if (end == std::string::npos) end = rest.size();
    const std::string component = rest.substr(start, end - start);
    if (!component.empty()) path = ResolveComponent(path, component);
    start = end + 1;
  }
  return path.empty() ? "/" : path;
}

void SimHoldFile(const std::string& name) {
  struct stat info;
  if (stat(SimNativePath(name.c_str()).c_str(), &info) != 0) return;
  heldByOthers.push_back(OpenFile{-1, info.st_dev, info.st_ino, true, false});
}

int SimOpenFileCount() {
  return static_cast<int>(openFiles.size());
}

void SimSetDiskSpace(std::int64_t bytes) {
  diskSpace = bytes;
}

FileHandle OpenFileForReading(const char* name) {
  return OpenShared(name, false);
}

FileHandle CreateFileForWriting(const char* name) {
  return OpenShared(name, true);
}

void SeekFile(FileHandle file, std::int32_t offset) {
  ++simFiles.seeks;
  if (OpenFile* open = Find(file)) lseek(open->fd, offset, SEEK_SET);
}

namespace {

std::int32_t ReadWhole(FileHandle file, void* buffer, std::int32_t size) {
  OpenFile* open = Find(file);
  if (open == nullptr || open->writes || size <= 0) return 0;
  std::int32_t total = 0;
  while (total < size) {
    const ssize_t got = read(open->fd, static_cast<char*>(buffer) + total, size - total);
    if (got <= 0) break;
    total += static_cast<std::int32_t>(got);
  }
  return total;
}

}  // namespace

std::int32_t ReadFromFile(FileHandle file, void* buffer, std::int32_t size) {
  ++simFiles.reads;
  const std::int32_t got = ReadWhole(file, buffer, size);
  simFiles.bytesRead += got;
  return got;
}

bool WriteToFile(FileHandle file, const void* data, std::int32_t size) {
  ++simFiles.writes;
  simFiles.writeSizes.push_back(size);
  OpenFile* open = Find(file);
  if (open == nullptr || !open->writes || size < 0) return false;
  const bool fits = diskSpace < 0 || size <= diskSpace;
  const std::int32_t wanted = fits ? size : static_cast<std::int32_t>(diskSpace);
  std::int32_t total = 0;
  while (total < wanted) {
    const ssize_t put = write(open->fd, static_cast<const char*>(data) + total, wanted - total);
    if (put <= 0) return false;
    total += static_cast<std::int32_t>(put);
  }
  if (diskSpace >= 0) diskSpace -= total;
  return fits;
}

void CloseFile(FileHandle file) {
  auto it = openFiles.find(file);
  if (it == openFiles.end()) return;
  close(it->second.fd);
  openFiles.erase(it);
}

std::int64_t FileSizeOf(FileHandle file) {
  OpenFile* open = Find(file);
  struct stat info;
  if (open == nullptr || fstat(open->fd, &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

bool DeleteFileNamed(const char* name) {
  if (name == nullptr || *name == 0 || std::strlen(name) >= kMaxPath) return false;
  if (HasForbiddenCharacter(name)) return false;
  const std::string path = SimNativePath(name);
  // Only a plain file goes: never a device, a link or a folder that a native
  // tool was given as its output.
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  // No opener here grants FILE_SHARE_DELETE, so Win32 refuses while any holds it.
  auto held = [&](const OpenFile& other) {
    return other.device == info.st_dev && other.inode == info.st_ino;
  };
  for (const auto& entry : openFiles) {
    if (held(entry.second)) return false;
  }
  for (const OpenFile& other : heldByOthers) {
    if (held(other)) return false;
  }
  return unlink(path.c_str()) == 0;
}

unsigned FileTypeOf(FileHandle file) {
  OpenFile* open = Find(file);
  struct stat info;
  if (open == nullptr || fstat(open->fd, &info) != 0) return kFileTypeUnknown;
  if (S_ISCHR(info.st_mode)) return kFileTypeChar;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return kFileTypePipe;
  return kFileTypeDisk;
}

bool FileIdentityOf(FileHandle file, FileIdentity* identity) {
  OpenFile* open = Find(file);
  if (open == nullptr) return false;
  identity->volume = static_cast<std::uint64_t>(open->device);
  identity->index = static_cast<std::uint64_t>(open->inode);
  return true;
}

// The simulated desktop names files the Windows way.
char PathSeparator() {
  return '\\';
}
