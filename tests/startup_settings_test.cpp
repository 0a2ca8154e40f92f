// Start-up, the window's placement and the settings kept in the registry,
// across runs of the program on one simulated desktop.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/sim.h"
#include "shell/file_names.h"
#include "shell/placement.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "shell/texts.h"
#include "tests/test_support.h"

namespace {

void PutInteger(const char* key, const char* name, std::int64_t value, int size,
                unsigned type = kRegBinary) {
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  SimPutValue(kLocalMachine, key, name, type, bytes, size);
}

// A saved placement, as an earlier run would have left it.
void SavePlacement(int winStatus, int left, int top, int right, int bottom) {
  PutInteger(kPositionKey, kWinStatusWritten, winStatus, 2);
  PutInteger(kPositionKey, kLeftValue, left, 4);
  PutInteger(kPositionKey, kTopValue, top, 4);
  PutInteger(kPositionKey, kRightValue, right, 4);
  PutInteger(kPositionKey, kBottomValue, bottom, 4);
  SimCreateKey(kLocalMachine, kOptionsKey);
  SimCreateKey(kLocalMachine, kLastDirectoryKey);
}

SimValue Value(const char* key, const char* name) {
  SimValue value;
  EXPECT_TRUE(SimGetValue(kLocalMachine, key, name, &value)) << key << " " << name;
  return value;
}

std::int64_t Integer(const SimValue& value) {
  std::int64_t result = 0;
  for (std::size_t i = value.bytes.size(); i-- > 0;) result = result << 8 | value.bytes[i];
  return result;
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }
  ScratchFolder folder_;
};

TEST_F(StartupTest, FirstRunLetsThePlatformPlaceTheWindowAndCreatesTheKeys) {
  PutInteger(kOptionsKey, kSilentValue, 1, 4);  // an options key alone is no saved placement
  RunProgram("tavelo.exe");
  EXPECT_EQ(simWindow.showCommand, kShowDefault);
  EXPECT_EQ(simWindow.rect.left, 26) << "the platform's own choice";
  EXPECT_EQ(simWindow.caption, kStartCaption);
  EXPECT_EQ(options.silentMode, 0);
  EXPECT_EQ(options.autoOpen, 1);
  for (const char* key : {kLastDirectoryKey, kOptionsKey, kPositionKey}) {
    EXPECT_TRUE(SimKeyExists(kLocalMachine, key)) << key;
  }
  ASSERT_EQ(simDialogs.size(), 1u) << "the open dialog at start-up";
  EXPECT_FALSE(simDialogs[0].save);
  EXPECT_TRUE(simWindow.acceptsDrops);

  SimClose();
  EXPECT_TRUE(SimQuitPosted());
  const struct {
    const char* key;
    const char* name;
    std::size_t size;
    std::int64_t value;
  } saved[] = {
      {kPositionKey, kWinStatusWritten, 2, 0},   {kPositionKey, kLeftValue, 4, 26},
      {kPositionKey, kTopValue, 4, 26},          {kPositionKey, kRightValue, 4, 26 + 768},
      {kPositionKey, kBottomValue, 4, 26 + 576}, {kOptionsKey, kSilentValue, 4, 0},
      {kOptionsKey, kAutoOpenValue, 4, 1},
  };
  for (const auto& s : saved) {
    const SimValue value = Value(s.key, s.name);
    EXPECT_EQ(value.type, kRegBinary) << s.name;
    EXPECT_EQ(value.bytes.size(), s.size) << s.name;
    EXPECT_EQ(Integer(value), s.value) << s.name;
  }
  EXPECT_EQ(SimLiveBlocks(), 0) << "the Work area is freed";
  EXPECT_EQ(SimLiveBitmaps(), 0) << "the atlas is freed";
  EXPECT_FALSE(simWindow.acceptsDrops);
}

