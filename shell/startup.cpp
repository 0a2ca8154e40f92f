#include "shell/startup.h"

#include "platform/platform.h"
#include "shell/command_ids.h"
#include "shell/file_names.h"
#include "shell/message_boxes.h"
#include "shell/placement.h"
#include "shell/settings.h"
#include "shell/state.h"
#include "shell/texts.h"

static bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

const char* ArgumentString(const char* commandLine) {
  const char* p = commandLine;
  while (IsBlank(*p)) ++p;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && !IsBlank(*p)) ++p;
  }
  while (IsBlank(*p)) ++p;
  return p;
}

// The show command the saved state asks for.
static int ShowCommandFor(int winStatus) {
  if (winStatus == 1) return kShowMinimized;
  if (winStatus == 2) return kShowMaximized;
  return kShowNormal;
}

int StartUp(const char* commandLine) {
  if (!RegisterMainClass(kClassName, kIconName, kMenuName)) return 1;
  int showCommand = kShowDefault;
  if (ReadSettings()) {
    showCommand = ShowCommandFor(placement.WinStatus);
    // A rectangle never recorded, empty, or off every monitor would make an
    // invisible window: let the platform choose instead.
    if (!RectangleIsUsable()) ForgetRectangle();
  }
  const bool known = placement.left != kUseDefault;
  const int x = known ? placement.left : kUseDefault;
  const int y = known ? placement.top : kUseDefault;
  const int width = known ? placement.right - placement.left : kUseDefault;
  const int height = known ? placement.bottom - placement.top : kUseDefault;
  if (!CreateMainWindow(kClassName, kStartCaption, x, y, width, height)) return 1;
  ShowMainWindow(showCommand);

  bool openRefused = false;
  const char* argument = ArgumentString(commandLine);
  if (*argument) {
    // A name too long for fileName is refused, never cut into another name.
    if (SetName(fileName, argument)) {
      pendingName = 1;
    } else {
      ShowWarning(kCouldNotOpenFile);
      openRefused = true;
    }
  }
  if (!openRefused && (pendingName || options.autoOpen)) {
    PostToWindow(kMessageCommand, CMD_OPEN, 0);
  }
  return RunMessageLoop();
}
