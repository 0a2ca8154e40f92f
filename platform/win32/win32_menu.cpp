// Check marks and graying of the main window's menu items, found by command
// id, and the File popup's items added and removed by position.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

void CheckMenuCommand(int command, bool checked) {
  CheckMenuItem(GetMenu(mainWindow), static_cast<UINT>(command),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool DetectsEncodingAtFirst() {
  return false;
}

void CheckMenuRadio(int first, int last, int checked) {
  CheckMenuRadioItem(GetMenu(mainWindow), static_cast<UINT>(first), static_cast<UINT>(last),
                     static_cast<UINT>(checked), MF_BYCOMMAND);
}

void EnableMenuCommand(int command, bool enabled) {
  EnableMenuItem(GetMenu(mainWindow), static_cast<UINT>(command),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool KeepsRecentFilesAtFirst() {
  return false;
}

int FileMenuPosition(int command) {
  HMENU file = GetSubMenu(GetMenu(mainWindow), 0);
  const int count = GetMenuItemCount(file);
  for (int i = 0; i < count; ++i) {
    if (GetMenuItemID(file, i) == static_cast<UINT>(command)) return i;
  }
  return -1;
}

void InsertFileMenuItem(int position, int command, const char* text) {
  InsertMenuA(GetSubMenu(GetMenu(mainWindow), 0), static_cast<UINT>(position),
              MF_BYPOSITION | (text != nullptr ? MF_STRING : MF_SEPARATOR),
              static_cast<UINT_PTR>(command), text);
}

void DeleteFileMenuItem(int position) {
  DeleteMenu(GetSubMenu(GetMenu(mainWindow), 0), static_cast<UINT>(position), MF_BYPOSITION);
}
