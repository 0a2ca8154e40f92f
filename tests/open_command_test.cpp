// Opening documents, the BIG5 toggle, the menus and their commands, through
// the running program on the simulated desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "conversion/big5_map.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/file_names.h"
#include "shell/open_command.h"
#include "shell/state.h"
#include "shell/texts.h"
#include "tests/expected_page.h"
#include "tests/test_support.h"

namespace {

std::string Lines(int count, const std::string& text) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text + "\r\n";
  return out;
}

class OpenCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    SimCreateKey(kLocalMachine, kPositionKey);
    SimCreateKey(kLocalMachine, kLastDirectoryKey);
    const std::uint8_t off[4] = {0, 0, 0, 0};
    SimPutValue(kLocalMachine, kOptionsKey, kAutoOpenValue, kRegBinary, off, 4);
    RunProgram("tavelo.exe");
  }

  // Picks name in the open dialog.
  void OpenFromMenu(const std::string& name) {
    SimAnswerNextDialog(name);
    Choose(CMD_OPEN);
  }

  void Choose(int command) {
    SimChooseCommand(command);
    SimRunUntilIdle();
  }

  std::string LastDirectoryValue(std::size_t* size = nullptr) {
    SimValue value;
    if (!SimGetValue(kLocalMachine, kLastDirectoryKey, "", &value)) return "(none)";
    if (size) *size = value.bytes.size();
    return std::string(value.bytes.begin(), value.bytes.end());
  }

  int Layouts() const {
    int count = 0;
    for (char c : simWindow.cursors) count += c == 'W';
    return count;
  }

  ScratchFolder folder_;
};

TEST_F(OpenCommandTest, TheRoadOfOneFile) {
  // A BIG5 pair with a low trail: one character in BIG5 mode, two in GB mode.
  folder_.Write("texts/notes.b5", ToBytes("\xA4\x40\xA4\x41"
                                          "abc"));
  const int layoutsBefore = Layouts();
  OpenFromMenu("C:\\texts\\notes.b5");
  ASSERT_EQ(simDialogs.size(), 1u);
  const SimDialogCall& dialog = simDialogs[0];
  EXPECT_EQ(dialog.record.structSize, 76u);
  EXPECT_EQ(dialog.record.flags, 0x1004u);
  EXPECT_EQ(dialog.record.maxFile, 260u);
  EXPECT_EQ(dialog.record.maxFileTitle, 512u);
  EXPECT_EQ(dialog.record.filterIndex, 0u);
  const char filter[] =
      "All Texts (GB/TXT/BIG5)\0*.gb;*.txt;*.b5;*.big;*.big5\0GB Files (*.gb)\0*.gb\0"
      "Text Files (*.txt)\0*.txt\0BIG5 Files (*.b5, *.big, *.big5)\0*.b5;*.big;*.big5\0"
      "All Files (*.*)\0*.*\0";
  EXPECT_EQ(dialog.filter, std::string(filter, sizeof filter));
  EXPECT_EQ(simWindow.caption, "Tavelo - C:\\texts\\notes.b5");
  EXPECT_STREQ(currentName, "C:\\texts\\notes.b5");
  std::size_t size = 0;
  EXPECT_EQ(LastDirectoryValue(&size), std::string("C:\\texts\0", 9));
  EXPECT_EQ(size, 9u);
  EXPECT_EQ(big5Mode, 1);
  EXPECT_TRUE(SimMenuChecked(CMD_BIG5));
  EXPECT_EQ(Layouts() - layoutsBefore, 1) << "laid out once, in BIG5 mode";
  EXPECT_EQ(lineBytes[0], 7);
  EXPECT_EQ(view.topLine, 0);

  // The next dialog starts in the recorded directory.
  SimCancelNextDialog();
  Choose(CMD_OPEN);
  EXPECT_EQ(simDialogs.back().initialDir, "C:\\texts");
  EXPECT_EQ(simDialogs.back().initialFile, "C:\\texts\\notes.b5");
}

