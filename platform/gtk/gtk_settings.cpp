// HKEY_LOCAL_MACHINE on GTK: the settings keys in a GLib key file (the form
// is described in gtk_registry.h). The file is read once, at the first
// registry call of the run, and written whenever the logic has changed it.
// A damaged or hand-edited file is read line by line as far as it is sound:
// lines GLib would refuse are dropped, and a value that cannot be read is
// missing, as a value of the wrong kind would be on Win32.
#include <glib/gstdio.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gtk/gtk_main.h"
#include "platform/gtk/gtk_registry.h"

namespace {

constexpr char kDefaultValueName[] = "@";  // the key's unnamed value, as .reg files write it
constexpr char kAlwaysThere[] = "Software";

GKeyFile* store = nullptr;
bool changed = false;

std::string FolderPath() {
  return std::string(g_get_user_config_dir()) + "/tavelo";
}

std::string FilePath() {
  return FolderPath() + "/settings.ini";
}

bool SoundGroupName(const std::string& name) {
  if (name.empty() || !g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr)) {
    return false;
  }
  for (unsigned char c : name) {
    if (c < 0x20 || c == '[' || c == ']') return false;
  }
  return true;
}

bool SoundValueName(const std::string& name) {
  return SoundGroupName(name) && name.find('=') == std::string::npos && name.front() != ' ' &&
         name.back() != ' ' && name.front() != '#';
}

// The lines of text that GLib's parser will take, in their order.
std::string SoundLines(const char* text, gsize length) {
  std::string kept;
  bool inGroup = false;
  const char* end = text + length;
  for (const char* line = text; line < end;) {
    const char* stop = static_cast<const char*>(std::memchr(line, '\n', end - line));
    if (stop == nullptr) stop = end;
    std::string s(line, stop);
    line = stop + 1;
    if (!s.empty() && s.back() == '\r') s.pop_back();
    bool keep = false;
    if (s.find_first_not_of(" \t") == std::string::npos || s[0] == '#') {
      keep = g_utf8_validate(s.data(), static_cast<gssize>(s.size()), nullptr);
    } else if (s.front() == '[' && s.back() == ']') {
      keep = inGroup = SoundGroupName(s.substr(1, s.size() - 2));
    } else if (inGroup && s.find('=') != std::string::npos) {
      std::string name = s.substr(0, s.find('='));
      while (!name.empty() && name.back() == ' ') name.pop_back();
      keep =
          SoundValueName(name) && g_utf8_validate(s.data(), static_cast<gssize>(s.size()), nullptr);
    }
    if (keep) kept.append(s).append("\n");
  }
  return kept;
}

GKeyFile* Store() {
  if (store != nullptr) return store;
  store = g_key_file_new();
  char* text = nullptr;
  gsize length = 0;
  if (g_file_get_contents(FilePath().c_str(), &text, &length, nullptr)) {
    const std::string sound = SoundLines(text, length);
    g_free(text);
    if (!g_key_file_load_from_data(store, sound.c_str(), sound.size(), G_KEY_FILE_KEEP_COMMENTS,
                                   nullptr)) {
      g_key_file_free(store);
      store = g_key_file_new();
    }
  }
  return store;
}

// Finds a name in a list without regard to case, as the registry compares names.
std::string FindIn(char** names, const std::string& wanted) {
  std::string found;
  for (char** n = names; n != nullptr && *n != nullptr && found.empty(); ++n) {
    if (g_ascii_strcasecmp(*n, wanted.c_str()) == 0) found = *n;
  }
  g_strfreev(names);
  return found;
}

std::string FindGroup(const std::string& path) {
  return FindIn(g_key_file_get_groups(Store(), nullptr), path);
}

std::string FindValue(const std::string& group, const std::string& name) {
  return FindIn(g_key_file_get_keys(Store(), group.c_str(), nullptr, nullptr), name);
}

std::string ValueName(const char* name) {
  return name == nullptr || *name == 0 ? kDefaultValueName : name;
}

bool IsAlwaysThere(const std::string& path) {
  return path.empty() || g_ascii_strcasecmp(path.c_str(), kAlwaysThere) == 0;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         g_ascii_strncasecmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

// The value's bytes and type from its text in the file; false when it is not sound.
bool Decode(const std::string& text, unsigned* type, std::vector<std::uint8_t>* bytes) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    *type = kRegString;
    bytes->assign(text.begin() + 1, text.end() - 1);
    bytes->push_back(0);
    return true;
  }
  std::string rest;
  if (StartsWithNoCase(text, "hex:")) {
    *type = kRegBinary;
    rest = text.substr(4);
  } else if (StartsWithNoCase(text, "hex(") && text.find("):") != std::string::npos) {
    char* end = nullptr;
    *type = static_cast<unsigned>(std::strtoul(text.c_str() + 4, &end, 16));
    if (end != text.c_str() + text.find("):")) return false;
    rest = text.substr(text.find("):") + 2);
  } else {
    return false;
  }
  bytes->clear();
  char** parts = g_strsplit(rest.c_str(), ",", -1);
  bool sound = true;
  for (char** p = parts; *p != nullptr && sound; ++p) {
    const std::string part = g_strstrip(*p);
    if (part.empty() && rest.find_first_not_of(" ") == std::string::npos) break;
    sound = part.size() == 2 && g_ascii_isxdigit(part[0]) && g_ascii_isxdigit(part[1]);
    if (sound) bytes->push_back(static_cast<std::uint8_t>(std::strtoul(part.c_str(), nullptr, 16)));
  }
  g_strfreev(parts);
  return sound;
}

