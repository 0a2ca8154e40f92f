#include "shell/startup.h"

#include <cstring>

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

// Puts the argument into fileName without one pair of double quotes around
// the whole of it: Explorer and shells quote names with blanks, and a Windows
// name cannot hold a quote, so such a pair is only quoting. False, leaving
// fileName as it was, when the name does not fit.
static bool TakeArgumentName(const char* argument) {
  std::size_t length = std::strlen(argument);
  if (length >= 2 && argument[0] == '"' && argument[length - 1] == '"') {
    ++argument;
    length -= 2;
  }
  if (length >= kMaxPath) return false;
  std::memcpy(fileName, argument, length);
  fileName[length] = 0;
  return true;
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
  // A failed creation has warned and ended the window: nothing more is shown,
  // and the loop only collects the quit message.
  if (windowDestroyed) return RunMessageLoop();
  ShowMainWindow(showCommand);

  bool openRefused = false;
  const char* argument = ArgumentString(commandLine);
  if (*argument) {
    // A name too long for fileName is refused, never cut into another name.
    if (TakeArgumentName(argument)) {
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
