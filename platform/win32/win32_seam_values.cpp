// The seam passes its numbers to Win32 unchanged: messages, codes, styles,
// flags and rights keep Win32's values. Each one is checked here against the
// Win32 header, so a wrong number fails the build instead of the program.
#include <windows.h>
// commdlg.h and shellapi.h need the types of windows.h before them.
#include <commdlg.h>
#include <shellapi.h>

#include <climits>  // UINT_MAX, in which winuser.h spells WHEEL_PAGESCROLL
#include <cstddef>

#include "platform/platform.h"
#include "platform/win32/win32_main.h"

// Handles and message words travel through integers of their own width.
static_assert(sizeof(FileHandle) == sizeof(HANDLE), "FileHandle holds a HANDLE");
static_assert(sizeof(RegistryKey) == sizeof(HKEY), "RegistryKey holds an HKEY");
static_assert(sizeof(BlockHandle) == sizeof(HGLOBAL), "BlockHandle holds an HGLOBAL");
static_assert(sizeof(BitmapHandle) == sizeof(HBITMAP), "BitmapHandle holds an HBITMAP");
static_assert(sizeof(PaintTarget) == sizeof(HDC), "PaintTarget holds an HDC");
static_assert(sizeof(CellSource) == sizeof(HDC), "CellSource holds an HDC");
static_assert(sizeof(ClipboardData) == sizeof(HANDLE), "ClipboardData holds a HANDLE");
static_assert(sizeof(DropHandle) == sizeof(HDROP), "DropHandle holds an HDROP");
static_assert(sizeof(MessageParam) == sizeof(WPARAM), "MessageParam holds a WPARAM");
static_assert(sizeof(MessageData) == sizeof(LPARAM), "MessageData holds an LPARAM");
static_assert(sizeof(MessageResult) == sizeof(LRESULT), "MessageResult holds an LRESULT");
static_assert(static_cast<MessageData>(-1) < 0 && static_cast<LPARAM>(-1) < 0,
              "LPARAM and MessageData are both signed");

// INVALID_HANDLE_VALUE and the predefined keys are pointer casts, which a
// constant expression may not contain, so their headers' integer forms are
// compared: a predefined key is a sign-extended LONG, which a 64-bit build
// would make differ from the seam's 32-bit value.
static_assert(kInvalidFile == static_cast<LONG_PTR>(-1), "INVALID_HANDLE_VALUE");
static_assert(kClassesRoot == static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000)),
              "HKEY_CLASSES_ROOT");
static_assert(kLocalMachine == static_cast<ULONG_PTR>(static_cast<LONG>(0x80000002)),
              "HKEY_LOCAL_MACHINE");

static_assert(kKeyRead == KEY_READ, "KEY_READ");
static_assert(kKeySetValue == KEY_SET_VALUE, "KEY_SET_VALUE");
static_assert(kKeyWrite == KEY_WRITE, "KEY_WRITE");
static_assert(kKeyEnumerateSubKeys == KEY_ENUMERATE_SUB_KEYS, "KEY_ENUMERATE_SUB_KEYS");
static_assert(kRegString == REG_SZ, "REG_SZ");
static_assert(kRegBinary == REG_BINARY, "REG_BINARY");
static_assert(kNoMoreItems == ERROR_NO_MORE_ITEMS, "ERROR_NO_MORE_ITEMS");
static_assert(kNoMoreItems != ERROR_SUCCESS, "the end of an enumeration is not a success");

static_assert(kMessageCreate == WM_CREATE, "WM_CREATE");
static_assert(kMessageDestroy == WM_DESTROY, "WM_DESTROY");
static_assert(kMessageMove == WM_MOVE, "WM_MOVE");
static_assert(kMessageSize == WM_SIZE, "WM_SIZE");
static_assert(kMessagePaint == WM_PAINT, "WM_PAINT");
static_assert(kMessageClose == WM_CLOSE, "WM_CLOSE");
static_assert(kMessageKeyDown == WM_KEYDOWN, "WM_KEYDOWN");
static_assert(kMessageCommand == WM_COMMAND, "WM_COMMAND");
static_assert(kMessageVScroll == WM_VSCROLL, "WM_VSCROLL");
static_assert(kMessageInitMenuPopup == WM_INITMENUPOPUP, "WM_INITMENUPOPUP");
static_assert(kMessageDropFiles == WM_DROPFILES, "WM_DROPFILES");
static_assert(kMessageMouseWheel == WM_MOUSEWHEEL, "WM_MOUSEWHEEL");
static_assert(kWheelDelta == WHEEL_DELTA, "WHEEL_DELTA");
static_assert(kWheelPageScroll == WHEEL_PAGESCROLL, "WHEEL_PAGESCROLL");

