#include "tests/test_support.h"

#include <iconv.h>
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

Bytes Join(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes EncodeAs(const std::string& utf8, const char* to) {
  iconv_t cd = iconv_open(to, "UTF-8");
  std::string in = utf8;
  Bytes out(in.size() * 4 + 16);
  char* inp = in.data();
  char* outp = reinterpret_cast<char*>(out.data());
  std::size_t inLeft = in.size(), outLeft = out.size();
  const bool whole = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return whole ? out : Bytes();
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
