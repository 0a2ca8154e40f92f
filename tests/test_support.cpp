#include "tests/test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "display/glyph_atlas.h"
#include "display/page_painter.h"
#include "platform/sim/sim.h"
#include "shell/file_names.h"
#include "shell/open_command.h"
#include "shell/options.h"
#include "shell/placement.h"
#include "shell/window_lifecycle.h"

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

ScratchFolder::ScratchFolder() {
  char pattern[] = "/tmp/tavelo-test-XXXXXX";
  root_ = mkdtemp(pattern);
  SimMapDrive('C', root_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string ScratchFolder::Path(const std::string& relative) const { return root_ + "/" + relative; }

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

void ResetLogicState() {
  readBuffer = lineBytes = linePhase = nullptr;
  documentHandle = kInvalidFile;
  reader = DocumentReader{};
  view = ViewState{};
  big5Mode = 0;
  lastLine = 0;
  truncated = 0;
  atlasBitmap = 0;
  truncationWarned = false;
  options = Options{};
  placement = WindowPlacement{};
  windowDestroyed = false;
  layoutAwaitsToggle = false;
  fileName[0] = currentName[0] = lastDirectory[0] = fileTitle[0] = 0;
}

void StartFreshProcess() {
  FreeWorkArea();
  SimReset();
  ResetLogicState();
}

void RunProgram(const std::string& commandLine) {
  SimEndProcess();
  ResetLogicState();
  StartUp(commandLine.c_str());
}

bool OpenDocumentFile(const std::string& path) {
  if (readBuffer == nullptr && !AllocateWorkArea()) return false;
  if (documentHandle != kInvalidFile) CloseFile(documentHandle);
  documentHandle = OpenFileForReading(path.c_str());
  return documentHandle != kInvalidFile;
}
