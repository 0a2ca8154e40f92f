// The operations the reader needs from the operating system, in its own names.
//
// Everything outside platform/ reaches the system only through this header.
// Two implementations are chosen at link time: platform/win32/ (the real
// program) and platform/sim/ (a simulated desktop for tests and native tools).
// Each declaration names, in one line, what it stands for on Win32. Numeric
// constants that cross the seam (messages, codes, styles) keep Win32's values,
// so the Win32 side passes them through unchanged.
#pragma once

#include <cstdint>

// ---- Handles the logic holds but never looks into ----

using FileHandle = std::intptr_t;      // HANDLE of an open file
using RegistryKey = std::uintptr_t;    // HKEY
using BlockHandle = std::uintptr_t;    // HGLOBAL of a fixed memory block
using BitmapHandle = std::uintptr_t;   // HBITMAP
using PaintTarget = std::uintptr_t;    // HDC of a paint in progress
using CellSource = std::uintptr_t;     // memory HDC holding the glyph atlas
using ClipboardData = std::uintptr_t;  // HGLOBAL of the clipboard's text
using DropHandle = std::uintptr_t;     // HDROP

constexpr FileHandle kInvalidFile = -1;  // INVALID_HANDLE_VALUE

constexpr RegistryKey kClassesRoot = 0x80000000u;  // HKEY_CLASSES_ROOT
constexpr RegistryKey kLocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE

// Registry access rights (REGSAM).
constexpr unsigned kKeyRead = 0x20019;             // KEY_READ
constexpr unsigned kKeySetValue = 0x0002;          // KEY_SET_VALUE
constexpr unsigned kKeyWrite = 0x20006;            // KEY_WRITE
constexpr unsigned kKeyEnumerateSubKeys = 0x0008;  // KEY_ENUMERATE_SUB_KEYS

// Registry value types.
constexpr unsigned kRegString = 1;  // REG_SZ
constexpr unsigned kRegBinary = 3;  // REG_BINARY

constexpr long kNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS

// ---- Messages between the platform and the window procedure ----

using MessageParam = std::uintptr_t;  // WPARAM
using MessageData = std::intptr_t;    // LPARAM
using MessageResult = std::intptr_t;  // LRESULT

constexpr unsigned kMessageCreate = 0x0001;         // WM_CREATE
constexpr unsigned kMessageDestroy = 0x0002;        // WM_DESTROY
constexpr unsigned kMessageMove = 0x0003;           // WM_MOVE
constexpr unsigned kMessageSize = 0x0005;           // WM_SIZE
constexpr unsigned kMessagePaint = 0x000F;          // WM_PAINT
constexpr unsigned kMessageClose = 0x0010;          // WM_CLOSE
constexpr unsigned kMessageKeyDown = 0x0100;        // WM_KEYDOWN
constexpr unsigned kMessageCommand = 0x0111;        // WM_COMMAND
constexpr unsigned kMessageVScroll = 0x0115;        // WM_VSCROLL
constexpr unsigned kMessageInitMenuPopup = 0x0117;  // WM_INITMENUPOPUP
constexpr unsigned kMessageDropFiles = 0x0233;      // WM_DROPFILES

// Size kinds of a size notification (wParam of WM_SIZE).
constexpr unsigned kSizeRestored = 0;   // SIZE_RESTORED
constexpr unsigned kSizeMinimized = 1;  // SIZE_MINIMIZED
constexpr unsigned kSizeMaximized = 2;  // SIZE_MAXIMIZED

// Scroll codes of WM_VSCROLL (low word of wParam).
constexpr int kScrollLineUp = 0;         // SB_LINEUP
constexpr int kScrollLineDown = 1;       // SB_LINEDOWN
constexpr int kScrollPageUp = 2;         // SB_PAGEUP
constexpr int kScrollPageDown = 3;       // SB_PAGEDOWN
constexpr int kScrollThumbPosition = 4;  // SB_THUMBPOSITION
constexpr int kScrollThumbTrack = 5;     // SB_THUMBTRACK
constexpr int kScrollTop = 6;            // SB_TOP
constexpr int kScrollBottom = 7;         // SB_BOTTOM

// Virtual-key codes of WM_KEYDOWN.
constexpr unsigned kKeyPageUp = 33;    // VK_PRIOR
constexpr unsigned kKeyPageDown = 34;  // VK_NEXT
constexpr unsigned kKeyEnd = 35;       // VK_END
constexpr unsigned kKeyHome = 36;      // VK_HOME
constexpr unsigned kKeyUp = 38;        // VK_UP
constexpr unsigned kKeyDown = 40;      // VK_DOWN

// Show commands.
constexpr int kShowNormal = 1;     // SW_SHOWNORMAL
constexpr int kShowMinimized = 2;  // SW_SHOWMINIMIZED
constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED
constexpr int kShowDefault = 10;   // SW_SHOWDEFAULT

