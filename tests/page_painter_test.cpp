// The painter through the running program: what the simulated client area
// shows, against pages worked out independently from the layout rules.
#include <gtest/gtest.h>

#include "display/view.h"
#include "document/line_index.h"
#include "platform/sim/sim.h"
#include "shell/texts.h"
#include "tests/expected_page.h"
#include "tests/test_support.h"

namespace {

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// GB text with hanzi, ASCII, tabs, every kind of line break, wraps, the
// placeholders and the folded last row.
const std::string kGbText =
    "\xD6\xD0\xCE\xC4 Chinese text \xBB\xEC\xC5\xC5\r\n"
    "tab\there\tand\t\xBA\xBA\xD7\xD6\tend\n"
    "lone CR\rthen LF\n"
    "placeholders: \x01\x7F\x80\xFF \xAA\xA1 \xAF\xFE lead+A: \xB0"
    "A \xF8\xF9\r\n"
    "folded row: \xF7\xA1\xF7\xA2\xF7\xFD\xF7\xFE symbols: \xA1\xA2\xA2\xD9\xA9\xB0\r\n" +
    Repeat("\xB3\xA4\xD0\xD0\xB7\xD6\xB1\xF0 long line wraps ", 12) + "\r\n" +
    Repeat("x\ty\t", 30) + "\r\n" + "last lead byte \xB0";

// BIG5 text: common characters, low trails, the 0xF9 row, a code without a
// counterpart, and bytes that are no pair.
const std::string kBig5Text =
    "\xA4\x40\xA4\x48\xB0\xEA\xA6\x72 BIG5 \xA4\xA4\xA4\xE5\r\n"
    "\xC6\xA1\xC6\xA2 circled, \xF9\xD6\xF9\xFE box, \xA1\x40 space, \xA3\xE1 none?\r\n"
    "\xFA\xA1 not a pair, \xA4 alone\tand tab\r\n" +
    Repeat("\xA7\x41\xAC\x4F\xB3\x6F\xBC\xCB\xAA\xBA ", 15);

class PagePainterTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }

  // Starts the program on a document and sizes its client area.
  void Show(const std::string& name, const std::string& content, int width, int height) {
    content_ = ToBytes(content);
    folder_.Write(name, content_);
    SimMapDrive('C', folder_.Root());
    SimCreateKey(kLocalMachine, kPositionKey);  // not a first run: no questions
    RunProgram("tavelo.exe C:\\" + name);
    SimResizeClient(width, height);
    SimRunUntilIdle();
  }

  PageRequest Request() const {
    PageRequest request;
    request.document = content_;
    request.columns = view.columns;
    request.big5 = simWindow.caption.find(".b5") != std::string::npos;
    request.topLine = view.topLine;
    request.width = SimClientWidth();
    request.height = SimClientHeight();
    return request;
  }

  int Differences(const std::string& label) const {
    const PageRequest request = Request();
    return DifferingPixels(ExpectedPage(request), SimSurface(), request.width, request.height,
                           label);
  }

  ScratchFolder folder_;
  Bytes content_;
};

