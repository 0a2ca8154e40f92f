// The two stores behind the registry operations on GTK, each addressed by a
// key's whole path below its root, backslashes between the names:
//
// - HKEY_LOCAL_MACHINE, where the settings live, is a GLib key file,
//   $XDG_CONFIG_HOME/tavelo/settings.ini: a group per key, named by its path
//   ("[Software\Kestrow\Tavelo\options]"), a line per value, named as in the
//   registry ("@" is the default value), "hex:" and the bytes for REG_BINARY,
//   the text in double quotes for REG_SZ stored with its zero, "hex(TYPE):"
//   and the bytes for anything else. Names are compared without regard to
//   case. "Software" itself always exists; creating a key makes a group for
//   each missing parent, and a group goes with its key.
// - HKEY_CLASSES_ROOT, where the association lives, is the user's
//   freedesktop.org files: each association key that holds a value is one
//   file made from that value (gtk_association.cpp lists them).
#pragma once

#include <cstdint>
#include <string>

bool SettingsKeyExists(const std::string& path);
bool CreateSettingsKey(const std::string& path);
bool ReadSettingsValue(const std::string& path, const char* name, void* buffer,
                       std::uint32_t* size);
void WriteSettingsValue(const std::string& path, const char* name, unsigned type, const void* data,
                        std::uint32_t size);
// Fails when the key has subkeys, as RegDeleteKeyA does.
void DeleteSettingsKey(const std::string& path);
// The name of subkey number index, or false when there is none.
bool SettingsSubkey(const std::string& path, std::uint32_t index, std::string* name);
// Writes the key file when it changed since it was read or last written; a
// key file left with no key is removed, with its folder when that is empty.
void SaveSettingsFile();

bool AssociationKeyExists(const std::string& path);
bool CreateAssociationKey(const std::string& path);
void WriteAssociationValue(const std::string& path, const char* name, unsigned type,
                           const void* data, std::uint32_t size);
void DeleteAssociationKey(const std::string& path);
