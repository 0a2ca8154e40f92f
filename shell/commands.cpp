#include <cstdio>

#include "display/geometry.h"
#include "display/selection.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "shell/association.h"
#include "shell/command_ids.h"
#include "shell/edit_commands.h"
#include "shell/encoding_menu.h"
#include "shell/file_names.h"
#include "shell/handlers.h"
#include "shell/message_boxes.h"
#include "shell/open_command.h"
#include "shell/recent_files.h"
#include "shell/save_commands.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

// The Edit menu's place on the menu bar, after File.
constexpr int kEditMenuPosition = 1;

// Flips an option and shows it in its menu item's check mark.
void ToggleOption(int& option, int command) {
  option = option == 0 ? 1 : 0;
  CheckMenuCommand(command, option != 0);
}

void ShowAbout() {
  char text[sizeof kAboutText + 16];
  std::snprintf(text, sizeof text, kAboutText, kWideWidth, kGlyphHeight);
  BeepUnlessSilent(kBeepExclamation);
  ShowMessageBox(text, kAboutCaption, kBoxIconInformation | kBoxOk);
}

// A zoom the user chose: shown, and saved from now on.
void ZoomTo(int level) {
  if (SetZoom(level)) options.zoom = zoom;
}

}  // namespace

void OnCommand(int command) {
  switch (command) {
    case CMD_OPEN: OpenCommand(); break;
    case CMD_SAVE_GB: SaveInGbCommand(); break;
    case CMD_DECODE_HZ: DecodeHzCommand(); break;
    case CMD_DECODE_QP: DecodeQpCommand(); break;
    case CMD_PASTE: PasteToFileCommand(); break;
    case CMD_UNINSTALL: UninstallCommand(); break;
    case CMD_EXIT: SendToWindow(kMessageDestroy, 0, 0); break;
    case CMD_BIG5: Big5Toggle(); break;
    case CMD_SILENT: ToggleOption(options.silentMode, CMD_SILENT); break;
    case CMD_AUTOOPEN: ToggleOption(options.autoOpen, CMD_AUTOOPEN); break;
    case CMD_ABOUT: ShowAbout(); break;
    case CMD_ZOOM_IN: ZoomTo(zoom + 1); break;
    case CMD_ZOOM_OUT: ZoomTo(zoom - 1); break;
    case CMD_ZOOM_RESET: ZoomTo(kMinZoom); break;
    case CMD_COPY: CopyCommand(); break;
    case CMD_SELECT_ALL: SelectAllCommand(); break;
    case CMD_FIND: FindCommand(); break;
    case CMD_FIND_NEXT: FindAgainCommand(true); break;
    case CMD_FIND_PREVIOUS: FindAgainCommand(false); break;
    case CMD_DETECT: ToggleDetection(); break;
    case CMD_MODE_GB2312:
    case CMD_MODE_GB18030:
    case CMD_MODE_BIG5:
    case CMD_MODE_BIG5_HKSCS:
    case CMD_MODE_UTF8:
    case CMD_MODE_UTF16:
    case CMD_MODE_HZ: ChooseReadingMode(command); break;
    case CMD_RECENT_FILES: ToggleRecentFiles(); break;
    default:
      if (command >= CMD_RECENT_FIRST && command <= CMD_RECENT_LAST) ReopenRecentFile(command);
      break;
  }
}

bool HandleShortcut(unsigned key) {
  int command = 0;
  if (key == kKeyF3 && !KeyIsDown(kKeyControl)) {
    command = KeyIsDown(kKeyShift) ? CMD_FIND_PREVIOUS : CMD_FIND_NEXT;
    PostToWindow(kMessageCommand, static_cast<MessageParam>(command), 0);
    return true;
  }
  if (!KeyIsDown(kKeyControl)) return false;
  switch (key) {
    case 'O': command = CMD_OPEN; break;
    case 'Q': command = CMD_EXIT; break;
    case 'C': command = CMD_COPY; break;
    case 'A': command = CMD_SELECT_ALL; break;
    case 'F': command = CMD_FIND; break;
    case kKeyOemPlus:
    case kKeyAdd: command = CMD_ZOOM_IN; break;
    case kKeyOemMinus:
    case kKeySubtract: command = CMD_ZOOM_OUT; break;
    case '0': command = CMD_ZOOM_RESET; break;
    default: return false;
  }
  PostToWindow(kMessageCommand, static_cast<MessageParam>(command), 0);
  return true;
}

void ZoomByWheel(int delta) {
  if ((zoomWheelRemainder < 0 && delta > 0) || (zoomWheelRemainder > 0 && delta < 0)) {
    zoomWheelRemainder = 0;
  }
  zoomWheelRemainder += delta;
  const int steps = zoomWheelRemainder / kWheelDelta;
  zoomWheelRemainder -= steps * kWheelDelta;
  if (steps != 0) ZoomTo(zoom + steps);
}

bool OnInitMenuPopup(int position, bool systemMenu) {
  if (systemMenu) return false;
  if (position == kEditMenuPosition) {
    const bool open = documentHandle != kInvalidFile;
    EnableMenuCommand(CMD_COPY, HasSelection());
    EnableMenuCommand(CMD_SELECT_ALL, open);
    EnableMenuCommand(CMD_FIND, open);
    EnableMenuCommand(CMD_FIND_NEXT, open);
    EnableMenuCommand(CMD_FIND_PREVIOUS, open);
    return true;
  }
  if (position != 0) return false;
  const bool open = documentHandle != kInvalidFile;
  EnableMenuCommand(CMD_SAVE_GB, big5Mode && open);
  EnableMenuCommand(CMD_DECODE_HZ, open);
  EnableMenuCommand(CMD_DECODE_QP, open);
  EnableMenuCommand(CMD_PASTE, ClipboardHasText());
  return true;
}

void OnDropFiles(DropHandle drop) {
  char name[kMaxPath];
  const std::uint32_t length = DroppedFileName(drop, 0, name, kMaxPath);
  FinishDrop(drop);
  // A name that does not fit would be cut into another name: refuse it.
  if (length == 0 || length >= kMaxPath) {
    ShowWarning(kCouldNotOpenFile);
    return;
  }
  SetName(fileName, name);
  pendingName = 1;
  PostToWindow(kMessageCommand, CMD_OPEN, 0);
}
