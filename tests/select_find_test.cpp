// Select, copy and find through the running program: a drag of the mouse
// over the page and what Copy puts on the clipboard in each mode, and Find,
// F3 and Shift+F3 over whole documents.
#include <gtest/gtest.h>

#include <string>

#include "display/selection.h"
#include "display/view.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/texts.h"
#include "tests/test_support.h"

namespace {

constexpr int kWidth = 601;  // 82 columns
constexpr int kHeight = 545;

// The client pixel in the left half of column col on visible line line.
int ColumnX(int col) {
  return 15 + 7 * col + 1;
}
int LineY(int line) {
  return 5 + 18 * line + 6;
}

class SelectFindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    SimCreateKey(kLocalMachine, kPositionKey);  // not a first run: no questions
    RunProgram("tavelo.exe");
    SimResizeClient(kWidth, kHeight);
    SimRunUntilIdle();
  }

  // Opens the document in the mode a menu command chooses (0: GB2312 as
  // the program starts).
  void Open(const Bytes& content, int mode) {
    folder_.Write("doc.txt", content);
    if (mode != 0) SimChooseCommand(mode);
    SimAnswerNextDialog("C:\\doc.txt");
    SimChooseCommand(CMD_OPEN);
    SimRunUntilIdle();
  }

  // The clipboard's text after Ctrl+C, its closing zero left off.
  std::u16string Copied() {
    SimPressKey('C', kSimControl);
    SimRunUntilIdle();
    const std::string& block = simClipboard.block;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < block.size(); i += 2) {
      text += static_cast<char16_t>(static_cast<std::uint8_t>(block[i]) |
                                    static_cast<std::uint8_t>(block[i + 1]) << 8);
    }
    if (!text.empty() && text.back() == 0) text.pop_back();
    return text;
  }

  ScratchFolder folder_;
};

