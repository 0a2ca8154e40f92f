// The simulated desktop's controls: what tests and native tools set up,
// script and inspect around the platform operations of platform.h.
//
// Files are real files (names may be Windows names on a mapped drive, resolved
// without regard to case, with Win32's sharing rules tracked by file identity);
// the registry, the window, its message queue, its client surface, dialogs,
// message boxes, the clipboard and drops live in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// Returns the whole desktop to its state before the program started.
void SimReset();

// The program's process ends: its window, queue, memory, open files and the
// recorded boxes and calls go; the registry, the files on disk, the
// clipboard and the answers scripted for the next run stay.
void SimEndProcess();

// ---- Files ----

struct SimFileCounters {
  int reads = 0;                // ReadFromFile calls
  std::int64_t bytesRead = 0;   // bytes those calls delivered
  int seeks = 0;                // SeekFile calls
  int writes = 0;               // WriteToFile calls
  std::vector<int> writeSizes;  // bytes asked of each write, in order
};
extern SimFileCounters simFiles;

// Maps drive letter's root ("C:\") to a real directory.
void SimMapDrive(char letter, const std::string& directory);

// The real path a platform file name stands for.
std::string SimNativePath(const char* name);

// Another program holds the file open without sharing: every open of it fails.
void SimHoldFile(const std::string& name);

// Platform file handles open now.
int SimOpenFileCount();

// The disk takes this many more bytes (-1, the default: no limit). A write that
// does not fit puts what fits and fails, as WriteFile does on a full disk.
void SimSetDiskSpace(std::int64_t bytes);

// ---- Memory and resources ----

// Makes every fixed-block allocation of this size fail (or succeed again).
void SimFailAllocations(std::uint32_t size, bool fail);
int SimLiveBlocks();                         // fixed blocks allocated and not yet freed
int SimBlocksAllocated(std::uint32_t size);  // allocations of this size so far

// The folder the bitmap resources are loaded from (the source tree by default).
void SimSetResourceFolder(const std::string& folder);
void SimHideResource(const char* name);  // LoadBitmapResource of it fails
int SimLiveBitmaps();                    // bitmaps loaded and not yet deleted

// ---- Registry ----

struct SimValue {
  unsigned type = 0;
  std::vector<std::uint8_t> bytes;
};

bool SimKeyExists(RegistryKey root, const std::string& path);
void SimCreateKey(RegistryKey root, const std::string& path);
bool SimGetValue(RegistryKey root, const std::string& path, const std::string& name,
                 SimValue* value);
// Stores a value, creating its key and the key's parents when missing.
void SimPutValue(RegistryKey root, const std::string& path, const std::string& name, unsigned type,
                 const void* data, std::size_t size);
std::vector<std::string> SimSubkeys(RegistryKey root, const std::string& path);
int SimRegistryChanges();   // keys created and values written by the program
int SimOpenRegistryKeys();  // key handles not yet closed

// ---- The main window ----

struct SimScrollBar {
  int maximum = 0;
  int page = 0;
  int position = 0;
  bool visible = false;
};

struct SimWindowState {
  bool classRegistered = false;
  std::string className, iconName, menuName;
  bool exists = false;  // created and not destroyed by the platform
  bool shown = false;
  int showCommand = 0;  // the command of the first ShowMainWindow
  bool minimized = false;
  bool maximized = false;
  PixelRect rect{};        // the window's rectangle now, frame included
  PixelRect normalRect{};  // its rectangle when neither minimized nor maximized
  std::string caption;
  SimScrollBar scrollBar;
  bool acceptsDrops = false;
  std::vector<char> cursors;  // 'W' for each hourglass, 'A' for each arrow, in order
};
extern SimWindowState simWindow;

// Frame sizes of the simulated window, and the platform's choice for CW_USEDEFAULT.
constexpr int kSimFrameSide = 6;  // left and right frame with the client edge
constexpr int kSimFrameTop = 44;  // caption, menu bar and top frame
constexpr int kSimFrameBottom = 6;
constexpr int kSimScrollBarWidth = 16;

// The monitors of the desktop (one 1024x768 monitor by default).
void SimSetMonitors(const std::vector<PixelRect>& monitors);

// The user's wheel setting: lines a notch scrolls, or kWheelPageScroll (3 by default).
void SimSetWheelScrollLines(unsigned lines);
// The scale factor DesktopScale reports (1 until set).
void SimSetDesktopScale(int scale);

int SimClientWidth();
int SimClientHeight();

// What a user does to the window; each is carried out at once, as the platform would.
void SimMoveWindow(int x, int y);
void SimResizeWindow(int width, int height);  // the whole window, frame included
void SimResizeClient(int width, int height);  // the client area, the scroll bar as it is
void SimMinimize();
void SimMaximize();
void SimRestore();
void SimClose();  // the close box

// What a user does that reaches the queue; run SimRunUntilIdle afterwards.
// A key, with Shift or Ctrl held (kSimShift | kSimControl).
constexpr unsigned kSimShift = 1;
constexpr unsigned kSimControl = 2;
void SimPressKey(unsigned key, unsigned modifiers = 0);
// Turns the wheel by delta (kWheelDelta a notch, positive away from the user),
// with Shift or Ctrl held.
void SimTurnWheel(int delta, unsigned modifiers = 0);
void SimChooseCommand(int command);
// The left button at client pixel (x, y): pressed (with Shift or Ctrl held),
// moved to with it held, and let go, as the platform posts them.
void SimPressMouse(int x, int y, unsigned modifiers = 0);
void SimDragMouse(int x, int y);
void SimReleaseMouse(int x, int y);
// Whether the window has the mouse captured (CaptureMouse and not yet ReleaseMouse).
bool SimMouseCaptured();
void SimDropFiles(const std::vector<std::string>& names);
void SimPostMessage(unsigned message, MessageParam wParam, MessageData lParam);

