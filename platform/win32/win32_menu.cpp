// Check marks and graying of the main window's menu items, found by command id.
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