TEST_F(SelectFindTest, ADragSelectsCellsAndCopyDecodesThemInEveryMode) {
  struct Case {
    const char* what;
    int mode;  // the menu command choosing it; CMD_BIG5 toggles the old BIG5 mode
    Bytes content;
    int fromLine, fromCol, toLine, toCol;
    std::u16string copied;
  };
  const Bytes hz = ToBytes("~{VPND~} HZ\n");  // 中文 as HZ's 7-bit GB2312
  const Case cases[] = {
      {"GB2312, a line break as the file has it", 0, EncodeAs("中文 Chinese\r\n第二行", "GB2312"),
       0, 0, 1, 4, u"中文 Chinese\r\n第二"},
      {"dragged backwards", 0, EncodeAs("中文 Chinese\r\n第二行", "GB2312"), 1, 4, 0, 0,
       u"中文 Chinese\r\n第二"},
      {"the old BIG5 mode", CMD_BIG5, EncodeAs("繁體中文\r\n", "BIG5"), 0, 2, 0, 6, u"體中"},
      {"GB18030's four-byte code and a byte it cannot read", CMD_MODE_GB18030,
       Join(EncodeAs("甲𠀀乙", "GB18030"), ToBytes("\xFF丙")), 0, 0, 0, 7, u"甲𠀀乙\uFFFD"},
      {"UTF-8 from its start, the mark left out", CMD_MODE_UTF8, ToBytes("\xEF\xBB\xBFok 好\n"), 0,
       0, 0, 5, u"ok 好"},
      {"UTF-16 big-endian", CMD_MODE_UTF16, EncodeAs("\uFEFF一二\tthree\n", "UTF-16BE"), 0, 2, 1, 0,
       u"二\tthree\n"},
      {"HZ, its escapes left out", CMD_MODE_HZ, hz, 0, 0, 0, 7, u"中文 HZ"},
      {"below the last line: to the end", CMD_MODE_UTF8, ToBytes("ab\ncd"), 0, 1, 20, 0, u"b\ncd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.content, c.mode);
    SimPressMouse(ColumnX(c.fromCol), LineY(c.fromLine));
    SimDragMouse(ColumnX(c.fromCol + 1), LineY(c.fromLine));
    SimDragMouse(ColumnX(c.toCol), LineY(c.toLine));
    SimRunUntilIdle();
    EXPECT_TRUE(SimMouseCaptured()) << "a drag out of the window goes on";
    SimReleaseMouse(ColumnX(c.toCol), LineY(c.toLine));
    simInversions.clear();
    SimInvalidateRect(PixelRect{0, 0, kWidth, kHeight});
    SimRunUntilIdle();
    EXPECT_FALSE(SimMouseCaptured());
    EXPECT_EQ(Copied(), c.copied);
    // One inverted band a line, from the first cell selected to the last.
    const int firstLine = std::min(c.fromLine, c.toLine);
    ASSERT_FALSE(simInversions.empty());
    EXPECT_EQ(simInversions.front().top, 5 + 18 * firstLine);
    EXPECT_EQ(simInversions.front().bottom - simInversions.front().top, 13);
    if (c.fromLine == c.toLine) {
      EXPECT_EQ(simInversions.size(), 1u);
      EXPECT_EQ(simInversions[0].left, 15 + 7 * std::min(c.fromCol, c.toCol));
    }
    if (c.mode == CMD_BIG5) SimChooseCommand(CMD_BIG5);  // back to GB2312
  }
}

TEST_F(SelectFindTest, ShiftClickExtendsAndANewClickStartsAgain) {
  Open(ToBytes("one two three\nfour five six\n"), CMD_MODE_UTF8);
  SimPressMouse(ColumnX(4), LineY(0));
  SimReleaseMouse(ColumnX(4), LineY(0));
  SimPressMouse(ColumnX(4), LineY(1), kSimShift);
  SimReleaseMouse(ColumnX(4), LineY(1));
  SimRunUntilIdle();
  EXPECT_EQ(Copied(), u"two three\nfour");
  SimPressMouse(ColumnX(0), LineY(1), kSimShift);  // the anchor stays where it was
  SimReleaseMouse(ColumnX(0), LineY(1));
  SimRunUntilIdle();
  EXPECT_EQ(Copied(), u"two three\n");
  SimPressMouse(ColumnX(5), LineY(1));
  SimReleaseMouse(ColumnX(5), LineY(1));
  SimRunUntilIdle();
  simClipboard.block.clear();
  EXPECT_EQ(Copied(), u"") << "an empty selection copies nothing";
  EXPECT_EQ(simClipboard.puts, 2);
  SimPressKey('A', kSimControl);
  SimRunUntilIdle();
  EXPECT_EQ(Copied(), u"one two three\nfour five six\n");
}

TEST_F(SelectFindTest, FindGoesThroughTheWholeDocumentAsWholeCharacters) {
  // A GBK text of about 2.5 MB: 好 (BA C3) stands whole twice, and its bytes
  // also across 亢美 (BF BA C3 C0), which is no place of it; one 好 spans the
  // 1 MB blocks the search reads.
  const std::string line =
      "亢美 filler text of a line, " + std::string(60, 'x') + "\n";  // 93 bytes
  std::string text;
  while (text.size() < (1u << 20) - 200) text += line;
  text += std::string((1u << 20) - 1 - EncodeAs(text, "GBK").size(), 'y');
  const std::size_t firstAt = EncodeAs(text, "GBK").size();
  text += "好\n";
  while (text.size() < (5u << 19)) text += line;
  const std::size_t secondAt = EncodeAs(text, "GBK").size() + 3;
  text += "end好 end";
  const Bytes gbk = EncodeAs(text, "GBK");
  ASSERT_EQ(firstAt, (1u << 20) - 1);
  Open(gbk, CMD_MODE_GB18030);

  struct Step {
    const char* what;
    unsigned key;  // 'F' with Ctrl, kKeyF3, with shift
    bool shift;
    const char16_t* typed;  // the Find dialog's answer; null: cancelled
    long selected;          // the selection's start afterwards; -1: "Not found."
  };
  const Step steps[] = {
      {"Ctrl+F finds the first from the top", 'F', false, u"好", static_cast<long>(firstAt)},
      {"F3 the next", kKeyF3, false, nullptr, static_cast<long>(secondAt)},
      {"F3 goes round to the first", kKeyF3, false, nullptr, static_cast<long>(firstAt)},
      {"Shift+F3 goes round to the last", kKeyF3, true, nullptr, static_cast<long>(secondAt)},
      {"Shift+F3 the one before", kKeyF3, true, nullptr, static_cast<long>(firstAt)},
      {"a cancelled Find changes nothing", 'F', false, nullptr, static_cast<long>(firstAt)},
      {"ASCII across characters is none", 'F', false, u"end", static_cast<long>(secondAt - 3)},
      {"a character GBK lacks is nowhere", 'F', false, u"😀", -1},
      {"nor is a text that is not there", 'F', false, u"美好", -1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    simBoxes.clear();
    if (step.key == 'F' && step.typed != nullptr) SimAnswerNextFind(step.typed);
    SimPressKey(step.key, step.key == 'F' ? kSimControl : (step.shift ? kSimShift : 0));
    SimRunUntilIdle();
    if (step.selected < 0) {
      ASSERT_EQ(simBoxes.size(), 1u);
      EXPECT_EQ(simBoxes[0].text, kNotFound);
      continue;
    }
    EXPECT_TRUE(simBoxes.empty());
    EXPECT_EQ(SelectionStart(), step.selected);
    EXPECT_EQ(SelectionEnd() - SelectionStart(),
              step.selected == static_cast<long>(secondAt) - 3 ? 3 : 2);
    // The match is shown: the top line is at most a page above it.
    EXPECT_LE(view.topOffset, step.selected);
    EXPECT_GT(view.topOffset + 93 * view.pageLines, step.selected);
  }
  ASSERT_GE(simFindShown.size(), 2u);
  EXPECT_EQ(simFindShown[1], u"好") << "the dialog shows the text asked last";
}

TEST_F(SelectFindTest, FindInTheModesWhoseBytesNeedMoreThanASearch) {
  struct Case {
    const char* what;
    int mode;
    Bytes content;
    std::u16string query;
    std::u16string copied;  // the match's text; empty: not found
  };
  const Case cases[] = {
      // 中文 is 2D 4E 87 65 in UTF-16LE: 蝎 (4E 87) stands across its units.
      {"UTF-16: only whole units", CMD_MODE_UTF16, EncodeAs("\uFEFF中文", "UTF-16LE"), u"蝎", u""},
      {"UTF-16 big-endian", CMD_MODE_UTF16, EncodeAs("\uFEFFab中文", "UTF-16BE"), u"b中", u"b中"},
      {"HZ compares characters", CMD_MODE_HZ, ToBytes("x ~{VPND~} y\n"), u"中文 y", u"中文 y"},
      {"UTF-8", CMD_MODE_UTF8, ToBytes("caf\xC3\xA9 caf\xC3\xA9"), u"é c", u"é c"},
      {"the old GB2312 mode", CMD_MODE_GB2312, EncodeAs("第一 第二", "GB2312"), u"第二", u"第二"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.content, c.mode);
    simBoxes.clear();
    simClipboard.block.clear();
    SimAnswerNextFind(c.query);
    SimChooseCommand(CMD_FIND);
    SimRunUntilIdle();
    if (c.copied.empty()) {
      ASSERT_EQ(simBoxes.size(), 1u);
      EXPECT_EQ(simBoxes[0].text, kNotFound);
    } else {
      EXPECT_EQ(Copied(), c.copied);
    }
  }
}

}  // namespace