// Sends WM_INITMENUPOPUP for popup position on the menu bar; the result.
MessageResult SimOpenPopup(int position, bool systemMenu = false);

// Dispatches queued messages, then paints, until nothing is left or the quit
// message arrives (posted messages come before paints, as on Win32); then
// the timers' messages, unless withTimers is false.
void SimRunUntilIdle(bool withTimers = true);
bool SimTimerRunning(unsigned id);
// The native reader's default: detection picks each document's mode.
void SimSetDetectsAtFirst(bool detects);
bool SimQuitPosted();
int SimQuitCode();
int SimPendingMessages();

// A posted message waiting in the queue.
struct SimPosted {
  unsigned message;
  MessageParam wParam;
  MessageData lParam;
};
std::vector<SimPosted> SimQueuedMessages();  // oldest first

// ---- Client surface and painting ----

// A client pixel: 0 black, 255 white.
std::uint8_t SimPixel(int x, int y);
const std::vector<std::uint8_t>& SimSurface();  // row by row, SimClientWidth() wide
bool SimInvalid();                              // part of the client waits for a paint
PixelRect SimInvalidRect();                     // the bounding box of what waits

// One CopyCell: where the cell went on the client (before any clipping) and
// where it came from in the atlas.
struct SimCellCopy {
  int x, y;              // destination of the cell's top-left pixel
  int sourceX, sourceY;  // the cell's origin in the atlas
  int width, height;
};

struct SimPaintCounters {
  int paints = 0;                     // BeginWindowPaint calls
  int cellsCopied = 0;                // CopyCell calls
  int copiesOutside = 0;              // cells that lay wholly outside the client area
  int atlasSelected = 0;              // SelectAtlas calls not yet released
  int invalidations = 0;              // InvalidateClient calls
  std::vector<int> scrolls;           // dy of each ScrollClient, in order
  std::vector<PixelRect> paintRects;  // the update rectangle of each paint
  std::vector<SimCellCopy> copies;    // every CopyCell, in order
};
extern SimPaintCounters simPaint;

// The rectangles InvertPixels was given, in order (cleared with the counters).
extern std::vector<PixelRect> simInversions;

// Invalidates a part of the client area, as an uncovered window would be.
void SimInvalidateRect(const PixelRect& rect);

// ---- Message boxes, beeps, menus ----

struct SimBox {
  std::string text;
  std::string caption;
  unsigned style = 0;
};
extern std::vector<SimBox> simBoxes;
extern std::vector<unsigned> simBeeps;

// The answer the next message box gets (otherwise OK, No or Cancel by its buttons).
void SimAnswerNextBox(int answer);

bool SimMenuChecked(int command);
bool SimMenuEnabled(int command);  // items never touched count as enabled

// One item of a popup as the user sees it: a separator has command 0 and no text.
struct SimMenuItem {
  int command;
  std::string text;
};
// The File popup's items in order, those of the resource and those added.
const std::vector<SimMenuItem>& SimFileMenu();
// The native reader's default: the File menu lists the documents read last.
void SimSetRecentFilesAtFirst(bool keeps);

// ---- Common dialogs ----

struct SimDialogCall {
  bool save = false;
  FileDialogRecord record{};
  std::string filter;  // the whole filter list, zeros included, up to its double zero
  std::string initialDir;
  std::string initialFile;  // what the file buffer held when the dialog opened
};
extern std::vector<SimDialogCall> simDialogs;

void SimAnswerNextDialog(const std::string& name);  // the user picks this name
void SimCancelNextDialog();                         // the user cancels (the default)

// ---- Clipboard ----

struct SimClipboard {
  bool openFails = false;  // OpenWindowClipboard fails
  bool hasText = false;    // CF_UNICODETEXT is on offer
  bool noHandle = false;   // ClipboardUnicodeText gives none
  bool lockFails = false;  // LockClipboardUnicodeText fails
  std::string block;       // the text block's bytes, UTF-16 little-endian, zeros and all
  bool open = false;       // opened and not yet closed
  int locks = 0;           // locks not yet unlocked
  bool putFails = false;   // PutClipboardUnicodeText fails
  int puts = 0;            // texts the program put on the clipboard
};
extern SimClipboard simClipboard;

// The block's bytes for a text: its UTF-16 code units, each little-endian.
std::string SimUtf16Block(const std::u16string& units);
// Puts the units on offer as the clipboard's text block, zeros and all.
void SimOfferClipboardText(const std::u16string& units);

// ---- The Find dialog ----

// The user types text into the next Find dialog and chooses Find next; with
// no answer scripted the dialog is cancelled.
void SimAnswerNextFind(const std::u16string& text);
// What each Find dialog showed when it opened, in order.
extern std::vector<std::u16string> simFindShown;

// ---- Module ----

void SimSetModulePath(const std::string& path);

// ---- Drops ----

int SimUnfinishedDrops();  // drop handles not yet released
