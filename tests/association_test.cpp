// The .gb association offered at the first run, and Uninstall.
#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/texts.h"
#include "tests/test_support.h"

namespace {

std::string Text(RegistryKey root, const std::string& key) {
  SimValue value;
  if (!SimGetValue(root, key, "", &value)) return "(none)";
  EXPECT_EQ(value.type, kRegString) << key;
  return std::string(value.bytes.begin(), value.bytes.end());
}

bool NoClassesRootKeys() {
  return !SimKeyExists(kClassesRoot, "GBText") && !SimKeyExists(kClassesRoot, ".gb");
}

class AssociationTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }

  // A first run that answers the offer.
  void FirstRun(int answer) {
    SimAnswerNextBox(answer);
    RunProgram("tavelo.exe");
  }

  void Uninstall(int answer) {
    SimAnswerNextBox(answer);
    SimChooseCommand(CMD_UNINSTALL);
    SimRunUntilIdle();
  }
};

TEST_F(AssociationTest, YesWritesTheThreeKeys) {
  FirstRun(kAnswerYes);
  ASSERT_FALSE(simBoxes.empty());
  EXPECT_EQ(simBoxes[0].text,
            "Welcome to Tavelo!\n\nWould you like to associate\n.GB files to this program?");
  EXPECT_EQ(simBoxes[0].caption, "Association");
  EXPECT_EQ(simBoxes[0].style, 0x24u);
  EXPECT_EQ(simBeeps.at(0), kBeepAsterisk);
  // Exact byte counts: the texts without their zero.
  EXPECT_EQ(Text(kClassesRoot, "GBText"), "GB Text File");
  EXPECT_EQ(Text(kClassesRoot, ".gb"), "GBText");
  EXPECT_EQ(Text(kClassesRoot, "GBText\\shell\\open\\command"),
            "\"C:\\Program Files\\Tavelo\\tavelo.exe\" %1");
  EXPECT_TRUE(SimSubkeys(kClassesRoot, "GBText\\shell") == std::vector<std::string>{"open"});
  SimValue none;
  EXPECT_FALSE(SimGetValue(kClassesRoot, "GBText\\shell", "", &none));
  for (const char* key : {kLastDirectoryKey, kOptionsKey, kPositionKey}) {
    EXPECT_TRUE(SimKeyExists(kLocalMachine, key)) << key;
  }
}

TEST_F(AssociationTest, OfferOutcomes) {
  struct Case {
    const char* what;
    bool existing;  // another installation made "GBText" already
    int answer;
    std::string modulePath;
    bool asked;
    bool associated;
  };
  const std::string longPath = "C:\\" + std::string(252, 'p') + ".exe";  // 259 characters
  const Case cases[] = {
      {"no", false, kAnswerNo, "C:\\t.exe", true, false},
      {"an association is there already", true, kAnswerYes, "C:\\t.exe", false, false},
      {"a path of 259 characters", false, kAnswerYes, longPath, true, true},
      {"a path too long for any buffer", false, kAnswerYes, longPath + "x", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    if (c.existing) SimPutValue(kClassesRoot, "GBText", "", kRegString, "Other", 5);
    SimSetModulePath(c.modulePath);
    FirstRun(c.answer);
    EXPECT_EQ(!simBoxes.empty() && simBoxes[0].caption == "Association", c.asked);
    EXPECT_EQ(SimKeyExists(kClassesRoot, ".gb"), c.associated);
    if (c.existing) {
      EXPECT_EQ(Text(kClassesRoot, "GBText"), "Other");
    }
    if (c.associated) {
      EXPECT_EQ(Text(kClassesRoot, "GBText\\shell\\open\\command"), "\"" + c.modulePath + "\" %1");
    }
    EXPECT_TRUE(SimKeyExists(kLocalMachine, kPositionKey)) << "the settings keys in every case";
  }
}

TEST_F(AssociationTest, NotAskedAgainAfterNo) {
  FirstRun(kAnswerNo);
  SimClose();
  RunProgram("tavelo.exe");
  for (const SimBox& box : simBoxes) EXPECT_NE(box.caption, "Association");
}

TEST_F(AssociationTest, UninstallRemovesEverythingTheReaderMade) {
  FirstRun(kAnswerYes);
  simBoxes.clear();
  simBeeps.clear();
  Uninstall(kAnswerOk);
  ASSERT_EQ(simBoxes.size(), 1u);
  EXPECT_EQ(simBoxes[0].text,
            "This will remove Tavelo from registry.\nYou'll have to remove the program file\n"
            "yourself after that.  Sure to proceed?");
  EXPECT_EQ(simBoxes[0].caption, "Uninstall");
  EXPECT_EQ(simBoxes[0].style, 0x121u);
  EXPECT_EQ(simBeeps, std::vector<unsigned>{kBeepAsterisk});
  EXPECT_TRUE(SimQuitPosted());
  EXPECT_FALSE(SimKeyExists(kLocalMachine, "Software\\Kestrow"));
  EXPECT_TRUE(SimKeyExists(kLocalMachine, "Software"));
  EXPECT_TRUE(NoClassesRootKeys());
  EXPECT_EQ(SimLiveBlocks(), 0) << "the same release as any exit";

  // Nothing was written at the exit: the next start is a first run, with the offer.
  RunProgram("tavelo.exe");
  ASSERT_FALSE(simBoxes.empty());
  EXPECT_EQ(simBoxes[0].caption, "Association");
}

TEST_F(AssociationTest, UninstallCases) {
  struct Case {
    const char* what;
    int offerAnswer;
    bool otherProduct;      // the maker key holds another product
    bool foreignExtension;  // ".gb" belongs to someone else and GBText is missing
    int confirm;
    bool makerStays;
    bool productStays;
  };
  const Case cases[] = {
      {"after a declined offer", kAnswerNo, false, false, kAnswerOk, false, false},
      {"another product of the maker", kAnswerYes, true, false, kAnswerOk, true, false},
      {"someone else's .gb", kAnswerNo, false, true, kAnswerOk, false, false},
      {"cancelled", kAnswerYes, false, false, kAnswerCancel, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    if (c.otherProduct) SimCreateKey(kLocalMachine, "Software\\Kestrow\\Other\\options");
    if (c.foreignExtension) SimPutValue(kClassesRoot, ".gb", "", kRegString, "Foreign", 7);
    FirstRun(c.offerAnswer);
    Uninstall(c.confirm);
    EXPECT_EQ(SimKeyExists(kLocalMachine, "Software\\Kestrow"), c.makerStays);
    EXPECT_EQ(SimKeyExists(kLocalMachine, kProductKey), c.productStays);
    EXPECT_EQ(SimKeyExists(kLocalMachine, kPositionKey), c.productStays);
    if (c.otherProduct) {
      EXPECT_TRUE(SimKeyExists(kLocalMachine, "Software\\Kestrow\\Other\\options"));
    }
    if (c.foreignExtension) {
      EXPECT_EQ(Text(kClassesRoot, ".gb"), "Foreign");
    }
    if (c.confirm == kAnswerCancel) {
      EXPECT_FALSE(SimQuitPosted()) << "the program goes on";
      EXPECT_TRUE(SimKeyExists(kClassesRoot, ".gb"));
    } else {
      EXPECT_TRUE(SimQuitPosted());
      EXPECT_FALSE(SimKeyExists(kClassesRoot, "GBText"));
    }
  }
}

}  // namespace
