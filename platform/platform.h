// The operations the reader needs from the operating system, in its own names.
//
// Everything outside platform/ reaches the system only through this header.
// The implementations are chosen at link time: platform/win32/ (the real
// program), platform/sim/ (a simulated desktop for tests), platform/posix/
// (the files, memory and resources of the native command-line tools) and
// platform/gtk/ (the native Linux program on GTK 3).
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

constexpr RegistryKey kClassesRoot = 0x80000000u;   // HKEY_CLASSES_ROOT
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

constexpr unsigned kMessageCreate = 0x0001;          // WM_CREATE
constexpr unsigned kMessageDestroy = 0x0002;         // WM_DESTROY
constexpr unsigned kMessageMove = 0x0003;            // WM_MOVE
constexpr unsigned kMessageSize = 0x0005;            // WM_SIZE
constexpr unsigned kMessagePaint = 0x000F;           // WM_PAINT
constexpr unsigned kMessageClose = 0x0010;           // WM_CLOSE
constexpr unsigned kMessageKeyDown = 0x0100;         // WM_KEYDOWN
constexpr unsigned kMessageCommand = 0x0111;         // WM_COMMAND
constexpr unsigned kMessageTimer = 0x0113;           // WM_TIMER
constexpr unsigned kMessageVScroll = 0x0115;         // WM_VSCROLL
constexpr unsigned kMessageInitMenuPopup = 0x0117;   // WM_INITMENUPOPUP
constexpr unsigned kMessageMouseMove = 0x0200;       // WM_MOUSEMOVE
constexpr unsigned kMessageLeftButtonDown = 0x0201;  // WM_LBUTTONDOWN
constexpr unsigned kMessageLeftButtonUp = 0x0202;    // WM_LBUTTONUP
constexpr unsigned kMessageMouseWheel = 0x020A;      // WM_MOUSEWHEEL
constexpr unsigned kMessageDropFiles = 0x0233;       // WM_DROPFILES

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

// The wheel's turn: the signed high word of WM_MOUSEWHEEL's wParam, positive
// away from the user (up), in steps of kWheelDelta for each notch.
constexpr int kWheelDelta = 120;                    // WHEEL_DELTA, one notch
constexpr unsigned kWheelPageScroll = 0xFFFFFFFFu;  // WHEEL_PAGESCROLL

// A mouse message's lParam is the pointer's client position, x in the signed
// low word and y in the signed high word; its wParam says what was held.
constexpr unsigned kMouseLeftButton = 0x0001;  // MK_LBUTTON
constexpr unsigned kMouseShift = 0x0004;       // MK_SHIFT

// Virtual-key codes of WM_KEYDOWN.
constexpr unsigned kKeyShift = 16;       // VK_SHIFT
constexpr unsigned kKeyControl = 17;     // VK_CONTROL
constexpr unsigned kKeySpace = 32;       // VK_SPACE
constexpr unsigned kKeyPageUp = 33;      // VK_PRIOR
constexpr unsigned kKeyPageDown = 34;    // VK_NEXT
constexpr unsigned kKeyEnd = 35;         // VK_END
constexpr unsigned kKeyHome = 36;        // VK_HOME
constexpr unsigned kKeyUp = 38;          // VK_UP
constexpr unsigned kKeyDown = 40;        // VK_DOWN
constexpr unsigned kKeyAdd = 0x6B;       // VK_ADD, the keypad's plus
constexpr unsigned kKeyF3 = 0x72;        // VK_F3
constexpr unsigned kKeySubtract = 0x6D;  // VK_SUBTRACT, the keypad's minus
constexpr unsigned kKeyOemPlus = 0xBB;   // VK_OEM_PLUS, the main keyboard's = and +
constexpr unsigned kKeyOemMinus = 0xBD;  // VK_OEM_MINUS, the main keyboard's - and _
// Letters are their capitals ('O'), as the virtual-key codes of Win32 are.

// GetKeyState's high bit: whether key (kKeyShift, kKeyControl) was down when
// the message being handled was sent.
bool KeyIsDown(unsigned key);

