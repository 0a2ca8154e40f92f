#include "shell/file_names.h"

#include <cstring>

bool SetName(char (&buffer)[kMaxPath], const char* text) {
  const std::size_t length = std::strlen(text);
  if (length >= kMaxPath) return false;
  std::memcpy(buffer, text, length + 1);
  return true;
}

bool SameName(const char* a, const char* b) {
  return std::strcmp(a, b) == 0;
}

static char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EndsWithNoCase(const char* text, const char* suffix) {
  const std::size_t n = std::strlen(text);
  const std::size_t m = std::strlen(suffix);
  if (m > n) return false;
  for (std::size_t i = 0; i < m; ++i) {
    if (Upper(text[n - m + i]) != Upper(suffix[i])) return false;
  }
  return true;
}
