// The modes that read through Unicode, through the running program: pages
// against an independent rendering, the Line table against a plain layout,
// scrolling beyond 32,768 lines, and the menu's choice of mode.
#include <gtest/gtest.h>

#include "display/view.h"
#include "document/line_table.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/state.h"
#include "shell/texts.h"
#include "tests/expected_unicode_page.h"
#include "tests/test_support.h"

namespace {

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// Hanzi, punctuation, ASCII, tabs, every line break, wraps of two-column
// characters, long lines.
std::string Common(const std::string& hanzi, const std::string& more) {
  return "中文 Chinese text " + hanzi + "，：“”！\r\n" + "tab\there\tand\t" + hanzi + "\tend\n" +
         "lone CR\rthen LF\n" + Repeat(hanzi + " long line wraps ", 12) + "\r\n" +
         Repeat("x\ty\t", 30) + "\r\n" + more + "\nlast";
}
const std::string kCommon = Common("汉字标点长行", "");
const std::string kTraditional = Common("漢字標點長行", "");

class ReadingModesTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }

  void Start(int width, int height) {
    SimMapDrive('C', folder_.Root());
    SimCreateKey(kLocalMachine, kPositionKey);  // not a first run: no questions
    RunProgram("tavelo.exe");
    SimResizeClient(width, height);
    SimRunUntilIdle();
  }

  void Open(const std::string& name, const Bytes& content) {
    content_ = content;
    folder_.Write(name, content);
    SimAnswerNextDialog("C:\\" + name);
    SimChooseCommand(CMD_OPEN);
    SimRunUntilIdle();
  }

  void Choose(int command) {
    SimChooseCommand(command);
    SimRunUntilIdle();
  }

  int Differences(Encoding mode, const std::string& label) const {
    PageRequest request;
    request.document = content_;
    request.columns = view.columns;
    request.topLine = view.topLine;
    request.width = SimClientWidth();
    request.height = SimClientHeight();
    return DifferingPixels(ExpectedUnicodePage(request, mode), SimSurface(), request.width,
                           request.height, label);
  }

  ScratchFolder folder_;
  Bytes content_;
};

struct ModeCase {
  const char* what;
  int command;
  Encoding mode;
  Bytes content;
  const char* label;
};

std::vector<ModeCase> ModeCases() {
  const Bytes bom8{0xEF, 0xBB, 0xBF};
  return {
      {"GBK", CMD_MODE_GB18030, kGb18030, EncodeAs(kCommon + "\n朱镕基 GBK only: 镕 丂", "GBK"),
       "GB18030"},
      {"GB18030 four-byte codes and bytes no code starts", CMD_MODE_GB18030, kGb18030,
       Join(EncodeAs(kCommon + "\n𠀀 ÿ € ḿ", "GB18030"),
            Bytes{'\n', 0xFF, 'a', 0x81, '\n', 0x81, 0x30}),
       "GB18030"},
      {"BIG5", CMD_MODE_BIG5, kBig5, EncodeAs("閱讀器 " + kTraditional + "\n繁體 測試", "CP950"),
       "BIG5"},
      {"Big5-HKSCS", CMD_MODE_BIG5_HKSCS, kBig5Hkscs,
       Join(EncodeAs("香港增補字符集：嘅 㗎 " + kTraditional, "BIG5-HKSCS"),
            Bytes{'\n', 0x81, 0x40, 'z'}),
       "BIG5-HKSCS"},
      {"UTF-8 with its mark, malformed bytes", CMD_MODE_UTF8, kUtf8,
       Join(Join(bom8, EncodeAs(kCommon + "\nΕλληνικά Кириллица é 𠀀 한국어 ☃", "UTF-8")),
            Bytes{'\n', 0xE4, 0xB8, 'A', 0xC0, 0x80, 0xF0, 0x9F, '\n', 0xFE}),
       "UTF-8"},
      {"UTF-16 little-endian", CMD_MODE_UTF16, kUtf16,
       Join(Bytes{0xFF, 0xFE}, EncodeAs(kCommon + "\n𠀀 lone: ", "UTF-16LE")), "UTF-16"},
      {"UTF-16 big-endian, a lone surrogate", CMD_MODE_UTF16, kUtf16,
       Join(Join(Bytes{0xFE, 0xFF}, EncodeAs(kCommon + "\n𠀀 ", "UTF-16BE")),
            Bytes{0xD8, 0x00, 0, 'x'}),
       "UTF-16"},
      {"HZ", CMD_MODE_HZ, kHz,
       ToBytes("~{VPND~} HZ ~~ tilde\n~{:::WVPND\nrun ends at a break~}\ttab ~x~\n" +
               Repeat("~{3$PP~}wrap ", 20)),
       "HZ"},
  };
}

