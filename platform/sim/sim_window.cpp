// The main window of the simulated desktop: class, creation, placement, the
// message queue with post and send, the scroll bar whose showing and hiding
// resizes the client area, menus, cursors and dropped files.
#include <deque>
#include <map>
#include <set>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "shell/command_ids.h"

SimWindowState simWindow;

namespace {

struct Posted {
  unsigned message;
  MessageParam wParam;
  MessageData lParam;
  unsigned keysDown = 0;  // SimShift | SimControl, as KeyIsDown reports them
};

std::deque<Posted> queue;
std::set<unsigned> timers;  // started and not stopped
bool detectsAtFirst = false;
bool recentFilesAtFirst = false;
unsigned keysDown = 0;  // of the message being dispatched
bool mouseCaptured = false;
bool quitPosted = false;
int quitCode = 0;
const PixelRect kDefaultMonitor{0, 0, 1024, 768};
const char kDefaultModulePath[] = "C:\\Program Files\\Tavelo\\tavelo.exe";
std::vector<PixelRect> monitors{kDefaultMonitor};
constexpr unsigned kDefaultWheelScrollLines = 3;
unsigned wheelScrollLines = kDefaultWheelScrollLines;
int desktopScale = 1;
std::map<int, bool> checked;
std::map<int, bool> enabled;
// The File popup of the resource's menu.
const std::vector<SimMenuItem> kFileMenu = {
    {CMD_OPEN, "&Open ..."},
    {0, ""},
    {CMD_SAVE_GB, "Save in &GB as ..."},
    {CMD_DECODE_HZ, "Decode &HZ as ..."},
    {CMD_DECODE_QP, "Decode &QP as ..."},
    {CMD_PASTE, "&Paste to file ..."},
    {0, ""},
    {CMD_UNINSTALL, "&Uninstall"},
    {0, ""},
    {CMD_EXIT, "E&xit"},
};
std::vector<SimMenuItem> fileMenu = kFileMenu;
std::map<DropHandle, std::vector<std::string>> drops;
DropHandle nextDrop = 0x3000;
std::string modulePath = kDefaultModulePath;

MessageData PackPair(int low, int high) {
  return static_cast<MessageData>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                                  static_cast<std::uint32_t>(low & 0xFFFF));
}

int Width(const PixelRect& r) {
  return r.right - r.left;
}
int Height(const PixelRect& r) {
  return r.bottom - r.top;
}

int ClientWidthOf(const PixelRect& r) {
  if (simWindow.minimized) return 0;
  const int bar = simWindow.scrollBar.visible ? kSimScrollBarWidth : 0;
  const int width = Width(r) - 2 * kSimFrameSide - bar;
  return width > 0 ? width : 0;
}

int ClientHeightOf(const PixelRect& r) {
  if (simWindow.minimized) return 0;
  const int height = Height(r) - kSimFrameTop - kSimFrameBottom;
  return height > 0 ? height : 0;
}

unsigned SizeKind() {
  if (simWindow.minimized) return kSizeMinimized;
  return simWindow.maximized ? kSizeMaximized : kSizeRestored;
}

// Tells the window its client size changed from oldWidth x oldHeight, as
// DefWindowProc's WM_WINDOWPOSCHANGED does.
void NotifySize(int oldWidth, int oldHeight, bool stateChanged) {
  SimResizeSurface(SimClientWidth(), SimClientHeight());
  if (!simWindow.exists) return;
  if (stateChanged || SimClientWidth() != oldWidth || SimClientHeight() != oldHeight) {
    SendToWindow(kMessageSize, SizeKind(), PackPair(SimClientWidth(), SimClientHeight()));
  }
}

// Moves the window to rect in its present state and notifies it: WM_MOVE, then WM_SIZE.
void Place(const PixelRect& rect, bool stateChanged) {
  const PixelRect before = simWindow.rect;
  const int oldWidth = ClientWidthOf(before);
  const int oldHeight = ClientHeightOf(before);
  simWindow.rect = rect;
  if (!simWindow.minimized && !simWindow.maximized) simWindow.normalRect = rect;
  if (simWindow.exists && (before.left != rect.left || before.top != rect.top || stateChanged)) {
    SendToWindow(kMessageMove, 0, PackPair(rect.left + kSimFrameSide, rect.top + kSimFrameTop));
  }
  NotifySize(oldWidth, oldHeight, stateChanged);
}

PixelRect MaximizedRect() {
  const PixelRect& m = monitors.front();
  return PixelRect{m.left - kSimFrameSide, m.top - kSimFrameBottom, m.right + kSimFrameSide,
                   m.bottom + kSimFrameBottom};
}

