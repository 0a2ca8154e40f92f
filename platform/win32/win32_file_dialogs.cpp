// The common open and save dialogs on Win32, filled from the commands' record.
#include <windows.h>
// commdlg.h needs the types of windows.h before it.
#include <commdlg.h>

#include <cstddef>

#include "platform/platform.h"
#include "platform/win32/win32_main.h"

namespace {

// The commands ask for the 76-byte record of the Windows 95 and NT 4 dialogs,
// which every later version still accepts; the newer fields stay unused.
// This is OPENFILENAME_SIZE_VERSION_400A, spelt out because the header's
// macro takes an offset through a null pointer, which no constant may do.
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName) == 76,
              "size of the classic OPENFILENAMEA");

// Every field the record does not name stays zero: no custom filter, the
// default title, no hook or template.
OPENFILENAMEA DialogFrom(const FileDialogRecord& record) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = record.structSize;
  dialog.hwndOwner = mainWindow;
  dialog.lpstrFilter = record.filter;
  dialog.nFilterIndex = record.filterIndex;
  dialog.lpstrFile = record.file;
  dialog.nMaxFile = record.maxFile;
  dialog.lpstrFileTitle = record.fileTitle;
  dialog.nMaxFileTitle = record.maxFileTitle;
  dialog.lpstrInitialDir = record.initialDir;
  dialog.Flags = record.flags;
  return dialog;
}

}  // namespace

bool ShowOpenDialog(FileDialogRecord* record) {
  OPENFILENAMEA dialog = DialogFrom(*record);
  return GetOpenFileNameA(&dialog) != FALSE;
}

bool ShowSaveDialog(FileDialogRecord* record) {
  OPENFILENAMEA dialog = DialogFrom(*record);
  return GetSaveFileNameA(&dialog) != FALSE;
}
