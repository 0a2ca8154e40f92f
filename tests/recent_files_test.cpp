// The recent documents in the File menu: the option and its default in each
// program, the list's order and length, reopening where the reader stopped,
// a restart, a missing file and Uninstall.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "display/view.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/texts.h"
#include "tests/test_support.h"

namespace {

// The File menu's recent items, in order.
std::vector<std::string> RecentItems() {
  std::vector<std::string> texts;
  for (const SimMenuItem& item : SimFileMenu()) {
    if (item.command >= CMD_RECENT_FIRST && item.command <= CMD_RECENT_LAST) {
      texts.push_back(item.text);
    }
  }
  return texts;
}

bool HasValue(const char* name) {
  SimValue value;
  return SimGetValue(kLocalMachine, kOptionsKey, name, &value);
}

std::string Lines(const std::string& line, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line + std::to_string(i) + "\r\n";
  return text;
}

class RecentFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    SimCreateKey(kLocalMachine, kOptionsKey);
    SimCreateKey(kLocalMachine, kPositionKey);  // not a first run: no questions
  }

  // Opens C:\name through the Open dialog.
  void Open(const std::string& name) {
    SimAnswerNextDialog("C:\\" + name);
    SimChooseCommand(CMD_OPEN);
    SimRunUntilIdle();
  }

  void Exit() {
    SimChooseCommand(CMD_EXIT);
    SimRunUntilIdle();
  }

  ScratchFolder folder_;
};

TEST_F(RecentFilesTest, OffAtFirstInTaveloExeOnInTheNativeReaderSavedOnceChosen) {
  struct Case {
    bool nativeDefault, toggled;
    bool listed;      // the File menu lists the documents, and the registry keeps them
    int savedOption;  // -1: not written
  };
  const Case cases[] = {{false, false, false, -1},
                        {false, true, true, 1},
                        {true, false, true, -1},
                        {true, true, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.nativeDefault ? "native" : "tavelo.exe") +
                 (c.toggled ? ", toggled" : ""));
    SetUp();
    SimSetRecentFilesAtFirst(c.nativeDefault);
    folder_.Write("a.txt", ToBytes("a"));
    folder_.Write("b&c.txt", ToBytes("b"));
    RunProgram("tavelo.exe");
    if (c.toggled) SimChooseCommand(CMD_RECENT_FILES);
    Open("a.txt");
    Open("b&c.txt");
    EXPECT_EQ(SimMenuChecked(CMD_RECENT_FILES), c.listed);
    const std::vector<std::string> listed{"&1 b&&c.txt", "&2 a.txt"};
    EXPECT_EQ(RecentItems(), c.listed ? listed : std::vector<std::string>{});
    // The section's separator goes with it: the menu is otherwise as it was.
    EXPECT_EQ(SimFileMenu().size(), 10u + (c.listed ? 3 : 0));
    Exit();
    SimValue option;
    EXPECT_EQ(
        SimGetValue(kLocalMachine, kOptionsKey, kRecentFilesValue, &option) ? option.bytes[0] : -1,
        c.savedOption);
    EXPECT_EQ(HasValue("recent file 1"), c.listed);
    EXPECT_EQ(HasValue("recent top 1"), c.listed);
  }
}

