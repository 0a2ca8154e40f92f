// Check marks and graying of the main window's menu items, found by command id.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

void CheckMenuCommand(int command, bool checked) {
  CheckMenuItem(GetMenu(mainWindow), static_cast<UINT>(command),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void EnableMenuCommand(int command, bool enabled) {
  EnableMenuItem(GetMenu(mainWindow), static_cast<UINT>(command),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}