// Text ended by its one zero, printable and UTF-8, goes in quotes; anything else as bytes.
std::string Encode(unsigned type, const std::uint8_t* data, std::uint32_t size) {
  if (type == kRegString && size > 0 && data[size - 1] == 0) {
    const std::string text(reinterpret_cast<const char*>(data), size - 1);
    bool plain = g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
    for (unsigned char c : text) plain = plain && c >= 0x20;
    if (plain) return "\"" + text + "\"";
  }
  char prefix[24] = "hex:";
  if (type != kRegBinary) std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
  std::string out = prefix;
  for (std::uint32_t i = 0; i < size; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : ",%02x", data[i]);
    out += hex;
  }
  return out;
}

void MakeGroup(const std::string& path) {
  // GLib adds a group with its first value; removing that keeps the group.
  g_key_file_set_value(Store(), path.c_str(), kDefaultValueName, "");
  g_key_file_remove_key(Store(), path.c_str(), kDefaultValueName, nullptr);
}

}  // namespace

bool SettingsKeyExists(const std::string& path) {
  return IsAlwaysThere(path) || !FindGroup(path).empty();
}

// Creates the key and its missing parents, as RegCreateKeyExA does.
bool CreateSettingsKey(const std::string& path) {
  if (IsAlwaysThere(path)) return true;
  if (!SoundGroupName(path) || path.front() == '\\' || path.back() == '\\' ||
      path.find("\\\\") != std::string::npos) {
    return false;
  }
  for (std::size_t at = 0; at != std::string::npos;) {
    at = path.find('\\', at + 1);
    const std::string prefix = path.substr(0, at);
    if (!SettingsKeyExists(prefix)) {
      MakeGroup(prefix);
      changed = true;
    }
  }
  return true;
}

bool ReadSettingsValue(const std::string& path, const char* name, void* buffer,
                       std::uint32_t* size) {
  const std::string group = FindGroup(path);
  if (group.empty()) return false;
  const std::string key = FindValue(group, ValueName(name));
  if (key.empty()) return false;
  char* text = g_key_file_get_value(Store(), group.c_str(), key.c_str(), nullptr);
  unsigned type = 0;
  std::vector<std::uint8_t> bytes;
  const bool sound = text != nullptr && Decode(text, &type, &bytes);
  g_free(text);
  if (!sound) return false;
  const bool fits = bytes.size() <= *size;
  if (fits && !bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  *size = static_cast<std::uint32_t>(bytes.size());
  return fits;
}

void WriteSettingsValue(const std::string& path, const char* name, unsigned type, const void* data,
                        std::uint32_t size) {
  const std::string group = FindGroup(path);
  const std::string wanted = ValueName(name);
  if (group.empty() || !SoundValueName(wanted)) return;
  const std::string old = FindValue(group, wanted);
  if (!old.empty()) g_key_file_remove_key(Store(), group.c_str(), old.c_str(), nullptr);
  const std::string text = Encode(type, static_cast<const std::uint8_t*>(data), size);
  g_key_file_set_value(Store(), group.c_str(), wanted.c_str(), text.c_str());
  changed = true;
}

void DeleteSettingsKey(const std::string& path) {
  const std::string group = FindGroup(path);
  if (group.empty()) return;
  std::string child;
  if (SettingsSubkey(group, 0, &child)) return;
  g_key_file_remove_group(Store(), group.c_str(), nullptr);
  changed = true;
}

bool SettingsSubkey(const std::string& path, std::uint32_t index, std::string* name) {
  const std::string prefix = path.empty() ? "" : path + "\\";
  char** groups = g_key_file_get_groups(Store(), nullptr);
  std::uint32_t seen = 0;
  bool found = false;
  for (char** g = groups; g != nullptr && *g != nullptr && !found; ++g) {
    const std::string group = *g;
    if (!StartsWithNoCase(group, prefix) || group.size() == prefix.size()) continue;
    const std::string rest = group.substr(prefix.size());
    if (rest.find('\\') != std::string::npos) continue;
    if (seen++ == index) {
      *name = rest;
      found = true;
    }
  }
  g_strfreev(groups);
  return found;
}

void SaveSettingsFile() {
  if (!changed || store == nullptr) return;
  changed = false;
  gsize groups = 0;
  g_strfreev(g_key_file_get_groups(store, &groups));
  if (groups == 0) {
    // Nothing left (Uninstall): the file goes, and the folder made for it.
    g_unlink(FilePath().c_str());
    g_rmdir(FolderPath().c_str());
    return;
  }
  g_mkdir_with_parents(FolderPath().c_str(), 0700);
  g_key_file_save_to_file(store, FilePath().c_str(), nullptr);
}