// The rectangle the platform picks for CW_USEDEFAULT: cascaded, three quarters of the monitor.
PixelRect DefaultRect(int x, int y, int width, int height) {
  const PixelRect& m = monitors.front();
  if (x == kUseDefault) {
    x = m.left + 26;
    y = m.top + 26;
  }
  if (width == kUseDefault) {
    width = Width(m) * 3 / 4;
    height = Height(m) * 3 / 4;
  }
  return PixelRect{x, y, x + width, y + height};
}

}  // namespace

void SimResetWindow() {
  simWindow = SimWindowState{};
  queue.clear();
  timers.clear();
  quitPosted = false;
  quitCode = 0;
  checked.clear();
  enabled.clear();
  fileMenu = kFileMenu;
  drops.clear();
  mouseCaptured = false;
  SimResetSurface();
}

void SimResetDesktop() {
  detectsAtFirst = false;
  recentFilesAtFirst = false;
  monitors = {kDefaultMonitor};
  wheelScrollLines = kDefaultWheelScrollLines;
  desktopScale = 1;
  modulePath = kDefaultModulePath;
}

bool SimWindowPaintable() {
  return simWindow.exists && simWindow.shown && !simWindow.minimized;
}

void SimSetMonitors(const std::vector<PixelRect>& list) {
  monitors = list;
}

void SimSetWheelScrollLines(unsigned lines) {
  wheelScrollLines = lines;
}

unsigned WheelScrollLines() {
  return wheelScrollLines;
}

void SimSetDesktopScale(int scale) {
  desktopScale = scale;
}

int DesktopScale() {
  return desktopScale;
}

int SimClientWidth() {
  return ClientWidthOf(simWindow.rect);
}
int SimClientHeight() {
  return ClientHeightOf(simWindow.rect);
}

void SimMoveWindow(int x, int y) {
  if (simWindow.minimized || simWindow.maximized) return;
  const PixelRect& r = simWindow.rect;
  Place(PixelRect{x, y, x + Width(r), y + Height(r)}, false);
}

void SimResizeWindow(int width, int height) {
  if (simWindow.minimized || simWindow.maximized) return;
  const PixelRect& r = simWindow.rect;
  Place(PixelRect{r.left, r.top, r.left + width, r.top + height}, false);
}

void SimResizeClient(int width, int height) {
  const int bar = simWindow.scrollBar.visible ? kSimScrollBarWidth : 0;
  SimResizeWindow(width + 2 * kSimFrameSide + bar, height + kSimFrameTop + kSimFrameBottom);
}

void SimMinimize() {
  if (simWindow.minimized) return;
  simWindow.minimized = true;
  Place(PixelRect{-32000, -32000, -32000 + 160, -32000 + 28}, true);
}

void SimMaximize() {
  simWindow.minimized = false;
  simWindow.maximized = true;
  Place(MaximizedRect(), true);
}

void SimRestore() {
  simWindow.minimized = false;
  simWindow.maximized = false;
  Place(simWindow.normalRect, true);
}

void SimClose() {
  if (simWindow.exists) SendToWindow(kMessageClose, 0, 0);
}

void SimPressKey(unsigned key, unsigned modifiers) {
  if (simWindow.exists) queue.push_back(Posted{kMessageKeyDown, key, 0, modifiers});
}

bool KeyIsDown(unsigned key) {
  return (key == kKeyShift && (keysDown & kSimShift) != 0) ||
         (key == kKeyControl && (keysDown & kSimControl) != 0);
}

void SimTurnWheel(int delta, unsigned modifiers) {
  // The delta is the high word of wParam; the program asks KeyIsDown for the keys.
  if (simWindow.exists) {
    queue.push_back(
        Posted{kMessageMouseWheel, static_cast<MessageParam>(delta & 0xFFFF) << 16, 0, modifiers});
  }
}

namespace {

MessageData PointData(int x, int y) {
  return static_cast<MessageData>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                  static_cast<std::uint32_t>(x & 0xFFFF));
}

}  // namespace

void SimPressMouse(int x, int y, unsigned modifiers) {
  if (!simWindow.exists) return;
  const MessageParam held = kMouseLeftButton | ((modifiers & kSimShift) != 0 ? kMouseShift : 0);
  queue.push_back(Posted{kMessageLeftButtonDown, held, PointData(x, y), modifiers});
}

void SimDragMouse(int x, int y) {
  if (simWindow.exists)
    queue.push_back(Posted{kMessageMouseMove, kMouseLeftButton, PointData(x, y), 0});
}

void SimReleaseMouse(int x, int y) {
  if (simWindow.exists) queue.push_back(Posted{kMessageLeftButtonUp, 0, PointData(x, y), 0});
}

