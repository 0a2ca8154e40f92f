// The registry operations on GTK: key handles over the two stores of
// gtk_registry.h, which the handle's root chooses.
#include <map>
#include <string>

#include "platform/gtk/gtk_main.h"
#include "platform/gtk/gtk_registry.h"

namespace {

struct OpenKey {
  RegistryKey root;
  std::string path;
};
std::map<RegistryKey, OpenKey> openKeys;
RegistryKey nextKey = 1;  // far below the predefined roots' values

// The root and whole path of subkey path below parent; false for an unknown handle.
bool Resolve(RegistryKey parent, const char* path, OpenKey* key) {
  const std::string below = path != nullptr ? path : "";
  if (parent == kLocalMachine || parent == kClassesRoot) {
    *key = OpenKey{parent, below};
    return true;
  }
  auto it = openKeys.find(parent);
  if (it == openKeys.end()) return false;
  *key =
      OpenKey{it->second.root,
              below.empty() ? it->second.path
                            : (it->second.path.empty() ? below : it->second.path + "\\" + below)};
  return true;
}

bool Exists(const OpenKey& key) {
  return key.root == kLocalMachine ? SettingsKeyExists(key.path) : AssociationKeyExists(key.path);
}

RegistryKey Hand(const OpenKey& key) {
  openKeys[nextKey] = key;
  return nextKey++;
}

const OpenKey* Find(RegistryKey handle) {
  auto it = openKeys.find(handle);
  return it == openKeys.end() ? nullptr : &it->second;
}

}  // namespace

bool OpenRegistryKey(RegistryKey parent, const char* path, unsigned, RegistryKey* key) {
  OpenKey opened;
  if (!Resolve(parent, path, &opened) || !Exists(opened)) return false;
  *key = Hand(opened);
  return true;
}

bool CreateRegistryKey(RegistryKey parent, const char* path, const char*, RegistryKey* key) {
  OpenKey created;
  if (!Resolve(parent, path, &created)) return false;
  const bool made = created.root == kLocalMachine ? CreateSettingsKey(created.path)
                                                  : CreateAssociationKey(created.path);
  if (!made) return false;
  *key = Hand(created);
  return true;
}

bool ReadRegistryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size) {
  const OpenKey* open = Find(key);
  // The logic reads no association value back, so none is kept to be read.
  if (open == nullptr || open->root != kLocalMachine) return false;
  return ReadSettingsValue(open->path, name, buffer, size);
}

void WriteRegistryValue(RegistryKey key, const char* name, unsigned type, const void* data,
                        std::uint32_t size) {
  const OpenKey* open = Find(key);
  if (open == nullptr) return;
  if (open->root == kLocalMachine) {
    WriteSettingsValue(open->path, name, type, data, size);
  } else {
    WriteAssociationValue(open->path, name, type, data, size);
  }
}

void CloseRegistryKey(RegistryKey key) {
  openKeys.erase(key);
  // What the logic changed reaches the disk as the key is let go, as it
  // would reach the registry; at most once per change.
  SaveSettingsFile();
}

void DeleteRegistryKey(RegistryKey parent, const char* subkey) {
  // An empty name would delete the parent key itself.
  if (subkey == nullptr || *subkey == 0) return;
  OpenKey doomed;
  if (!Resolve(parent, subkey, &doomed)) return;
  if (doomed.root == kLocalMachine) {
    DeleteSettingsKey(doomed.path);
    SaveSettingsFile();
  } else {
    DeleteAssociationKey(doomed.path);
  }
}

long EnumerateRegistryKey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t nameSize,
                          char* className, std::uint32_t classSize) {
  constexpr long kMoreData = 234;  // ERROR_MORE_DATA
  const OpenKey* open = Find(key);
  std::string found;
  if (open == nullptr || open->root != kLocalMachine ||
      !SettingsSubkey(open->path, index, &found)) {
    return kNoMoreItems;
  }
  if (found.size() >= nameSize) return kMoreData;
  g_strlcpy(name, found.c_str(), nameSize);
  // Keys keep no class string here.
  if (className != nullptr && classSize > 0) className[0] = 0;
  return 0;
}
