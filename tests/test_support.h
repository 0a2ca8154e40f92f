// What the tests share: scratch files and a freshly started process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/fresh_process.h"

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);

// a followed by b.
Bytes Join(Bytes a, const Bytes& b);

// Text in UTF-8 turned into another encoding by glibc's iconv; empty when
// the encoding cannot hold all of it.
Bytes EncodeAs(const std::string& utf8, const char* to);

// A scratch folder for one test, removed afterwards; mapped as drive C:.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Writes a file below the folder and returns its real path.
  std::string Write(const std::string& relative, const Bytes& content) const;
  std::string Path(const std::string& relative) const;
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
};

// Reads a whole real file.
Bytes ReadWholeFile(const std::string& path);

// Opens a real file as the document (with the Work area allocated); false on failure.
bool OpenDocumentFile(const std::string& path);
