// The main window on Win32: its class, creation, showing, the message loop,
// posting and sending, what the logic asks about its placement, and the
// wheel setting that scrolling follows.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

namespace {

// CS_HREDRAW because a width change can change the column count and so the
// whole layout; no CS_VREDRAW, because a height change only uncovers or hides
// lines at the bottom, which the painter fills from the update rectangle.
constexpr UINT kMainClassStyle = CS_HREDRAW | CS_BYTEALIGNWINDOW;
static_assert(kMainClassStyle == 0x2002, "class style of the main window");

constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_VSCROLL;
static_assert(kMainWindowStyle == 0x00EF0000, "style of the main window");

}  // namespace

bool RegisterMainClass(const char* className, const char* iconName, const char* menuName) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = kMainClassStyle;
  windowClass.lpfnWndProc = MainWindowShell;
  windowClass.hInstance = programInstance;
  // No small icon of its own: the system shrinks this one for the caption.
  windowClass.hIcon = LoadIconA(programInstance, iconName);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = menuName;
  windowClass.lpszClassName = className;
  return RegisterClassExA(&windowClass) != 0;
}

bool CreateMainWindow(const char* className, const char* caption, int x, int y, int width,
                      int height) {
  // The menu comes from the class, so none is passed here.
  const HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, className, caption, kMainWindowStyle, x, y,
                                      width, height, nullptr, nullptr, programInstance, nullptr);
  // When creation is refused, this forgets the handle its first messages left.
  mainWindow = window;
  return window != nullptr;
}

void ShowMainWindow(int showCommand) {
  ShowWindow(mainWindow, showCommand);
}

int RunMessageLoop() {
  MSG message{};
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  // -1 is GetMessageA's own failure, which leaves no quit code behind.
  return got == 0 ? static_cast<int>(message.wParam) : -1;
}

void CaptureMouse() {
  if (mainWindow != nullptr) SetCapture(mainWindow);
}

void ReleaseMouse() {
  ReleaseCapture();
}

bool KeyIsDown(unsigned key) {
  return GetKeyState(static_cast<int>(key)) < 0;
}

void StartWindowTimer(unsigned id, unsigned milliseconds) {
  if (mainWindow != nullptr) SetTimer(mainWindow, id, milliseconds, nullptr);
}

void StopWindowTimer(unsigned id) {
  if (mainWindow != nullptr) KillTimer(mainWindow, id);
}

void PostToWindow(unsigned message, MessageParam wParam, MessageData lParam) {
  // Without a window PostMessageA would post to the thread, where no
  // procedure ever sees the message.
  if (mainWindow != nullptr) PostMessageA(mainWindow, message, wParam, lParam);
}

MessageResult SendToWindow(unsigned message, MessageParam wParam, MessageData lParam) {
  return SendMessageA(mainWindow, message, wParam, lParam);
}

void PostQuit(int exitCode) {
  PostQuitMessage(exitCode);
}

MessageResult DefaultProcedure(unsigned message, MessageParam wParam, MessageData lParam) {
  return DefWindowProcA(mainWindow, message, wParam, lParam);
}

void SetCaption(const char* text) {
  SetWindowTextA(mainWindow, text);
}

bool WindowIsMinimized() {
  return IsIconic(mainWindow) != FALSE;
}

bool WindowIsMaximized() {
  return IsZoomed(mainWindow) != FALSE;
}

PixelRect WindowRectangle() {
  RECT rect{};
  GetWindowRect(mainWindow, &rect);
  return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

PixelRect ClientRectangle() {
  RECT rect{};
  GetClientRect(mainWindow, &rect);
  return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

bool RectangleOnAnyMonitor(const PixelRect& rect) {
  const RECT area{rect.left, rect.top, rect.right, rect.bottom};
  return MonitorFromRect(&area, MONITOR_DEFAULTTONULL) != nullptr;
}

std::uint32_t ModulePath(char* buffer, std::uint32_t size) {
  if (size == 0) return 0;
  const DWORD length = GetModuleFileNameA(nullptr, buffer, size);
  // Windows XP leaves a cut path without its terminating zero.
  if (length >= size) buffer[size - 1] = 0;
  return length;
}

unsigned WheelScrollLines() {
  UINT lines = 0;
  return SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0) ? lines : 3;
}

int DesktopScale() {
  return 1;
}