static_assert(kSizeRestored == SIZE_RESTORED, "SIZE_RESTORED");
static_assert(kSizeMinimized == SIZE_MINIMIZED, "SIZE_MINIMIZED");
static_assert(kSizeMaximized == SIZE_MAXIMIZED, "SIZE_MAXIMIZED");

static_assert(kScrollLineUp == SB_LINEUP, "SB_LINEUP");
static_assert(kScrollLineDown == SB_LINEDOWN, "SB_LINEDOWN");
static_assert(kScrollPageUp == SB_PAGEUP, "SB_PAGEUP");
static_assert(kScrollPageDown == SB_PAGEDOWN, "SB_PAGEDOWN");
static_assert(kScrollThumbPosition == SB_THUMBPOSITION, "SB_THUMBPOSITION");
static_assert(kScrollThumbTrack == SB_THUMBTRACK, "SB_THUMBTRACK");
static_assert(kScrollTop == SB_TOP, "SB_TOP");
static_assert(kScrollBottom == SB_BOTTOM, "SB_BOTTOM");

static_assert(kKeyPageUp == VK_PRIOR, "VK_PRIOR");
static_assert(kKeyPageDown == VK_NEXT, "VK_NEXT");
static_assert(kKeyEnd == VK_END, "VK_END");
static_assert(kKeyHome == VK_HOME, "VK_HOME");
static_assert(kKeyUp == VK_UP, "VK_UP");
static_assert(kKeyDown == VK_DOWN, "VK_DOWN");

static_assert(kShowNormal == SW_SHOWNORMAL, "SW_SHOWNORMAL");
static_assert(kShowMinimized == SW_SHOWMINIMIZED, "SW_SHOWMINIMIZED");
static_assert(kShowMaximized == SW_SHOWMAXIMIZED, "SW_SHOWMAXIMIZED");
static_assert(kShowDefault == SW_SHOWDEFAULT, "SW_SHOWDEFAULT");
static_assert(kUseDefault == CW_USEDEFAULT, "CW_USEDEFAULT");

static_assert(kBoxOk == MB_OK, "MB_OK");
static_assert(kBoxOkCancel == MB_OKCANCEL, "MB_OKCANCEL");
static_assert(kBoxYesNo == MB_YESNO, "MB_YESNO");
static_assert(kBoxIconQuestion == MB_ICONQUESTION, "MB_ICONQUESTION");
static_assert(kBoxIconExclamation == MB_ICONEXCLAMATION, "MB_ICONEXCLAMATION");
static_assert(kBoxIconInformation == MB_ICONINFORMATION, "MB_ICONINFORMATION");
static_assert(kBoxDefaultSecond == MB_DEFBUTTON2, "MB_DEFBUTTON2");
static_assert(kBeepExclamation == MB_ICONEXCLAMATION, "MB_ICONEXCLAMATION beep");
static_assert(kBeepAsterisk == MB_ICONASTERISK, "MB_ICONASTERISK beep");
static_assert(kAnswerOk == IDOK, "IDOK");
static_assert(kAnswerCancel == IDCANCEL, "IDCANCEL");
static_assert(kAnswerYes == IDYES, "IDYES");
static_assert(kAnswerNo == IDNO, "IDNO");

static_assert(kDialogOverwritePrompt == OFN_OVERWRITEPROMPT, "OFN_OVERWRITEPROMPT");
static_assert(kDialogHideReadOnly == OFN_HIDEREADONLY, "OFN_HIDEREADONLY");
static_assert(kDialogPathMustExist == OFN_PATHMUSTEXIST, "OFN_PATHMUSTEXIST");
static_assert(kDialogFileMustExist == OFN_FILEMUSTEXIST, "OFN_FILEMUSTEXIST");

static_assert(kMaxPath == MAX_PATH, "MAX_PATH");

// The rectangle crosses as four 32-bit edges in RECT's order.
static_assert(sizeof(PixelRect) == sizeof(RECT), "PixelRect is as large as RECT");
static_assert(offsetof(PixelRect, left) == offsetof(RECT, left), "RECT.left");
static_assert(offsetof(PixelRect, top) == offsetof(RECT, top), "RECT.top");
static_assert(offsetof(PixelRect, right) == offsetof(RECT, right), "RECT.right");
static_assert(offsetof(PixelRect, bottom) == offsetof(RECT, bottom), "RECT.bottom");
