// The client area on GTK: the vertical scroll bar, scrolling, invalidation,
// the cursor, and the bracketed paint that copies glyph cells out of the
// atlas pixel for pixel through cairo.
#include "platform/gtk/gtk_main.h"

#include <algorithm>
#include <cstring>

bool painting = false;

void SetScrollBar(int maximum, int page, int position) {
  GtkAdjustment* adjustment = gtk_range_get_adjustment(GTK_RANGE(scrollBar));
  // SCROLLINFO's range is inclusive; GTK's upper bound is not.
  const double upper = maximum < 0 ? 0 : maximum + 1;
  gtk_adjustment_configure(adjustment, position, 0, upper, 1, page > 0 ? page : 1, page);
  // Where Win32 would hide the bar, it stays in its place, grayed, so the
  // client area keeps its width.
  gtk_widget_set_sensitive(scrollBar, page <= maximum);
}

void ScrollClient(int dy) {
  GdkWindow* window = gtk_widget_get_window(clientArea);
  if (window == nullptr) return;
  // GTK scrolls in its own unit; a move that is not whole in it repaints.
  const int scale = ClientScale();
  if (dy % scale == 0) {
    gdk_window_scroll(window, 0, dy / scale);
  } else {
    InvalidateClient();
  }
}

void InvalidateClient() {
  gtk_widget_queue_draw(clientArea);
}

PaintTarget BeginWindowPaint(PixelRect* update) {
  auto* cr = static_cast<cairo_t*>(g_object_get_data(G_OBJECT(clientArea), "cairo"));
  // Drawn in device pixels, so that GTK's own scale neither enlarges nor smooths the cells.
  const int scale = ClientScale();
  if (cr != nullptr && scale != 1) cairo_scale(cr, 1.0 / scale, 1.0 / scale);
  GdkRectangle clip{0, 0, 0, 0};
  if (cr == nullptr || !gdk_cairo_get_clip_rectangle(cr, &clip)) {
    *update = PixelRect{0, 0, 0, 0};
    return FromPointer(cr);
  }
  *update = PixelRect{clip.x, clip.y, clip.x + clip.width, clip.y + clip.height};
  // The white background brush's erase.
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  return FromPointer(cr);
}

void EndWindowPaint(PaintTarget) {}

// The atlas as the X server keeps it: each cell is then copied there, and
// only the request travels.
CellSource SelectAtlas(PaintTarget, BitmapHandle atlas) {
  return FromPointer(ServerSurface(atlas, gtk_widget_get_window(clientArea)));
}

// A plain copy of the cell's pixels, each a zoom x zoom square: the nearest
// filter keeps the glyphs sharp, no blending.
void CopyCell(PaintTarget target, CellSource source, int x, int y, int sourceX, int sourceY,
              int width, int height, int zoom) {
  auto* cr = AsPointer<cairo_t>(target);
  auto* cells = AsPointer<cairo_surface_t>(source);
  if (cr == nullptr || cells == nullptr) return;
  if (zoom <= 1) {
    cairo_set_source_surface(cr, cells, x - sourceX, y - sourceY);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
    return;
  }
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, zoom, zoom);
  cairo_set_source_surface(cr, cells, -sourceX, -sourceY);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_fill(cr);
  cairo_restore(cr);
}

void ReleaseAtlas(CellSource) {}

// White's difference with each pixel is its inverse, as InvertRect's is.
void InvertPixels(PaintTarget target, const PixelRect& rect) {
  auto* cr = AsPointer<cairo_t>(target);
  if (cr == nullptr) return;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  cairo_fill(cr);
  cairo_restore(cr);
}

namespace {

void SetCursorNamed(const char* name) {
  GdkWindow* window = mainWindow ? gtk_widget_get_window(mainWindow) : nullptr;
  if (window == nullptr) return;
  GdkCursor* cursor =
      name ? gdk_cursor_new_from_name(gdk_window_get_display(window), name) : nullptr;
  gdk_window_set_cursor(window, cursor);
  if (cursor != nullptr) g_object_unref(cursor);
  // The work that follows keeps the loop from running: show the cursor now.
  gdk_display_flush(gdk_window_get_display(window));
}

}  // namespace

void ShowHourglass() {
  SetCursorNamed("wait");
}

void ShowArrow() {
  SetCursorNamed(nullptr);
}
