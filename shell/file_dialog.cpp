#include "shell/file_dialog.h"

#include <cstring>

#include "shell/file_names.h"
#include "shell/registry_values.h"
#include "shell/texts.h"

namespace {

constexpr std::uint32_t kRecordSize = 76;  // the dialog record of the first 32-bit common dialogs

// Description and pattern pairs, each zero-terminated, the list ended by one more zero.
constexpr char kOpenFilter[] =
    "All Texts (GB/TXT/BIG5)\0*.gb;*.txt;*.b5;*.big;*.big5\0"
    "GB Files (*.gb)\0*.gb\0"
    "Text Files (*.txt)\0*.txt\0"
    "BIG5 Files (*.b5, *.big, *.big5)\0*.b5;*.big;*.big5\0"
    "All Files (*.*)\0*.*\0";

void FillRecord(const char* filter, std::uint32_t flags) {
  dialogRecord = FileDialogRecord{};
  dialogRecord.structSize = kRecordSize;
  dialogRecord.filter = filter;
  dialogRecord.filterIndex = 0;
  dialogRecord.file = fileName;
  dialogRecord.maxFile = kMaxPath;
  dialogRecord.fileTitle = fileTitle;
  dialogRecord.maxFileTitle = kFileTitleSize;
  dialogRecord.initialDir = lastDirectory;
  dialogRecord.flags = flags;
}

}  // namespace

void ReadLastDirectory() {
  RegistryKey key;
  if (!OpenRegistryKey(kLocalMachine, kLastDirectoryKey, kKeyRead, &key)) {
    lastDirectory[0] = 0;
    return;
  }
  ReadTextValue(key, nullptr, lastDirectory);
  CloseRegistryKey(key);
}

bool AskForFileToOpen() {
  ReadLastDirectory();
  FillRecord(kOpenFilter, kDialogFileMustExist | kDialogHideReadOnly);
  return ShowOpenDialog(&dialogRecord);
}

bool AskForFileToSave() {
  ReadLastDirectory();
  FillRecord(nullptr, kDialogOverwritePrompt | kDialogHideReadOnly | kDialogPathMustExist);
  return ShowSaveDialog(&dialogRecord);
}
