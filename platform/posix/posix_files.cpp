// Files on POSIX: a handle is the descriptor itself, with a little state of
// its own: the history of a stream, the buffer of an output, the first error.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/posix/posix.h"
#include "platform/posix/posix_internal.h"

namespace {

// Outputs are written in pieces of this size: the converters hand over 30
// bytes at a time, a system call each would be most of their work.
constexpr std::size_t kWriteBufferSize = 64 * 1024;

struct FileState {
  bool writing = false;
  bool stream = false;
  int error = 0;  // errno of the first failure, 0 while none
  // Of a stream: the next offset to deliver, the bytes taken from it so far,
  // and the last kStreamHistory of them, each at its offset modulo the size.
  std::int64_t position = 0;
  std::int64_t received = 0;
  std::unique_ptr<std::uint8_t[]> history;
  // Of an output: bytes handed over and not yet written.
  std::unique_ptr<std::uint8_t[]> pending;
  std::size_t pendingCount = 0;
};

std::map<FileHandle, FileState> files;

FileState* Find(FileHandle file) {
  auto it = files.find(file);
  return it == files.end() ? nullptr : &it->second;
}

void Fail(FileState& state) {
  if (state.error == 0) state.error = errno != 0 ? errno : EIO;
}

// Reads once into buffer, retrying an interrupted call; -1 on failure.
ssize_t ReadOnce(int fd, void* buffer, std::size_t size) {
  ssize_t got;
  do {
    got = read(fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

void Remember(FileState& state, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const std::size_t at = static_cast<std::size_t>(state.received % kStreamHistory);
    const std::size_t n = std::min(size, static_cast<std::size_t>(kStreamHistory) - at);
    std::memcpy(state.history.get() + at, data, n);
    state.received += static_cast<std::int64_t>(n);
    data += n;
    size -= n;
  }
}

// Takes up to size more bytes from the stream into its history; the count, 0
// at its end or on failure.
std::size_t Receive(FileHandle fd, FileState& state, std::size_t size) {
  std::uint8_t chunk[8192];
  const ssize_t got = ReadOnce(static_cast<int>(fd), chunk, std::min(size, sizeof chunk));
  if (got < 0) Fail(state);
  if (got <= 0) return 0;
  Remember(state, chunk, static_cast<std::size_t>(got));
  return static_cast<std::size_t>(got);
}

// A stream read: what the history still holds, then what the stream gives.
std::int32_t ReadStream(FileHandle fd, FileState& state, std::uint8_t* buffer, std::int32_t size) {
  if (state.received - state.position > kStreamHistory) {
    errno = ESPIPE;
    Fail(state);
    return 0;
  }
  // A seek beyond what was taken skips the bytes between.
  while (state.received < state.position) {
    if (Receive(fd, state, static_cast<std::size_t>(state.position - state.received)) == 0) {
      return 0;
    }
  }
  std::int32_t total = 0;
  while (total < size) {
    if (state.position == state.received &&
        Receive(fd, state, static_cast<std::size_t>(size - total)) == 0) {
      break;
    }
    const std::size_t at = static_cast<std::size_t>(state.position % kStreamHistory);
    const std::size_t n = std::min({static_cast<std::size_t>(size - total),
                                    static_cast<std::size_t>(state.received - state.position),
                                    static_cast<std::size_t>(kStreamHistory) - at});
    std::memcpy(buffer + total, state.history.get() + at, n);
    state.position += static_cast<std::int64_t>(n);
    total += static_cast<std::int32_t>(n);
  }
  return total;
}

bool FlushPending(FileHandle fd, FileState& state) {
  if (state.error != 0) return false;
  const bool written = WriteAll(static_cast<int>(fd), state.pending.get(), state.pendingCount);
  state.pendingCount = 0;
  if (!written) Fail(state);
  return written;
}

}  // namespace

FileHandle AdoptDescriptor(int fd, bool writing, bool stream) {
  FileState& state = files[fd];
  state = FileState{};
  state.writing = writing;
  if (writing) {
    state.pending.reset(new std::uint8_t[kWriteBufferSize]);
  } else if (stream || FileTypeOf(fd) != kFileTypeDisk) {
    state.stream = true;
    state.history.reset(new std::uint8_t[kStreamHistory]);
  }
  return fd;
}

// Win32 cannot open a folder as a file, and neither can this side.
FileHandle AdoptForReading(int fd) {
  if (fd < 0) return kInvalidFile;
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    errno = EISDIR;
    return kInvalidFile;
  }
  // A regular file given part read (`(head -1; tavelo-convert gb - OUT) < F`)
  // is read on from there: offsets count from where it stood.
  const bool partRead = S_ISREG(info.st_mode) && lseek(fd, 0, SEEK_CUR) > 0;
  return AdoptDescriptor(fd, false, partRead);
}

FileHandle OpenFileForReading(const char* name) {
  return AdoptForReading(open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY));
}

