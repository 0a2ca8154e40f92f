// What happens to the GTK window, turned into the messages Win32 would
// deliver: closing, moving, sizing, the six keys, the wheel, the scroll bar
// and painting.
#include "platform/gtk/gtk_main.h"

namespace {

MessageData PackPair(int low, int high) {
  return static_cast<MessageData>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                                  static_cast<std::uint32_t>(low & 0xFFFF));
}

struct SizeSent {
  unsigned kind;
  int width;
  int height;
};
SizeSent lastSize{~0u, -1, -1};
int lastX = G_MININT;
int lastY = G_MININT;
double wheelRest = 0;  // smooth scrolling below a whole delta unit, carried to the next event

unsigned SizeKind() {
  if (WindowIsMinimized()) return kSizeMinimized;
  if (WindowIsMaximized()) return kSizeMaximized;
  return kSizeRestored;
}

}  // namespace

bool windowCreated = false;

void SendSizeNotification() {
  if (!windowCreated) return;
  const PixelRect client = ClientRectangle();
  const SizeSent now{SizeKind(), client.right, client.bottom};
  if (now.kind == lastSize.kind && now.width == lastSize.width && now.height == lastSize.height) {
    return;
  }
  lastSize = now;
  SendToWindow(kMessageSize, now.kind, PackPair(now.width, now.height));
}

namespace {

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
  SendToWindow(kMessageClose, 0, 0);
  return TRUE;  // the loop's end destroys the widgets
}

gboolean OnConfigure(GtkWidget*, GdkEventConfigure*, gpointer) {
  int x = 0, y = 0;
  gtk_window_get_position(GTK_WINDOW(mainWindow), &x, &y);
  if (windowCreated && (x != lastX || y != lastY)) {
    lastX = x;
    lastY = y;
    SendToWindow(kMessageMove, 0, PackPair(x, y));
  }
  return FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState*, gpointer) {
  SendSizeNotification();
  return FALSE;
}

void OnClientAllocated(GtkWidget*, GdkRectangle*, gpointer) {
  SendSizeNotification();
}

// The six keys by their virtual-key codes; the keypad's count the same.
// Shift and Ctrl as the event being handled had them.
struct ModifierState {
  bool shift;
  bool control;
};
ModifierState modifiers{false, false};

unsigned VirtualKey(guint key) {
  switch (key) {
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up: return kKeyPageUp;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down: return kKeyPageDown;
    case GDK_KEY_End:
    case GDK_KEY_KP_End: return kKeyEnd;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home: return kKeyHome;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up: return kKeyUp;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: return kKeyDown;
    case GDK_KEY_space: return kKeySpace;
    case GDK_KEY_F3: return kKeyF3;
    case GDK_KEY_plus:
    case GDK_KEY_equal: return kKeyOemPlus;
    case GDK_KEY_KP_Add: return kKeyAdd;
    case GDK_KEY_minus:
    case GDK_KEY_underscore: return kKeyOemMinus;
    case GDK_KEY_KP_Subtract: return kKeySubtract;
    default: break;
  }
  const guint upper = gdk_keyval_to_upper(key);
  if ((upper >= GDK_KEY_A && upper <= GDK_KEY_Z) || (upper >= GDK_KEY_0 && upper <= GDK_KEY_9)) {
    return upper;  // Latin-1 keyvals are the characters, as VK_A..VK_Z and VK_0..VK_9 are
  }
  return 0;
}

// Alt and its keys are the menu bar's mnemonics; the rest go to the window,
// with Shift and Ctrl as KeyIsDown reports them.
gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer) {
  const unsigned key = VirtualKey(event->keyval);
  if (key == 0 || (event->state & GDK_MOD1_MASK) != 0) return FALSE;
  const ModifierState saved = modifiers;
  modifiers =
      ModifierState{(event->state & GDK_SHIFT_MASK) != 0, (event->state & GDK_CONTROL_MASK) != 0};
  SendToWindow(kMessageKeyDown, key, 0);
  modifiers = saved;
  return TRUE;
}

// WM_MOUSEWHEEL: the signed delta in the high word of wParam, positive away
// from the user, 120 a notch; smooth scrolling in fractions of a notch.
gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer) {
  int delta = 0;
  if (event->direction == GDK_SCROLL_UP) {
    delta = kWheelDelta;
  } else if (event->direction == GDK_SCROLL_DOWN) {
    delta = -kWheelDelta;
  } else if (event->direction == GDK_SCROLL_SMOOTH) {
    const double units = -event->delta_y * kWheelDelta + wheelRest;
    delta = static_cast<int>(units);
    wheelRest = units - delta;
  }
  if (delta == 0) return TRUE;
  const auto high = static_cast<std::uint32_t>(delta & 0xFFFF) << 16;
  // Ctrl with the wheel zooms: KeyIsDown answers for this event.
  const ModifierState saved = modifiers;
  modifiers =
      ModifierState{(event->state & GDK_SHIFT_MASK) != 0, (event->state & GDK_CONTROL_MASK) != 0};
  SendToWindow(kMessageMouseWheel, high,
               PackPair(static_cast<int>(event->x_root), static_cast<int>(event->y_root)));
  modifiers = saved;
  return TRUE;
}

