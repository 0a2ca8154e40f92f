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
  if (window != nullptr) gdk_window_scroll(window, 0, dy);
}

void InvalidateClient() {
  gtk_widget_queue_draw(clientArea);
}

namespace {

// A paint draws into a page in the program's memory, which goes to the
// window at its end: a cell copied straight to the window would travel to
// the X server on its own, thousands a page. The page is the client area's
// size and kept from paint to paint.
struct PagePaint {
  cairo_t* window = nullptr;
  cairo_surface_t* page = nullptr;  // client pixels at their own coordinates
  PixelRect area{0, 0, 0, 0};       // what this paint updates
};
PagePaint paint;

constexpr int kBandRows = 8;  // rows of the page sent to the window at a time

std::uint32_t* PageRow(int y) {
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(paint.page) +
                                          static_cast<std::size_t>(y) *
                                              cairo_image_surface_get_stride(paint.page));
}

}  // namespace

PaintTarget BeginWindowPaint(PixelRect* update) {
  auto* cr = static_cast<cairo_t*>(g_object_get_data(G_OBJECT(clientArea), "cairo"));
  GdkRectangle clip{0, 0, 0, 0};
  if (cr == nullptr || !gdk_cairo_get_clip_rectangle(cr, &clip) || clip.width <= 0 ||
      clip.height <= 0) {
    *update = PixelRect{0, 0, 0, 0};
    return 0;
  }
  *update = PixelRect{clip.x, clip.y, clip.x + clip.width, clip.y + clip.height};
  const int width = gtk_widget_get_allocated_width(clientArea);
  const int height = gtk_widget_get_allocated_height(clientArea);
  if (paint.page == nullptr || cairo_image_surface_get_width(paint.page) < update->right ||
      cairo_image_surface_get_height(paint.page) < update->bottom) {
    if (paint.page != nullptr) cairo_surface_destroy(paint.page);
    paint.page = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(width, update->right),
                                            std::max(height, update->bottom));
  }
  paint.window = cr;
  paint.area = *update;
  // The white background brush's erase.
  cairo_surface_flush(paint.page);
  for (int y = update->top; y < update->bottom; ++y) {
    std::fill(PageRow(y) + update->left, PageRow(y) + update->right,
              0x00FFFFFFu);  // paper, as in the atlas
  }
  return FromPointer(&paint);
}

void EndWindowPaint(PaintTarget target) {
  auto* p = AsPointer<PagePaint>(target);
  if (p == nullptr || p->window == nullptr) return;
  cairo_surface_mark_dirty(p->page);
  cairo_save(p->window);
  cairo_set_operator(p->window, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(p->window, p->page, 0, 0);
  // In bands: an upload the size of the page went through cairo's shared
  // memory path and arrived black on the virtual X server, a band's arrives.
  for (int top = p->area.top; top < p->area.bottom; top += kBandRows) {
    cairo_rectangle(p->window, p->area.left, top, p->area.right - p->area.left,
                    std::min(kBandRows, p->area.bottom - top));
    cairo_fill(p->window);
  }
  cairo_restore(p->window);
  p->window = nullptr;
}

CellSource SelectAtlas(PaintTarget, BitmapHandle atlas) {
  cairo_surface_t* cells = BitmapSurface(atlas);
  if (cells != nullptr) cairo_surface_flush(cells);
  return FromPointer(cells);
}

// A plain copy of the cell's pixels, row by row, within the page.
void CopyCell(PaintTarget target, CellSource source, int x, int y, int sourceX, int sourceY,
              int width, int height) {
  auto* p = AsPointer<PagePaint>(target);
  auto* cells = AsPointer<cairo_surface_t>(source);
  if (p == nullptr || p->window == nullptr || cells == nullptr) return;
  const int left = std::max(x, p->area.left), right = std::min(x + width, p->area.right);
  const int top = std::max(y, p->area.top), bottom = std::min(y + height, p->area.bottom);
  if (left >= right || top >= bottom) return;
  const int fromStride = cairo_image_surface_get_stride(cells);
  const std::uint8_t* from = cairo_image_surface_get_data(cells);
  for (int row = top; row < bottom; ++row) {
    std::memcpy(PageRow(row) + left,
                from + static_cast<std::size_t>(sourceY + row - y) * fromStride +
                    static_cast<std::size_t>(sourceX + left - x) * 4,
                static_cast<std::size_t>(right - left) * 4);
  }
}

void ReleaseAtlas(CellSource) {}

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