TEST_F(ReadingModesTest, PagesMatchAnIndependentRendering) {
  for (const ModeCase& c : ModeCases()) {
    for (const int width : {640, 27 + 7 * 23}) {
      SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(width));
      StartFreshProcess();
      Start(width, 500);
      Choose(c.command);
      Open("text.txt", c.content);
      EXPECT_EQ(simWindow.caption, std::string("Tavelo - C:\\text.txt [") + c.label + "]");
      EXPECT_EQ(lastLine + 1, ExpectedUnicodeLines(c.content, c.mode, view.columns));
      EXPECT_GT(simPaint.cellsCopied, 100);
      EXPECT_EQ(Differences(c.mode, "mode"), 0);
      SimPressKey(kKeyDown);
      SimPressKey(kKeyDown);
      SimRunUntilIdle();
      if (lastLine > view.pageLines) {
        EXPECT_EQ(view.topLine, 2);
      }
      EXPECT_EQ(Differences(c.mode, "mode-scrolled"), 0);
      EXPECT_EQ(simPaint.copiesOutside, 0);
    }
  }
}

// Every line found from the kept lines starts where the plain layout, line
// after line, starts it, and the line of each offset is the one that holds it.
TEST_F(ReadingModesTest, TheLineTableFindsEveryLineAsTheLayoutPlacesIt) {
  for (const ModeCase& c : ModeCases()) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    Start(27 + 7 * 9, 300);
    Choose(c.command);
    Bytes content;
    for (int i = 0; i < 12; ++i) content = Join(content, c.content);
    Open("text.txt", content);
    ASSERT_TRUE(LineTableDone());
    ASSERT_GT(lastLine, 3 * kLinesPerPlace);
    LinePlace place = kDocumentStart;
    for (int k = 0; k <= lastLine; ++k) {
      const LinePlace found = PlaceOfLine(k);
      ASSERT_EQ(found.offset, place.offset) << k;
      ASSERT_EQ(found.phase, place.phase) << k;
      ASSERT_EQ(found.carry, place.carry) << k;
      ASSERT_EQ(found.hzInRun, place.hzInRun) << k;
      bool ended = false;
      const LinePlace next = LayOutLineAt(place, view.columns, nullptr, nullptr, &ended);
      // A line that takes no bytes (the rest of a tab) holds no offset of its own.
      if (next.offset > place.offset || ended) {
        ASSERT_EQ(LineOfOffset(place.offset), k);
      }
      if (ended) {
        ASSERT_EQ(k, lastLine);
        break;
      }
      place = next;
    }
  }
}

