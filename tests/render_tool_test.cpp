// tavelo-render on the command line: what it refuses, with one line and its
// exit status, and the pages it writes, against pages worked out
// independently from the layout rules.
#include <png.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "conversion/big5_map.h"
#include "display/geometry.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "tests/expected_page.h"
#include "tests/test_support.h"

namespace {

const std::string kSamples = std::string(TAVELO_SOURCE_FOLDER) + "/samples/";

struct ToolRun {
  int status;
  std::string errors;  // what it wrote on standard error
};

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }

  ToolRun Render(const std::string& arguments) const {
    const std::string errors = folder_.Path("errors.txt");
    const std::string command = std::string("'") + TAVELO_RENDER_TOOL + "' " + arguments + " 2> '" +
                                errors + "' > /dev/null";
    const int status = std::system(command.c_str());
    const Bytes text = ReadWholeFile(errors);
    return ToolRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                   std::string(text.begin(), text.end())};
  }

  // The grey pixels of a PNG file, or nothing when it cannot be read.
  static Bytes ReadPng(const std::string& path, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_GRAY;
    Bytes pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return pixels;
  }

  // The largest top line of a document laid out in columns, by the program's Line index.
  static int MaxTopLine(const std::string& path, int columns, int pageLines, bool big5) {
    StartFreshProcess();
    EXPECT_TRUE(OpenDocumentFile(path));
    if (big5) {
      EXPECT_TRUE(LoadBig5Map());
      big5Mode = 1;
    }
    view.columns = columns;
    BuildLineIndex(view.columns);
    return pageLines - 1 < lastLine ? lastLine - pageLines + 1 : 0;
  }

  ScratchFolder folder_;
};

TEST_F(RenderToolTest, RefusesWhatItCannotDoWithOneLineAndAStatus) {
  const std::string gb = kSamples + "sample.gb";
  const std::string out = folder_.Path("out.png");
  struct Case {
    const char* what;
    std::string arguments;
    int status;
    std::string mentions;
  };
  const Case cases[] = {
      {"no arguments", "", 2, "usage"},
      {"one name only", gb, 2, "usage"},
      {"a missing document", folder_.Path("missing.gb") + " " + out, 1, "missing.gb"},
      {"a folder as the document", folder_.Root() + " " + out, 1, "cannot open"},
      {"an unknown option", "--frobnicate " + gb + " " + out, 2, "--frobnicate"},
      {"a size that is not a number", "--size abcxdef " + gb + " " + out, 2, "size"},
      {"a size without an x", "--size 640 " + gb + " " + out, 2, "size"},
      {"a size without a height", "--size 640x " + gb + " " + out, 2, "size"},
      {"a size with three numbers", "--size 640x480x2 " + gb + " " + out, 2, "size"},
      {"a zero width", "--size 0x480 " + gb + " " + out, 2, "size"},
      {"a zero height", "--size 640x0 " + gb + " " + out, 2, "size"},
      {"a negative width", "--size -640x480 " + gb + " " + out, 2, "size"},
      {"a negative height", "--size 640x-480 " + gb + " " + out, 2, "size"},
      {"a huge width", "--size 8193x480 " + gb + " " + out, 2, "size"},
      {"a huge height", "--size 640x99999999999 " + gb + " " + out, 2, "size"},
      {"--size at the end", gb + " " + out + " --size", 2, "usage"},
      {"--size without its value", "--size", 2, "size"},
      {"a negative top line", "--top -1 " + gb + " " + out, 2, "top line"},
      {"a top line that is not a number", "--top ten " + gb + " " + out, 2, "top line"},
      {"an empty top line", "--top '' " + gb + " " + out, 2, "top line"},
      {"a top line past the line limit", "--top 32768 " + gb + " " + out, 2, "top line"},
      {"a top line with a fraction", "--top 1.5 " + gb + " " + out, 2, "top line"},
      {"a zoom of 0", "--zoom 0 " + gb + " " + out, 2, "zoom"},
      {"a zoom past 4", "--zoom 5 " + gb + " " + out, 2, "zoom"},
      {"an output in a missing folder", gb + " " + folder_.Path("no/such/out.png"), 1, "out.png"},
      {"an output that is a folder", gb + " " + folder_.Root(), 1, folder_.Root()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolRun run = Render(c.arguments);
    EXPECT_EQ(run.status, c.status);
    ASSERT_FALSE(run.errors.empty());
    EXPECT_EQ(run.errors.rfind("tavelo-render: ", 0), 0u) << run.errors;
    EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << "one line: " << run.errors;
    EXPECT_NE(run.errors.find(c.mentions), std::string::npos) << run.errors;
    struct stat info;
    EXPECT_NE(stat(out.c_str(), &info), 0) << "nothing is written";
  }
}

TEST_F(RenderToolTest, PaintsThePageTheWindowShowsForASizeAndTopLine) {
  struct Case {
    const char* what;
    const char* sample;
    bool big5;
    int width, height;
    int top;  // asked for; the page shows at most the last page
    int zoom = 1;
  };
  const Case cases[] = {
      {"the default size at the top", "sample.gb", false, 640, 480, 0},
      {"a line further down", "sample.gb", false, 640, 480, 20},
      {"past the last page", "sample.gb", false, 640, 480, 32767},
      {"a narrow window, so that long lines wrap more", "sample.gb", false, 300, 250, 7},
      {"a window the whole document fits in", "sample.gb", false, 1800, 1200, 5},
      {"BIG5 mode", "sample.b5", true, 500, 300, 3},
      {"BIG5 bytes read as GB2312", "sample.b5", false, 640, 480, 0},
      {"zoomed twice", "sample.gb", false, 640, 480, 4, 2},
      {"zoomed four times in a size it does not divide", "sample.b5", true, 641, 483, 2, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string document = kSamples + c.sample;
    const std::string out = folder_.Path("page.png");
    const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
    const ToolRun run = Render(std::string(c.big5 ? "--big5 " : "") +
                               (c.width == 640 && c.height == 480 ? "" : "--size " + size + " ") +
                               "--top " + std::to_string(c.top) + " --zoom " +
                               std::to_string(c.zoom) + " " + document + " " + out);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.errors.empty()) << run.errors;
    int width = 0, height = 0;
    const Bytes pixels = ReadPng(out, &width, &height);
    ASSERT_EQ(width, c.width);
    ASSERT_EQ(height, c.height);

    PageRequest request;
    request.document = ReadWholeFile(document);
    request.columns = std::min((c.width / c.zoom - kColumnSlack) / kColumnWidth, kMaxColumns);
    request.big5 = c.big5;
    const int pageLines = c.height / c.zoom / kLinePitch;
    request.topLine = std::min(c.top, MaxTopLine(document, request.columns, pageLines, c.big5));
    request.width = c.width;
    request.height = c.height;
    request.zoom = c.zoom;
    EXPECT_EQ(DifferingPixels(ExpectedPage(request), pixels, c.width, c.height, "render-tool"), 0);
  }
}

}  // namespace
