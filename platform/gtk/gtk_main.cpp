// The native program's entry point and its main window on GTK 3: creation,
// showing, the message loop with its queue of posted messages, sending, and
// what the logic asks about the window's placement.
#include "platform/gtk/gtk_main.h"
#include "platform/gtk/gtk_registry.h"

#include <unistd.h>

#include <algorithm>

#include <deque>
#include <map>
#include <string>

GtkWidget* mainWindow = nullptr;
GtkWidget* clientArea = nullptr;
GtkWidget* scrollBar = nullptr;
GtkWidget* menuBar = nullptr;

namespace {

// The size GTK gives a window for CW_USEDEFAULT, frame excluded.
constexpr int kDefaultWidth = 720;
constexpr int kDefaultHeight = 560;

struct Posted {
  unsigned message;
  MessageParam wParam;
  MessageData lParam;
  bool quit;  // PostQuit's entry: the loop ends when it comes up
};

// Posted messages in the order posted. One GLib source at default priority
// hands them out one at a time, ahead of GTK's layout and drawing, which
// run at lower priorities: a posted command runs before the next repaint.
std::deque<Posted> queue;
guint queueSource = 0;
int quitCode = 0;
bool quitting = false;

gboolean DispatchPosted(gpointer) {
  if (queue.empty()) {
    queueSource = 0;
    return G_SOURCE_REMOVE;
  }
  const Posted next = queue.front();
  queue.pop_front();
  if (next.quit) {
    quitCode = next.lParam;
    quitting = true;
    gtk_main_quit();
  } else {
    WindowProcedure(next.message, next.wParam, next.lParam);
  }
  if (!queue.empty()) return G_SOURCE_CONTINUE;
  queueSource = 0;
  return G_SOURCE_REMOVE;
}

void Enqueue(const Posted& posted) {
  // After the quit nothing more is dispatched, as after WM_QUIT.
  if (quitting) return;
  queue.push_back(posted);
  if (queueSource == 0)
    queueSource = g_idle_add_full(G_PRIORITY_DEFAULT, DispatchPosted, nullptr, nullptr);
}

}  // namespace

char* DisplayText(const char* text) {
  if (g_utf8_validate(text, -1, nullptr)) return g_strdup(text);
  return g_filename_display_name(text);
}

bool RegisterMainClass(const char*, const char*, const char*) {
  // GTK has no window classes: the window, its icon and menu are made at creation.
  return true;
}

bool CreateMainWindow(const char*, const char* caption, int x, int y, int width, int height) {
  mainWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  char* title = DisplayText(caption);
  gtk_window_set_title(GTK_WINDOW(mainWindow), title);
  g_free(title);
  if (GdkPixbuf* icon = ProgramIcon()) {
    gtk_window_set_icon(GTK_WINDOW(mainWindow), icon);
    g_object_unref(icon);
  }
  if (x != kUseDefault) gtk_window_move(GTK_WINDOW(mainWindow), x, y);
  const bool sized = width != kUseDefault && width > 0 && height > 0;
  gtk_window_set_default_size(GTK_WINDOW(mainWindow), sized ? width : kDefaultWidth,
                              sized ? height : kDefaultHeight);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  menuBar = BuildMenuBar();
  clientArea = gtk_drawing_area_new();
  // Small sizes are the user's to choose, as on Win32.
  gtk_widget_set_size_request(clientArea, 1, 1);
  gtk_widget_set_hexpand(clientArea, TRUE);
  gtk_widget_set_vexpand(clientArea, TRUE);
  gtk_widget_set_can_focus(clientArea, TRUE);
  scrollBar = gtk_scrollbar_new(GTK_ORIENTATION_VERTICAL, nullptr);
  gtk_box_pack_start(GTK_BOX(row), clientArea, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(row), scrollBar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), menuBar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), row, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(mainWindow), column);
  gtk_widget_show_all(column);
  ConnectWindowSignals();
  // The client area is an X window of its own, so that its pixels can be
  // told apart from the frame's (the tests take screenshots of it).
  gtk_widget_realize(clientArea);
  gdk_window_ensure_native(gtk_widget_get_window(clientArea));
  WindowProcedure(kMessageCreate, 0, 0);
  windowCreated = true;
  return true;
}

void ShowMainWindow(int showCommand) {
  if (mainWindow == nullptr) return;
  if (showCommand == kShowMaximized) gtk_window_maximize(GTK_WINDOW(mainWindow));
  if (showCommand == kShowMinimized) gtk_window_iconify(GTK_WINDOW(mainWindow));
  // Showing lays the window out at once, so the first size notification
  // arrives before ShowMainWindow returns, as ShowWindow's does.
  gtk_widget_show(mainWindow);
  SendSizeNotification();
  gtk_widget_grab_focus(clientArea);
}

int RunMessageLoop() {
  if (!quitting) gtk_main();
  if (mainWindow != nullptr) {
    gtk_widget_destroy(mainWindow);
    mainWindow = nullptr;
  }
  return quitCode;
}

