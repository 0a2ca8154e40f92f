#include "shell/settings.h"

#include <initializer_list>

#include "platform/platform.h"
#include "shell/placement.h"
#include "shell/recent_files.h"
#include "shell/registry_values.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

// One persisted field: its value's names (the registry compares them
// without regard to case), its field and its size in bytes, little-endian.
struct Setting {
  const char* readName;
  const char* writtenName;
  int* field;
  std::uint32_t size;
};

// The values of the window-position key, in the order they are read and written.
const Setting kPlacementValues[] = {
    {kWinStatusRead, kWinStatusWritten, &placement.WinStatus, 2},
    {kLeftValue, kLeftValue, &placement.left, 4},
    {kRightValue, kRightValue, &placement.right, 4},
    {kTopValue, kTopValue, &placement.top, 4},
    {kBottomValue, kBottomValue, &placement.bottom, 4},
};

// The values of the options key.
const Setting kOptionValues[] = {
    {kSilentValue, kSilentValue, &options.silentMode, 4},
    {kAutoOpenValue, kAutoOpenValue, &options.autoOpen, 4},
};

// The values written once the user has chosen them (the field is not -1).
const Setting kChoiceValues[] = {
    {kDetectValue, kDetectValue, &options.detectEncoding, 4},
    {kReadingModeValue, kReadingModeValue, &options.readingMode, 4},
    {kZoomValue, kZoomValue, &options.zoom, 4},
    {kRecentFilesValue, kRecentFilesValue, &options.recentFiles, 4},
};

template <std::size_t n>
void ReadValues(RegistryKey key, const Setting (&values)[n]) {
  for (const Setting& s : values) ReadIntegerValue(key, s.readName, *s.field, s.size);
}

// Writes the values into the key at path, which is opened, never created:
// a key deleted meanwhile, or not writable, is skipped.
template <std::size_t n>
void WriteValues(const char* path, const Setting (&values)[n], bool chosenOnly = false) {
  RegistryKey key;
  if (!OpenRegistryKey(kLocalMachine, path, kKeySetValue, &key)) return;
  for (const Setting& s : values) {
    if (!chosenOnly || *s.field >= 0) WriteIntegerValue(key, s.writtenName, *s.field, s.size);
  }
  CloseRegistryKey(key);
}

}  // namespace

bool ReadSettings() {
  RegistryKey key;
  if (!OpenRegistryKey(kLocalMachine, kPositionKey, kKeyRead, &key)) {
    placement.WinStatus = -1;
    ForgetRectangle();
    return false;
  }
  ReadValues(key, kPlacementValues);
  CloseRegistryKey(key);
  if (OpenRegistryKey(kLocalMachine, kOptionsKey, kKeyRead, &key)) {
    ReadValues(key, kOptionValues);
    ReadValues(key, kChoiceValues);
    ReadRecentFiles(key);
    CloseRegistryKey(key);
  }
  return true;
}

void SaveSettings() {
  WriteValues(kOptionsKey, kOptionValues);
  WriteValues(kOptionsKey, kChoiceValues, true);
  SaveRecentFiles();
  WriteValues(kPositionKey, kPlacementValues);
}

void CreateSettingsKeys() {
  for (const char* path : {kLastDirectoryKey, kOptionsKey, kPositionKey}) {
    RegistryKey key;
    if (CreateRegistryKey(kLocalMachine, path, kKeyClass, &key)) CloseRegistryKey(key);
  }
}