TEST_F(StartupTest, SavedPlacementIsRestored) {
  struct Case {
    const char* what;
    int winStatus, left, top, right, bottom;
    int showCommand;
    PixelRect normal;  // the rectangle the window gets when not maximized
  };
  const PixelRect chosen{26, 26, 26 + 768, 26 + 576};
  const Case cases[] = {
      {"normal", 0, 100, 50, 700, 450, kShowNormal, {100, 50, 700, 450}},
      {"maximized", 2, 100, 50, 700, 450, kShowMaximized, {100, 50, 700, 450}},
      {"minimized", 1, 100, 50, 700, 450, kShowMinimized, {100, 50, 700, 450}},
      {"unknown state", 7, 100, 50, 700, 450, kShowNormal, {100, 50, 700, 450}},
      {"never recorded", 2, kUseDefault, kUseDefault, kUseDefault, kUseDefault, kShowMaximized,
       chosen},
      {"empty", 0, 300, 300, 300, 500, kShowNormal, chosen},
      {"upside down", 0, 300, 300, 100, 100, kShowNormal, chosen},
      {"off every monitor", 0, 5000, 5000, 5600, 5400, kShowNormal, chosen},
      {"absurdly large", 0, -2000000000, 0, 2000000000, 400, kShowNormal, chosen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    SavePlacement(c.winStatus, c.left, c.top, c.right, c.bottom);
    RunProgram("tavelo.exe");
    EXPECT_EQ(simWindow.showCommand, c.showCommand);
    EXPECT_EQ(simWindow.normalRect.left, c.normal.left);
    EXPECT_EQ(simWindow.normalRect.top, c.normal.top);
    EXPECT_EQ(simWindow.normalRect.right, c.normal.right);
    EXPECT_EQ(simWindow.normalRect.bottom, c.normal.bottom);
    EXPECT_TRUE(simBoxes.empty()) << "no association offer after a first run";
  }
}

TEST_F(StartupTest, MaximizedWindowClosedWithoutRestoreSavesItsNormalRectangle) {
  SavePlacement(2, 100, 50, 700, 450);
  RunProgram("tavelo.exe");
  SimMoveWindow(10, 10);  // moving while maximized changes nothing
  SimClose();
  EXPECT_EQ(Integer(Value(kPositionKey, kWinStatusWritten)), 2);
  EXPECT_EQ(Integer(Value(kPositionKey, kLeftValue)), 100);
  EXPECT_EQ(Integer(Value(kPositionKey, kRightValue)), 700);

  RunProgram("tavelo.exe");
  SimRestore();
  SimMoveWindow(200, 120);
  SimMinimize();
  SimClose();
  EXPECT_EQ(Integer(Value(kPositionKey, kWinStatusWritten)), 1);
  EXPECT_EQ(Integer(Value(kPositionKey, kLeftValue)), 200);
  EXPECT_EQ(Integer(Value(kPositionKey, kTopValue)), 120);
  EXPECT_EQ(Integer(Value(kPositionKey, kRightValue)), 800);
  EXPECT_EQ(Integer(Value(kPositionKey, kBottomValue)), 520);
}

TEST_F(StartupTest, FirstRunNeverNormalIsAFirstRunPlacementNextTime) {
  SimCreateKey(kLocalMachine, kPositionKey);  // let the platform start it maximized
  PutInteger(kPositionKey, kWinStatusWritten, 2, 2);
  PutInteger(kPositionKey, kLeftValue, kUseDefault, 4);
  PutInteger(kPositionKey, kTopValue, kUseDefault, 4);
  PutInteger(kPositionKey, kRightValue, kUseDefault, 4);
  PutInteger(kPositionKey, kBottomValue, kUseDefault, 4);
  RunProgram("tavelo.exe");
  EXPECT_EQ(simWindow.showCommand, kShowMaximized);
  SimRestore();
  EXPECT_GT(SimClientWidth(), 0);
  EXPECT_GT(SimClientHeight(), 0);
}

TEST_F(StartupTest, ValuesOfTheWrongTypeOrSize) {
  struct Case {
    const char* what;
    const char* key;
    const char* name;
    std::int64_t value;
    int size;
    unsigned type;
    int silentMode, autoOpen, winStatus;
  };
  const Case cases[] = {
      {"silent mode of one byte", kOptionsKey, kSilentValue, 1, 1, kRegBinary, 1, 1, 0},
      {"silent mode as a string type", kOptionsKey, kSilentValue, 1, 4, kRegString, 1, 1, 0},
      {"auto open of eight bytes is unreadable", kOptionsKey, kAutoOpenValue, 0, 8, kRegBinary, 0,
       1, 0},
      {"status of four bytes is unreadable", kPositionKey, kWinStatusRead, 2, 4, kRegBinary, 0, 1,
       0},
      {"status of one byte", kPositionKey, kWinStatusRead, 2, 1, kRegBinary, 0, 1, 2},
      {"empty status", kPositionKey, kWinStatusRead, 2, 0, kRegBinary, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    SavePlacement(0, 100, 50, 700, 450);
    PutInteger(c.key, c.name, c.value, c.size, c.type);
    RunProgram("tavelo.exe");
    EXPECT_EQ(options.silentMode, c.silentMode);
    EXPECT_EQ(options.autoOpen, c.autoOpen);
    EXPECT_EQ(simWindow.showCommand, c.winStatus == 2 ? kShowMaximized : kShowNormal);
  }
}

TEST_F(StartupTest, SkipSaveWritesNothing) {
  SavePlacement(0, 100, 50, 700, 450);
  RunProgram("tavelo.exe");
  const int before = SimRegistryChanges();
  options.skipSave = 1;
  SimClose();
  EXPECT_TRUE(SimQuitPosted());
  EXPECT_EQ(SimRegistryChanges(), before);
}

TEST(ArgumentStringTest, TakesTheProgramsNameOff) {
  const struct {
    const char* commandLine;
    const char* argument;
  } cases[] = {
      {"tavelo.exe", ""},
      {"tavelo.exe   notes.gb", "notes.gb"},
      {"tavelo.exe C:\\my texts\\a b.gb", "C:\\my texts\\a b.gb"},
      {"\"C:\\Program Files\\Tavelo\\tavelo.exe\" C:\\x.gb", "C:\\x.gb"},
      {"  \t tavelo.exe\t\"quoted.gb\" ", "\"quoted.gb\" "},
      {"\"C:\\unclosed quote", ""},
      {"\"C:\\Program Files\\Tavelo\\tavelo.exe\"C:\\x.gb", "C:\\x.gb"},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(ArgumentString(c.commandLine), c.argument) << c.commandLine;
}

TEST_F(StartupTest, ArgumentOpensWithoutTheDialog) {
  folder_.Write("a b.gb", ToBytes("hello"));
  struct Case {
    const char* what;
    std::string commandLine;
    int autoOpen;
    std::size_t dialogs;
    const char* caption;
    const char* warning;  // null: none
  };
  const std::string tooLong = "C:\\" + std::string(300, 'x') + ".gb";
  const Case cases[] = {
      {"a name with blanks", "tavelo.exe C:\\a b.gb", 0, 0, "Tavelo - C:\\a b.gb", nullptr},
      {"no argument, no dialog", "tavelo.exe", 0, 0, kStartCaption, nullptr},
      {"no argument, the dialog", "tavelo.exe", 1, 1, kStartCaption, nullptr},
      {"a quoted name with blanks opens", "tavelo.exe \"C:\\a b.gb\"", 1, 0, "Tavelo - C:\\a b.gb",
       nullptr},
      {"only one pair of quotes goes", "tavelo.exe \"\"C:\\a b.gb\"\"", 1, 0, kStartCaption,
       kCouldNotOpenFile},
      {"a quote at one end only stays", "tavelo.exe \"C:\\a b.gb", 1, 0, kStartCaption,
       kCouldNotOpenFile},
      {"a blank after the closing quote keeps the quotes", "tavelo.exe \"C:\\a b.gb\" ", 1, 0,
       kStartCaption, kCouldNotOpenFile},
      {"empty quotes name no file that opens", "tavelo.exe \"\"", 1, 0, kStartCaption,
       kCouldNotOpenFile},
      {"a name too long is refused", "tavelo.exe " + tooLong, 1, 0, kStartCaption,
       kCouldNotOpenFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    SavePlacement(0, 100, 50, 700, 450);
    PutInteger(kOptionsKey, kAutoOpenValue, c.autoOpen, 4);
    RunProgram(c.commandLine);
    EXPECT_EQ(simDialogs.size(), c.dialogs);
    EXPECT_EQ(simWindow.caption, c.caption);
    if (c.warning) {
      ASSERT_EQ(simBoxes.size(), 1u);
      EXPECT_EQ(simBoxes[0].text, c.warning);
    } else {
      EXPECT_TRUE(simBoxes.empty());
    }
  }
}

TEST_F(StartupTest, CreationFailuresEndTheProgram) {
  struct Case {
    const char* what;
    bool hideFont;
    bool failWorkArea;
    const char* warning;
    std::string argument;
  };
  const Case cases[] = {
      {"no font", true, false, kCouldNotLoadFonts, "C:\\some.gb"},
      {"no font, a name too long", true, false, kCouldNotLoadFonts, std::string(300, 'x')},
      {"no memory", false, true, kCouldNotAllocateMemory, "C:\\some.gb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    SavePlacement(0, 100, 50, 700, 450);
    SimEndProcess();
    ResetLogicState();
    if (c.hideFont) SimHideResource(kFontBitmapName);
    SimFailAllocations(51200, c.failWorkArea);
    StartUp(("tavelo.exe " + c.argument).c_str());
    ASSERT_FALSE(simBoxes.empty());
    EXPECT_EQ(simBoxes[0].text, c.warning);
    EXPECT_TRUE(SimQuitPosted());
    EXPECT_TRUE(simDialogs.empty());
    EXPECT_EQ(simBoxes.size(), 1u) << "the argument is not handled";
    EXPECT_FALSE(simWindow.shown);
    EXPECT_EQ(SimLiveBlocks(), 0);
    EXPECT_EQ(SimLiveBitmaps(), 0);
  }
}

}  // namespace
