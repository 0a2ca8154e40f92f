#include "shell/settings.h"

#include <initializer_list>

#include "platform/platform.h"
#include "shell/options.h"
#include "shell/placement.h"
#include "shell/registry_values.h"
#include "shell/texts.h"

bool ReadSettings() {
  RegistryKey key;
  if (!OpenRegistryKey(kLocalMachine, kPositionKey, kKeyRead, &key)) {
    placement.WinStatus = -1;
    ForgetRectangle();
    return false;
  }
  ReadIntegerValue(key, kWinStatusRead, placement.WinStatus, 2);
  ReadIntegerValue(key, kLeftValue, placement.left, 4);
  ReadIntegerValue(key, kRightValue, placement.right, 4);
  ReadIntegerValue(key, kTopValue, placement.top, 4);
  ReadIntegerValue(key, kBottomValue, placement.bottom, 4);
  CloseRegistryKey(key);
  if (OpenRegistryKey(kLocalMachine, kOptionsKey, kKeyRead, &key)) {
    ReadIntegerValue(key, kSilentValue, options.silentMode, 4);
    ReadIntegerValue(key, kAutoOpenValue, options.autoOpen, 4);
    CloseRegistryKey(key);
  }
  return true;
}

void SaveSettings() {
  RegistryKey key;
  if (OpenRegistryKey(kLocalMachine, kOptionsKey, kKeySetValue, &key)) {
    WriteIntegerValue(key, kSilentValue, options.silentMode, 4);
    WriteIntegerValue(key, kAutoOpenValue, options.autoOpen, 4);
    CloseRegistryKey(key);
  }
  if (OpenRegistryKey(kLocalMachine, kPositionKey, kKeySetValue, &key)) {
    WriteIntegerValue(key, kWinStatusWritten, placement.WinStatus, 2);
    WriteIntegerValue(key, kLeftValue, placement.left, 4);
    WriteIntegerValue(key, kRightValue, placement.right, 4);
    WriteIntegerValue(key, kTopValue, placement.top, 4);
    WriteIntegerValue(key, kBottomValue, placement.bottom, 4);
    CloseRegistryKey(key);
  }
}

void CreateSettingsKeys() {
  for (const char* path : {kLastDirectoryKey, kOptionsKey, kPositionKey}) {
    RegistryKey key;
    if (CreateRegistryKey(kLocalMachine, path, kKeyClass, &key)) CloseRegistryKey(key);
  }
}
