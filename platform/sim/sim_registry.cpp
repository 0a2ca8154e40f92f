// The registry of the simulated desktop: a tree of keys in memory whose key
// and value names compare without regard to case, as Windows' do.
#include <strings.h>

#include <cstring>
#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"

namespace {

struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

struct Key {
  std::string className;
  std::map<std::string, std::unique_ptr<Key>, NoCase> subkeys;
  std::map<std::string, SimValue, NoCase> values;
};

Key classesRoot;
Key localMachine;
std::map<RegistryKey, std::string> handles;  // open handle -> "root\path"
RegistryKey nextHandle = 0x100;
int changes = 0;

constexpr long kMoreData = 234;  // ERROR_MORE_DATA

Key* RootOf(RegistryKey root) {
  if (root == kClassesRoot) return &classesRoot;
  if (root == kLocalMachine) return &localMachine;
  return nullptr;
}

std::string RootName(RegistryKey root) {
  return root == kClassesRoot ? "HKCR" : "HKLM";
}

// The full name of path below parent (a root or an open handle), or "" when parent is unknown.
std::string FullName(RegistryKey parent, const std::string& path) {
  std::string base;
  if (RootOf(parent)) {
    base = RootName(parent);
  } else {
    auto it = handles.find(parent);
    if (it == handles.end()) return std::string();
    base = it->second;
  }
  return path.empty() ? base : base + "\\" + path;
}

// Walks a full name; with create, makes missing keys with the class string.
Key* Walk(const std::string& fullName, bool create, const char* className) {
  if (fullName.empty()) return nullptr;
  const std::size_t first = fullName.find('\\');
  const std::string rootName = fullName.substr(0, first);
  Key* key = rootName == "HKCR" ? &classesRoot : rootName == "HKLM" ? &localMachine : nullptr;
  std::size_t start = first == std::string::npos ? fullName.size() + 1 : first + 1;
  while (key && start <= fullName.size()) {
    std::size_t end = fullName.find('\\', start);
    if (end == std::string::npos) end = fullName.size();
    const std::string part = fullName.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    auto it = key->subkeys.find(part);
    if (it == key->subkeys.end()) {
      if (!create) return nullptr;
      auto made = std::make_unique<Key>();
      made->className = className ? className : "";
      ++changes;
      it = key->subkeys.emplace(part, std::move(made)).first;
    }
    key = it->second.get();
  }
  return key;
}

Key* KeyOf(RegistryKey handle) {
  if (Key* root = RootOf(handle)) return root;
  auto it = handles.find(handle);
  return it == handles.end() ? nullptr : Walk(it->second, false, nullptr);
}

RegistryKey NewHandle(const std::string& fullName) {
  handles[nextHandle] = fullName;
  return nextHandle++;
}

}  // namespace

void SimResetRegistry() {
  classesRoot = Key{};
  localMachine = Key{};
  handles.clear();
  changes = 0;
}

bool SimKeyExists(RegistryKey root, const std::string& path) {
  return Walk(FullName(root, path), false, nullptr) != nullptr;
}

void SimCreateKey(RegistryKey root, const std::string& path) {
  const int before = changes;
  Walk(FullName(root, path), true, "");
  changes = before;
}

bool SimGetValue(RegistryKey root, const std::string& path, const std::string& name,
                 SimValue* value) {
  Key* key = Walk(FullName(root, path), false, nullptr);
  if (key == nullptr) return false;
  auto it = key->values.find(name);
  if (it == key->values.end()) return false;
  *value = it->second;
  return true;
}

void SimPutValue(RegistryKey root, const std::string& path, const std::string& name, unsigned type,
                 const void* data, std::size_t size) {
  const int before = changes;
  Key* key = Walk(FullName(root, path), true, "");
  changes = before;
  SimValue& value = key->values[name];
  value.type = type;
  value.bytes.assign(static_cast<const std::uint8_t*>(data),
                     static_cast<const std::uint8_t*>(data) + size);
}

std::vector<std::string> SimSubkeys(RegistryKey root, const std::string& path) {
  std::vector<std::string> names;
  if (Key* key = Walk(FullName(root, path), false, nullptr)) {
    for (const auto& entry : key->subkeys) names.push_back(entry.first);
  }
  return names;
}

int SimRegistryChanges() {
  return changes;
}

int SimOpenRegistryKeys() {
  return static_cast<int>(handles.size());
}

bool OpenRegistryKey(RegistryKey parent, const char* path, unsigned, RegistryKey* key) {
  const std::string fullName = FullName(parent, path ? path : "");
  if (Walk(fullName, false, nullptr) == nullptr) return false;
  *key = NewHandle(fullName);
  return true;
}

bool CreateRegistryKey(RegistryKey parent, const char* path, const char* className,
                       RegistryKey* key) {
  const std::string fullName = FullName(parent, path ? path : "");
  if (Walk(fullName, true, className) == nullptr) return false;
  *key = NewHandle(fullName);
  return true;
}

bool ReadRegistryValue(RegistryKey handle, const char* name, void* buffer, std::uint32_t* size) {
  Key* key = KeyOf(handle);
  if (key == nullptr) return false;
  auto it = key->values.find(name ? name : "");
  if (it == key->values.end()) return false;
  const std::vector<std::uint8_t>& bytes = it->second.bytes;
  if (bytes.size() > *size) {
    // Win32 leaves the buffer's content undefined here; make that visible.
    std::memset(buffer, 0xCD, *size);
    *size = static_cast<std::uint32_t>(bytes.size());
    return false;
  }
  // An empty value has no bytes to copy, and its vector may hold no storage at all.
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  *size = static_cast<std::uint32_t>(bytes.size());
  return true;
}

void WriteRegistryValue(RegistryKey handle, const char* name, unsigned type, const void* data,
                        std::uint32_t size) {
  Key* key = KeyOf(handle);
  if (key == nullptr) return;
  SimValue& value = key->values[name ? name : ""];
  value.type = type;
  value.bytes.assign(static_cast<const std::uint8_t*>(data),
                     static_cast<const std::uint8_t*>(data) + size);
  ++changes;
}

void CloseRegistryKey(RegistryKey key) {
  handles.erase(key);
}

void DeleteRegistryKey(RegistryKey parent, const char* subkey) {
  if (subkey == nullptr || *subkey == 0) return;
  const std::string fullName = FullName(parent, subkey);
  const std::size_t cut = fullName.rfind('\\');
  Key* key = Walk(fullName.substr(0, cut), false, nullptr);
  if (key == nullptr) return;
  auto it = key->subkeys.find(fullName.substr(cut + 1));
  // Win32 refuses to delete a key that still has subkeys.
  if (it == key->subkeys.end() || !it->second->subkeys.empty()) return;
  key->subkeys.erase(it);
  ++changes;
}

long EnumerateRegistryKey(RegistryKey handle, std::uint32_t index, char* name,
                          std::uint32_t nameSize, char* className, std::uint32_t classSize) {
  Key* key = KeyOf(handle);
  if (key == nullptr) return 6;  // ERROR_INVALID_HANDLE
  if (index >= key->subkeys.size()) return kNoMoreItems;
  auto it = key->subkeys.begin();
  std::advance(it, index);
  if (it->first.size() + 1 > nameSize || it->second->className.size() + 1 > classSize) {
    return kMoreData;
  }
  std::memcpy(name, it->first.c_str(), it->first.size() + 1);
  std::memcpy(className, it->second->className.c_str(), it->second->className.size() + 1);
  return 0;
}
