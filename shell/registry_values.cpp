#include "shell/registry_values.h"

#include <cstring>

void ReadIntegerValue(RegistryKey key, const char* name, int& field, std::uint32_t capacity) {
  std::uint8_t value[4];
  std::uint32_t size = capacity;
  if (capacity > sizeof value || !ReadRegistryValue(key, name, value, &size)) return;
  std::uint32_t bits = static_cast<std::uint32_t>(field);
  for (std::uint32_t i = 0; i < size; ++i) {
    bits = (bits & ~(0xFFu << (8 * i))) | static_cast<std::uint32_t>(value[i]) << (8 * i);
  }
  field = static_cast<int>(bits);
}

void WriteIntegerValue(RegistryKey key, const char* name, int value, std::uint32_t size) {
  std::uint8_t bytes[4];
  for (std::uint32_t i = 0; i < 4; ++i) {
    bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  }
  WriteRegistryValue(key, name, kRegBinary, bytes, size);
}

void ReadTextValue(RegistryKey key, const char* name, char (&buffer)[kMaxPath]) {
  char value[kMaxPath];
  std::uint32_t size = kMaxPath;
  if (!ReadRegistryValue(key, name, value, &size)) return;
  // A value stored without its zero, or of another type, still ends in one.
  const std::uint32_t length = size < kMaxPath ? size : kMaxPath - 1;
  std::memcpy(buffer, value, length);
  buffer[length] = 0;
}
