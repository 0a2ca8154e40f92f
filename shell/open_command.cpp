#include "shell/open_command.h"

#include <cstring>

#include "conversion/big5_map.h"
#include "display/selection.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "platform/platform.h"
#include "shell/command_ids.h"
#include "shell/encoding_menu.h"
#include "shell/file_dialog.h"
#include "shell/file_names.h"
#include "shell/message_boxes.h"
#include "shell/recent_files.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

void RecordLastDirectory() {
  char directory[kMaxPath];
  if (!DirectoryOf(fileName, directory)) return;
  std::memcpy(lastDirectory, directory, sizeof directory);
  RegistryKey key;
  if (!OpenRegistryKey(kLocalMachine, kLastDirectoryKey, kKeySetValue, &key)) return;
  WriteRegistryValue(key, nullptr, kRegString, lastDirectory,
                     static_cast<std::uint32_t>(std::strlen(lastDirectory) + 1));
  CloseRegistryKey(key);
}

// Lays the new document out in the current mode with its top at the top.
void LayOutFromTop() {
  Relayout(true, RelayoutTop::kDocumentStart);
  InvalidateClient();
}

// Lays the new document out with the display line holding byte top at the
// top, as far as the last page allows.
void LayOutAt(std::int32_t top) {
  if (top == 0) return LayOutFromTop();
  ResetViewToTop();
  view.topOffset = top;
  Relayout(true, RelayoutTop::kSameText);
  InvalidateClient();
}

// The warning for each way the map can fail to load.
const char* Big5MapWarning(Big5MapFailure failure) {
  return failure == Big5MapFailure::kNoBitmap ? kCouldNotLoadMappingCodes
                                              : kCouldNotAllocateMappingCodes;
}

}  // namespace

void SetDocumentCaption() {
  char caption[sizeof kDocumentCaptionPrefix + kMaxPath + 16];
  std::strcpy(caption, kDocumentCaptionPrefix);
  std::strcat(caption, currentName);
  if (const char* label = ReadingModeLabel()) {
    std::strcat(caption, " [");
    std::strcat(caption, label);
    std::strcat(caption, "]");
  }
  SetCaption(caption);
}

bool DirectoryOf(const char* name, char (&directory)[kMaxPath]) {
  const char* slash = std::strrchr(name, PathSeparator());
  if (slash == nullptr) return false;
  // The root of a drive keeps its separator, as does a name's own leading one.
  const bool keep = slash == name || slash[-1] == ':';
  const std::size_t length = static_cast<std::size_t>(slash - name) + (keep ? 1 : 0);
  std::memcpy(directory, name, length);
  directory[length] = 0;
  return true;
}

bool ExtensionAsksForOtherMode(const char* name) {
  const std::size_t n = std::strlen(name);
  if (big5Mode) return n >= 4 && EndsWithNoCase(name, ".GB");
  return (n >= 4 && EndsWithNoCase(name, ".B5")) || (n >= 5 && EndsWithNoCase(name, ".BIG")) ||
         (n >= 6 && EndsWithNoCase(name, ".BIG5"));
}

void OpenCommand() {
  OpenCommandAt(0);
}

void OpenCommandAt(std::int32_t top) {
  if (pendingName) {
    pendingName = 0;
  } else if (!AskForFileToOpen()) {
    return;
  }
  if (documentHandle != kInvalidFile && SameName(fileName, currentName)) {
    ShowInformation(kAlreadyReading);
    return;
  }
  const FileHandle file = OpenFileForReading(fileName);
  if (file == kInvalidFile) {
    ShowWarning(kCouldNotOpenFile);
    DropRecentFile(fileName);
    return;
  }
  RecordLastDirectory();
  NoteDocumentLeft();
  if (documentHandle != kInvalidFile) CloseFile(documentHandle);
  documentHandle = file;
  truncationWarned = false;
  ClearSelection();
  SetName(currentName, fileName);
  NoteDocumentOpened();
  const bool picked = PickModeOnOpen();
  SetDocumentCaption();
  if (!picked && ExtensionAsksForOtherMode(fileName)) {
    view.topOffset = top;
    layoutAwaitsToggle = true;
    PostToWindow(kMessageCommand, CMD_BIG5, 0);
    return;
  }
  LayOutAt(top);
}

void Big5Toggle() {
  // The toggle belongs to the modes the reader has always had: from a mode
  // through Unicode it turns BIG5 mode on.
  ReturnToGbMode();
  Big5MapFailure failure = Big5MapFailure::kNone;
  if (big5Mode) {
    FreeBig5Map();
  } else if (!LoadBig5Map(&failure)) {
    ShowWarning(Big5MapWarning(failure));
    // A document opened for the other mode must not be shown through the
    // previous document's layout: lay it out in this mode instead.
    if (layoutAwaitsToggle && documentHandle != kInvalidFile) LayOutFromTop();
    layoutAwaitsToggle = false;
    return;
  }
  big5Mode = big5Mode ? 0 : 1;
  CheckMenuCommand(CMD_BIG5, big5Mode != 0);
  if (documentHandle != kInvalidFile) Relayout(true, RelayoutTop::kSameText);
  layoutAwaitsToggle = false;
  InvalidateClient();
}