// Each display line's text, cut from the UTF-8 document at the starts the
// Line table gives.
std::vector<std::string> DisplayLines(const std::string& text) {
  std::vector<std::string> lines;
  for (int k = 0; k <= lastLine; ++k) {
    const std::int32_t from = PlaceOfLine(k).offset;
    const std::int32_t to =
        k < lastLine ? PlaceOfLine(k + 1).offset : static_cast<std::int32_t>(text.size());
    lines.push_back(
        text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
  }
  return lines;
}

TEST_F(ReadingModesTest, LinesBreakAsChineseTextBreaks) {
  struct Case {
    const char* what;
    std::string text;
    int columns;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a closing mark hangs in the margin", "一二三四五。六七", 10, {"一二三四五。", "六七"}},
      {"two closing marks take the character before along",
       "一二三四五」。六",
       10,
       {"一二三四", "五」。六"}},
      {"an opening mark goes to the next line", "一二三四「五六", 10, {"一二三四", "「五六"}},
      {"a word moves whole", "abc defgh", 7, {"abc ", "defgh"}},
      {"a number moves whole", "一二三32768", 8, {"一二三", "32768"}},
      {"a word longer than a line is cut", "abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"an ASCII comma hangs", "一二三四, x", 8, {"一二三四,", " x"}},
      {"a line break is kept", "一二。\n三", 4, {"一二。\n", "三"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    Start(27 + 7 * c.columns, 200);
    Choose(CMD_MODE_UTF8);
    Open("text.txt", ToBytes(c.text));
    ASSERT_EQ(view.columns, c.columns);
    EXPECT_EQ(DisplayLines(c.text), c.lines);
    EXPECT_EQ(Differences(kUtf8, "breaking"), 0);
  }
}

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "第" + std::to_string(i) + "行 line\n";
  return text;
}

TEST_F(ReadingModesTest, ALongDocumentCanBeReadToItsLastLine) {
  Start(400, 20 * 18);
  Choose(CMD_MODE_UTF8);
  Open("long.txt", ToBytes(NumberedLines(100000)));
  ASSERT_TRUE(LineTableDone());
  EXPECT_FALSE(SimTimerRunning(kLayoutTimer));
  ASSERT_EQ(lastLine, 100000);
  ASSERT_EQ(view.maxTopLine, 100000 - 20 + 1);
  // The scroll bar's range is scaled into the 16 bits a thumb position has.
  EXPECT_EQ(simWindow.scrollBar.maximum, 32767);
  struct Step {
    const char* what;
    unsigned key;  // or, when 0, a thumb position, or with no thumb a wheel notch down
    int thumb;
    int top;
  };
  const Step steps[] = {
      {"End", kKeyEnd, 0, 99981},
      {"Up", kKeyUp, 0, 99980},
      {"Page Up", kKeyPageUp, 0, 99960},
      {"Home", kKeyHome, 0, 0},
      {"thumb to the middle", 0, 32767 / 2, 99981 / 2},
      {"Page Down", kKeyPageDown, 0, 99981 / 2 + 20},
      {"a wheel notch down", 0, -1, 99981 / 2 + 23},
      {"thumb to the end", 0, 32767, 99981},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    if (s.key != 0) {
      SimPressKey(s.key);
    } else if (s.thumb >= 0) {
      SimPostMessage(kMessageVScroll,
                     static_cast<MessageParam>(kScrollThumbPosition | s.thumb << 16), 0);
    } else {
      SimTurnWheel(-kWheelDelta);
    }
    SimRunUntilIdle();
    // A thumb position stands for a few lines.
    EXPECT_NEAR(view.topLine, s.top, 10);
    EXPECT_EQ(view.topOffset, PlaceOfLine(view.topLine).offset);
    EXPECT_EQ(Differences(kUtf8, "long"), 0);
  }
}

// The first page shows before a long document is laid out; the rest comes
// in slices on the timer, with the scroll bar growing.
TEST_F(ReadingModesTest, LayoutRunsInSlicesAfterTheFirstPage) {
  Start(400, 20 * 18);
  Choose(CMD_MODE_UTF8);
  const Bytes text = ToBytes(NumberedLines(50000));
  folder_.Write("long.txt", text);
  content_ = text;
  SimAnswerNextDialog("C:\\long.txt");
  SimChooseCommand(CMD_OPEN);
  SimRunUntilIdle(false);
  EXPECT_FALSE(LineTableDone());
  EXPECT_TRUE(SimTimerRunning(kLayoutTimer));
  EXPECT_GE(lastLine, view.pageLines);
  EXPECT_LT(lastLine, 50000);
  EXPECT_EQ(Differences(kUtf8, "first-page"), 0);
  SimRunUntilIdle();
  EXPECT_TRUE(LineTableDone());
  EXPECT_FALSE(SimTimerRunning(kLayoutTimer));
  EXPECT_EQ(lastLine, 50000);
  // End before the layout is done goes to the end all the same.
  SimChooseCommand(CMD_MODE_UTF16);
  SimChooseCommand(CMD_MODE_UTF8);
  SimRunUntilIdle(false);
  ASSERT_FALSE(LineTableDone());
  SimPressKey(kKeyEnd);
  SimRunUntilIdle(false);
  EXPECT_TRUE(LineTableDone());
  EXPECT_EQ(view.topLine, 50000 - 20 + 1);
  EXPECT_EQ(Differences(kUtf8, "sliced-end"), 0);
}

TEST_F(ReadingModesTest, TheMenuAndDetectionChooseTheMode) {
  const Bytes gbk = EncodeAs("中文 镕 text\n", "GBK");
  const Bytes big5 = EncodeAs("閱讀器 繁體\n", "CP950");
  const Bytes utf8 = EncodeAs("中文 UTF-8 文字\n", "UTF-8");
  struct Step {
    const char* what;
    int command;  // chosen before the open, or 0
    const char* name;
    const Bytes* content;
    Encoding shown;  // kGb2312: as the reader always showed it
    const char* caption;
  };
  const Step steps[] = {
      {"GB2312 at first", 0, "a.txt", &gbk, kGb2312, "Tavelo - C:\\a.txt"},
      {"a mode from the menu", CMD_MODE_UTF8, "b.txt", &utf8, kUtf8, "Tavelo - C:\\b.txt [UTF-8]"},
      {"the mode stays for the next open", 0, "c.txt", &utf8, kUtf8, "Tavelo - C:\\c.txt [UTF-8]"},
      {"detection picks GB18030", CMD_DETECT, "d.txt", &gbk, kGb18030,
       "Tavelo - C:\\d.txt [GB18030]"},
      {"then BIG5, nothing carried over", 0, "e.txt", &big5, kBig5, "Tavelo - C:\\e.txt [BIG5]"},
      {"then UTF-8", 0, "f.txt", &utf8, kUtf8, "Tavelo - C:\\f.txt [UTF-8]"},
      {"the BIG5 toggle returns to BIG5 shown as GB2312", CMD_BIG5, nullptr, nullptr, kGb2312,
       "Tavelo - C:\\f.txt"},
  };
  Start(500, 200);
  EXPECT_TRUE(SimMenuChecked(CMD_MODE_GB2312));
  EXPECT_FALSE(SimMenuChecked(CMD_DETECT));
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    if (s.command != 0) Choose(s.command);
    if (s.name != nullptr) Open(s.name, *s.content);
    EXPECT_EQ(textMode, s.shown);
    EXPECT_EQ(simWindow.caption, s.caption);
    if (s.shown != kGb2312) {
      EXPECT_EQ(Differences(s.shown, s.name), 0);
    }
  }
  EXPECT_TRUE(big5Mode);
  EXPECT_TRUE(SimMenuChecked(CMD_BIG5));
  EXPECT_TRUE(SimMenuChecked(CMD_MODE_GB2312));
  EXPECT_FALSE(SimMenuChecked(CMD_MODE_UTF8));
}

TEST_F(ReadingModesTest, ChoicesAreSavedOnlyOnceMade) {
  struct Case {
    const char* what;
    std::vector<int> commands;
    bool nativeReader;
    int detect;  // the saved values, -1 when not written
    int mode;
  };
  const Case cases[] = {
      {"nothing chosen writes nothing new", {}, false, -1, -1},
      {"a mode", {CMD_MODE_BIG5_HKSCS}, false, -1, 3},
      {"detection on, then a mode", {CMD_DETECT, CMD_MODE_HZ}, false, 1, 6},
      {"the native reader detects until told not to", {CMD_DETECT}, true, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    SimSetDetectsAtFirst(c.nativeReader);
    SimCreateKey(kLocalMachine, kOptionsKey);
    Start(300, 200);
    EXPECT_EQ(SimMenuChecked(CMD_DETECT), c.nativeReader);
    for (int command : c.commands) Choose(command);
    SimClose();
    SimRunUntilIdle();
    SimValue value;
    const bool detect = SimGetValue(kLocalMachine, kOptionsKey, kDetectValue, &value);
    EXPECT_EQ(detect ? value.bytes[0] : -1, c.detect);
    const bool mode = SimGetValue(kLocalMachine, kOptionsKey, kReadingModeValue, &value);
    EXPECT_EQ(mode ? value.bytes[0] : -1, c.mode);
    // The next start reads them back.
    ResetLogicState();
    SimSetDetectsAtFirst(c.nativeReader);
    RunProgram("tavelo.exe");
    SimRunUntilIdle();
    EXPECT_EQ(SimMenuChecked(CMD_DETECT), c.detect >= 0 ? c.detect == 1 : c.nativeReader);
    EXPECT_TRUE(SimMenuChecked(c.mode >= 0 ? CMD_MODE_GB2312 + c.mode : CMD_MODE_GB2312));
  }
}

}  // namespace
