// The clipboard's text on Win32: read for the paste command, written by Copy.
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/win32_main.h"

bool OpenWindowClipboard() {
  return OpenClipboard(mainWindow) != FALSE;
}

void CloseWindowClipboard() {
  CloseClipboard();
}

// Windows makes CF_UNICODETEXT out of a CF_TEXT or CF_OEMTEXT another
// program offered, and reports it as available.
bool ClipboardHasText() {
  return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

// CF_TEXT holds only what the user's code page holds: "?" for every hanzi
// outside a Chinese locale.
ClipboardData ClipboardUnicodeText() {
  return FromHandle(GetClipboardData(CF_UNICODETEXT));
}

// The block's size only bounds the text: the system may round a block up,
// and the text itself ends at its first zero. Windows keeps WCHARs
// little-endian.
const std::uint8_t* LockClipboardUnicodeText(ClipboardData data, std::uint32_t* blockSize) {
  const HGLOBAL block = AsHandle<HGLOBAL>(data);
  const auto* text = static_cast<const std::uint8_t*>(GlobalLock(block));
  *blockSize = text != nullptr ? static_cast<std::uint32_t>(GlobalSize(block)) : 0;
  return text;
}

void UnlockClipboardText(ClipboardData data) {
  GlobalUnlock(AsHandle<HGLOBAL>(data));
}

// The clipboard owns the block once SetClipboardData takes it; until then it
// is the program's to free.
bool PutClipboardUnicodeText(const char16_t* text, std::uint32_t units) {
  const SIZE_T bytes = (static_cast<SIZE_T>(units) + 1) * sizeof(WCHAR);
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block == nullptr) return false;
  void* data = GlobalLock(block);
  if (data == nullptr) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(data, text, units * sizeof(WCHAR));
  static_cast<WCHAR*>(data)[units] = 0;
  GlobalUnlock(block);
  if (!EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, block) == nullptr) {
    GlobalFree(block);
    return false;
  }
  return true;
}