constexpr int kUseDefault = static_cast<int>(0x80000000u);  // CW_USEDEFAULT

// Message box styles, answers and beep types.
constexpr unsigned kBoxOk = 0x00;                // MB_OK
constexpr unsigned kBoxOkCancel = 0x01;          // MB_OKCANCEL
constexpr unsigned kBoxYesNo = 0x04;             // MB_YESNO
constexpr unsigned kBoxIconQuestion = 0x20;      // MB_ICONQUESTION
constexpr unsigned kBoxIconExclamation = 0x30;   // MB_ICONEXCLAMATION
constexpr unsigned kBoxIconInformation = 0x40;   // MB_ICONINFORMATION
constexpr unsigned kBoxDefaultSecond = 0x100;    // MB_DEFBUTTON2
constexpr unsigned kBeepExclamation = 0x30;      // MB_ICONEXCLAMATION as a beep
constexpr unsigned kBeepAsterisk = 0x40;         // MB_ICONASTERISK as a beep
constexpr int kAnswerOk = 1;                     // IDOK
constexpr int kAnswerCancel = 2;                 // IDCANCEL
constexpr int kAnswerYes = 6;                    // IDYES
constexpr int kAnswerNo = 7;                     // IDNO

// Common-dialog flags.
constexpr std::uint32_t kDialogOverwritePrompt = 0x0002;  // OFN_OVERWRITEPROMPT
constexpr std::uint32_t kDialogHideReadOnly = 0x0004;     // OFN_HIDEREADONLY
constexpr std::uint32_t kDialogPathMustExist = 0x0800;    // OFN_PATHMUSTEXIST
constexpr std::uint32_t kDialogFileMustExist = 0x1000;    // OFN_FILEMUSTEXIST

// The platform's longest path in bytes, terminating zero included (MAX_PATH).
constexpr std::uint32_t kMaxPath = 260;

// A rectangle in pixels; right and bottom are exclusive (RECT).
struct PixelRect {
  int left;
  int top;
  int right;
  int bottom;
};

// The fields of the common dialogs' record that the commands fill
// (OPENFILENAMEA; the Win32 side builds the 76-byte record from them).
struct FileDialogRecord {
  std::uint32_t structSize;    // lStructSize
  const char* filter;          // lpstrFilter: pairs of zero-terminated texts, or null
  std::uint32_t filterIndex;   // nFilterIndex
  char* file;                  // lpstrFile: in the initial name, out the chosen name
  std::uint32_t maxFile;       // nMaxFile
  char* fileTitle;             // lpstrFileTitle
  std::uint32_t maxFileTitle;  // nMaxFileTitle
  const char* initialDir;      // lpstrInitialDir
  std::uint32_t flags;         // Flags
};

// ---- Provided by the logic, called by the platform ----

// The program: start-up, the main window and its message loop, on the whole
// command line (the program's own name included); returns the exit code.
int StartUp(const char* commandLine);

// The main window's procedure: every message of the window comes here.
MessageResult WindowProcedure(unsigned message, MessageParam wParam, MessageData lParam);

// ---- Files ----

FileHandle OpenFileForReading(const char* name);  // CreateFileA GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING
FileHandle CreateFileForWriting(const char* name);  // CreateFileA GENERIC_WRITE, no sharing, CREATE_ALWAYS
void SeekFile(FileHandle file, std::int32_t offset);  // SetFilePointer from FILE_BEGIN
std::int32_t ReadFromFile(FileHandle file, void* buffer, std::int32_t size);  // ReadFile; bytes read, 0 on failure
bool WriteToFile(FileHandle file, const void* data, std::int32_t size);  // WriteFile; true when every byte went
void CloseFile(FileHandle file);  // CloseHandle
std::int64_t FileSizeOf(FileHandle file);  // GetFileSizeEx; -1 on failure
bool DeleteFileNamed(const char* name);  // DeleteFileA; fails while anyone holds the file open

// ---- Fixed memory blocks ----

BlockHandle AllocateFixedBlock(std::uint32_t size);  // GlobalAlloc GMEM_FIXED; 0 on failure
std::uint8_t* LockFixedBlock(BlockHandle block);  // GlobalLock
void FreeFixedBlock(BlockHandle block);  // GlobalUnlock, then GlobalFree

// ---- Bitmap resources ----

BitmapHandle LoadBitmapResource(const char* name);  // LoadBitmapA from the program; 0 on failure
// GetDIBits of the whole bitmap as 1-bit, bottom-up rows, through a DC of the main window.
void CopyBitmapPixels(BitmapHandle bitmap, int width, int height, void* pixels);
void DeleteBitmap(BitmapHandle bitmap);  // DeleteObject

// ---- The main window ----

// RegisterClassExA with the class name, the icon and menu resource names.
bool RegisterMainClass(const char* className, const char* iconName, const char* menuName);
// CreateWindowExA of the main window; WM_CREATE runs inside it.
bool CreateMainWindow(const char* className, const char* caption, int x, int y, int width,
                      int height);
