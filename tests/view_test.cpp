// View metrics and scrolling, through the running program's window.
#include <gtest/gtest.h>

#include <vector>

#include "display/view.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "platform/sim/sim.h"
#include "shell/texts.h"
#include "tests/expected_page.h"
#include "tests/test_support.h"

namespace {

std::string Lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "line " + std::to_string(i) + (i + 1 < count ? "\r\n" : "");
  return text;
}

TEST(ViewMetricsTest, ColumnsAndLinesFollowTheClientSize) {
  StartFreshProcess();
  struct Case {
    int width, height;
    int columns, pageLines;
  };
  const Case cases[] = {
      {100, 400, 10, 22}, {40, 17, 2, 1}, {20, 0, 2, 1},  {1798, 18, 253, 1},
      {2000, 36, 253, 2}, {26, 35, 2, 1}, {34, 54, 2, 3}, {-5, -5, 2, 1},
  };
  for (const Case& c : cases) {
    ApplyClientSize(kSizeRestored, c.width, c.height);
    EXPECT_EQ(view.columns, c.columns) << c.width;
    EXPECT_EQ(view.pageLines, c.pageLines) << c.height;
  }
}

class ScrollTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }

  // Starts the program on a document with a client area of the given size.
  void Show(const std::string& content, int width, int height) {
    folder_.Write("doc.txt", ToBytes(content));
    SimMapDrive('C', folder_.Root());
    SimCreateKey(kLocalMachine, kPositionKey);
    RunProgram("tavelo.exe C:\\doc.txt");
    SimResizeClient(width, height);
    SimRunUntilIdle();
    content_ = ToBytes(content);
  }

  void Resize(int width, int height) {
    SimResizeClient(width, height);
    SimRunUntilIdle();
  }

  void Press(unsigned key) {
    SimPressKey(key);
    SimRunUntilIdle();
  }

  void Scroll(int code, int thumb) {
    SimPostMessage(kMessageVScroll, static_cast<MessageParam>(code | thumb << 16), 0);
    SimRunUntilIdle();
  }

  bool PageIsRight() const {
    PageRequest request{content_,     view.columns,     false,
                        view.topLine, SimClientWidth(), SimClientHeight()};
    return DifferingPixels(ExpectedPage(request), SimSurface(), request.width, request.height,
                           "scroll") == 0;
  }

  ScratchFolder folder_;
  Bytes content_;
};

TEST_F(ScrollTest, PageKeysStepThroughTheDocument) {
  Show(Lines(100), 300, 30 * 18);
  ASSERT_EQ(lastLine, 99);
  ASSERT_EQ(view.pageLines, 30);
  EXPECT_EQ(view.maxTopLine, 70);
  EXPECT_TRUE(simWindow.scrollBar.visible);
  for (int expected : {30, 60, 70, 70}) {
    Press(kKeyPageDown);
    EXPECT_EQ(view.topLine, expected);
    EXPECT_EQ(simWindow.scrollBar.position, expected);
    EXPECT_TRUE(PageIsRight());
  }
  for (int expected : {40, 10, 0, 0}) {
    Press(kKeyPageUp);
    EXPECT_EQ(view.topLine, expected);
    EXPECT_TRUE(PageIsRight());
  }
  EXPECT_EQ(simWindow.scrollBar.maximum, 99);
  EXPECT_EQ(simWindow.scrollBar.page, 30);
}

TEST_F(ScrollTest, TheShortcutKeysScrollOpenAndExit) {
  struct Step {
    const char* what;
    unsigned key;
    unsigned modifiers;
    int top;  // -1: the view stays; the other effects are checked below
  };
  const Step steps[] = {
      {"Space pages down", kKeySpace, 0, 30},
      {"Shift+Space pages up", kKeySpace, kSimShift, 0},
      {"Ctrl+End goes to the end", kKeyEnd, kSimControl, 70},
      {"Ctrl+Home goes to the top", kKeyHome, kSimControl, 0},
      {"O alone does nothing", 'O', 0, 0},
      {"Q with Shift does nothing", 'Q', kSimShift, 0},
  };
  Show(Lines(100), 300, 30 * 18);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    SimPressKey(step.key, step.modifiers);
    SimRunUntilIdle();
    EXPECT_EQ(view.topLine, step.top);
    EXPECT_TRUE(PageIsRight());
  }
  EXPECT_TRUE(simDialogs.empty());
  SimPressKey('O', kSimControl);
  SimRunUntilIdle();
  EXPECT_EQ(simDialogs.size(), 1u) << "Ctrl+O asks for a file as Open does";
  SimPressKey('Q', kSimControl);
  SimRunUntilIdle();
  EXPECT_TRUE(SimQuitPosted()) << "Ctrl+Q ends the program as Exit does";
}

