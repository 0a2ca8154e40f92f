// Files dropped on the main window from the shell, on Win32.
#include <windows.h>
// shellapi.h needs the types of windows.h before it.
#include <shellapi.h>

#include "platform/platform.h"
#include "platform/win32/win32_main.h"

namespace {

// DragQueryFileA's index that asks for the number of files instead of a name.
constexpr UINT kCountQuery = 0xFFFFFFFF;

}  // namespace

void AcceptDroppedFiles(bool accept) {
  DragAcceptFiles(mainWindow, accept ? TRUE : FALSE);
}

// Returns the name's whole length even when the buffer cuts it, so that the
// caller can tell a cut name from a complete one.
std::uint32_t DroppedFileName(DropHandle drop, std::uint32_t index, char* buffer,
                              std::uint32_t size) {
  if (index == kCountQuery) return 0;
  const HDROP files = AsHandle<HDROP>(drop);
  const UINT length = DragQueryFileA(files, index, nullptr, 0);
  if (length == 0 || buffer == nullptr || size == 0) return length;
  DragQueryFileA(files, index, buffer, size);
  // DragQueryFileA stops at size - 1 characters; the zero is made certain here.
  buffer[size - 1 < length ? size - 1 : length] = 0;
  return length;
}

void FinishDrop(DropHandle drop) {
  DragFinish(AsHandle<HDROP>(drop));
}
