// The registry on Win32: the settings keys, the file association and their
// removal. Keys cross the seam as the HKEY values themselves, so the
// predefined roots need no translation.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

namespace {

HKEY AsKey(RegistryKey key) {
  return AsHandle<HKEY>(key);
}

}  // namespace

bool OpenRegistryKey(RegistryKey parent, const char* path, unsigned access, RegistryKey* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(AsKey(parent), path, 0, access, &opened) != ERROR_SUCCESS) return false;
  *key = FromHandle(opened);
  return true;
}

bool CreateRegistryKey(RegistryKey parent, const char* path, const char* className,
                       RegistryKey* key) {
  HKEY created = nullptr;
  DWORD disposition = 0;
  // RegCreateKeyExA only reads the class string; its declaration predates const.
  if (RegCreateKeyExA(AsKey(parent), path, 0, const_cast<char*>(className), REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &created, &disposition) != ERROR_SUCCESS) {
    return false;
  }
  *key = FromHandle(created);
  return true;
}

bool ReadRegistryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size) {
  DWORD stored = *size;
  const LONG result =
      RegQueryValueExA(AsKey(key), name, nullptr, nullptr, static_cast<BYTE*>(buffer), &stored);
  *size = stored;
  return result == ERROR_SUCCESS;
}

void WriteRegistryValue(RegistryKey key, const char* name, unsigned type, const void* data,
                        std::uint32_t size) {
  RegSetValueExA(AsKey(key), name, 0, type, static_cast<const BYTE*>(data), size);
}

void CloseRegistryKey(RegistryKey key) {
  RegCloseKey(AsKey(key));
}

void DeleteRegistryKey(RegistryKey parent, const char* subkey) {
  // An empty name would make RegDeleteKeyA delete the parent key itself.
  if (subkey == nullptr || *subkey == 0) return;
  RegDeleteKeyA(AsKey(parent), subkey);
}

long EnumerateRegistryKey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t nameSize,
                          char* className, std::uint32_t classSize) {
  DWORD nameLength = nameSize;
  DWORD classLength = classSize;
  // A null class buffer must come with a null length, or the call fails.
  return RegEnumKeyExA(AsKey(key), index, name, &nameLength, nullptr, className,
                       className != nullptr ? &classLength : nullptr, nullptr);
}
