// Reading registry values safely into the reader's fixed fields.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Reads a value of at most capacity (1..4) bytes, whatever its type, as a
// little-endian integer into the low bytes of field; its other bytes stay.
// A value that cannot be read leaves the field unchanged (Win32 leaves the
// buffer undefined then, so it is read aside first).
void ReadIntegerValue(RegistryKey key, const char* name, int& field, std::uint32_t capacity);

// Writes the low size (1..4) bytes of value, little-endian, as REG_BINARY.
void WriteIntegerValue(RegistryKey key, const char* name, int value, std::uint32_t size);

// Reads a text value into a name buffer, which always ends up zero-terminated;
// a value that cannot be read leaves the buffer unchanged.
void ReadTextValue(RegistryKey key, const char* name, char (&buffer)[kMaxPath]);
