// tavelo-render: draws into a PNG file the client area that the reader's
// window shows for a document, a client size and a top line, so that a page
// can be looked at, or compared pixel for pixel with a screenshot of the real
// program.
//
//   tavelo-render [--encoding NAME | --big5] [--size WxH] [--top LINE] [--zoom N]
//                 [--select START-END] [--report] INPUT OUTPUT.png
//   tavelo-render --help | --version
//
// It runs the program's own layout, view and painter on an off-screen page
// of that client size: the size handler lays the document out for it, the
// view moves down LINE lines (never past the last page), and the painter
// paints the whole page. The page is white with black glyphs. --encoding
// names the reader's mode: gb2312 (the default, whatever the name),
// big5-as-gb2312 (BIG5 mode, also --big5), gb18030, big5, big5-hkscs,
// utf-8, utf-16, hz, or auto (the mode detection picks on open). The default size is 640x480.
// --select shows the bytes [START, END) selected, as a drag or Find shows them.
// --report prints the view the page was painted from (columns, page lines, last line, largest and
// actual top line) as one line on standard output. INPUT may be a pipe, a
// FIFO or a device, read as a stream ("-" is standard input, or as OUTPUT
// standard output); an OUTPUT that is INPUT by any name is
// refused before anything is written, and a PNG that cannot be written whole
// is removed. Exit status: 0 when OUTPUT was written, 1 when a file could not
// be used, 2 for a wrong command line; each failure is one line on standard
// error.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "conversion/big5_map.h"
#include "conversion/reading_mode.h"
#include "display/geometry.h"
#include "display/glyph_atlas.h"
#include "display/page_painter.h"
#include "display/unicode_glyphs.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "platform/platform.h"
#include "shell/state.h"
#include "shell/texts.h"
#include "tools/png_image.h"
#include "tools/tool_files.h"
#include "tools/version.h"

const char* const kToolName = "tavelo-render";

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr long kLargestSide = 8192;      // pixels; far beyond any monitor
constexpr long kLargestTopLine = 32767;  // the line index holds at most 32,768 lines
constexpr long kLargestTableLine = 999999999;

// The modes --encoding names, as the reader's menu offers them.
struct ModeName {
  const char* name;
  Encoding mode;
  bool big5;  // BIG5 mode: BIG5 shown through GB2312's glyphs
};
const ModeName kModeNames[] = {
    {"gb2312", kGb2312, false},        {"big5-as-gb2312", kGb2312, true},
    {"gb18030", kGb18030, false},      {"big5", kBig5, false},
    {"big5-hkscs", kBig5Hkscs, false}, {"utf-8", kUtf8, false},
    {"utf-16", kUtf16, false},         {"hz", kHz, false},
    {"auto", kBinary, false},
};

struct Request {
  const ModeName* mode = &kModeNames[0];
  bool report = false;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  int topLine = 0;
  int zoom = 1;
  int selectStart = 0;  // the selection's bytes [selectStart, selectEnd)
  int selectEnd = 0;
  const char* input = nullptr;
  const char* output = nullptr;
};

constexpr char kUsage[] =
    "tavelo-render [--encoding NAME | --big5] [--size WxH] [--top LINE] [--zoom N] "
    "[--select START-END] [--report] "
    "INPUT "
    "OUTPUT.png"
    " | --help | --version";

