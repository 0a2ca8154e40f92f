// The Find dialog on Win32: the resource "FindDialog", run as a Unicode
// dialog so that its edit box takes text in any script whatever the code
// page.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"
#include "shell/command_ids.h"

namespace {

INT_PTR CALLBACK FindDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const HWND edit = GetDlgItem(dialog, FIND_TEXT_EDIT);
      SendMessageW(edit, EM_LIMITTEXT, kFindTextUnits - 1, 0);
      SetWindowTextW(edit, reinterpret_cast<const WCHAR*>(lParam));
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* text = reinterpret_cast<WCHAR*>(GetWindowLongPtrW(dialog, DWLP_USER));
        GetDlgItemTextW(dialog, FIND_TEXT_EDIT, text, kFindTextUnits);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default: break;
  }
  return FALSE;
}

}  // namespace

bool AskForFindText(char16_t* text) {
  static_assert(sizeof(char16_t) == sizeof(WCHAR), "UTF-16 code units");
  return DialogBoxParamW(programInstance, L"FindDialog", mainWindow, FindDialogProcedure,
                         reinterpret_cast<LPARAM>(text)) == IDOK;
}