bool SimMouseCaptured() {
  return mouseCaptured;
}

void CaptureMouse() {
  mouseCaptured = true;
}

void ReleaseMouse() {
  mouseCaptured = false;
}

void SimChooseCommand(int command) {
  PostToWindow(kMessageCommand, static_cast<MessageParam>(command), 0);
}

void SimDropFiles(const std::vector<std::string>& names) {
  drops[nextDrop] = names;
  PostToWindow(kMessageDropFiles, nextDrop++, 0);
}

void SimPostMessage(unsigned message, MessageParam wParam, MessageData lParam) {
  PostToWindow(message, wParam, lParam);
}

MessageResult SimOpenPopup(int position, bool systemMenu) {
  return SendToWindow(kMessageInitMenuPopup, 0, PackPair(position, systemMenu ? 1 : 0));
}

void SimRunUntilIdle(bool withTimers) {
  for (int guard = 0; guard < 1000000; ++guard) {
    if (!queue.empty()) {
      const Posted next = queue.front();
      queue.pop_front();
      keysDown = next.keysDown;
      if (simWindow.exists) WindowProcedure(next.message, next.wParam, next.lParam);
      keysDown = 0;
      continue;
    }
    if (quitPosted) return;
    if (SimWindowPaintable() && SimInvalid()) {
      WindowProcedure(kMessagePaint, 0, 0);
      // A procedure that does not paint must not make the loop spin.
      SimValidateAll();
      continue;
    }
    // As on Windows, a timer's message comes when the queue is empty.
    if (withTimers && !timers.empty() && simWindow.exists) {
      WindowProcedure(kMessageTimer, *timers.begin(), 0);
      continue;
    }
    return;
  }
}

bool SimQuitPosted() {
  return quitPosted;
}
int SimQuitCode() {
  return quitCode;
}
int SimPendingMessages() {
  return static_cast<int>(queue.size());
}

std::vector<SimPosted> SimQueuedMessages() {
  std::vector<SimPosted> messages;
  for (const Posted& posted : queue) {
    messages.push_back(SimPosted{posted.message, posted.wParam, posted.lParam});
  }
  return messages;
}

bool SimMenuChecked(int command) {
  return checked[command];
}

bool SimMenuEnabled(int command) {
  auto it = enabled.find(command);
  return it == enabled.end() || it->second;
}

const std::vector<SimMenuItem>& SimFileMenu() {
  return fileMenu;
}

void SimSetRecentFilesAtFirst(bool keeps) {
  recentFilesAtFirst = keeps;
}

void SimSetModulePath(const std::string& path) {
  modulePath = path;
}

int SimUnfinishedDrops() {
  return static_cast<int>(drops.size());
}

bool RegisterMainClass(const char* className, const char* iconName, const char* menuName) {
  simWindow.classRegistered = true;
  simWindow.className = className;
  simWindow.iconName = iconName;
  simWindow.menuName = menuName;
  return true;
}

bool CreateMainWindow(const char* className, const char* caption, int x, int y, int width,
                      int height) {
  if (!simWindow.classRegistered || simWindow.className != className) return false;
  simWindow.caption = caption;
  simWindow.rect = DefaultRect(x, y, width, height);
  simWindow.normalRect = simWindow.rect;
  simWindow.exists = true;
  SimResizeSurface(SimClientWidth(), SimClientHeight());
  if (WindowProcedure(kMessageCreate, 0, 0) == -1) {
    simWindow.exists = false;
    return false;
  }
  return true;
}

void ShowMainWindow(int showCommand) {
  if (!simWindow.exists) return;
  const bool first = !simWindow.shown;
  if (first) simWindow.showCommand = showCommand;
  simWindow.shown = true;
  simWindow.minimized = showCommand == kShowMinimized;
  simWindow.maximized = showCommand == kShowMaximized;
  if (simWindow.maximized) {
    Place(MaximizedRect(), first);
  } else if (simWindow.minimized) {
    Place(PixelRect{-32000, -32000, -32000 + 160, -32000 + 28}, first);
  } else {
    Place(simWindow.normalRect, first);
  }
}

int RunMessageLoop() {
  SimRunUntilIdle();
  return quitCode;
}

void StartWindowTimer(unsigned id, unsigned) {
  if (simWindow.exists) timers.insert(id);
}

void StopWindowTimer(unsigned id) {
  timers.erase(id);
}

bool SimTimerRunning(unsigned id) {
  return timers.count(id) != 0;
}

void PostToWindow(unsigned message, MessageParam wParam, MessageData lParam) {
  if (simWindow.exists) queue.push_back(Posted{message, wParam, lParam});
}