// Show commands.
constexpr int kShowNormal = 1;     // SW_SHOWNORMAL
constexpr int kShowMinimized = 2;  // SW_SHOWMINIMIZED
constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED
constexpr int kShowDefault = 10;   // SW_SHOWDEFAULT

constexpr int kUseDefault = static_cast<int>(0x80000000u);  // CW_USEDEFAULT

// Message box styles, answers and beep types.
constexpr unsigned kBoxOk = 0x00;               // MB_OK
constexpr unsigned kBoxOkCancel = 0x01;         // MB_OKCANCEL
constexpr unsigned kBoxYesNo = 0x04;            // MB_YESNO
constexpr unsigned kBoxIconQuestion = 0x20;     // MB_ICONQUESTION
constexpr unsigned kBoxIconExclamation = 0x30;  // MB_ICONEXCLAMATION
constexpr unsigned kBoxIconInformation = 0x40;  // MB_ICONINFORMATION
constexpr unsigned kBoxDefaultSecond = 0x100;   // MB_DEFBUTTON2
constexpr unsigned kBeepExclamation = 0x30;     // MB_ICONEXCLAMATION as a beep
constexpr unsigned kBeepAsterisk = 0x40;        // MB_ICONASTERISK as a beep
constexpr int kAnswerOk = 1;                    // IDOK
constexpr int kAnswerCancel = 2;                // IDCANCEL
constexpr int kAnswerYes = 6;                   // IDYES
constexpr int kAnswerNo = 7;                    // IDNO

// Common-dialog flags.
constexpr std::uint32_t kDialogOverwritePrompt = 0x0002;  // OFN_OVERWRITEPROMPT
constexpr std::uint32_t kDialogHideReadOnly = 0x0004;     // OFN_HIDEREADONLY
constexpr std::uint32_t kDialogPathMustExist = 0x0800;    // OFN_PATHMUSTEXIST
constexpr std::uint32_t kDialogFileMustExist = 0x1000;    // OFN_FILEMUSTEXIST

// Kinds of open file (GetFileType's results).
constexpr unsigned kFileTypeUnknown = 0;  // FILE_TYPE_UNKNOWN
constexpr unsigned kFileTypeDisk = 1;     // FILE_TYPE_DISK: a file that can be read at any offset
constexpr unsigned kFileTypeChar = 2;     // FILE_TYPE_CHAR: a device, read as a stream
constexpr unsigned kFileTypePipe = 3;     // FILE_TYPE_PIPE: a pipe, read as a stream

// What names one file on the system, whatever its path (the volume serial
// number and the file index of BY_HANDLE_FILE_INFORMATION).
struct FileIdentity {
  std::uint64_t volume;
  std::uint64_t index;
};

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

// CreateFileA GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING
FileHandle OpenFileForReading(const char* name);
// CreateFileA GENERIC_WRITE, no sharing, CREATE_ALWAYS
FileHandle CreateFileForWriting(const char* name);
// SetFilePointer from FILE_BEGIN
void SeekFile(FileHandle file, std::int32_t offset);
// ReadFile; bytes read, 0 on failure
std::int32_t ReadFromFile(FileHandle file, void* buffer, std::int32_t size);
// WriteFile; true when every byte went
bool WriteToFile(FileHandle file, const void* data, std::int32_t size);
// CloseHandle
void CloseFile(FileHandle file);
// GetFileSizeEx; -1 on failure
std::int64_t FileSizeOf(FileHandle file);
// DeleteFileA; fails while anyone holds the file open
bool DeleteFileNamed(const char* name);
// GetFileType
unsigned FileTypeOf(FileHandle file);
// GetFileInformationByHandle: the file's volume and index; false on failure
bool FileIdentityOf(FileHandle file, FileIdentity* identity);

// ---- Fixed memory blocks ----

// GlobalAlloc GMEM_FIXED; 0 on failure
BlockHandle AllocateFixedBlock(std::uint32_t size);
// GlobalLock
std::uint8_t* LockFixedBlock(BlockHandle block);
// GlobalUnlock, then GlobalFree
void FreeFixedBlock(BlockHandle block);

// ---- Bitmap resources ----