TEST_F(ScrollTest, ScrollCommands) {
  struct Case {
    const char* what;
    int from;  // topLine before
    bool key;  // a key (value) or a scroll code with thumb
    int value;
    int thumb;
    int to;        // topLine after
    int moved;     // pixels moved by ScrollClient, 0 for none
    bool repaint;  // the whole client area invalidated
  };
  const Case cases[] = {
      {"line up", 10, true, kKeyUp, 0, 9, 18, false},
      {"line down", 10, true, kKeyDown, 0, 11, -18, false},
      {"line up at the top", 0, true, kKeyUp, 0, 0, 0, false},
      {"line down at the bottom", 70, true, kKeyDown, 0, 70, 0, false},
      {"home", 40, true, kKeyHome, 0, 0, 0, true},
      {"end", 40, true, kKeyEnd, 0, 70, 0, true},
      {"home at the top", 0, true, kKeyHome, 0, 0, 0, false},
      {"thumb a little", 10, false, kScrollThumbTrack, 12, 12, -36, false},
      {"thumb back", 12, false, kScrollThumbPosition, 10, 10, 36, false},
      {"thumb far", 10, false, kScrollThumbTrack, 45, 45, 0, true},
      {"thumb where it is", 10, false, kScrollThumbTrack, 10, 10, 0, false},
      {"thumb beyond the range holds at the bottom", 10, false, kScrollThumbTrack, 60000, 70, 0,
       true},
      {"end of scroll", 10, false, 8, 0, 10, 0, false},
      {"an unknown key", 10, true, 'A', 0, 10, 0, false},
  };
  Show(Lines(100), 300, 30 * 18);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scroll(kScrollTop, 0);
    Scroll(kScrollThumbPosition, c.from);
    ASSERT_EQ(view.topLine, c.from);
    simPaint.scrolls.clear();
    const int invalidations = simPaint.invalidations;
    if (c.key) {
      Press(static_cast<unsigned>(c.value));
    } else {
      Scroll(c.value, c.thumb);
    }
    EXPECT_EQ(view.topLine, c.to);
    EXPECT_EQ(view.topOffset, LineStartOffset(c.to));
    EXPECT_EQ(simPaint.scrolls.empty() ? 0 : simPaint.scrolls[0], c.moved);
    EXPECT_EQ(simPaint.invalidations > invalidations, c.repaint);
    EXPECT_TRUE(PageIsRight());
  }
}