void ShowMainWindow(int showCommand);  // ShowWindow
int RunMessageLoop();  // GetMessageA, TranslateMessage, DispatchMessageA until WM_QUIT
void PostToWindow(unsigned message, MessageParam wParam, MessageData lParam);  // PostMessageA
MessageResult SendToWindow(unsigned message, MessageParam wParam, MessageData lParam);  // SendMessageA
void PostQuit(int exitCode);  // PostQuitMessage
MessageResult DefaultProcedure(unsigned message, MessageParam wParam, MessageData lParam);  // DefWindowProcA
void SetCaption(const char* text);  // SetWindowTextA
bool WindowIsMinimized();  // IsIconic
bool WindowIsMaximized();  // IsZoomed
PixelRect WindowRectangle();  // GetWindowRect
PixelRect ClientRectangle();  // GetClientRect
bool RectangleOnAnyMonitor(const PixelRect& rect);  // MonitorFromRect with MONITOR_DEFAULTTONULL
std::uint32_t ModulePath(char* buffer, std::uint32_t size);  // GetModuleFileNameA of the program

// ---- Menu ----

void CheckMenuCommand(int command, bool checked);  // CheckMenuItem MF_BYCOMMAND
void EnableMenuCommand(int command, bool enabled);  // EnableMenuItem MF_BYCOMMAND

// ---- Scroll bar, scrolling and painting ----

void SetScrollBar(int maximum, int page, int position);  // SetScrollInfo SB_VERT SIF_ALL, redraw
void ScrollClient(int dy);  // ScrollWindowEx of the whole client, SW_INVALIDATE | SW_ERASE
void InvalidateClient();  // InvalidateRect of the whole client, erase on
PaintTarget BeginWindowPaint(PixelRect* update);  // BeginPaint; the update rectangle rcPaint
void EndWindowPaint(PaintTarget target);  // EndPaint
CellSource SelectAtlas(PaintTarget target, BitmapHandle atlas);  // CreateCompatibleDC, SelectObject
// BitBlt SRCCOPY of a width x height cell from the atlas to the window.
void CopyCell(PaintTarget target, CellSource source, int x, int y, int sourceX, int sourceY,
              int width, int height);
void ReleaseAtlas(CellSource source);  // SelectObject of the kept bitmap, DeleteDC

// ---- Cursor, message boxes, beeps ----

void ShowHourglass();  // SetCursor(LoadCursorA(IDC_WAIT))
void ShowArrow();  // SetCursor(LoadCursorA(IDC_ARROW))
int ShowMessageBox(const char* text, const char* caption, unsigned style);  // MessageBoxA owned by the window
void SoundBeep(unsigned type);  // MessageBeep

// ---- Common dialogs ----

bool ShowOpenDialog(FileDialogRecord* record);  // GetOpenFileNameA
bool ShowSaveDialog(FileDialogRecord* record);  // GetSaveFileNameA

// ---- Clipboard ----

bool OpenWindowClipboard();  // OpenClipboard owned by the main window
void CloseWindowClipboard();  // CloseClipboard
bool ClipboardHasText();  // IsClipboardFormatAvailable CF_TEXT
ClipboardData ClipboardText();  // GetClipboardData CF_TEXT; 0 when there is none
// GlobalLock of the text; the block's size in bytes (GlobalSize) goes to blockSize.
const char* LockClipboardText(ClipboardData data, std::uint32_t* blockSize);
void UnlockClipboardText(ClipboardData data);  // GlobalUnlock

// ---- Dropped files ----

void AcceptDroppedFiles(bool accept);  // DragAcceptFiles
// DragQueryFileA: copies name number index, returns its length (0 when there is none).
std::uint32_t DroppedFileName(DropHandle drop, std::uint32_t index, char* buffer,
                              std::uint32_t size);
void FinishDrop(DropHandle drop);  // DragFinish

// ---- Registry ----

bool OpenRegistryKey(RegistryKey parent, const char* path, unsigned access, RegistryKey* key);  // RegOpenKeyExA
// RegCreateKeyExA with the class string, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, default security.
bool CreateRegistryKey(RegistryKey parent, const char* path, const char* className,
                       RegistryKey* key);
// RegQueryValueExA into a buffer of *size bytes; *size becomes the bytes stored.
// A null or empty name is the key's default value.
bool ReadRegistryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size);
void WriteRegistryValue(RegistryKey key, const char* name, unsigned type, const void* data,
                        std::uint32_t size);  // RegSetValueExA
void CloseRegistryKey(RegistryKey key);  // RegCloseKey
void DeleteRegistryKey(RegistryKey parent, const char* subkey);  // RegDeleteKeyA
// RegEnumKeyExA of subkey number index; its result code (0, or kNoMoreItems).
long EnumerateRegistryKey(RegistryKey key, std::uint32_t index, char* name,
                          std::uint32_t nameSize, char* className, std::uint32_t classSize);
