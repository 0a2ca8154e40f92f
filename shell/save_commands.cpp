#include "shell/save_commands.h"

#include <cstdint>
#include <cstring>

#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "platform/platform.h"
#include "shell/command_ids.h"
#include "shell/file_dialog.h"
#include "shell/file_names.h"
#include "shell/message_boxes.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

// Asks for the output name into fileName; refuses, with refusal, the open
// document's own name. Other names for the document pass here and are
// stopped when the file is created, as the document is open without write sharing.
bool ChooseOutputFile(bool guard, const char* refusal) {
  if (!AskForFileToSave()) return false;
  if (guard && SameName(fileName, currentName)) {
    ShowWarning(refusal);
    return false;
  }
  return true;
}

// A closed output that a write failed to complete is not what the user asked
// for: it goes, and the user is told. The document being read stays as it was.
void DiscardOutput() {
  DeleteFileNamed(fileName);
  ShowWarning(kCouldNotWriteFile);
}

// The Open command switches BIG5 mode off by itself for a ".GB" name.
bool OpenTogglesItself(const char* name) {
  return std::strlen(name) >= 4 && EndsWithNoCase(name, ".GB");
}

// Hands the written file to the Open command, and asks for BIG5 mode to be
// switched off afterwards unless the Open command does so for this name.
void OpenWrittenFile(bool switchBig5) {
  pendingName = 1;
  PostToWindow(kMessageCommand, CMD_OPEN, 0);
  if (switchBig5 && !OpenTogglesItself(fileName)) PostToWindow(kMessageCommand, CMD_BIG5, 0);
}

// The body the three converters share.
void RunConverter(ConverterLoop loop, bool alwaysSwitchBig5) {
  // The reader cannot reach the end of such a document; refused before the
  // user is asked for a name in vain.
  if (TooLargeToConvert(documentHandle)) {
    ShowWarning(kDocumentTooLarge);
    return;
  }
  if (!ChooseOutputFile(true, kDontOverwrite)) return;
  const FileHandle output = CreateFileForWriting(fileName);
  if (output == kInvalidFile) {
    ShowWarning(kCouldNotWriteFile);
    return;
  }
  ShowHourglass();
  const bool written = ConvertDocument(loop, output);
  CloseFile(output);
  ShowArrow();
  if (!written) {
    DiscardOutput();
    return;
  }
  OpenWrittenFile(alwaysSwitchBig5 || big5Mode);
}

// The clipboard is let go before a warning, so that no other program waits
// on it while the box is up.
void ReleaseClipboard(ClipboardData data) {
  if (data != 0) UnlockClipboardText(data);
  CloseWindowClipboard();
}

}  // namespace

void SaveInGbCommand() {
  RunConverter(SaveInGbLoop, true);
}

void DecodeHzCommand() {
  RunConverter(DecodeHzLoop, false);
}

void DecodeQpCommand() {
  RunConverter(DecodeQpLoop, false);
}

void PasteToFileCommand() {
  if (!ChooseOutputFile(documentHandle != kInvalidFile, kDontPasteOver)) return;
  if (!OpenWindowClipboard()) {
    ShowWarning(kCouldNotOpenClipboard);
    return;
  }
  if (!ClipboardHasText()) {
    ReleaseClipboard(0);
    ShowWarning(kClipboardTextVanished);
    return;
  }
  const ClipboardData data = ClipboardText();
  std::uint32_t blockSize = 0;
  const char* text = data != 0 ? LockClipboardText(data, &blockSize) : nullptr;
  if (text == nullptr) {
    ReleaseClipboard(0);
    ShowWarning(kCouldNotGetClipboardData);
    return;
  }
  const FileHandle output = CreateFileForWriting(fileName);
  if (output == kInvalidFile) {
    ReleaseClipboard(data);
    ShowWarning(kCouldNotWriteFile);
    return;
  }
  ShowHourglass();
  // The text ends at its first zero, but a block that holds none ends at its
  // own end: nothing beyond the block is ever read.
  const void* zero = std::memchr(text, 0, blockSize);
  const std::uint32_t length =
      zero != nullptr ? static_cast<std::uint32_t>(static_cast<const char*>(zero) - text)
                      : blockSize;
  const bool written = length <= static_cast<std::uint32_t>(INT32_MAX) &&
                       WriteToFile(output, text, static_cast<std::int32_t>(length));
  CloseFile(output);
  ReleaseClipboard(data);
  ShowArrow();
  if (!written) {
    DiscardOutput();
    return;
  }
  OpenWrittenFile(false);
}
