// What the GTK side's files share: the main window's widgets, the queue of
// posted messages and the conversions between handles and pointers.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

#include "platform/platform.h"

extern GtkWidget* mainWindow;  // the toplevel; null until CreateMainWindow
extern GtkWidget* clientArea;  // the drawing area that is the client area
extern GtkWidget* scrollBar;   // the vertical scroll bar right of it
extern GtkWidget* menuBar;

// True while the client area's draw handler runs (a paint is in progress).
extern bool painting;

// Seam handles are the platform's pointers, as on Win32.
template <typename T>
std::uintptr_t FromPointer(T* pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}
template <typename T>
T* AsPointer(std::uintptr_t handle) {
  return reinterpret_cast<T*>(handle);
}

// Text for GTK, which takes UTF-8 only: other bytes come out as the locale's
// file names would be shown. The caller g_free()s it.
char* DisplayText(const char* text);

// Builds the menu bar from the menu definition; activating an item posts its command.
GtkWidget* BuildMenuBar();

// Connects the window's and client area's signals to the window procedure.
void ConnectWindowSignals();

// Sends WM_SIZE when the window's state or the client's size has changed
// since the last one; none before WM_CREATE has run, as on Win32.
void SendSizeNotification();
// Device pixels to GTK's unit in the client area (GDK_SCALE): the logic
// counts in device pixels, so that its zoom alone scales the glyphs.
int ClientScale();
extern bool windowCreated;

// The bitmap as a cairo image, black on white, made on first use.
cairo_surface_t* BitmapSurface(BitmapHandle bitmap);
// Whether the program has the file open (gtk_files.cpp): the open document,
// which the commands refuse to write over.
bool HeldByProgram(const char* name);
// The program's icon, the resource "TheIcon" (gtk_bitmaps.cpp); the caller
// unreferences it. Null when it cannot be read.
GdkPixbuf* ProgramIcon();
// The bitmap's pixels copied into the X server beside window, so that cells
// are copied there; made at the first call.
cairo_surface_t* ServerSurface(BitmapHandle bitmap, GdkWindow* window);