TEST_F(PagePainterTest, WholePagesMatchTheirIndependentRendering) {
  struct Case {
    const char* what;
    const char* name;
    std::string content;
    int width, height;
    int linesDown;  // Down-arrow presses before the comparison
  };
  const Case cases[] = {
      {"GB text", "gb.gb", kGbText, 640, 400, 0},
      {"GB text, narrow", "narrow.gb", kGbText, 27 + 7 * 23, 500, 0},
      {"GB text, scrolled", "scrolled.gb", kGbText, 300, 200, 5},
      {"BIG5 text", "big5.b5", kBig5Text, 500, 300, 0},
      {"BIG5 text, narrow and scrolled", "big5n.b5", kBig5Text, 27 + 7 * 15, 150, 3},
      {"two columns", "two.gb", kGbText, 27 + 14, 300, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    Show(c.name, c.content, c.width, c.height);
    for (int i = 0; i < c.linesDown; ++i) SimPressKey(kKeyDown);
    SimRunUntilIdle();
    EXPECT_EQ(view.topLine, c.linesDown);
    EXPECT_GT(simPaint.cellsCopied, 20);
    EXPECT_EQ(Differences(std::string("page-") + c.name), 0);
    EXPECT_EQ(simPaint.copiesOutside, 0);
    EXPECT_EQ(simPaint.atlasSelected, 0) << "the atlas goes back after every paint";
  }
}

TEST_F(PagePainterTest, PartialRectanglesRepaintExactlyTheirPart) {
  Show("gb.gb", kGbText, 640, 400);
  const PixelRect rects[] = {
      {0, 0, 640, 400},     {22, 0, 40, 400},  {100, 23, 101, 24}, {36, 5, 50, 41},
      {300, 100, 640, 110}, {0, 180, 14, 400}, {17, 0, 640, 5},    {623, 0, 640, 400},
      {49, 60, 63, 95},     {0, 77, 640, 78},
  };
  for (const PixelRect& r : rects) {
    SCOPED_TRACE(std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                 std::to_string(r.right) + "," + std::to_string(r.bottom));
    const int copiesBefore = simPaint.cellsCopied;
    SimInvalidateRect(r);
    SimRunUntilIdle();
    EXPECT_EQ(Differences("partial"), 0);
    if (r.right - r.left < 20) {
      EXPECT_LE(simPaint.cellsCopied - copiesBefore, 3 * 22) << "a strip copies a few cells a line";
    }
  }
}

TEST_F(PagePainterTest, CellsCopiedForSmallRectangles) {
  struct Case {
    const char* what;
    std::string content;
    PixelRect rect;
    int copies;
  };
  const std::string letters = "abcdefghi";
  const Case cases[] = {
      {"a gap between lines draws nothing", "ab\r\ncd\r\nef", {0, 36, 200, 40}, 0},
      {"below the last line draws nothing", "ab\r\ncd", {0, 60, 200, 200}, 0},
      {"left 22: the pair in columns 0-1 is drawn, the letter in column 0 not",
       "\xB0\xA1\r\nab",
       {22, 0, 40, 40},
       2},
      {"a pair that does not fit the last line to paint", letters + "\xB0\xA1", {0, 0, 200, 18}, 9},
      {"the same pair on the next line", letters + "\xB0\xA1", {0, 18, 200, 40}, 1},
      {"a rectangle starting at y = 18 begins with line 1", "ab\r\ncd\r\nef", {0, 18, 200, 30}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    Show("small.gb", c.content, 27 + 70, 300);  // ten columns
    ASSERT_EQ(view.columns, 10);
    const int before = simPaint.cellsCopied;
    SimInvalidateRect(c.rect);
    SimRunUntilIdle();
    EXPECT_EQ(simPaint.cellsCopied - before, c.copies);
    EXPECT_EQ(Differences("small"), 0);
  }
}

// Client areas whose bottom edge falls where a line begins, or that are
// narrower than the first columns: the cells that begin at or beyond an
// exclusive edge lie wholly outside the client area and must not be copied.
TEST_F(PagePainterTest, NoCellIsCopiedWhollyOutsideTheClientArea) {
  struct Case {
    const char* what;
    int width, height;
  };
  const Case cases[] = {
      {"the bottom edge is where line 1 begins", 300, 5 + 18},
      {"the bottom edge is where line 21 begins", 300, 5 + 18 * 21},
      {"no room above line 0", 300, 5},
      {"narrower than column 0 begins", 10, 200},
      {"the right edge is where column 1 begins", 22, 200},
      {"the right edge is where column 0 begins", 15, 23},
      {"an ordinary size", 640, 400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    Show("edges.gb", kGbText, c.width, c.height);
    SimResizeClient(c.width, c.height);  // again, now that the scroll bar has appeared
    SimRunUntilIdle();
    ASSERT_EQ(SimClientWidth(), c.width);
    ASSERT_EQ(SimClientHeight(), c.height);
    SimInvalidateRect(PixelRect{0, 0, c.width, c.height});
    SimRunUntilIdle();
    EXPECT_GT(simPaint.paints, 0);
    EXPECT_EQ(simPaint.copiesOutside, 0);
    EXPECT_EQ(Differences("edges"), 0);
  }
}

TEST_F(PagePainterTest, TruncationWarningOncePerDocument) {
  const std::string longText = Repeat("line\r\n", 33000);
  Show("long.gb", longText, 400, 300);
  EXPECT_EQ(truncated, 1);
  ASSERT_EQ(simBoxes.size(), 1u);
  EXPECT_EQ(simBoxes[0].text, kOnlyFirstLines);
  SimResizeClient(500, 200);
  SimPressKey(kKeyEnd);
  SimChooseCommand(110);  // BIG5 mode and back
  SimChooseCommand(110);
  SimRunUntilIdle();
  EXPECT_EQ(simBoxes.size(), 1u) << "relayout, scrolling and the mode do not repeat it";
  folder_.Write("long2.gb", ToBytes(longText));
  SimAnswerNextDialog("C:\\long2.gb");
  SimChooseCommand(10);
  SimRunUntilIdle();
  EXPECT_EQ(simBoxes.size(), 2u) << "a newly opened document warns again";
}

}  // namespace