FileHandle CreateFileForWriting(const char* name) {
  const int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  return fd < 0 ? kInvalidFile : AdoptDescriptor(fd, true);
}

void SeekFile(FileHandle file, std::int32_t offset) {
  FileState* state = Find(file);
  if (state == nullptr) return;
  if (state->stream) {
    state->position = offset;
  } else {
    lseek(static_cast<int>(file), offset, SEEK_SET);
  }
}

std::int32_t ReadFromFile(FileHandle file, void* buffer, std::int32_t size) {
  FileState* state = Find(file);
  if (state == nullptr || state->writing || size <= 0) return 0;
  std::uint8_t* bytes = static_cast<std::uint8_t*>(buffer);
  if (state->stream) return ReadStream(file, *state, bytes, size);
  std::int32_t total = 0;
  while (total < size) {
    const ssize_t got =
        ReadOnce(static_cast<int>(file), bytes + total, static_cast<std::size_t>(size - total));
    if (got < 0) Fail(*state);
    if (got <= 0) break;
    total += static_cast<std::int32_t>(got);
  }
  return total;
}

bool WriteToFile(FileHandle file, const void* data, std::int32_t size) {
  FileState* state = Find(file);
  if (state == nullptr || !state->writing || size < 0 || state->error != 0) return false;
  const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t rest = static_cast<std::size_t>(size);
  // A piece as large as the buffer goes straight on, after what is waiting.
  if (rest >= kWriteBufferSize) {
    if (state->pendingCount > 0 && !FlushPending(file, *state)) return false;
    if (WriteAll(static_cast<int>(file), bytes, rest)) return true;
    Fail(*state);
    return false;
  }
  while (rest > 0) {
    const std::size_t n = std::min(rest, kWriteBufferSize - state->pendingCount);
    std::memcpy(state->pending.get() + state->pendingCount, bytes, n);
    state->pendingCount += n;
    bytes += n;
    rest -= n;
    if (state->pendingCount == kWriteBufferSize && !FlushPending(file, *state)) return false;
  }
  return true;
}

void CloseFile(FileHandle file) {
  FileState* state = Find(file);
  if (state == nullptr) return;
  if (state->writing) FlushPending(file, *state);
  close(static_cast<int>(file));
  files.erase(file);
}

bool FlushWrites(FileHandle file) {
  FileState* state = Find(file);
  return state != nullptr && state->writing && FlushPending(file, *state);
}

void CloseUnwritten(FileHandle file) {
  files.erase(file);
  close(static_cast<int>(file));
}

// A pipe or device has no size, as GetFileSizeEx finds.
std::int64_t FileSizeOf(FileHandle file) {
  FileState* state = Find(file);
  struct stat info;
  if (state == nullptr || state->stream || fstat(static_cast<int>(file), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

bool DeleteFileNamed(const char* name) {
  return unlink(name) == 0;
}

unsigned FileTypeOf(FileHandle file) {
  struct stat info;
  if (fstat(static_cast<int>(file), &info) != 0) return kFileTypeUnknown;
  if (S_ISCHR(info.st_mode)) return kFileTypeChar;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return kFileTypePipe;
  return kFileTypeDisk;
}

bool FileIdentityOf(FileHandle file, FileIdentity* identity) {
  struct stat info;
  if (fstat(static_cast<int>(file), &info) != 0) return false;
  identity->volume = static_cast<std::uint64_t>(info.st_dev);
  identity->index = static_cast<std::uint64_t>(info.st_ino);
  return true;
}

int FileError(FileHandle file) {
  const FileState* state = Find(file);
  return state == nullptr ? EBADF : state->error;
}

bool CloseOutputFile(OutputFile* output) {
  FileState* state = Find(output->handle);
  if (state == nullptr) return false;
  const bool flushed = FlushPending(output->handle, *state);
  // Written whole, the output is the user's: a signal now leaves it.
  if (flushed) DisarmRemovalOnSignals();
  const int error = state->error;
  files.erase(output->handle);
  const bool closed = close(static_cast<int>(output->handle)) == 0;
  output->handle = kInvalidFile;
  if (!flushed) errno = error;
  return flushed && closed;
}
