#include "shell/state.h"

Options options;
int zoomWheelRemainder = 0;
RecentFile recentFiles[kRecentCount];
int recentShown = 0;
WindowPlacement placement;
char fileName[kMaxPath] = "";
char currentName[kMaxPath] = "";
char lastDirectory[kMaxPath] = "";
char fileTitle[kFileTitleSize] = "";
int pendingName = 0;
FileDialogRecord dialogRecord;
bool layoutAwaitsToggle = false;
bool truncationWarned = false;
std::u16string findText;
bool windowDestroyed = false;

void ResetShellState() {
  options = Options{};
  zoomWheelRemainder = 0;
  for (RecentFile& recent : recentFiles) recent = RecentFile{};
  recentShown = 0;
  placement = WindowPlacement{};
  fileName[0] = 0;
  currentName[0] = 0;
  lastDirectory[0] = 0;
  fileTitle[0] = 0;
  pendingName = 0;
  dialogRecord = FileDialogRecord{};
  layoutAwaitsToggle = false;
  truncationWarned = false;
  findText = std::u16string();
  windowDestroyed = false;
}
