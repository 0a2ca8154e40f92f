#include "shell/save_commands.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "encoding/transcode.h"
#include "platform/platform.h"
#include "shell/command_ids.h"
#include "shell/encoding_menu.h"
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
  // Detection leaves BIG5 mode by itself when the file is not BIG5; a toggle
  // after it would bring it back.
  if (switchBig5 && !DetectsOnOpen() && !OpenTogglesItself(fileName)) {
    PostToWindow(kMessageCommand, CMD_BIG5, 0);
  }
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

// The length in bytes of the clipboard's UTF-16 text: up to its first zero
// unit, but a block that holds none ends at its last whole unit, so nothing
// beyond the block is ever read.
std::uint32_t Utf16TextLength(const std::uint8_t* text, std::uint32_t blockSize) {
  std::uint32_t length = 0;
  while (length + 1 < blockSize && (text[length] != 0 || text[length + 1] != 0)) length += 2;
  return length;
}

// UTF-16 bytes transcoded at a time: the output, on the stack, has room for
// the most any of them becomes.
constexpr std::uint32_t kPastePiece = 4096;

// GB18030 holds every character, and writes those of GB2312 as GB2312 does.
// A surrogate pair cut by a piece's end is left unused and comes again at
// the start of the next piece; a piece that is not the last is long enough
// that some of it is always used.
bool WriteInGb18030(FileHandle output, const std::uint8_t* text, std::uint32_t length) {
  Transcoding transcoding = StartTranscoding(kUtf16, kGb18030, kReplaceUnconvertible);
  // The clipboard's UTF-16 is little-endian and carries no byte-order mark:
  // a U+FEFF at its start is a character of the text.
  transcoding.started = true;
  std::uint8_t out[kPastePiece * kMostBytesPerCharacter];
  std::uint32_t done = 0;
  do {
    const std::uint32_t piece = std::min(length - done, kPastePiece);
    const CodecResult result =
        Transcode(&transcoding, text + done, piece, done + piece == length, out);
    if (!WriteToFile(output, out, static_cast<std::int32_t>(result.written))) return false;
    done += static_cast<std::uint32_t>(result.used);
  } while (done < length);
  return true;
}

// Whether the clipboard's text holds a character GB2312 has no code for,
// read as WriteInGb18030 reads it (a broken surrogate pair, "?", is none).
bool HoldsMoreThanGb2312(const std::uint8_t* text, std::uint32_t length) {
  Transcoding transcoding = StartTranscoding(kUtf16, kGb2312, kReplaceUnconvertible);
  transcoding.started = true;
  std::uint8_t out[kPastePiece * kMostBytesPerCharacter];
  std::uint32_t done = 0;
  while (done < length && transcoding.unmappable == 0) {
    const std::uint32_t piece = std::min(length - done, kPastePiece);
    done += static_cast<std::uint32_t>(
        Transcode(&transcoding, text + done, piece, done + piece == length, out).used);
  }
  return transcoding.unmappable > 0;
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
  const ClipboardData data = ClipboardUnicodeText();
  std::uint32_t blockSize = 0;
  const std::uint8_t* text = data != 0 ? LockClipboardUnicodeText(data, &blockSize) : nullptr;
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
  const std::uint32_t length = Utf16TextLength(text, blockSize);
  const bool written = WriteInGb18030(output, text, length);
  const bool beyondGb2312 = written && HoldsMoreThanGb2312(text, length);
  CloseFile(output);
  ReleaseClipboard(data);
  ShowArrow();
  if (!written) {
    DiscardOutput();
    return;
  }
  // GB18030, as Decode HZ's output is GB: BIG5 mode would misread it, and GB
  // mode shows only what GB2312 has.
  if (beyondGb2312 && !DetectsOnOpen() && !ReadsThroughUnicode()) UseReadingMode(kGb18030);
  OpenWrittenFile(big5Mode != 0);
}
