// tavelo-render: draws into a PNG file the client area that the reader's
// window shows for a document, a client size and a top line, so that a page
// can be looked at, or compared pixel for pixel with a screenshot of the real
// program.
//
//   tavelo-render [--big5] [--size WxH] [--top LINE] [--report] INPUT OUTPUT.png
//
// It runs the program's own window over the simulated desktop: window
// creation loads the atlas and allocates the Work area, the size handler lays
// the document out for the client size (with the scroll bar shown when the
// document needs it, as on Win32), the view moves down LINE lines (never past
// the last page), and the painter paints the whole client area. The page is
// white with black glyphs. --big5 shows the document in BIG5 mode; without it
// the document is read as GB2312, whatever its name. The default size is
// 640x480. --report prints the view the page was painted from (columns,
// page lines, last line, largest and actual top line) as one line on standard
// output. Exit status: 0 when OUTPUT was written, 1 when a file could not be
// used, 2 for a wrong command line; each failure is one line on standard error.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "conversion/big5_map.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "shell/state.h"
#include "shell/texts.h"
#include "tools/png_image.h"

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr long kLargestSide = 8192;      // pixels; far beyond any monitor
constexpr long kLargestTopLine = 32767;  // the line index holds at most 32,768 lines

struct Request {
  bool big5 = false;
  bool report = false;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  int topLine = 0;
  const char* input = nullptr;
  const char* output = nullptr;
};

constexpr char kUsage[] =
    "tavelo-render [--big5] [--size WxH] [--top LINE] [--report] INPUT OUTPUT.png";

int Usage(const char* problem) {
  std::fprintf(stderr, "tavelo-render: %s (usage: %s)\n", problem, kUsage);
  return 2;
}

int Fail(const char* file, const char* what) {
  std::fprintf(stderr, "tavelo-render: %s: %s\n", file, what);
  return 1;
}

// A whole decimal number from lowest to highest, digits only (no sign, no blanks).
bool ParseNumber(const std::string& text, long lowest, long highest, int* value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  const long number = std::strtol(text.c_str(), nullptr, 10);
  if (number < lowest || number > highest) return false;
  *value = static_cast<int>(number);
  return true;
}

bool ParseSize(const std::string& text, int* width, int* height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  return ParseNumber(text.substr(0, x), 1, kLargestSide, width) &&
         ParseNumber(text.substr(x + 1), 1, kLargestSide, height);
}

// Returns 0 when the command line was understood, else the exit status.
int ParseArguments(int argc, char** argv, Request* request) {
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    const std::string option = argv[i];
    if (option == "--") {
      ++i;
      break;
    }
    if (option == "--big5") {
      request->big5 = true;
    } else if (option == "--report") {
      request->report = true;
    } else if (option == "--size") {
      if (++i == argc) return Usage("--size needs WxH");
      if (!ParseSize(argv[i], &request->width, &request->height)) {
        return Usage("the size must be WxH, each a whole number from 1 to 8192");
      }
    } else if (option == "--top") {
      if (++i == argc) return Usage("--top needs a line number");
      if (!ParseNumber(argv[i], 0, kLargestTopLine, &request->topLine)) {
        return Usage("the top line must be a whole number from 0 to 32767");
      }
    } else {
      return Usage(("unknown option " + option).c_str());
    }
  }
  if (argc - i != 2) return Usage("give one INPUT and one OUTPUT.png");
  request->input = argv[i];
  request->output = argv[i + 1];
  return 0;
}

// Sizes the client area as asked. Laying the document out can show or hide
// the scroll bar, which changes the client width and lays it out again, so
// the window is sized until the client stays at the size asked.
bool SizeClient(int width, int height) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (SimClientWidth() == width && SimClientHeight() == height) return true;
    SimResizeClient(width, height);
  }
  return SimClientWidth() == width && SimClientHeight() == height;
}

int Render(const Request& request) {
  if (!RegisterMainClass(kClassName, kIconName, kMenuName) ||
      !CreateMainWindow(kClassName, kStartCaption, 0, 0, request.width, request.height) ||
      windowDestroyed) {
    return Fail(request.input, "the window could not be created (font or memory)");
  }
  documentHandle = OpenFileForReading(request.input);
  if (documentHandle == kInvalidFile) return Fail(request.input, "cannot open it for reading");
  if (request.big5) {
    if (!LoadBig5Map()) return Fail(request.input, "cannot load the BIG5-to-GB map");
    big5Mode = 1;
  }
  ShowMainWindow(kShowNormal);
  if (!SizeClient(request.width, request.height)) {
    return Fail(request.input, "the client area does not settle at that size");
  }
  ResetViewToTop();
  ScrollLinesDown(request.topLine < view.maxTopLine ? request.topLine : view.maxTopLine);
  UpdateScrollBar();
  InvalidateClient();
  SimRunUntilIdle();
  errno = 0;
  if (!WriteGreyPng(request.output, request.width, request.height, SimSurface())) {
    return Fail(request.output, errno != 0 ? std::strerror(errno) : "cannot write it");
  }
  if (request.report) {
    std::printf("columns=%d pageLines=%d lastLine=%d maxTopLine=%d topLine=%d\n", view.columns,
                view.pageLines, lastLine, view.maxTopLine, view.topLine);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Request request;
  if (const int status = ParseArguments(argc, argv, &request)) return status;
  return Render(request);
}
