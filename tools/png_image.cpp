#include "tools/png_image.h"

#include <png.h>

#include <cstdio>

namespace {

// Where the encoded bytes go, and whether every write took them.
struct Destination {
  FILE* stream = nullptr;          // a standard C stream, or
  FileHandle file = kInvalidFile;  // a platform file
  bool failed = false;
};

// libpng reports its errors by a long jump back to Encode; nothing is printed.
void OnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t size) {
  Destination* to = static_cast<Destination*>(png_get_io_ptr(png));
  const bool written =
      to->stream != nullptr
          ? std::fwrite(data, 1, size, to->stream) == size
          : size <= 0x7FFFFFFF && WriteToFile(to->file, data, static_cast<std::int32_t>(size));
  if (!written) {
    to->failed = true;
    png_error(png, "write failed");
  }
}

void OnFlush(png_structp) {}

bool Encode(Destination* to, int width, int height, const std::vector<std::uint8_t>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * height) {
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool written = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_set_write_fn(png, to, OnWrite, OnFlush);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      png_write_row(png, const_cast<png_bytep>(&pixels[static_cast<std::size_t>(y) * width]));
    }
    png_write_end(png, nullptr);
    written = true;
  }
  png_destroy_write_struct(&png, &info);
  return written && !to->failed;
}

}  // namespace

bool WriteGreyPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& pixels) {
  Destination to;
  to.stream = std::fopen(path.c_str(), "wb");
  if (to.stream == nullptr) return false;
  const bool encoded = Encode(&to, width, height, pixels);
  return std::fclose(to.stream) == 0 && encoded;
}

bool WriteGreyPngTo(FileHandle file, int width, int height,
                    const std::vector<std::uint8_t>& pixels) {
  Destination to;
  to.file = file;
  return Encode(&to, width, height, pixels);
}
