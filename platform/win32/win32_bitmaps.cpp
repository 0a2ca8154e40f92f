// The program's bitmap resources on Win32: the glyph atlas, which is copied
// onto the window, and the BIG5 table, whose pixels are read back as data.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

namespace {

// A BITMAPINFO with room for the two colours of a 1-bit image, which
// GetDIBits writes after the header.
struct MonochromeInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[2];
};

static_assert(sizeof(BITMAPINFOHEADER) == 40, "the header GetDIBits expects");

}  // namespace

BitmapHandle LoadBitmapResource(const char* name) {
  return FromHandle(LoadBitmapA(programInstance, name));
}

// Rows arrive bottom-up (positive height), each padded to 4 bytes, 1 = white:
// the layout of the .bmp file the resource was made from.
void CopyBitmapPixels(BitmapHandle bitmap, int width, int height, void* pixels) {
  MonochromeInfo info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = 1;
  info.header.biCompression = BI_RGB;
  const HDC dc = GetDC(mainWindow);
  GetDIBits(dc, AsHandle<HBITMAP>(bitmap), 0, static_cast<UINT>(height), pixels,
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ReleaseDC(mainWindow, dc);
}

void DeleteBitmap(BitmapHandle bitmap) {
  DeleteObject(AsHandle<HBITMAP>(bitmap));
}