MessageResult SendToWindow(unsigned message, MessageParam wParam, MessageData lParam) {
  if (!simWindow.exists) return 0;
  return WindowProcedure(message, wParam, lParam);
}

void PostQuit(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
}

MessageResult DefaultProcedure(unsigned message, MessageParam, MessageData) {
  if (message == kMessageClose && simWindow.exists) {
    WindowProcedure(kMessageDestroy, 0, 0);
    simWindow.exists = false;
    queue.clear();
  } else if (message == kMessagePaint) {
    SimValidateAll();
  }
  return 0;
}

void SetCaption(const char* text) {
  simWindow.caption = text;
}

bool WindowIsMinimized() {
  return simWindow.minimized;
}
bool WindowIsMaximized() {
  return simWindow.maximized;
}
PixelRect WindowRectangle() {
  return simWindow.rect;
}
PixelRect ClientRectangle() {
  return PixelRect{0, 0, SimClientWidth(), SimClientHeight()};
}

bool RectangleOnAnyMonitor(const PixelRect& rect) {
  for (const PixelRect& m : monitors) {
    if (rect.left < m.right && m.left < rect.right && rect.top < m.bottom && m.top < rect.bottom) {
      return true;
    }
  }
  return false;
}

std::uint32_t ModulePath(char* buffer, std::uint32_t size) {
  if (size == 0) return 0;
  // GetModuleFileNameA cuts a long path and then returns the buffer's size.
  const std::uint32_t length = static_cast<std::uint32_t>(modulePath.size());
  const std::uint32_t copied = length < size ? length : size - 1;
  modulePath.copy(buffer, copied);
  buffer[copied] = 0;
  return length < size ? length : size;
}

void CheckMenuCommand(int command, bool on) {
  checked[command] = on;
}

bool DetectsEncodingAtFirst() {
  return detectsAtFirst;
}

void SimSetDetectsAtFirst(bool detects) {
  detectsAtFirst = detects;
}

void CheckMenuRadio(int first, int last, int on) {
  for (int command = first; command <= last; ++command) checked[command] = command == on;
}

void EnableMenuCommand(int command, bool on) {
  enabled[command] = on;
}

bool KeepsRecentFilesAtFirst() {
  return recentFilesAtFirst;
}

int FileMenuPosition(int command) {
  for (std::size_t i = 0; i < fileMenu.size(); ++i) {
    if (fileMenu[i].command == command) return static_cast<int>(i);
  }
  return -1;
}

// InsertMenu and DeleteMenu fail for a position past the end, and so do these.
void InsertFileMenuItem(int position, int command, const char* text) {
  if (position < 0 || position > static_cast<int>(fileMenu.size())) return;
  fileMenu.insert(fileMenu.begin() + position,
                  text != nullptr ? SimMenuItem{command, text} : SimMenuItem{0, ""});
}

void DeleteFileMenuItem(int position) {
  if (position < 0 || position >= static_cast<int>(fileMenu.size())) return;
  fileMenu.erase(fileMenu.begin() + position);
}

void SetScrollBar(int maximum, int page, int position) {
  SimScrollBar& bar = simWindow.scrollBar;
  bar.maximum = maximum;
  bar.page = page;
  // The platform keeps the position within the range the page leaves.
  const int highest = page > 0 ? maximum - page + 1 : maximum;
  bar.position = position < 0 ? 0 : position > highest ? (highest > 0 ? highest : 0) : position;
  const bool visible = maximum > 0 && page <= maximum;
  if (visible == bar.visible) return;
  // Showing or hiding the bar changes the client width, with its WM_SIZE.
  const int oldWidth = SimClientWidth();
  const int oldHeight = SimClientHeight();
  bar.visible = visible;
  NotifySize(oldWidth, oldHeight, false);
}

void ShowHourglass() {
  simWindow.cursors.push_back('W');
}
void ShowArrow() {
  simWindow.cursors.push_back('A');
}

void AcceptDroppedFiles(bool accept) {
  simWindow.acceptsDrops = accept;
}

std::uint32_t DroppedFileName(DropHandle drop, std::uint32_t index, char* buffer,
                              std::uint32_t size) {
  auto it = drops.find(drop);
  if (it == drops.end() || index >= it->second.size()) return 0;
  const std::string& name = it->second[index];
  if (buffer != nullptr && size > 0) {
    const std::size_t copied = name.size() < size ? name.size() : size - 1;
    name.copy(buffer, copied);
    buffer[copied] = 0;
  }
  return static_cast<std::uint32_t>(name.size());
}

void FinishDrop(DropHandle drop) {
  drops.erase(drop);
}