TEST_F(ScrollTest, WheelScrollsByTheUsersSetting) {
  struct Case {
    const char* what;
    unsigned setting;  // lines a notch, or kWheelPageScroll
    int from;
    std::vector<int> deltas;  // the turns, in order
    int to;
    int moved;  // pixels of the first ScrollClient, 0 for none
    bool repaint;
  };
  const Case cases[] = {
      {"a notch down moves three lines", 3, 10, {-120}, 13, -54, false},
      {"a notch up moves three lines back", 3, 13, {120}, 10, 54, false},
      {"a fast turn of three notches", 3, 10, {-360}, 19, -162, false},
      {"a notch down holds at the bottom", 3, 69, {-120}, 70, -18, false},
      {"a notch up holds at the top", 3, 1, {120}, 0, 18, false},
      {"touchpad fractions add up to the notch's lines",
       3,
       10,
       {-30, -30, -30, -30},
       13,
       -18,
       false},
      {"a turn back starts afresh", 3, 10, {-30, 30, 30}, 9, 18, false},
      {"ten lines a notch", 10, 10, {-120}, 20, -180, false},
      {"more than a page a notch repaints", 50, 10, {-120}, 60, 0, true},
      {"a setting beyond the document holds at the bottom", 0xFFFFFFFEu, 10, {-120}, 70, 0, true},
      {"no lines a notch", 0, 10, {-120, -120}, 10, 0, false},
      {"a page a notch", kWheelPageScroll, 10, {-120}, 40, 0, true},
      {"half notches of pages", kWheelPageScroll, 10, {-60, -60}, 40, 0, true},
      {"a page up stops at the top", kWheelPageScroll, 10, {120}, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Show(Lines(100), 300, 30 * 18);
    SimSetWheelScrollLines(c.setting);
    Scroll(kScrollThumbPosition, c.from);
    simPaint.scrolls.clear();
    const int invalidations = simPaint.invalidations;
    for (int delta : c.deltas) {
      SimTurnWheel(delta);
      SimRunUntilIdle();
    }
    EXPECT_EQ(view.topLine, c.to);
    EXPECT_EQ(view.topOffset, LineStartOffset(c.to));
    EXPECT_EQ(simWindow.scrollBar.position, c.to);
    EXPECT_EQ(simPaint.scrolls.empty() ? 0 : simPaint.scrolls[0], c.moved);
    EXPECT_EQ(simPaint.invalidations > invalidations, c.repaint);
    EXPECT_TRUE(PageIsRight());
  }
}

TEST_F(ScrollTest, ANewDocumentDropsTheWheelsRemainder) {
  folder_.Write("other.txt", ToBytes(Lines(100)));
  Show(Lines(100), 300, 30 * 18);
  SimTurnWheel(-30);
  SimDropFiles({"C:\\other.txt"});
  SimRunUntilIdle();
  SimTurnWheel(-30);
  SimRunUntilIdle();
  EXPECT_EQ(simWindow.caption, "Tavelo - C:\\other.txt");
  EXPECT_EQ(view.topLine, 0) << "half a notch from each document is not a line";
}

TEST_F(ScrollTest, DocumentThatFitsCannotScroll) {
  Show(Lines(10), 300, 20 * 18);
  EXPECT_EQ(view.maxTopLine, 0);
  EXPECT_EQ(simWindow.scrollBar.maximum, 9);
  EXPECT_EQ(simWindow.scrollBar.page, 10);
  EXPECT_FALSE(simWindow.scrollBar.visible);
  for (unsigned key : {kKeyDown, kKeyPageDown, kKeyEnd, kKeyUp, kKeyPageUp, kKeyHome}) {
    Press(key);
    EXPECT_EQ(view.topLine, 0);
  }
}

TEST_F(ScrollTest, TheScrollBarNarrowsTheClientArea) {
  Show(Lines(10), 27 + 7 * 40, 20 * 18);
  EXPECT_EQ(view.columns, 40);
  // The bar shows and takes its width: its size notification, sent from
  // inside the relayout's scroll bar update, lays the document out again.
  simWindow.cursors.clear();
  Resize(27 + 7 * 40, 5 * 18);
  EXPECT_TRUE(simWindow.scrollBar.visible);
  EXPECT_EQ(SimClientWidth(), 27 + 7 * 40 - kSimScrollBarWidth);
  EXPECT_EQ(view.columns, (27 + 7 * 40 - kSimScrollBarWidth - 27) / 7);
  EXPECT_EQ(simWindow.cursors, (std::vector<char>{'W', 'W', 'A', 'A'})) << "nested";
  EXPECT_TRUE(PageIsRight());
  // And the bar that goes gives its width back the same way.
  simWindow.cursors.clear();
  Resize(27 + 7 * 40 - kSimScrollBarWidth, 20 * 18);
  EXPECT_FALSE(simWindow.scrollBar.visible);
  EXPECT_EQ(view.columns, 40);
  EXPECT_EQ(simWindow.cursors, (std::vector<char>{'W', 'W', 'A', 'A'})) << "nested";
  EXPECT_TRUE(PageIsRight());
}

TEST_F(ScrollTest, ReanchoringKeepsTheTopByte) {
  std::string letters;
  for (int i = 0; i < 3000; ++i) letters += static_cast<char>('a' + i % 26);
  Show(letters, 27 + 7 * 20 + kSimScrollBarWidth, 10 * 18);
  ASSERT_EQ(view.columns, 20);
  Scroll(kScrollThumbPosition, 3);
  ASSERT_EQ(view.topOffset, 60);
  const int readsBefore = simFiles.reads;
  Resize(27 + 7 * 8, 10 * 18);
  ASSERT_EQ(view.columns, 8);
  EXPECT_EQ(view.topLine, 7);
  EXPECT_EQ(view.topOffset, 56);
  EXPECT_GT(simFiles.reads, readsBefore) << "the index was rebuilt";
  EXPECT_TRUE(PageIsRight());

  // Less than a column wider: no rebuild, but a new page height is followed.
  const int reads = simFiles.reads;
  SimResizeClient(27 + 7 * 8 + 3, 12 * 18);  // the size handler runs, the paint waits
  EXPECT_EQ(simFiles.reads - reads, 0);
  SimRunUntilIdle();
  EXPECT_EQ(view.columns, 8);
  EXPECT_EQ(view.pageLines, 12);
  EXPECT_EQ(view.topLine, 7);
  EXPECT_TRUE(PageIsRight());
}

TEST_F(ScrollTest, GrowingNearTheEndMovesTheTopAndRepaintsAll) {
  Show(Lines(100), 300, 30 * 18);
  Press(kKeyEnd);
  ASSERT_EQ(view.topLine, 70);
  const int invalidations = simPaint.invalidations;
  Resize(SimClientWidth() + kSimScrollBarWidth, 40 * 18);  // same width, taller
  EXPECT_EQ(view.topLine, 60);
  EXPECT_GT(simPaint.invalidations, invalidations);
  EXPECT_TRUE(PageIsRight());
  Resize(SimClientWidth() + kSimScrollBarWidth, 120 * 18);  // the whole document fits
  EXPECT_EQ(view.maxTopLine, 0);
  EXPECT_EQ(view.topLine, 0);
  EXPECT_FALSE(simWindow.scrollBar.visible);
  EXPECT_TRUE(PageIsRight());
}

TEST_F(ScrollTest, MinimizingAndRestoringKeepsTheTopLine) {
  Show(Lines(100), 300, 30 * 18);
  Scroll(kScrollThumbPosition, 33);
  const int reads = simFiles.reads;
  SimMinimize();
  EXPECT_EQ(view.columns, 2);
  EXPECT_EQ(view.pageLines, 1);
  EXPECT_EQ(view.maxTopLine, 70) << "left as it was while minimized";
  EXPECT_EQ(simFiles.reads, reads) << "nothing is laid out while minimized";
  SimRestore();
  SimRunUntilIdle();
  EXPECT_GT(simFiles.reads, reads);
  EXPECT_EQ(view.topLine, 33);
  EXPECT_TRUE(PageIsRight());
}

TEST_F(ScrollTest, StartedMinimizedLaysOutWithTwoColumnsThenRebuilds) {
  folder_.Write("doc.txt", ToBytes(Lines(50)));
  SimMapDrive('C', folder_.Root());
  const std::uint8_t minimized[2] = {1, 0};
  SimPutValue(kLocalMachine, kPositionKey, kWinStatusWritten, kRegBinary, minimized, 2);
  RunProgram("tavelo.exe C:\\doc.txt");
  EXPECT_EQ(view.columns, 2);
  EXPECT_GT(lastLine, 49);
  SimRestore();
  SimRunUntilIdle();
  EXPECT_GT(view.columns, 2);
  EXPECT_EQ(lastLine, 49);
  EXPECT_EQ(view.topOffset, 0);
}

TEST_F(ScrollTest, KeysAndScrollingWithoutADocument) {
  SimCreateKey(kLocalMachine, kPositionKey);
  RunProgram("tavelo.exe");
  EXPECT_FALSE(simWindow.scrollBar.visible);
  Press(kKeyDown);
  EXPECT_EQ(SimPendingMessages(), 0) << "no scroll command is queued";
  Scroll(kScrollLineDown, 0);
  SimTurnWheel(-kWheelDelta);
  SimRunUntilIdle();
  EXPECT_EQ(view.topLine, 0);
  EXPECT_EQ(documentHandle, kInvalidFile);
}

}  // namespace