constexpr char kHelp[] =
    "  --encoding NAME  the mode INPUT is read in: gb2312 (the default), big5-as-gb2312,\n"
    "               gb18030, big5, big5-hkscs, utf-8, utf-16, hz, or auto (detected)\n"
    "  --big5       the same as --encoding big5-as-gb2312\n"
    "  --size WxH   the client area in pixels, each side 1 to 8192 (default 640x480)\n"
    "  --top LINE   the top line, no further than the last page allows (gb2312 and\n"
    "               big5-as-gb2312 hold at most 32,768 lines: 0 to 32767)\n"
    "  --zoom N     draw each glyph pixel as an N x N square, the page's geometry\n"
    "               scaled with it, N from 1 (the default) to 4\n"
    "  --select START-END  show the bytes from offset START up to END selected\n"
    "               (inverted), as a drag over them shows them\n"
    "  --report     print the view the page was painted from on standard output\n"
    "  --help       print this text\n"
    "  --version    print the version\n"
    "\n"
    "exit status: 0 done, 1 a file could not be used, 2 wrong command line\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "tavelo-render: %s (usage: %s)\n", problem, kUsage);
  return 2;
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
      request->mode = &kModeNames[1];
    } else if (option == "--encoding") {
      if (++i == argc) return Usage("--encoding needs a name");
      request->mode = nullptr;
      for (const ModeName& m : kModeNames) {
        if (std::strcmp(argv[i], m.name) == 0) request->mode = &m;
      }
      if (request->mode == nullptr) {
        return Usage((std::string("unknown encoding ") + argv[i]).c_str());
      }
    } else if (option == "--report") {
      request->report = true;
    } else if (option == "--size") {
      if (++i == argc) return Usage("--size needs WxH");
      if (!ParseSize(argv[i], &request->width, &request->height)) {
        return Usage("the size must be WxH, each a whole number from 1 to 8192");
      }
    } else if (option == "--top") {
      if (++i == argc) return Usage("--top needs a line number");
      if (!ParseNumber(argv[i], 0, kLargestTableLine, &request->topLine)) {
        return Usage("the top line must be a whole number from 0");
      }
    } else if (option == "--zoom") {
      if (++i == argc) return Usage("--zoom needs a number");
      if (!ParseNumber(argv[i], kMinZoom, kMaxZoom, &request->zoom)) {
        return Usage("the zoom must be a whole number from 1 to 4");
      }
    } else if (option == "--select") {
      if (++i == argc) return Usage("--select needs START-END");
      const std::string range = argv[i];
      const std::size_t dash = range.find('-');
      if (dash == std::string::npos ||
          !ParseNumber(range.substr(0, dash), 0, INT32_MAX, &request->selectStart) ||
          !ParseNumber(range.substr(dash + 1), 0, INT32_MAX, &request->selectEnd)) {
        return Usage("the selection must be START-END, two byte offsets");
      }
    } else {
      return Usage(("unknown option " + option).c_str());
    }
  }
  if (argc - i != 2) return Usage("give one INPUT and one OUTPUT.png");
  if (request->mode->mode == kGb2312 && request->topLine > kLargestTopLine) {
    return Usage("in gb2312 and big5-as-gb2312 the top line must be from 0 to 32767");
  }
  request->input = argv[i];
  request->output = argv[i + 1];
  return 0;
}

// What window creation, showing the window at the client size and a paint
// do in the program, on the off-screen page.
int Render(const Request& request) {
  atlasBitmap = LoadBitmapResource(kFontBitmapName);
  if (atlasBitmap == 0) return ReportFailure(request.input, "cannot load the glyph atlas");
  glyphsBitmap = LoadBitmapResource(kGlyphsBitmapName);
  if (glyphsBitmap == 0) return ReportFailure(request.input, "cannot load the Unicode atlas");
  if (!OpenDocument(request.input)) return 1;
  if (request.mode->big5) {
    if (!LoadBig5Map()) return 1;  // the map has said why
    big5Mode = 1;
  }
  SetTextMode(request.mode->mode == kBinary ? DetectReadingMode() : request.mode->mode);
  SetPageSize(request.width, request.height);
  zoom = request.zoom;
  ApplyClientSize(kSizeRestored, request.width, request.height);
  FinishLayout();
  ScrollLinesDown(request.topLine < view.maxTopLine ? request.topLine : view.maxTopLine);
  selection.anchor = request.selectStart;
  selection.active = request.selectEnd;
  PixelRect update;
  const PaintTarget target = BeginWindowPaint(&update);
  PaintPage(target, update);
  EndWindowPaint(target);
  if (!DocumentReadWhole(request.input)) return 1;
  OutputFile file;
  if (!OpenOutput(request.output, &file)) return 1;
  const bool written = WriteGreyPngTo(file.handle, request.width, request.height, PagePixels());
  if (!FinishOutput(request.output, &file, written, "cannot write it")) return 1;
  if (request.report) {
    std::printf("columns=%d pageLines=%d lastLine=%d maxTopLine=%d topLine=%d\n", view.columns,
                view.pageLines, lastLine, view.maxTopLine, view.topLine);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("usage: %s\n%s", kUsage, kHelp);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s %s\n", kToolName, kTaveloVersion);
    return 0;
  }
  Request request;
  if (const int status = ParseArguments(argc, argv, &request)) return status;
  return Render(request);
}
