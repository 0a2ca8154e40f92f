#include "shell/encoding_menu.h"

#include "conversion/big5_map.h"
#include "conversion/reading_mode.h"
#include "display/view.h"
#include "document/state.h"
#include "platform/platform.h"
#include "shell/command_ids.h"
#include "shell/open_command.h"
#include "shell/state.h"

namespace {

struct ReadingModeItem {
  int command;
  Encoding mode;
  const char* label;  // in the caption
};

// In the menu's order; the saved option counts from the first.
const ReadingModeItem kReadingModes[] = {
    {CMD_MODE_GB2312, kGb2312, nullptr},
    {CMD_MODE_GB18030, kGb18030, "GB18030"},
    {CMD_MODE_BIG5, kBig5, "BIG5"},
    {CMD_MODE_BIG5_HKSCS, kBig5Hkscs, "BIG5-HKSCS"},
    {CMD_MODE_UTF8, kUtf8, "UTF-8"},
    {CMD_MODE_UTF16, kUtf16, "UTF-16"},
    {CMD_MODE_HZ, kHz, "HZ"},
};
constexpr int kReadingModeCount = sizeof kReadingModes / sizeof kReadingModes[0];

const ReadingModeItem& CurrentItem() {
  for (const ReadingModeItem& item : kReadingModes) {
    if (item.mode == textMode) return item;
  }
  return kReadingModes[0];
}

int IndexOf(int command) {
  for (int i = 0; i < kReadingModeCount; ++i) {
    if (kReadingModes[i].command == command) return i;
  }
  return -1;
}

// The BIG5 table serves only BIG5 mode, which a mode through Unicode ends.
void LeaveBig5Mode() {
  if (!big5Mode) return;
  FreeBig5Map();
  big5Mode = 0;
  CheckMenuCommand(CMD_BIG5, false);
}

// Reads the open document, if any, in mode.
void SwitchTo(Encoding mode) {
  if (mode != kGb2312) LeaveBig5Mode();
  if (documentHandle != kInvalidFile) {
    SetTextMode(mode);
  } else {
    textMode = mode;
  }
  ShowReadingMode();
}

}  // namespace

bool DetectsOnOpen() {
  return options.detectEncoding >= 0 ? options.detectEncoding != 0 : DetectsEncodingAtFirst();
}

void ApplySavedReadingMode() {
  if (options.readingMode >= 0 && options.readingMode < kReadingModeCount) {
    textMode = kReadingModes[options.readingMode].mode;
  }
  ShowReadingMode();
}

void ShowReadingMode() {
  CheckMenuRadio(CMD_MODE_GB2312, CMD_MODE_HZ, CurrentItem().command);
  CheckMenuCommand(CMD_DETECT, DetectsOnOpen());
}

void ChooseReadingMode(int command) {
  const int index = IndexOf(command);
  if (index < 0) return;
  options.readingMode = index;
  SwitchTo(kReadingModes[index].mode);
  if (documentHandle == kInvalidFile) return;
  SetDocumentCaption();
  Relayout(true, RelayoutTop::kSameText);
  InvalidateClient();
}

void ToggleDetection() {
  options.detectEncoding = DetectsOnOpen() ? 0 : 1;
  ShowReadingMode();
}

bool PickModeOnOpen() {
  if (DetectsOnOpen()) {
    SwitchTo(DetectReadingMode());
    return true;
  }
  if (!ReadsThroughUnicode()) return false;
  SetTextMode(textMode);  // a UTF-16 document's own byte order
  return true;
}

void UseReadingMode(Encoding mode) {
  SwitchTo(mode);
}

void ReturnToGbMode() {
  if (!ReadsThroughUnicode()) return;
  options.readingMode = 0;
  SwitchTo(kGb2312);
  if (documentHandle != kInvalidFile) SetDocumentCaption();
}

const char* ReadingModeLabel() {
  return CurrentItem().label;
}
