// The reader's option flags (each 0 or 1); big5Mode lives with the encoding.
#pragma once

struct Options {
  int silentMode = 0;   // no beep before message boxes; saved
  int autoOpen = 1;     // show the open dialog at start-up; saved
  int skipSave = 0;     // Uninstall ran: write no settings at exit
  int pendingName = 0;  // fileName holds the file to open: the Open command skips its dialog once
};
extern Options options;
