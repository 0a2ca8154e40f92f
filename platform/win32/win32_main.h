// What the entry point shares with the rest of the Win32 side: the two
// handles it keeps for the whole run and the Win32 shell of the window
// procedure. The logic never sees any of them: each operation of the seam
// acts on "the program" or "the main window", and these say which.
#pragma once

#include <windows.h>

#include <cstdint>

extern HINSTANCE programInstance;  // the module that carries the resources
extern HWND mainWindow;            // the reader's one window; null before and after it

// The procedure registered with the main window's class.
LRESULT CALLBACK MainWindowShell(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The seam's opaque handle types carry Win32 handles by value.
template <typename Handle>
Handle AsHandle(std::uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

template <typename Handle>
std::uintptr_t FromHandle(Handle handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}
