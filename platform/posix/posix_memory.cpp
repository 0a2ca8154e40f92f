// Fixed memory blocks and the bitmap resources on POSIX. The bitmaps are the
// very .bmp files that tavelo.rc puts into tavelo.exe, carried inside the
// tools (see embed_resources.cmake), so the tools need no file beside them.
#include <strings.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"

extern const unsigned char kFontBitmapFile[];
extern const std::size_t kFontBitmapFileSize;
extern const unsigned char kGlyphsBitmapFile[];
extern const std::size_t kGlyphsBitmapFileSize;
extern const unsigned char kCodeBitmapFile[];
extern const std::size_t kCodeBitmapFileSize;

namespace {

std::uint32_t LittleEndian(const unsigned char* bytes, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

}  // namespace

BlockHandle AllocateFixedBlock(std::uint32_t size) {
  return reinterpret_cast<BlockHandle>(std::malloc(size == 0 ? 1 : size));
}

std::uint8_t* LockFixedBlock(BlockHandle block) {
  return reinterpret_cast<std::uint8_t*>(block);
}

void FreeFixedBlock(BlockHandle block) {
  std::free(reinterpret_cast<void*>(block));
}

// By the resource's name without regard to case, as LoadBitmapA finds it.
BitmapHandle LoadBitmapResource(const char* name) {
  const unsigned char* file;
  std::size_t size;
  if (strcasecmp(name, "Font") == 0) {
    file = kFontBitmapFile;
    size = kFontBitmapFileSize;
  } else if (strcasecmp(name, "Glyphs") == 0) {
    file = kGlyphsBitmapFile;
    size = kGlyphsBitmapFileSize;
  } else if (strcasecmp(name, "Code") == 0) {
    file = kCodeBitmapFile;
    size = kCodeBitmapFileSize;
  } else {
    return 0;
  }
  if (size < 62 || file[0] != 'B' || file[1] != 'M') return 0;
  Bitmap* bitmap = new Bitmap;
  const std::uint32_t pixelsAt = LittleEndian(file + 10, 4);
  bitmap->width = static_cast<int>(LittleEndian(file + 18, 4));
  bitmap->height = static_cast<int>(LittleEndian(file + 22, 4));
  bitmap->rowBytes = (bitmap->width + 31) / 32 * 4;
  const std::size_t bytes = static_cast<std::size_t>(bitmap->rowBytes) * bitmap->height;
  if (LittleEndian(file + 28, 2) != 1 || bitmap->width <= 0 || bitmap->height <= 0 ||
      pixelsAt + bytes > size) {
    delete bitmap;
    return 0;
  }
  bitmap->pixels.assign(file + pixelsAt, file + pixelsAt + bytes);
  return reinterpret_cast<BitmapHandle>(bitmap);
}

void CopyBitmapPixels(BitmapHandle handle, int width, int height, void* pixels) {
  const Bitmap* bitmap = reinterpret_cast<const Bitmap*>(handle);
  if (bitmap == nullptr || bitmap->width != width || bitmap->height < height) return;
  std::memcpy(pixels, bitmap->pixels.data(), static_cast<std::size_t>(bitmap->rowBytes) * height);
}

void DeleteBitmap(BitmapHandle bitmap) {
  delete reinterpret_cast<Bitmap*>(bitmap);
}