// LoadBitmapA from the program; 0 on failure
BitmapHandle LoadBitmapResource(const char* name);
// GetDIBits of the whole bitmap as 1-bit, bottom-up rows, through a DC of the main window.
void CopyBitmapPixels(BitmapHandle bitmap, int width, int height, void* pixels);
// DeleteObject
void DeleteBitmap(BitmapHandle bitmap);

// ---- The main window ----

// RegisterClassExA with the class name, the icon and menu resource names.
bool RegisterMainClass(const char* className, const char* iconName, const char* menuName);
// CreateWindowExA of the main window; WM_CREATE runs inside it.
bool CreateMainWindow(const char* className, const char* caption, int x, int y, int width,
                      int height);
// ShowWindow
void ShowMainWindow(int showCommand);
// GetMessageA, TranslateMessage, DispatchMessageA until WM_QUIT
int RunMessageLoop();
// PostMessageA
void PostToWindow(unsigned message, MessageParam wParam, MessageData lParam);
// SendMessageA
MessageResult SendToWindow(unsigned message, MessageParam wParam, MessageData lParam);
// PostQuitMessage
void PostQuit(int exitCode);
// SetTimer on the main window: kMessageTimer with wParam id comes every
// milliseconds once nothing else waits (input and painting go first).
void StartWindowTimer(unsigned id, unsigned milliseconds);
// KillTimer
void StopWindowTimer(unsigned id);
// SetCapture: the window gets the mouse's messages, also from outside it,
// until ReleaseMouse (a drag that leaves the window goes on).
void CaptureMouse();
// ReleaseCapture
void ReleaseMouse();
// DefWindowProcA
MessageResult DefaultProcedure(unsigned message, MessageParam wParam, MessageData lParam);
// SetWindowTextA
void SetCaption(const char* text);
// IsIconic
bool WindowIsMinimized();
// IsZoomed
bool WindowIsMaximized();
// GetWindowRect
PixelRect WindowRectangle();
// GetClientRect
PixelRect ClientRectangle();
// MonitorFromRect with MONITOR_DEFAULTTONULL
bool RectangleOnAnyMonitor(const PixelRect& rect);
// GetModuleFileNameA of the program
std::uint32_t ModulePath(char* buffer, std::uint32_t size);
// The character that ends a folder's name in a path: '\\' on Win32.
char PathSeparator();

// ---- The user's settings ----

// SystemParametersInfoA SPI_GETWHEELSCROLLLINES; 3 when it cannot be read
unsigned WheelScrollLines();
// The desktop's scale factor, 1..4, the zoom a user who chose none starts
// at: 1 on Win32, whose program is not DPI-aware.
int DesktopScale();

// ---- Menu ----

// CheckMenuItem MF_BYCOMMAND
void CheckMenuCommand(int command, bool checked);
// Whether the program picks each document's encoding by detection until the
// user says otherwise: the native reader does, tavelo.exe keeps to GB2312.
bool DetectsEncodingAtFirst();
// CheckMenuRadioItem MF_BYCOMMAND: checked gets the radio bullet, the rest
// of first..last none.
void CheckMenuRadio(int first, int last, int checked);
// EnableMenuItem MF_BYCOMMAND
void EnableMenuCommand(int command, bool enabled);
// Whether the File menu lists the documents read last until the user says
// otherwise: the native reader does, tavelo.exe keeps its menu as it was.
bool KeepsRecentFilesAtFirst();
// GetMenuItemID over the File popup (GetSubMenu of the menu bar, 0): the
// position of command's item in it, -1 when it has none.
int FileMenuPosition(int command);
// InsertMenuA MF_BYPOSITION into the File popup: a string item with command,
// or a separator (MF_SEPARATOR) when text is null.
void InsertFileMenuItem(int position, int command, const char* text);
// DeleteMenu MF_BYPOSITION of the File popup
void DeleteFileMenuItem(int position);

// ---- Scroll bar, scrolling and painting ----