TEST_F(OpenCommandTest, DirectoryRule) {
  const struct {
    const char* name;
    const char* directory;  // null: nothing is recorded
  } cases[] = {
      {"C:\\readme.txt", "C:\\"},
      {"C:\\texts\\a.gb", "C:\\texts"},
      {"\\\\server\\share\\a.gb", "\\\\server\\share"},
      {"\\a.gb", "\\"},
      {"a.gb", nullptr},
  };
  for (const auto& c : cases) {
    char directory[kMaxPath] = "unchanged";
    EXPECT_EQ(DirectoryOf(c.name, directory), c.directory != nullptr) << c.name;
    EXPECT_STREQ(directory, c.directory ? c.directory : "unchanged") << c.name;
  }
  // Opened, C:\readme.txt stores 4 bytes; a name without a backslash none.
  folder_.Write("readme.txt", ToBytes("x"));
  OpenFromMenu("C:\\readme.txt");
  std::size_t size = 0;
  EXPECT_EQ(LastDirectoryValue(&size), std::string("C:\\\0", 4));
  EXPECT_EQ(size, 4u);
  folder_.Write("relative.gb", ToBytes("y"));
  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(folder_.Root());
  OpenFromMenu("relative.gb");
  std::filesystem::current_path(working);
  EXPECT_EQ(simWindow.caption, "Tavelo - relative.gb");
  EXPECT_EQ(LastDirectoryValue(), std::string("C:\\\0", 4)) << "left as it was";
  EXPECT_STREQ(lastDirectory, "C:\\");
}

TEST_F(OpenCommandTest, ExtensionRule) {
  const struct {
    const char* name;
    bool big5Before;
    bool asks;
  } cases[] = {
      {"notes.b5", false, true}, {"NOTES.B5", false, true}, {"a.big", false, true},
      {"a.BIG5", false, true},   {"a.big5", true, false},   {"NOTES.GB", true, true},
      {"a.gb", false, false},    {".gb", true, false},      {"x.gb", true, true},
      {".b5", false, false},     {"a.b5", true, false},     {".big", false, false},
      {"x.big", false, true},    {".big5", false, false},   {"x.big5", false, true},
      {"a.txt", true, false},    {"a.txt", false, false},   {"gb", true, false},
      {"a.gbx", true, false},    {"a.b55", false, false},
  };
  for (const auto& c : cases) {
    big5Mode = c.big5Before;
    EXPECT_EQ(ExtensionAsksForOtherMode(c.name), c.asks) << c.name << " " << c.big5Before;
  }
  big5Mode = 0;
}

