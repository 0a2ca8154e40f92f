// The shell's process-wide state, all of it: the options, the recent
// documents and the window placement that persist in the registry, the names
// the commands pass among themselves, and the flags that carry a command's
// decision to a later message. ResetShellState puts every field back to its
// start-up value (a fresh process in the tests). big5Mode lives with the
// encoding (document/).
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// The reader's option flags (each 0 or 1).
struct Options {
  int silentMode = 0;  // no beep before message boxes; saved
  int autoOpen = 1;    // show the open dialog at start-up; saved
  int skipSave = 0;    // Uninstall ran: write no settings at exit
  // Saved once the user has chosen them; -1 until then, which keeps the
  // program's first behaviour (and writes nothing new to the registry).
  int detectEncoding = -1;  // detection picks the mode on each open
  int readingMode = -1;     // the menu's reading mode, counted from GB2312
  int zoom = -1;            // the zoom, 1..4; until chosen, the desktop's scale
  int recentFiles = -1;     // the File menu lists the documents read last
};
extern Options options;

// The documents read last, most recent first, each with where the reader
// stopped in it; saved while the File menu lists them.
constexpr int kRecentCount = 8;
struct RecentFile {
  char name[kMaxPath];  // full name as Open took it; empty past the list's end
  std::int32_t top;     // byte offset of the top line when the document was left
};
extern RecentFile recentFiles[kRecentCount];
// The File menu's items for the list now shown (its separator besides).
extern int recentShown;

// Ctrl and the wheel's turn not yet zoomed, in wheel units: a touchpad's
// fractions of a notch add up to whole steps.
extern int zoomWheelRemainder;

// The window placement: its state and its last normal rectangle, kept while
// the window moves and changes size, saved at exit and restored at start-up.
struct WindowPlacement {
  int WinStatus = 0;  // 0 normal, 1 minimized, 2 maximized; -1 before creation at a first run
  int left = 0;       // the whole window's rectangle in its last normal placement,
  int top = 0;        // in screen coordinates; all CW_USEDEFAULT while unknown
  int right = 0;
  int bottom = 0;
};
extern WindowPlacement placement;

// The names the commands pass among themselves (zero-terminated, single-byte).
constexpr int kFileTitleSize = 512;
// The one name the dialogs fill and the Open command opens: from the open
// dialog, a drop or the command line, or the output a converter's save dialog
// chose, which the converter then hands to the Open command.
extern char fileName[kMaxPath];
extern char currentName[kMaxPath];      // full name of the open document
extern char lastDirectory[kMaxPath];    // the dialogs' initial directory, as in the registry
extern char fileTitle[kFileTitleSize];  // the chosen file's title; nothing reads it

// 1 when fileName already holds the file to open: set with the Open command
// that start-up, a drop or a converter posts, so that it skips its dialog
// once. No option: it is never saved.
extern int pendingName;

// The one record of the open and save dialogs, cleared and filled anew before each.
extern FileDialogRecord dialogRecord;

// The Open command has posted the BIG5 toggle to lay the new document out.
extern bool layoutAwaitsToggle;

// The truncation warning was shown for the open document (cleared by Open).
extern bool truncationWarned;

// The text Find asked for last, UTF-16; F3 and Shift+F3 look for it again.
extern std::u16string findText;

// True once the destroy handling has run: the resources are gone, and
// messages still queued for the window are left to the platform.
extern bool windowDestroyed;

// Every field above back to its start-up value.
void ResetShellState();
