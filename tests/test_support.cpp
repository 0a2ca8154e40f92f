#include "tests/test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "document/reader.h"
#include "document/work_area.h"
#include "platform/sim/sim.h"

Bytes ToBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

ScratchFolder::ScratchFolder() {
  char pattern[] = "/tmp/tavelo-test-XXXXXX";
  root_ = mkdtemp(pattern);
  SimMapDrive('C', root_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string ScratchFolder::Path(const std::string& relative) const {
  return root_ + "/" + relative;
}

std::string ScratchFolder::Write(const std::string& relative, const Bytes& content) const {
  const std::string path = Path(relative);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!content.empty()) std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
  return path;
}

Bytes ReadWholeFile(const std::string& path) {
  Bytes content;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return content;
  int c;
  while ((c = std::fgetc(file)) != EOF) content.push_back(static_cast<std::uint8_t>(c));
  std::fclose(file);
  return content;
}

bool OpenDocumentFile(const std::string& path) {
  if (readBuffer == nullptr && !AllocateWorkArea()) return false;
  if (documentHandle != kInvalidFile) CloseFile(documentHandle);
  documentHandle = OpenFileForReading(path.c_str());
  return documentHandle != kInvalidFile;
}