// SetScrollInfo SB_VERT SIF_ALL, redraw
void SetScrollBar(int maximum, int page, int position);
// ScrollWindowEx of the whole client, SW_INVALIDATE | SW_ERASE
void ScrollClient(int dy);
// InvalidateRect of the whole client, erase on
void InvalidateClient();
// BeginPaint; the update rectangle rcPaint
PaintTarget BeginWindowPaint(PixelRect* update);
// EndPaint
void EndWindowPaint(PaintTarget target);
// CreateCompatibleDC, SelectObject
CellSource SelectAtlas(PaintTarget target, BitmapHandle atlas);
// BitBlt SRCCOPY of a width x height cell from the atlas to the window at
// zoom 1; above it StretchBlt COLORONCOLOR to width * zoom x height * zoom,
// each atlas pixel a zoom x zoom square.
void CopyCell(PaintTarget target, CellSource source, int x, int y, int sourceX, int sourceY,
              int width, int height, int zoom);
// SelectObject of the kept bitmap, DeleteDC
void ReleaseAtlas(CellSource source);
// InvertRect: every pixel of rect (within the paint's update) inverted, to
// show a selection.
void InvertPixels(PaintTarget target, const PixelRect& rect);

// ---- Cursor, message boxes, beeps ----

// SetCursor(LoadCursorA(IDC_WAIT))
void ShowHourglass();
// SetCursor(LoadCursorA(IDC_ARROW))
void ShowArrow();
// MessageBoxA owned by the window
int ShowMessageBox(const char* text, const char* caption, unsigned style);
// MessageBeep
void SoundBeep(unsigned type);

// ---- Common dialogs ----

// GetOpenFileNameA
bool ShowOpenDialog(FileDialogRecord* record);
// GetSaveFileNameA
bool ShowSaveDialog(FileDialogRecord* record);

// ---- Clipboard ----

// OpenClipboard owned by the main window
bool OpenWindowClipboard();
// CloseClipboard
void CloseWindowClipboard();
// IsClipboardFormatAvailable CF_UNICODETEXT
bool ClipboardHasText();
// GetClipboardData CF_UNICODETEXT; 0 when there is none
ClipboardData ClipboardUnicodeText();
// GlobalLock of the text, UTF-16 little-endian; the block's size in bytes
// (GlobalSize) goes to blockSize.
const std::uint8_t* LockClipboardUnicodeText(ClipboardData data, std::uint32_t* blockSize);
// GlobalUnlock
void UnlockClipboardText(ClipboardData data);
// EmptyClipboard, then SetClipboardData CF_UNICODETEXT of a new movable block
// holding units UTF-16 code units of text and a terminating zero; with the
// clipboard open. False when the memory or the clipboard refused it.
bool PutClipboardUnicodeText(const char16_t* text, std::uint32_t units);

// ---- The Find dialog ----

// The longest text the Find dialog takes, in UTF-16 code units.
constexpr std::uint32_t kFindTextUnits = 256;
// DialogBoxParamW of the dialog "FindDialog": its edit shows text (UTF-16,
// zero-terminated, at most kFindTextUnits units with the zero) selected, and
// on Find next the user's text replaces it. False when cancelled.
bool AskForFindText(char16_t* text);

// ---- Dropped files ----

// DragAcceptFiles
void AcceptDroppedFiles(bool accept);
// DragQueryFileA: copies name number index, returns its length (0 when there is none).
std::uint32_t DroppedFileName(DropHandle drop, std::uint32_t index, char* buffer,
                              std::uint32_t size);
// DragFinish
void FinishDrop(DropHandle drop);

// ---- Registry ----

// RegOpenKeyExA
bool OpenRegistryKey(RegistryKey parent, const char* path, unsigned access, RegistryKey* key);
// RegCreateKeyExA with the class string, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, default security.
bool CreateRegistryKey(RegistryKey parent, const char* path, const char* className,
                       RegistryKey* key);
// RegQueryValueExA into a buffer of *size bytes; *size becomes the bytes stored.
// A null or empty name is the key's default value.
bool ReadRegistryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size);
void WriteRegistryValue(RegistryKey key, const char* name, unsigned type, const void* data,
                        std::uint32_t size);  // RegSetValueExA
// RegCloseKey
void CloseRegistryKey(RegistryKey key);
// RegDeleteKeyA
void DeleteRegistryKey(RegistryKey parent, const char* subkey);
// RegEnumKeyExA of subkey number index; its result code (0, or kNoMoreItems).
long EnumerateRegistryKey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t nameSize,
                          char* className, std::uint32_t classSize);