TEST_F(OpenCommandTest, ModeAfterOpening) {
  const struct {
    const char* name;
    bool big5Before;
    bool big5After;
  } cases[] = {
      {"a.gb", false, false}, {"NOTES.GB", true, false}, {"a.big5", true, true},
      {"a.txt", true, true},  {"b.BIG", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (big5Mode != c.big5Before) Choose(CMD_BIG5);
    folder_.Write(c.name, ToBytes(Lines(3, "\xA4\x40")));
    OpenFromMenu(std::string("C:\\") + c.name);
    EXPECT_EQ(big5Mode, c.big5After);
    EXPECT_EQ(SimMenuChecked(CMD_BIG5), c.big5After);
  }
}

TEST_F(OpenCommandTest, SameNameIsRefusedAnotherCaseReopens) {
  folder_.Write("doc.gb", ToBytes(Lines(200, "some text")));
  OpenFromMenu("C:\\doc.gb");
  SimPressKey(kKeyPageDown);
  SimRunUntilIdle();
  const int top = view.topLine;
  ASSERT_GT(top, 0);
  simBoxes.clear();
  simBeeps.clear();
  OpenFromMenu("C:\\doc.gb");
  ASSERT_EQ(simBoxes.size(), 1u);
  EXPECT_EQ(simBoxes[0].text, kAlreadyReading);
  EXPECT_EQ(simBoxes[0].caption, "Tavelo");
  EXPECT_EQ(simBoxes[0].style, kBoxIconInformation);
  EXPECT_EQ(simBeeps, std::vector<unsigned>{kBeepAsterisk});
  EXPECT_EQ(view.topLine, top) << "the view keeps its place";

  options.silentMode = 1;
  OpenFromMenu("C:\\DOC.GB");
  EXPECT_EQ(simBoxes.size(), 1u);
  EXPECT_EQ(simWindow.caption, "Tavelo - C:\\DOC.GB");
  EXPECT_EQ(view.topLine, 0) << "opened again from the top";
  EXPECT_EQ(simBeeps.size(), 1u) << "silent mode beeps no more";
}

TEST_F(OpenCommandTest, FailedOpensChangeNothing) {
  folder_.Write("good.gb", ToBytes(Lines(100, "good")));
  folder_.Write("locked.gb", ToBytes("x"));
  SimHoldFile(folder_.Path("locked.gb"));
  std::filesystem::create_directories(folder_.Path("folder"));
  OpenFromMenu("C:\\good.gb");
  SimPressKey(kKeyDown);
  SimRunUntilIdle();
  const FileHandle document = documentHandle;
  const std::string caption = simWindow.caption;
  const std::string directory = LastDirectoryValue();
  for (const char* name : {"C:\\missing.gb", "C:\\folder", "C:\\locked.gb", "C:\\bad\"name.gb"}) {
    SCOPED_TRACE(name);
    simBoxes.clear();
    OpenFromMenu(name);
    ASSERT_EQ(simBoxes.size(), 1u);
    EXPECT_EQ(simBoxes[0].text, kCouldNotOpenFile);
    EXPECT_EQ(documentHandle, document);
    EXPECT_EQ(simWindow.caption, caption);
    EXPECT_STREQ(currentName, "C:\\good.gb");
    EXPECT_EQ(LastDirectoryValue(), directory);
    EXPECT_EQ(view.topLine, 1);
    EXPECT_EQ(SimOpenFileCount(), 1);
  }
  SimCancelNextDialog();
  Choose(CMD_OPEN);
  EXPECT_EQ(documentHandle, document) << "a cancelled dialog changes nothing";
}

TEST_F(OpenCommandTest, Drops) {
  folder_.Write("first.gb", ToBytes("first"));
  folder_.Write("second.gb", ToBytes("second"));
  SimDropFiles({"C:\\first.gb", "C:\\second.gb"});
  SimRunUntilIdle();
  EXPECT_EQ(simWindow.caption, "Tavelo - C:\\first.gb");
  EXPECT_EQ(SimUnfinishedDrops(), 0);
  EXPECT_TRUE(simDialogs.empty()) << "a drop opens without the dialog";

  SimDropFiles({"C:\\first.gb"});
  SimRunUntilIdle();
  ASSERT_EQ(simBoxes.size(), 1u);
  EXPECT_EQ(simBoxes[0].text, kAlreadyReading);

  SimDropFiles({"C:\\" + std::string(270, 'n')});
  SimRunUntilIdle();
  ASSERT_EQ(simBoxes.size(), 2u);
  EXPECT_EQ(simBoxes[1].text, kCouldNotOpenFile) << "never cut into another name";
  EXPECT_EQ(simWindow.caption, "Tavelo - C:\\first.gb");
  EXPECT_EQ(SimUnfinishedDrops(), 0);
}

TEST_F(OpenCommandTest, ToggleReanchorsAtTheTopByte) {
  // Wide pairs with low trails: a BIG5 line holds twice the characters of a GB line.
  std::string text;
  for (int i = 0; i < 4000; ++i) text += "\xA4\x40";
  folder_.Write("wide.txt", ToBytes(text));
  SimResizeClient(27 + 7 * 20, 10 * 18);
  OpenFromMenu("C:\\wide.txt");
  SimPostMessage(kMessageVScroll, kScrollThumbPosition | (50 << 16), 0);
  SimRunUntilIdle();
  const std::int32_t anchor = view.topOffset;
  ASSERT_GT(anchor, 0);
  Choose(CMD_BIG5);
  EXPECT_EQ(big5Mode, 1);
  EXPECT_LE(view.topOffset, anchor);
  EXPECT_GT(view.topOffset + lineBytes[view.topLine], anchor) << "the top line holds the byte";
  PageRequest request{ToBytes(text), view.columns,     true,
                      view.topLine,  SimClientWidth(), SimClientHeight()};
  EXPECT_EQ(
      DifferingPixels(ExpectedPage(request), SimSurface(), request.width, request.height, "toggle"),
      0);
}

TEST_F(OpenCommandTest, ToggleFailures) {
  folder_.Write("doc.gb", ToBytes(Lines(5, "\xA4\x40\xA4\x40")));
  OpenFromMenu("C:\\doc.gb");
  const int last = lastLine;
  struct Case {
    const char* what;
    bool hide;
    bool failMemory;
    const char* warning;
  };
  const Case cases[] = {
      {"no memory for it", false, true, kCouldNotAllocateMappingCodes},
      {"no Code bitmap", true, false, kCouldNotLoadMappingCodes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    simBoxes.clear();
    if (c.hide) SimHideResource(kCodeBitmapName);
    SimFailAllocations(13240, c.failMemory);
    const int invalidations = simPaint.invalidations;
    Choose(CMD_BIG5);
    ASSERT_EQ(simBoxes.size(), 1u);
    EXPECT_EQ(simBoxes[0].text, c.warning);
    EXPECT_EQ(big5Mode, 0);
    EXPECT_FALSE(SimMenuChecked(CMD_BIG5));
    EXPECT_EQ(lastLine, last);
    EXPECT_EQ(simPaint.invalidations, invalidations);
    EXPECT_EQ(SimLiveBlocks(), 1) << "only the Work area";
  }
}

TEST_F(OpenCommandTest, OpeningForBig5WithoutTheMapLaysOutInGbMode) {
  folder_.Write("old.gb", ToBytes(Lines(300, "old document")));
  folder_.Write("new.b5", ToBytes("\xA4\x40\xA4\x41 new"));
  OpenFromMenu("C:\\old.gb");
  SimPressKey(kKeyPageDown);
  SimRunUntilIdle();
  SimHideResource(kCodeBitmapName);
  OpenFromMenu("C:\\new.b5");
  EXPECT_EQ(simBoxes.back().text, kCouldNotLoadMappingCodes);
  EXPECT_EQ(big5Mode, 0);
  EXPECT_EQ(lastLine, 0) << "the new document's own layout";
  EXPECT_EQ(view.topLine, 0);
  EXPECT_EQ(lineBytes[0], 8);
  PageRequest request{
      ToBytes("\xA4\x40\xA4\x41 new"), view.columns, false, 0, SimClientWidth(), SimClientHeight()};
  EXPECT_EQ(
      DifferingPixels(ExpectedPage(request), SimSurface(), request.width, request.height, "nomap"),
      0);
}

TEST_F(OpenCommandTest, ToggleWithoutADocument) {
  const int invalidations = simPaint.invalidations;
  Choose(CMD_BIG5);
  EXPECT_EQ(big5Mode, 1);
  EXPECT_TRUE(SimMenuChecked(CMD_BIG5));
  EXPECT_EQ(SimLiveBlocks(), 2) << "the Work area and the map";
  EXPECT_GT(simPaint.invalidations, invalidations);
  Choose(CMD_BIG5);
  EXPECT_EQ(big5Mode, 0);
  EXPECT_EQ(SimLiveBlocks(), 1);
  EXPECT_EQ(SimBlocksAllocated(13240), 1);
}

TEST_F(OpenCommandTest, FileMenuGraying) {
  struct Case {
    const char* what;
    bool document;
    bool big5;
    bool clipboard;
    bool saveGb, decode, paste;
  };
  const Case cases[] = {
      {"nothing open", false, false, false, false, false, false},
      {"nothing open, text on the clipboard", false, false, true, false, false, true},
      {"BIG5 mode, nothing open", false, true, false, false, false, false},
      {"GB document", true, false, false, false, true, false},
      {"BIG5 document", true, true, true, true, true, true},
  };
  folder_.Write("doc.txt", ToBytes("text"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.document && documentHandle == kInvalidFile) OpenFromMenu("C:\\doc.txt");
    if (big5Mode != c.big5) Choose(CMD_BIG5);
    simClipboard.hasText = c.clipboard;
    EXPECT_EQ(SimOpenPopup(0), 0);
    EXPECT_EQ(SimMenuEnabled(CMD_SAVE_GB), c.saveGb);
    EXPECT_EQ(SimMenuEnabled(CMD_DECODE_HZ), c.decode);
    EXPECT_EQ(SimMenuEnabled(CMD_DECODE_QP), c.decode);
    EXPECT_EQ(SimMenuEnabled(CMD_PASTE), c.paste);
    EXPECT_TRUE(SimMenuEnabled(CMD_OPEN));
  }
  // The Options popup and the system menu are left to the platform.
  simClipboard.hasText = false;
  SimOpenPopup(1);
  SimOpenPopup(0, true);
  EXPECT_TRUE(SimMenuEnabled(CMD_PASTE));
}

TEST_F(OpenCommandTest, OptionsAboutAndExit) {
  EXPECT_FALSE(SimMenuChecked(CMD_SILENT));
  Choose(CMD_SILENT);
  EXPECT_EQ(options.silentMode, 1);
  EXPECT_TRUE(SimMenuChecked(CMD_SILENT));
  Choose(CMD_AUTOOPEN);
  EXPECT_EQ(options.autoOpen, 1);
  EXPECT_TRUE(SimMenuChecked(CMD_AUTOOPEN));
  Choose(CMD_SILENT);
  simBeeps.clear();
  Choose(CMD_ABOUT);
  ASSERT_EQ(simBoxes.size(), 1u);
  EXPECT_EQ(simBoxes[0].caption, "About");
  EXPECT_EQ(simBoxes[0].style, kBoxIconInformation);
  EXPECT_EQ(simBeeps, std::vector<unsigned>{kBeepExclamation}) << "the exclamation sound";
  const std::string& text = simBoxes[0].text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << "three lines";
  EXPECT_NE(text.find("Tavelo"), std::string::npos);
  EXPECT_NE(text.find("1.0.0"), std::string::npos);
  EXPECT_NE(text.find("13x13"), std::string::npos);
  Choose(999);  // an unknown command changes nothing
  EXPECT_EQ(simBoxes.size(), 1u);

  Choose(CMD_EXIT);
  EXPECT_TRUE(SimQuitPosted());
  SimValue saved;
  ASSERT_TRUE(SimGetValue(kLocalMachine, kOptionsKey, kAutoOpenValue, &saved));
  EXPECT_EQ(saved.bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(SimLiveBlocks(), 0);
}

TEST_F(OpenCommandTest, CheckMarksAtCreationFollowTheOptions) {
  const std::uint8_t on[4] = {1, 0, 0, 0};
  const std::uint8_t off[4] = {0, 0, 0, 0};
  SimPutValue(kLocalMachine, kOptionsKey, kSilentValue, kRegBinary, on, 4);
  SimPutValue(kLocalMachine, kOptionsKey, kAutoOpenValue, kRegBinary, off, 4);
  RunProgram("tavelo.exe");
  EXPECT_TRUE(SimMenuChecked(CMD_SILENT));
  EXPECT_FALSE(SimMenuChecked(CMD_AUTOOPEN));
  EXPECT_TRUE(simDialogs.empty());
}

}  // namespace
