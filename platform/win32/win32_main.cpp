// The program's entry point and the Win32 shell of the main window's
// procedure; everything the window does is decided by the logic's table.
#include "platform/win32/win32_main.h"
#include "platform/platform.h"

HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;

// Remembers the window on the first message it gets, because WM_GETMINMAXINFO,
// WM_NCCREATE and WM_NCCALCSIZE arrive before WM_CREATE and before
// CreateWindowExA has returned the handle; the logic's default processing
// needs it for each of them.
LRESULT CALLBACK MainWindowShell(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (mainWindow == nullptr) mainWindow = window;
  const LRESULT result = WindowProcedure(message, wParam, lParam);
  // After its last message the handle may be reused by another window.
  if (message == WM_NCDESTROY && window == mainWindow) mainWindow = nullptr;
  return result;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  programInstance = instance;
  return StartUp(GetCommandLineA());
}
