#include <gtest/gtest.h>

#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "tests/test_support.h"

namespace {

std::string Letters(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

struct LayoutCase {
  const char* what;
  std::string content;
  int columns;
  bool big5;
  int result;
  std::vector<int> lineBytes;  // one entry per display line
  std::vector<int> phases;
};

class LineIndexTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }

  // Lays content out and returns the build's result.
  int Build(const std::string& content, int columns, bool big5) {
    EXPECT_TRUE(OpenDocumentFile(folder_.Write("doc.txt", ToBytes(content))));
    view.columns = columns;
    big5Mode = big5 ? 1 : 0;
    return BuildLineIndex(view.columns);
  }

  ScratchFolder folder_;
};

TEST_F(LineIndexTest, LaysOutDisplayLines) {
  const std::string gb = "\xB0\xA1";  // one GB2312 character
  const LayoutCase cases[] = {
      {"empty", "", 10, false, 0, {0}, {0}},
      {"12 letters, CR LF", Letters(12) + "\r\n", 10, false, 0, {10, 4, 0}, {0, 2, 0}},
      {"10 letters, CR LF", Letters(10) + "\r\n", 10, false, 0, {12, 0}, {0, 0}},
      {"10 letters", Letters(10), 10, false, 0, {10}, {0}},
      {"11 letters", Letters(11), 10, false, 0, {10, 1}, {0, 2}},
      {"a TAB b", "a\tb", 10, false, 0, {3}, {0}},
      {"9 letters, TAB, x", Letters(9) + "\tx", 10, false, 0, {9, 2}, {0, 2}},
      {"10 letters, TAB, x", Letters(10) + "\tx", 10, false, 0, {10, 2}, {0, 2}},
      {"9 letters, a pair, CR LF", Letters(9) + gb + "\r\n", 10, false, 0, {9, 4, 0}, {0, 1, 0}},
      {"lone CR", "a\rb", 10, false, 0, {2, 1}, {0, 0}},
      {"LF then CR", "a\n\rb", 10, false, 0, {2, 1, 1}, {0, 0, 0}},
      {"CR then CR LF", "a\r\r\nb", 10, false, 0, {2, 2, 1}, {0, 0, 0}},
      {"CR as the last byte", "ab\r", 10, false, 0, {3, 0}, {0, 0}},
      {"lead byte as the last byte", "ab\xB0", 10, false, 0, {3}, {0}},
      {"lead byte before a letter",
       "\xB0"
       "A",
       10,
       false,
       0,
       {2},
       {0}},
      {"lead byte before a letter, BIG5",
       "\xB0"
       "A",
       10,
       true,
       0,
       {2},
       {0}},
      {"BIG5 pair with a low trail wraps whole",
       Letters(9) + "\xB0"
                    "A",
       10,
       true,
       0,
       {9, 2},
       {0, 1}},
      {"the same bytes in GB mode are singles",
       Letters(9) + "\xB0"
                    "A",
       10,
       false,
       0,
       {10, 1},
       {0, 2}},
      {"tab then CR LF, 8 columns", "AB\t\r\nx", 8, false, 0, {5, 1}, {0, 0}},
      {"tab over several 2-column lines", "\tx", 2, false, 0, {0, 0, 0, 1, 1}, {0, 2, 4, 6, 0}},
      {"253 letters, CR LF, 253 columns", Letters(253) + "\r\n", 253, false, 0, {255, 0}, {0, 0}},
      {"0xF8 0xA1 in GB mode are two singles", "a\xF8\xA1", 2, false, 0, {2, 1}, {0, 2}},
      {"0xF9 0xA1 in BIG5 mode is a pair", "a\xF9\xA1", 2, true, 0, {1, 2}, {0, 1}},
      {"0xFA 0xA1 in BIG5 mode are two singles", "a\xFA\xA1", 2, true, 0, {2, 1}, {0, 2}},
      {"tab carries its phase across a wrap",
       Letters(3) + "\t" + Letters(6) + "\tz",
       10,
       false,
       0,
       {6, 6},
       {0, 2}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Build(c.content, c.columns, c.big5), c.result);
    ASSERT_EQ(lastLine + 1, static_cast<int>(c.lineBytes.size()));
    for (int k = 0; k <= lastLine; ++k) {
      EXPECT_EQ(lineBytes[k], c.lineBytes[k]) << "line " << k;
      EXPECT_EQ(StoredPhase(k), c.phases[k]) << "line " << k;
    }
  }
}

TEST_F(LineIndexTest, PhasesArePackedTwoToAByteLeavingTheOtherNibble) {
  ASSERT_TRUE(AllocateWorkArea());
  linePhase[2] = 0x0D;  // line 5's nibble, which a 5-line layout must leave alone
  Build("\tx", 2, false);
  ASSERT_EQ(lastLine, 4);
  EXPECT_EQ(linePhase[0], 0x02);
  EXPECT_EQ(linePhase[1], 0x46);
  EXPECT_EQ(linePhase[2], 0x0D);
}

TEST_F(LineIndexTest, TabThatEndsOnTheNextLineIsCountedThere) {
  // The first space fills column 9, the other six open line 1, "x" stands in column 6.
  Build(Letters(9) + "\tx", 10, false);
  EXPECT_EQ(LineStartOffset(1), 9);
  EXPECT_EQ(lineBytes[1], 2) << "the tab byte and x";
}

TEST_F(LineIndexTest, StopsAtTheLineLimit) {
  struct LimitCase {
    const char* what;
    std::string content;
    int result;
    std::int32_t covered;  // bytes the 32,768 lines consume
  };
  std::string lines;
  for (int i = 0; i < kMaxDisplayLines - 1; ++i) lines += "x\n";
  const LimitCase cases[] = {
      {"exactly 32,768 lines, no final break", lines + "x", 0, 65535},
      {"32,768th line ends with a break", lines + "x\n", 1, 65536},
      {"32,768th line ends with a wrap", lines + Letters(11), 1, 65544},
      {"a long tail after the limit", lines + "x\n" + lines, 1, 65536},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Build(c.content, 10, false), c.result);
    EXPECT_EQ(lastLine, kMaxDisplayLines - 1);
    EXPECT_EQ(LineStartOffset(kMaxDisplayLines), c.covered);
  }
}

}  // namespace
