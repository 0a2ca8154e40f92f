// Bad inputs of every kind, through the running program on the simulated
// desktop: each is answered by the program's own message, or shown as it is,
// and nothing of anyone's file is lost. docs/robustness.md lists every row
// with what the user sees and what is kept, and names the tests elsewhere
// that cover the rows not repeated here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

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

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 400;
constexpr std::int64_t kTwoGigabytes = std::int64_t{1} << 31;

using Texts = std::vector<std::string>;

std::string Lines(int count, const std::string& text) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text + "\r\n";
  return out;
}

// A name of exactly length characters below C:\, in folders short enough for
// any file system; its file is made with the given content.
std::string NameOfLength(const ScratchFolder& folder, std::size_t length, const Bytes& content) {
  const std::string first(100, 'd'), second(100, 'e');
  std::string name = "C:\\" + first + "\\" + second + "\\";
  name += std::string(length - name.size() - 4, 'f') + ".txt";
  folder.Write(first + "/" + second + "/" + name.substr(name.rfind('\\') + 1), content);
  return name;
}

// A folder on a small file system of its own, mounted for the test (which
// needs the right to mount): full after a few kilobytes, or read-only.
class OwnFileSystem {
 public:
  OwnFileSystem(const std::string& folder, bool readOnly) : folder_(folder) {
    std::filesystem::create_directories(folder);
    mounted_ =
        mount("tavelo-test", folder.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=16k") == 0;
  }
  ~OwnFileSystem() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  OwnFileSystem(const OwnFileSystem&) = delete;
  OwnFileSystem& operator=(const OwnFileSystem&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override { StartProgram("tavelo.exe"); }

  // A later run of the program (no first-run questions, no open dialog of its
  // own) on the scratch folder as C:, its client area at the test's size.
  void StartProgram(const std::string& commandLine, int autoOpen = 0) {
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    SimCreateKey(kLocalMachine, kPositionKey);
    SimCreateKey(kLocalMachine, kLastDirectoryKey);
    const std::uint8_t flag[4] = {static_cast<std::uint8_t>(autoOpen), 0, 0, 0};
    SimPutValue(kLocalMachine, kOptionsKey, kAutoOpenValue, kRegBinary, flag, 4);
    RunProgram(commandLine);
    SimResizeClient(kClientWidth, kClientHeight);
    SimRunUntilIdle();
  }

  void OpenByDrop(const std::vector<std::string>& names) {
    SimDropFiles(names);
    SimRunUntilIdle();
  }

  void OpenFromMenu(const std::string& name) {
    SimAnswerNextDialog(name);
    SimChooseCommand(CMD_OPEN);
    SimRunUntilIdle();
  }

  void Forget() {
    simBoxes.clear();
    simDialogs.clear();
  }

  static Texts Boxes() {
    Texts texts;
    for (const SimBox& box : simBoxes) texts.push_back(box.text);
    return texts;
  }

  static std::string LastDirectoryValue() {
    SimValue value;
    if (!SimGetValue(kLocalMachine, kLastDirectoryKey, "", &value)) return "(none)";
    return std::string(value.bytes.begin(), value.bytes.end());
  }

  // The page the client area shows now differs from the page worked out
  // independently from content (a prefix long enough for the lines shown).
  int PageDifferences(const Bytes& content, const std::string& label) const {
    PageRequest request;
    request.document = content;
    request.columns = view.columns;
    request.topLine = view.topLine;
    request.width = SimClientWidth();
    request.height = SimClientHeight();
    return DifferingPixels(ExpectedPage(request), SimSurface(), request.width, request.height,
                           label);
  }

  // Everything a failed operation must leave as it was.
  struct Kept {
    FileHandle document;
    std::string caption, currentName, lastDirectory;
    int topLine;
    std::int32_t topOffset;
    int openFiles;
    int liveBlocks;
  };

  Kept Keep() const {
    return Kept{documentHandle, simWindow.caption, currentName,        LastDirectoryValue(),
                view.topLine,   view.topOffset,    SimOpenFileCount(), SimLiveBlocks()};
  }

  void ExpectKept(const Kept& k) const {
    EXPECT_EQ(documentHandle, k.document);
    EXPECT_EQ(simWindow.caption, k.caption);
    EXPECT_EQ(currentName, k.currentName);
    EXPECT_EQ(LastDirectoryValue(), k.lastDirectory);
    EXPECT_EQ(view.topLine, k.topLine);
    EXPECT_EQ(view.topOffset, k.topOffset);
    EXPECT_EQ(SimOpenFileCount(), k.openFiles) << "no handle is left open";
    EXPECT_EQ(SimLiveBlocks(), k.liveBlocks) << "nothing is allocated";
  }

  ScratchFolder folder_;
};

// Names that cannot be opened, by every way a name arrives: the message, and
// the document that was being read still open, shown and recorded as before.
TEST_F(BadInputTest, ANameThatCannotBeOpenedIsAnsweredAndChangesNothing) {
  enum Route { kDrop, kDialog, kCommandLine };
  struct Case {
    const char* what;
    Route route;
    std::function<std::vector<std::string>(const ScratchFolder&)> names;
    Texts boxes;
    const char* untouched = nullptr;  // a file of the case that must still hold someText
  };
  const Bytes someText = ToBytes("text\r\n");
  const Case cases[] = {
      {"a missing file, dropped",
       kDrop,
       [](const ScratchFolder&) { return std::vector<std::string>{"C:\\missing.gb"}; },
       {kCouldNotOpenFile}},
      {"a folder, dropped",
       kDrop,
       [](const ScratchFolder& f) {
         std::filesystem::create_directories(f.Path("texts"));
         return std::vector<std::string>{"C:\\texts"};
       },
       {kCouldNotOpenFile}},
      {"a file locked against reading, dropped",
       kDrop,
       [&](const ScratchFolder& f) {
         f.Write("locked.gb", someText);
         SimHoldFile(f.Path("locked.gb"));
         return std::vector<std::string>{"C:\\locked.gb"};
       },
       {kCouldNotOpenFile},
       "locked.gb"},
      {"a name of 260 characters, dropped",
       kDrop,
       [&](const ScratchFolder& f) {
         return std::vector<std::string>{NameOfLength(f, 260, someText)};
       },
       {kCouldNotOpenFile}},
      {"a name of 260 characters, chosen in the dialog, which cannot return it",
       kDialog,
       [&](const ScratchFolder& f) {
         return std::vector<std::string>{NameOfLength(f, 260, someText)};
       },
       {}},
      {"the document being read, dropped again",
       kDrop,
       [](const ScratchFolder&) { return std::vector<std::string>{"C:\\good.gb"}; },
       {kAlreadyReading}},
      {"the document being read, named twice in one drop",
       kDrop,
       [](const ScratchFolder&) {
         return std::vector<std::string>{"C:\\good.gb", "C:\\good.gb"};
       },
       {kAlreadyReading}},
      {"a missing file on the command line",
       kCommandLine,
       [](const ScratchFolder&) { return std::vector<std::string>{"C:\\missing.gb"}; },
       {kCouldNotOpenFile}},
      {"a folder on the command line",
       kCommandLine,
       [](const ScratchFolder& f) {
         std::filesystem::create_directories(f.Path("texts"));
         return std::vector<std::string>{"C:\\texts"};
       },
       {kCouldNotOpenFile}},
      {"a name of 260 characters on the command line",
       kCommandLine,
       [&](const ScratchFolder& f) {
         return std::vector<std::string>{NameOfLength(f, 260, someText)};
       },
       {kCouldNotOpenFile}},
  };
  const Bytes good = ToBytes(Lines(100, "good text"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.route == kCommandLine) {
      StartProgram("tavelo.exe " + c.names(folder_)[0]);
      EXPECT_EQ(Boxes(), c.boxes);
      EXPECT_EQ(documentHandle, kInvalidFile);
      EXPECT_EQ(simWindow.caption, kStartCaption);
      EXPECT_EQ(LastDirectoryValue(), "(none)");
      EXPECT_EQ(SimOpenFileCount(), 0);
      EXPECT_FALSE(SimQuitPosted()) << "the program goes on running";
      continue;
    }
    StartProgram("tavelo.exe");
    folder_.Write("good.gb", good);
    OpenByDrop({"C:\\good.gb"});
    SimPressKey(kKeyDown);
    SimRunUntilIdle();
    ASSERT_EQ(view.topLine, 1);
    Forget();
    // Arranged on the running desktop: a file held by another program, say.
    const std::vector<std::string> names = c.names(folder_);
    const Kept kept = Keep();
    if (c.route == kDrop) {
      OpenByDrop(names);
    } else {
      OpenFromMenu(names[0]);
    }
    EXPECT_EQ(Boxes(), c.boxes);
    ExpectKept(kept);
    EXPECT_EQ(SimUnfinishedDrops(), 0);
    EXPECT_EQ(ReadWholeFile(folder_.Path("good.gb")), good);
    if (c.untouched) {
      EXPECT_EQ(ReadWholeFile(folder_.Path(c.untouched)), someText);
    }
  }
}

// Names of every shape that Windows allows open whole, by every way a name
// arrives: the caption, the name kept, the directory recorded and the page.
TEST_F(BadInputTest, NamesOfEveryShapeOpenWhole) {
  enum Route { kDrop, kDialog, kCommandLine };
  struct Case {
    const char* what;
    Route route;
    std::string name;
    std::string directory;
  };
  const Bytes content = ToBytes(Lines(30, "\xD6\xD0\xCE\xC4 text"));
  const std::string longest = NameOfLength(folder_, 259, content);
  const std::string longestDirectory = longest.substr(0, longest.rfind('\\'));
  folder_.Write("my texts/a file.gb", content);
  folder_.Write("\xD6\xD0\xCE\xC4/\xB1\xBE\xCE\xC4\xBC\xFE.gb", content);
  folder_.Write("\x80\xFF.txt", content);
  const Case cases[] = {
      {"259 characters, dropped", kDrop, longest, longestDirectory},
      {"259 characters, from the dialog", kDialog, longest, longestDirectory},
      {"259 characters, on the command line", kCommandLine, longest, longestDirectory},
      {"blanks, dropped", kDrop, "C:\\my texts\\a file.gb", "C:\\my texts"},
      {"blanks, on the command line", kCommandLine, "C:\\my texts\\a file.gb", "C:\\my texts"},
      {"GB2312 bytes, from the dialog", kDialog,
       "C:\\\xD6\xD0\xCE\xC4\\\xB1\xBE\xCE\xC4\xBC\xFE.gb", "C:\\\xD6\xD0\xCE\xC4"},
      {"bytes 0x80 and 0xFF, on the command line", kCommandLine, "C:\\\x80\xFF.txt", "C:\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.route == kCommandLine) {
      StartProgram("tavelo.exe " + c.name);
    } else {
      StartProgram("tavelo.exe");
      if (c.route == kDrop) {
        OpenByDrop({c.name});
      } else {
        OpenFromMenu(c.name);
      }
    }
    EXPECT_EQ(Boxes(), Texts{});
    EXPECT_EQ(simWindow.caption, kDocumentCaptionPrefix + c.name);
    EXPECT_EQ(currentName, c.name);
    EXPECT_EQ(LastDirectoryValue(), c.directory + '\0');
    EXPECT_EQ(PageDifferences(content, "name"), 0);
  }

  // A name given twice in one drop opens once.
  StartProgram("tavelo.exe");
  OpenByDrop({"C:\\my texts\\a file.gb", "C:\\my texts\\a file.gb"});
  EXPECT_EQ(Boxes(), Texts{});
  EXPECT_EQ(currentName, std::string("C:\\my texts\\a file.gb"));
  EXPECT_EQ(SimOpenFileCount(), 1);
  EXPECT_EQ(SimUnfinishedDrops(), 0);
}

// Content that is no text, or too much of it: opened, shown from the top and
// at the end as the layout rules place it, warned about when only part can be
// browsed; the file is never changed and nothing is allocated for it.
TEST_F(BadInputTest, AwkwardContentIsShownFromTheTopToTheEnd) {
  struct Case {
    const char* what;
    Bytes head;         // the file's first bytes
    std::int64_t size;  // the file is extended with zeros (sparse) to this size
    Texts boxes;
    bool scrollBar;  // the document is longer than the page
  };
  Bytes longLine;
  for (int i = 0; longLine.size() < (std::size_t{8} << 20); ++i) {
    const char* piece = i % 3 == 0   ? "\xD6\xD0\xCE\xC4"
                        : i % 3 == 1 ? "text "
                                     : "\xBA\xBA\xD7\xD6\t";
    longLine.insert(longLine.end(), piece, piece + std::strlen(piece));
  }
  longLine.resize(std::size_t{8} << 20);
  const Bytes twoGigabyteHead = ToBytes(Lines(50, "the start of a 2 GB file \xD6\xD0\xCE\xC4"));
  const Case cases[] = {
      {"an empty file", {}, 0, {}, false},
      {"a file of NUL bytes", Bytes(4096, 0x00), 4096, {}, true},
      {"a file of 0xFF bytes", Bytes(4096, 0xFF), 4096, {}, true},
      {"one line of 8 MB without a line break",
       longLine,
       static_cast<std::int64_t>(longLine.size()),
       {kOnlyFirstLines},
       true},
      {"a sparse file of 2 GB", twoGigabyteHead, kTwoGigabytes + 4096, {kOnlyFirstLines}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartProgram("tavelo.exe");
    const int blocks = SimLiveBlocks();
    const std::string path = folder_.Write("awkward.txt", c.head);
    ASSERT_EQ(truncate(path.c_str(), c.size), 0);
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);

    simFiles.bytesRead = 0;
    OpenByDrop({"C:\\awkward.txt"});
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(currentName, std::string("C:\\awkward.txt"));
    EXPECT_EQ(simWindow.caption, kDocumentCaptionPrefix + std::string("C:\\awkward.txt"));
    EXPECT_EQ(simWindow.scrollBar.visible, c.scrollBar);
    EXPECT_EQ(truncated, c.boxes.empty() ? 0 : 1);
    // What the lines cover, and two bytes more for a line break cut there.
    const std::int64_t shown = LineStartOffset(lastLine + 1) + 2;
    Bytes content = c.head;
    content.resize(static_cast<std::size_t>(std::min(c.size, shown)), 0x00);
    EXPECT_EQ(PageDifferences(content, "awkward-top"), 0);

    SimPressKey(kKeyEnd);
    SimRunUntilIdle();
    EXPECT_EQ(view.topLine, view.maxTopLine);
    EXPECT_EQ(view.topOffset, LineStartOffset(view.topLine));
    EXPECT_EQ(PageDifferences(content, "awkward-end"), 0);
    EXPECT_EQ(Boxes(), c.boxes) << "the warning comes once";
    // Only the browsable lines are read: by each layout (a second one when the
    // scroll bar appears and narrows the client by up to three columns, every
    // line at most its columns and a line break), then by the two pages, each
    // pass at most a block beyond them.
    const std::int64_t layout =
        std::min<std::int64_t>(c.size, std::int64_t{lastLine + 1} * (view.columns + 3 + 2));
    const std::int64_t page = std::int64_t{view.pageLines} * (view.columns + 2);
    EXPECT_LE(simFiles.bytesRead, 2 * (layout + kReadBufferSize) + 2 * (page + kReadBufferSize));

    EXPECT_EQ(SimLiveBlocks(), blocks) << "the Work area is all the memory a document takes";
    EXPECT_LE(std::int64_t{reader.blockBase} + reader.blockFill, c.size);
    struct stat after;
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  }
  std::filesystem::remove(folder_.Path("awkward.txt"));
}

// The same content through the converters: written whole and opened, each
// byte where the converter's rules put it.
TEST_F(BadInputTest, AwkwardContentConvertsWhole) {
  struct Case {
    const char* what;
    Bytes content;
  };
  Bytes longLine;
  while (longLine.size() < (std::size_t{8} << 20)) {
    for (const char* piece : {"\xA4\x40\xD6\xD0", "plain text ", "\x80\xFF"}) {
      longLine.insert(longLine.end(), piece, piece + std::strlen(piece));
    }
  }
  const Case cases[] = {
      {"an empty file", {}},
      {"a file of NUL bytes", Bytes(4096, 0x00)},
      {"a file of 0xFF bytes", Bytes(4096, 0xFF)},
      {"one line of 8 MB without a line break", longLine},
  };
  for (const Case& c : cases) {
    StartProgram("tavelo.exe");
    folder_.Write("awkward.b5", c.content);
    OpenByDrop({"C:\\awkward.b5"});
    for (int command : {CMD_SAVE_GB, CMD_DECODE_HZ, CMD_DECODE_QP}) {
      SCOPED_TRACE(std::string(c.what) + ", command " + std::to_string(command));
      Forget();
      SimAnswerNextDialog("C:\\out.txt");
      SendToWindow(kMessageCommand, static_cast<MessageParam>(command), 0);
      EXPECT_EQ(Boxes(), Texts{});
      const Bytes out = ReadWholeFile(folder_.Path("out.txt"));
      if (command == CMD_SAVE_GB) {
        // Every BIG5 pair becomes the GB2312 pair its table entry gives, every
        // other byte stays itself.
        Bytes expected;
        for (std::size_t i = 0; i < c.content.size(); ++i) {
          if (IsBig5Lead(c.content[i]) && i + 1 < c.content.size() &&
              IsBig5Trail(c.content[i + 1])) {
            int row, cell;
            Big5ToGb(c.content[i], c.content[i + 1], row, cell);
            expected.push_back(static_cast<std::uint8_t>(row + 0xA1));
            expected.push_back(static_cast<std::uint8_t>(cell + 0xA1));
            ++i;
          } else {
            expected.push_back(c.content[i]);
          }
        }
        EXPECT_EQ(out.size(), c.content.size());
        EXPECT_TRUE(out == expected);
      } else {
        EXPECT_TRUE(out == c.content) << "nothing to decode: the content as it was";
      }
      EXPECT_EQ(SimLiveBlocks(), 2) << "the Work area and the BIG5 table, nothing more";
      // The written file opens next; the document goes back for the next command.
      SimRunUntilIdle();
      EXPECT_EQ(currentName, std::string("C:\\out.txt"));
      OpenByDrop({"C:\\awkward.b5"});
    }
    EXPECT_EQ(ReadWholeFile(folder_.Path("awkward.b5")), c.content);
  }
}

// Outputs that cannot be written whole: the message, no partial file left
// behind, and the document being read open and unchanged.
TEST_F(BadInputTest, AnOutputThatCannotBeWrittenIsReportedAndLeavesNothing) {
  struct Case {
    const char* what;
    std::string output;  // the name chosen in the save dialog
    std::string folder;  // a folder of its own file system, or ""
    bool readOnly;
    std::string mustRemain;  // a path that must still exist afterwards, or ""
  };
  const Case cases[] = {
      {"a disk that fills up during the conversion", "C:\\small\\out.txt", "small", false, ""},
      {"a read-only folder", "C:\\readonly\\out.txt", "readonly", true, ""},
      {"the device that is always full", "/dev/full", "", false, "/dev/full"},
  };
  const Bytes document(100000, 'x');
  std::vector<std::string> skipped;
  for (const Case& c : cases) {
    StartProgram("tavelo.exe");
    folder_.Write("doc.b5", document);
    OpenByDrop({"C:\\doc.b5"});
    SimOfferClipboardText(std::u16string(100000, u'p'));
    std::unique_ptr<OwnFileSystem> own;
    if (!c.folder.empty()) {
      own = std::make_unique<OwnFileSystem>(folder_.Path(c.folder), c.readOnly);
      if (!own->Mounted()) {
        skipped.push_back(c.what);
        continue;
      }
    }
    for (int command : {CMD_SAVE_GB, CMD_DECODE_HZ, CMD_DECODE_QP, CMD_PASTE}) {
      SCOPED_TRACE(std::string(c.what) + ", command " + std::to_string(command));
      Forget();
      const Kept kept = Keep();
      SimAnswerNextDialog(c.output);
      SendToWindow(kMessageCommand, static_cast<MessageParam>(command), 0);
      EXPECT_EQ(Boxes(), Texts{kCouldNotWriteFile});
      EXPECT_EQ(SimPendingMessages(), 0) << "nothing is opened";
      if (!c.folder.empty()) {
        EXPECT_FALSE(std::filesystem::exists(folder_.Path(c.folder + "/out.txt")))
            << "no partial file is left behind";
      }
      if (!c.mustRemain.empty()) {
        struct stat info;
        EXPECT_EQ(stat(c.mustRemain.c_str(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device stays a device";
      }
      ExpectKept(kept);
      EXPECT_FALSE(simClipboard.open);
      EXPECT_EQ(ReadWholeFile(folder_.Path("doc.b5")), document);
    }
  }
  if (!skipped.empty()) GTEST_SKIP() << skipped.size() << " cases need the right to mount";
}

// Registry values of the wrong type or size for every value the program
// reads, made fresh (an empty value has no bytes at all): the program starts,
// on a monitor, and each field takes what fits its buffer or keeps its value.
TEST_F(BadInputTest, SettingsOfAnyTypeAndSizeStartTheProgramOnAMonitor) {
  struct Value {
    const char* key;
    const char* name;
  };
  const Value values[] = {
      {kPositionKey, kWinStatusRead}, {kPositionKey, kLeftValue},   {kPositionKey, kRightValue},
      {kPositionKey, kTopValue},      {kPositionKey, kBottomValue}, {kOptionsKey, kSilentValue},
      {kOptionsKey, kAutoOpenValue},
  };
  struct Case {
    const char* what;
    unsigned type;
    Bytes bytes;
    int integer;                // what silent mode holds afterwards
    std::string lastDirectory;  // the open dialog's initial directory afterwards
  };
  const Case cases[] = {
      {"empty values", kRegBinary, {}, 0, ""},
      {"values of 300 bytes", kRegBinary, Bytes(300, 0x41), 0, ""},
      {"strings of one byte", kRegString, {0x01}, 1, "\x01"},
      {"texts of 260 bytes without a zero", 0x7, Bytes(kMaxPath, 'D'), 0,
       std::string(kMaxPath - 1, 'D')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    for (const Value& v : values) {
      SimPutValue(kLocalMachine, v.key, v.name, c.type, c.bytes.data(), c.bytes.size());
    }
    SimPutValue(kLocalMachine, kLastDirectoryKey, "", c.type, c.bytes.data(), c.bytes.size());
    RunProgram("tavelo.exe");
    ASSERT_TRUE(simWindow.exists && simWindow.shown);
    EXPECT_TRUE(RectangleOnAnyMonitor(simWindow.normalRect));
    EXPECT_GT(simWindow.normalRect.right, simWindow.normalRect.left);
    EXPECT_GT(simWindow.normalRect.bottom, simWindow.normalRect.top);
    EXPECT_EQ(options.silentMode, c.integer);
    // An unreadable or empty value leaves auto open at its initial 1.
    EXPECT_EQ(options.autoOpen, c.bytes.empty() || c.bytes.size() > 4 ? 1 : c.integer);
    ASSERT_EQ(simDialogs.size(), 1u) << "the open dialog at start-up";
    EXPECT_EQ(simDialogs[0].initialDir, c.lastDirectory);
    EXPECT_EQ(SimOpenRegistryKeys(), 0);
  }
}

}  // namespace
