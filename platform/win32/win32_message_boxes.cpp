// Message boxes, beeps and the cursor on Win32.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

int ShowMessageBox(const char* text, const char* caption, unsigned style) {
  // Owned by the main window, so that the window waits for the answer.
  return MessageBoxA(mainWindow, text, caption, style);
}

void SoundBeep(unsigned type) {
  MessageBeep(type);
}

void ShowHourglass() {
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void ShowArrow() {
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