// The scroll bar's moves as the scroll codes Win32's scroll bar sends.
gboolean OnScrollBarChange(GtkRange*, GtkScrollType scroll, double value, gpointer) {
  int code;
  switch (scroll) {
    case GTK_SCROLL_STEP_BACKWARD:
    case GTK_SCROLL_STEP_UP: code = kScrollLineUp; break;
    case GTK_SCROLL_STEP_FORWARD:
    case GTK_SCROLL_STEP_DOWN: code = kScrollLineDown; break;
    case GTK_SCROLL_PAGE_BACKWARD:
    case GTK_SCROLL_PAGE_UP: code = kScrollPageUp; break;
    case GTK_SCROLL_PAGE_FORWARD:
    case GTK_SCROLL_PAGE_DOWN: code = kScrollPageDown; break;
    case GTK_SCROLL_START: code = kScrollTop; break;
    case GTK_SCROLL_END: code = kScrollBottom; break;
    default: code = kScrollThumbTrack; break;
  }
  // The logic moves the view and sets the bar; GTK must not move it itself.
  const int position = value < 0 ? 0 : static_cast<int>(value + 0.5);
  SendToWindow(kMessageVScroll, static_cast<MessageParam>(PackPair(code, position)), 0);
  return TRUE;
}

// The left button's press, moves and release, as WM_LBUTTONDOWN,
// WM_MOUSEMOVE and WM_LBUTTONUP in device pixels. GTK grabs the pointer while
// a button is held, so a drag out of the window keeps coming here.
MessageData PointerData(double x, double y) {
  const int scale = ClientScale();
  return PackPair(static_cast<int>(x * scale), static_cast<int>(y * scale));
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer) {
  if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS) return FALSE;
  const MessageParam held = kMouseLeftButton | ((event->state & GDK_SHIFT_MASK) ? kMouseShift : 0);
  SendToWindow(kMessageLeftButtonDown, held, PointerData(event->x, event->y));
  return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer) {
  if ((event->state & GDK_BUTTON1_MASK) == 0) return FALSE;
  SendToWindow(kMessageMouseMove, kMouseLeftButton, PointerData(event->x, event->y));
  return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer) {
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  SendToWindow(kMessageLeftButtonUp, 0, PointerData(event->x, event->y));
  return TRUE;
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer) {
  g_object_set_data(G_OBJECT(clientArea), "cairo", cr);
  painting = true;
  SendToWindow(kMessagePaint, 0, 0);
  painting = false;
  g_object_set_data(G_OBJECT(clientArea), "cairo", nullptr);
  return TRUE;
}

}  // namespace

void ConnectWindowSignals() {
  g_signal_connect(mainWindow, "delete-event", G_CALLBACK(OnDelete), nullptr);
  g_signal_connect(mainWindow, "configure-event", G_CALLBACK(OnConfigure), nullptr);
  g_signal_connect(mainWindow, "window-state-event", G_CALLBACK(OnWindowState), nullptr);
  g_signal_connect(mainWindow, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
  g_signal_connect(clientArea, "size-allocate", G_CALLBACK(OnClientAllocated), nullptr);
  g_signal_connect(clientArea, "draw", G_CALLBACK(OnDraw), nullptr);
  gtk_widget_add_events(clientArea, GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK |
                                        GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_BUTTON1_MOTION_MASK);
  g_signal_connect(clientArea, "button-press-event", G_CALLBACK(OnButtonPress), nullptr);
  g_signal_connect(clientArea, "motion-notify-event", G_CALLBACK(OnMotion), nullptr);
  g_signal_connect(clientArea, "button-release-event", G_CALLBACK(OnButtonRelease), nullptr);
  g_signal_connect(clientArea, "scroll-event", G_CALLBACK(OnScroll), nullptr);
  g_signal_connect(scrollBar, "scroll-event", G_CALLBACK(OnScroll), nullptr);
  g_signal_connect(scrollBar, "change-value", G_CALLBACK(OnScrollBarChange), nullptr);
}

// GTK grabs the pointer for the window that a button went down in.
void CaptureMouse() {}
void ReleaseMouse() {}

bool KeyIsDown(unsigned key) {
  if (key == kKeyShift) return modifiers.shift;
  if (key == kKeyControl) return modifiers.control;
  return false;
}
