// The recent documents in the File menu: the option and its default in each
// program, the list's order and length, a missing file, Uninstall, and
// reopening where the reader stopped, also after a restart.
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
    EXPECT_EQ(HasValue("recent file 1") && HasValue("recent top 1"), c.listed);
  }
}

TEST_F(RecentFilesTest, MostRecentFirstAtMostEightMissingFilesDroppedUninstallRemovesThem) {
  struct Step {
    const char* open;    // names opened with the dialog, in order
    int item;            // then the list's item chosen, from 0; -1 none
    const char* remove;  // a file deleted first, or null
    const char* list;    // the items' names, most recent first
  };
  const Step steps[] = {
      {"1 2 1", -1, nullptr, "1 2"},
      {"3 4 5 6 7 8 9", -1, nullptr, "9 8 7 6 5 4 3 1"},
      {"", 5, nullptr, "4 9 8 7 6 5 3 1"},
      {"", 3, "7", "4 9 8 6 5 3 1"},
  };
  for (char c = '1'; c <= '9'; ++c) folder_.Write(std::string(1, c), ToBytes("text"));
  SimSetRecentFilesAtFirst(true);
  RunProgram("tavelo.exe");
  for (const Step& step : steps) {
    SCOPED_TRACE(step.list);
    simBoxes.clear();
    if (step.remove != nullptr) std::remove(folder_.Path(step.remove).c_str());
    for (const char* name = step.open; *name != 0; name += name[1] != 0 ? 2 : 1) {
      Open(std::string(1, *name));
    }
    if (step.item >= 0) SimChooseCommand(CMD_RECENT_FIRST + step.item);
    SimRunUntilIdle();
    std::string list;
    for (const std::string& text : RecentItems()) list += text.substr(3) + " ";
    EXPECT_EQ(list, std::string(step.list) + " ");
    EXPECT_EQ(simBoxes.size() == 1 && simBoxes[0].text == kCouldNotOpenFile,
              step.remove != nullptr);
  }
  Exit();
  SimValue eighth;
  ASSERT_TRUE(SimGetValue(kLocalMachine, kOptionsKey, "recent file 8", &eighth));
  EXPECT_EQ(eighth.bytes, std::vector<std::uint8_t>{0}) << "no name left from the longer list";
  RunProgram("tavelo.exe");
  SimAnswerNextBox(kAnswerOk);
  SimChooseCommand(CMD_UNINSTALL);
  SimRunUntilIdle();
  EXPECT_FALSE(SimKeyExists(kLocalMachine, kOptionsKey)) << "Uninstall takes the list too";
}

TEST_F(RecentFilesTest, ReopeningFromTheListReturnsToTheLineWhereTheReaderStopped) {
  struct Case {
    int mode;       // the reading mode chosen before opening
    bool restart;   // the program ends and starts again before reopening
    bool fromList;  // else reopened with the dialog, which starts at the top
  };
  const Case cases[] = {{CMD_MODE_GB2312, false, true},
                        {CMD_MODE_GB2312, false, false},
                        {CMD_MODE_UTF8, false, true},
                        {CMD_MODE_UTF8, true, true}};
  // About 4 MB in UTF-8: far more than the first page's layout reaches.
  std::string text;
  for (int i = 0; i < 150000; ++i)
    text += "中文的一行，汉字和标点。Line " + std::to_string(i) + "\r\n";
  folder_.Write("long.txt", ToBytes(text));
  folder_.Write("other.txt", ToBytes("other"));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << (c.restart ? ", restarted" : "")
                                    << (c.fromList ? "" : ", by the dialog"));
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
    const std::vector<std::uint8_t> page = SimSurface();
    ASSERT_GT(view.topOffset, 1 << 20);
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
    EXPECT_EQ(SimSurface() == page, c.fromList);
  }
}

}  // namespace
