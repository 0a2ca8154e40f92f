#include "shell/recent_files.h"

#include <cstdio>
#include <cstring>

#include "display/view.h"
#include "shell/command_ids.h"
#include "shell/file_names.h"
#include "shell/open_command.h"
#include "shell/registry_values.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

int RecentCount() {
  int count = 0;
  while (count < kRecentCount && recentFiles[count].name[0] != 0) ++count;
  return count;
}

int IndexOf(const char* name) {
  for (int i = 0; i < RecentCount(); ++i) {
    if (SameName(recentFiles[i].name, name)) return i;
  }
  return -1;
}

// Takes item i out of the list, closing the gap.
void Remove(int i) {
  for (; i + 1 < kRecentCount; ++i) recentFiles[i] = recentFiles[i + 1];
  recentFiles[kRecentCount - 1] = RecentFile{};
}

// "&1 novel.txt": the item's number and the name without its folder, each
// "&" doubled so that it shows rather than marks a mnemonic.
void MenuText(int i, char (&text)[2 * kMaxPath + 4]) {
  const char* name = recentFiles[i].name;
  if (const char* slash = std::strrchr(name, PathSeparator())) name = slash + 1;
  int n = std::snprintf(text, sizeof text, "&%d ", i + 1);
  for (; *name != 0; ++name) {
    if (*name == '&') text[n++] = '&';
    text[n++] = *name;
  }
  text[n] = 0;
}

void ValueName(const char* format, int i, char (&name)[32]) {
  std::snprintf(name, sizeof name, format, i + 1);
}

}  // namespace

bool KeepsRecentFiles() {
  return options.recentFiles >= 0 ? options.recentFiles != 0 : KeepsRecentFilesAtFirst();
}

void ShowRecentFiles() {
  CheckMenuCommand(CMD_RECENT_FILES, KeepsRecentFiles());
  // The section stands just above Exit: its items, then its separator.
  if (recentShown > 0) {
    const int start = FileMenuPosition(CMD_EXIT) - recentShown - 1;
    for (int i = 0; i <= recentShown; ++i) DeleteFileMenuItem(start);
    recentShown = 0;
  }
  const int count = KeepsRecentFiles() ? RecentCount() : 0;
  const int exit = FileMenuPosition(CMD_EXIT);
  if (count == 0 || exit < 0) return;
  for (int i = 0; i < count; ++i) {
    char text[2 * kMaxPath + 4];
    MenuText(i, text);
    InsertFileMenuItem(exit + i, CMD_RECENT_FIRST + i, text);
  }
  InsertFileMenuItem(exit + count, 0, nullptr);
  recentShown = count;
}

void ToggleRecentFiles() {
  options.recentFiles = KeepsRecentFiles() ? 0 : 1;
  if (KeepsRecentFiles() && documentHandle != kInvalidFile) {
    NoteDocumentOpened();
  } else {
    ShowRecentFiles();
  }
}

void ReopenRecentFile(int command) {
  const int i = command - CMD_RECENT_FIRST;
  if (i < 0 || i >= RecentCount() || !SetName(fileName, recentFiles[i].name)) return;
  pendingName = 1;
  OpenCommandAt(recentFiles[i].top);
}

void NoteDocumentOpened() {
  if (!KeepsRecentFiles()) return;
  RecentFile opened{};
  const int i = IndexOf(currentName);
  if (i >= 0) {
    opened = recentFiles[i];
    Remove(i);
  } else {
    SetName(opened.name, currentName);
  }
  for (int k = kRecentCount - 1; k > 0; --k) recentFiles[k] = recentFiles[k - 1];
  recentFiles[0] = opened;
  SaveRecentFiles();
  ShowRecentFiles();
}

void NoteDocumentLeft() {
  if (!KeepsRecentFiles() || documentHandle == kInvalidFile) return;
  const int i = IndexOf(currentName);
  if (i >= 0) recentFiles[i].top = view.topOffset;
}

void DropRecentFile(const char* name) {
  const int i = IndexOf(name);
  if (i < 0) return;
  Remove(i);
  if (!KeepsRecentFiles()) return;
  SaveRecentFiles();
  ShowRecentFiles();
}

void ReadRecentFiles(RegistryKey key) {
  int kept = 0;
  for (int i = 0; i < kRecentCount; ++i) {
    char name[32];
    RecentFile recent{};
    ValueName(kRecentNameValue, i, name);
    ReadTextValue(key, name, recent.name);
    ValueName(kRecentTopValue, i, name);
    int top = 0;
    ReadIntegerValue(key, name, top, 4);
    recent.top = top > 0 ? top : 0;
    if (recent.name[0] != 0 && IndexOf(recent.name) < 0) recentFiles[kept++] = recent;
  }
}

void SaveRecentFiles() {
  RegistryKey key;
  if (!KeepsRecentFiles() || !OpenRegistryKey(kLocalMachine, kOptionsKey, kKeySetValue, &key)) {
    return;
  }
  // Every slot, an empty one as an empty name, so that none is left from a longer list.
  for (int i = 0; i < kRecentCount; ++i) {
    char name[32];
    const RecentFile& recent = recentFiles[i];
    ValueName(kRecentNameValue, i, name);
    WriteRegistryValue(key, name, kRegString, recent.name,
                       static_cast<std::uint32_t>(std::strlen(recent.name) + 1));
    ValueName(kRecentTopValue, i, name);
    WriteIntegerValue(key, name, recent.top, 4);
  }
  CloseRegistryKey(key);
}
