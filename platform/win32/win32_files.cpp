// Files on Win32: the document read through its window, and the converters'
// output written whole.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

namespace {

HANDLE AsFile(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle FromFile(HANDLE handle) {
  return reinterpret_cast<FileHandle>(handle);
}

}  // namespace

// Others may go on reading the document but not change it under the line index.
FileHandle OpenFileForReading(const char* name) {
  return FromFile(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

// No sharing: nobody may read a converted file before it is complete.
FileHandle CreateFileForWriting(const char* name) {
  return FromFile(
      CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void SeekFile(FileHandle file, std::int32_t offset) {
  SetFilePointer(AsFile(file), offset, nullptr, FILE_BEGIN);
}

std::int32_t ReadFromFile(FileHandle file, void* buffer, std::int32_t size) {
  if (size <= 0) return 0;
  DWORD got = 0;
  if (!ReadFile(AsFile(file), buffer, static_cast<DWORD>(size), &got, nullptr)) return 0;
  return static_cast<std::int32_t>(got);
}

// WriteFile may succeed having written less than asked (a full disk on some
// file systems); that is a failed write too.
bool WriteToFile(FileHandle file, const void* data, std::int32_t size) {
  if (size < 0) return false;
  DWORD put = 0;
  if (!WriteFile(AsFile(file), data, static_cast<DWORD>(size), &put, nullptr)) return false;
  return put == static_cast<DWORD>(size);
}

void CloseFile(FileHandle file) {
  CloseHandle(AsFile(file));
}

std::int64_t FileSizeOf(FileHandle file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(AsFile(file), &size)) return -1;
  return size.QuadPart;
}

bool DeleteFileNamed(const char* name) {
  return DeleteFileA(name) != FALSE;
}

unsigned FileTypeOf(FileHandle file) {
  return GetFileType(AsFile(file));
}

bool FileIdentityOf(FileHandle file, FileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(AsFile(file), &information)) return false;
  identity->volume = information.dwVolumeSerialNumber;
  identity->index = std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow;
  return true;
}

char PathSeparator() {
  return '\\';
}