TEST_F(RecentFilesTest, MostRecentFirstAtMostEightMissingFilesDropped) {
  struct Step {
    const char* open;    // a name to open with the dialog, or null
    int item;            // else the list's item to choose, from 0
    const char* remove;  // a file to delete first, or null
    const char* list;    // the items' names, most recent first
    bool warned;         // "Could not open the file."
  };
  const Step steps[] = {
      {"1.txt", 0, nullptr, "1", false},
      {"2.txt", 0, nullptr, "2 1", false},
      {"1.txt", 0, nullptr, "1 2", false},
      {"3.txt", 0, nullptr, "3 1 2", false},
      {nullptr, 2, nullptr, "2 3 1", false},
      {"4.txt", 0, nullptr, "4 2 3 1", false},
      {"5.txt", 0, nullptr, "5 4 2 3 1", false},
      {"6.txt", 0, nullptr, "6 5 4 2 3 1", false},
      {"7.txt", 0, nullptr, "7 6 5 4 2 3 1", false},
      {"8.txt", 0, nullptr, "8 7 6 5 4 2 3 1", false},
      {"9.txt", 0, nullptr, "9 8 7 6 5 4 2 3", false},
      {nullptr, 3, "6.txt", "9 8 7 5 4 2 3", true},
      {nullptr, 0, nullptr, "9 8 7 5 4 2 3", false},  // the open one: "already reading"
  };
  for (char c = '1'; c <= '9'; ++c) folder_.Write(std::string(1, c) + ".txt", ToBytes("text"));
  SimSetRecentFilesAtFirst(true);
  RunProgram("tavelo.exe");
  for (const Step& step : steps) {
    SCOPED_TRACE(step.list);
    simBoxes.clear();
    if (step.remove != nullptr) std::remove(folder_.Path(step.remove).c_str());
    if (step.open != nullptr) {
      Open(step.open);
    } else {
      SimChooseCommand(CMD_RECENT_FIRST + step.item);
      SimRunUntilIdle();
    }
    std::string list;
    const std::vector<std::string> items = RecentItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::string& text = items[i];
      EXPECT_EQ(text.substr(0, 3), "&" + std::to_string(i + 1) + " ");
      list += (list.empty() ? "" : " ") + text.substr(3, text.size() - 7);
    }
    EXPECT_EQ(list, step.list);
    EXPECT_EQ(!simBoxes.empty() && simBoxes.back().text == kCouldNotOpenFile, step.warned);
  }
  Exit();
  EXPECT_EQ(HasValue("recent file 7"), true);
  SimValue eighth;
  ASSERT_TRUE(SimGetValue(kLocalMachine, kOptionsKey, "recent file 8", &eighth));
  EXPECT_EQ(eighth.bytes, std::vector<std::uint8_t>{0}) << "no name left from the longer list";
}

TEST_F(RecentFilesTest, ReopeningFromTheListReturnsToTheLineWhereTheReaderStopped) {
  struct Case {
    const char* what;
    int mode;       // the reading mode chosen before opening
    bool restart;   // the program ends and starts again before reopening
    bool fromList;  // else reopened with the dialog, which starts at the top
  };
  const Case cases[] = {
      {"GB2312", CMD_MODE_GB2312, false, true},
      {"GB2312 after a restart", CMD_MODE_GB2312, true, true},
      {"GB2312 by the dialog", CMD_MODE_GB2312, false, false},
      {"UTF-8 deep in a long document", CMD_MODE_UTF8, false, true},
      {"UTF-8 after a restart", CMD_MODE_UTF8, true, true},
  };
  // About 4 MB in UTF-8: far more than the first page's layout reaches.
  folder_.Write("long.txt", ToBytes(Lines("中文的一行，汉字和标点。Line ", 150000)));
  folder_.Write("other.txt", ToBytes("other"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    SimSetRecentFilesAtFirst(true);
    RunProgram("tavelo.exe");
    SimChooseCommand(c.mode);
    Open("long.txt");
    SimPressKey(kKeyEnd);
    SimRunUntilIdle();
    for (int i = 0; i < 3; ++i) SimPressKey(kKeyPageUp);
    SimRunUntilIdle();
    const int topLine = view.topLine;
    const std::int32_t topOffset = view.topOffset;
    const std::vector<std::uint8_t> page = SimSurface();
    ASSERT_GT(topOffset, 1 << 20);
    if (c.restart) {
      Exit();
      RunProgram("tavelo.exe");
      SimRunUntilIdle();
    }
    Open("other.txt");
    if (c.fromList) {
      ASSERT_EQ(RecentItems().at(1), "&2 long.txt");
      SimChooseCommand(CMD_RECENT_FIRST + 1);
    } else {
      Open("long.txt");
    }
    SimRunUntilIdle(false);  // the lines up to the top laid out at once, not by the timer
    EXPECT_EQ(view.topLine, c.fromList ? topLine : 0);
    EXPECT_EQ(view.topOffset, c.fromList ? topOffset : 0);
    EXPECT_EQ(SimSurface() == page, c.fromList);
  }
}

TEST_F(RecentFilesTest, UninstallRemovesTheListWithTheOtherSettings) {
  folder_.Write("a.txt", ToBytes("a"));
  SimSetRecentFilesAtFirst(true);
  RunProgram("tavelo.exe");
  Open("a.txt");
  ASSERT_TRUE(HasValue("recent file 1"));
  SimAnswerNextBox(kAnswerOk);
  SimChooseCommand(CMD_UNINSTALL);
  SimRunUntilIdle();
  EXPECT_FALSE(SimKeyExists(kLocalMachine, kOptionsKey));
  EXPECT_FALSE(SimKeyExists(kLocalMachine, kProductKey));
}

}  // namespace