namespace {

std::map<unsigned, guint> timerSources;  // by the caller's timer id

// Below GTK's drawing and input, as WM_TIMER comes after them.
gboolean OnTimer(gpointer id) {
  WindowProcedure(kMessageTimer, GPOINTER_TO_UINT(id), 0);
  return G_SOURCE_CONTINUE;
}

}  // namespace

void StartWindowTimer(unsigned id, unsigned milliseconds) {
  if (mainWindow == nullptr || timerSources.count(id) != 0) return;
  timerSources[id] =
      g_timeout_add_full(G_PRIORITY_LOW, milliseconds, OnTimer, GUINT_TO_POINTER(id), nullptr);
}

void StopWindowTimer(unsigned id) {
  const auto found = timerSources.find(id);
  if (found == timerSources.end()) return;
  g_source_remove(found->second);
  timerSources.erase(found);
}

void PostToWindow(unsigned message, MessageParam wParam, MessageData lParam) {
  if (mainWindow != nullptr) Enqueue(Posted{message, wParam, lParam, false});
}

MessageResult SendToWindow(unsigned message, MessageParam wParam, MessageData lParam) {
  return WindowProcedure(message, wParam, lParam);
}

void PostQuit(int exitCode) {
  Enqueue(Posted{0, 0, exitCode, true});
}

MessageResult DefaultProcedure(unsigned message, MessageParam, MessageData) {
  // Closing the window destroys it, which is where the destroy handling runs.
  if (message == kMessageClose) SendToWindow(kMessageDestroy, 0, 0);
  return 0;
}

void SetCaption(const char* text) {
  char* title = DisplayText(text);
  gtk_window_set_title(GTK_WINDOW(mainWindow), title);
  g_free(title);
}

namespace {

GdkWindowState WindowState() {
  GdkWindow* window = mainWindow ? gtk_widget_get_window(mainWindow) : nullptr;
  return window ? gdk_window_get_state(window) : static_cast<GdkWindowState>(0);
}

}  // namespace

bool WindowIsMinimized() {
  return (WindowState() & GDK_WINDOW_STATE_ICONIFIED) != 0;
}

bool WindowIsMaximized() {
  return (WindowState() & GDK_WINDOW_STATE_MAXIMIZED) != 0;
}

// The window's position and its size as gtk_window_move and
// gtk_window_set_default_size take them back at the next start.
PixelRect WindowRectangle() {
  int x = 0, y = 0, width = 0, height = 0;
  gtk_window_get_position(GTK_WINDOW(mainWindow), &x, &y);
  gtk_window_get_size(GTK_WINDOW(mainWindow), &width, &height);
  return PixelRect{x, y, x + width, y + height};
}

int ClientScale() {
  return clientArea == nullptr ? 1 : std::max(gtk_widget_get_scale_factor(clientArea), 1);
}

PixelRect ClientRectangle() {
  if (clientArea == nullptr) return PixelRect{0, 0, 0, 0};
  const int scale = ClientScale();
  return PixelRect{0, 0, gtk_widget_get_allocated_width(clientArea) * scale,
                   gtk_widget_get_allocated_height(clientArea) * scale};
}

bool RectangleOnAnyMonitor(const PixelRect& rect) {
  GdkDisplay* display = gdk_display_get_default();
  const GdkRectangle area{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkRectangle monitor;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &monitor);
    if (gdk_rectangle_intersect(&area, &monitor, nullptr)) return true;
  }
  return false;
}

std::uint32_t ModulePath(char* buffer, std::uint32_t size) {
  if (size == 0) return 0;
  const ssize_t length = readlink("/proc/self/exe", buffer, size);
  if (length <= 0) {
    buffer[0] = 0;
    return 0;
  }
  // As GetModuleFileNameA: a cut path ends in a zero and returns the buffer's size.
  if (static_cast<std::uint32_t>(length) >= size) {
    buffer[size - 1] = 0;
    return size;
  }
  buffer[length] = 0;
  return static_cast<std::uint32_t>(length);
}

unsigned WheelScrollLines() {
  return 3;
}

int DesktopScale() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return 1;
  GdkWindow* window = mainWindow ? gtk_widget_get_window(mainWindow) : nullptr;
  GdkMonitor* monitor = window ? gdk_display_get_monitor_at_window(display, window)
                               : gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) {
    monitor = gdk_display_get_monitor(display, 0);
  }
  const int scale = monitor ? gdk_monitor_get_scale_factor(monitor) : 1;
  return std::min(std::max(scale, 1), 4);
}

// The command line as Windows gives it: the program's name, then the
// arguments joined by blanks, which start-up takes whole as one file name.
int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  std::string commandLine = "tavelo";
  for (int i = 1; i < argc; ++i) commandLine.append(" ").append(argv[i]);
  const int code = StartUp(commandLine.c_str());
  SaveSettingsFile();
  return code;
}
