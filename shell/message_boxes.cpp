#include "shell/message_boxes.h"

#include "platform/platform.h"
#include "shell/state.h"
#include "shell/texts.h"

void BeepUnlessSilent(unsigned type) {
  if (!options.silentMode) SoundBeep(type);
}

void ShowWarning(const char* text) {
  BeepUnlessSilent(kBeepExclamation);
  ShowMessageBox(text, kClassName, kBoxIconExclamation | kBoxOk);
}

void ShowInformation(const char* text) {
  BeepUnlessSilent(kBeepAsterisk);
  ShowMessageBox(text, kClassName, kBoxIconInformation | kBoxOk);
}
