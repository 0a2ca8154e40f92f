// The clipboard's plain text on Win32, for the paste command.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

bool OpenWindowClipboard() {
  return OpenClipboard(mainWindow) != FALSE;
}

void CloseWindowClipboard() {
  CloseClipboard();
}

bool ClipboardHasText() {
  return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

ClipboardData ClipboardText() {
  return FromHandle(GetClipboardData(CF_TEXT));
}

// The block's size only bounds the text: the system may round a block up,
// and the text itself ends at its first zero.
const char* LockClipboardText(ClipboardData data, std::uint32_t* blockSize) {
  const HGLOBAL block = AsHandle<HGLOBAL>(data);
  const char* text = static_cast<const char*>(GlobalLock(block));
  *blockSize = text != nullptr ? static_cast<std::uint32_t>(GlobalSize(block)) : 0;
  return text;
}

void UnlockClipboardText(ClipboardData data) {
  GlobalUnlock(AsHandle<HGLOBAL>(data));
}
