// The program's bitmap resources on GTK: the 1-bit .bmp files carried in the
// binary as GResources, read as LoadBitmapA would read them.
#include <strings.h>

#include <algorithm>
#include <cstring>

#include "platform/gtk/gtk_main.h"

namespace {

constexpr char kResourceFolder[] = "/tavelo/";

struct Bitmap {
  GBytes* file;              // the whole .bmp file, as embedded
  const std::uint8_t* bits;  // its pixel rows, bottom-up, 1 = white
  int width;
  int height;
  int rowBytes;              // each row padded to 4 bytes
  cairo_surface_t* surface;  // the same pixels for painting, or null until asked for
  cairo_surface_t* server;   // and kept in the X server, or null until asked for
};

std::uint32_t LittleEndian(const std::uint8_t* bytes, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// The resource's path, its name compared without regard to case as Win32 does.
char* ResourcePath(const char* name) {
  char** names =
      g_resources_enumerate_children(kResourceFolder, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  char* path = nullptr;
  for (char** n = names; n != nullptr && *n != nullptr && path == nullptr; ++n) {
    if (strcasecmp(*n, name) == 0) path = g_strconcat(kResourceFolder, *n, nullptr);
  }
  g_strfreev(names);
  return path;
}

}  // namespace

BitmapHandle LoadBitmapResource(const char* name) {
  char* path = ResourcePath(name);
  if (path == nullptr) return 0;
  GBytes* file = g_resources_lookup_data(path, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  g_free(path);
  if (file == nullptr) return 0;
  gsize size = 0;
  const auto* bytes = static_cast<const std::uint8_t*>(g_bytes_get_data(file, &size));
  const std::uint32_t pixelsAt = size >= 62 ? LittleEndian(bytes + 10, 4) : 0;
  const int width = size >= 62 ? static_cast<int>(LittleEndian(bytes + 18, 4)) : 0;
  const int height = size >= 62 ? static_cast<int>(LittleEndian(bytes + 22, 4)) : 0;
  const int rowBytes = (width + 31) / 32 * 4;
  if (size < 62 || bytes[0] != 'B' || bytes[1] != 'M' || LittleEndian(bytes + 28, 2) != 1 ||
      width <= 0 || height <= 0 ||
      pixelsAt + static_cast<gsize>(rowBytes) * static_cast<gsize>(height) > size) {
    g_bytes_unref(file);
    return 0;
  }
  return FromPointer(new Bitmap{file, bytes + pixelsAt, width, height, rowBytes, nullptr, nullptr});
}

void CopyBitmapPixels(BitmapHandle handle, int width, int height, void* pixels) {
  const Bitmap* bitmap = AsPointer<Bitmap>(handle);
  if (bitmap == nullptr || bitmap->width != width || bitmap->height < height) return;
  std::memcpy(pixels, bitmap->bits, static_cast<std::size_t>(bitmap->rowBytes) * height);
}

void DeleteBitmap(BitmapHandle handle) {
  Bitmap* bitmap = AsPointer<Bitmap>(handle);
  if (bitmap == nullptr) return;
  if (bitmap->surface != nullptr) cairo_surface_destroy(bitmap->surface);
  if (bitmap->server != nullptr) cairo_surface_destroy(bitmap->server);
  g_bytes_unref(bitmap->file);
  delete bitmap;
}

cairo_surface_t* BitmapSurface(BitmapHandle handle) {
  Bitmap* bitmap = AsPointer<Bitmap>(handle);
  if (bitmap == nullptr) return nullptr;
  if (bitmap->surface != nullptr) return bitmap->surface;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmap->width, bitmap->height);
  const int stride = cairo_image_surface_get_stride(surface);
  std::uint8_t* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < bitmap->height; ++y) {
    const std::uint8_t* row =
        bitmap->bits + static_cast<std::size_t>(bitmap->height - 1 - y) * bitmap->rowBytes;
    auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < bitmap->width; ++x) {
      const bool paper = (row[x / 8] >> (7 - x % 8)) & 1;
      out[x] = paper ? 0xFFFFFFu : 0x000000u;
    }
  }
  cairo_surface_mark_dirty(surface);
  bitmap->surface = surface;
  return surface;
}

cairo_surface_t* ServerSurface(BitmapHandle handle, GdkWindow* window) {
  Bitmap* bitmap = AsPointer<Bitmap>(handle);
  if (bitmap == nullptr || window == nullptr) return nullptr;
  if (bitmap->server != nullptr) return bitmap->server;
  cairo_surface_t* image = BitmapSurface(handle);
  cairo_surface_t* server =
      gdk_window_create_similar_surface(window, CAIRO_CONTENT_COLOR, bitmap->width, bitmap->height);
  // Under GDK_SCALE the surface comes scaled; its pixels are to be the atlas's own.
  cairo_surface_set_device_scale(server, 1, 1);
  cairo_t* cr = cairo_create(server);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image, 0, 0);
  // In bands: an upload of the whole bitmap at once went through cairo's
  // shared memory path and arrived black on the virtual X server.
  constexpr int kBandRows = 8;
  for (int top = 0; top < bitmap->height; top += kBandRows) {
    cairo_rectangle(cr, 0, top, bitmap->width, std::min(kBandRows, bitmap->height - top));
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  bitmap->server = server;
  return server;
}

GdkPixbuf* ProgramIcon() {
  return gdk_pixbuf_new_from_resource("/tavelo/TheIcon", nullptr);
}
