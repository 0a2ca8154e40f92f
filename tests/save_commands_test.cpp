// The File menu's commands that write a new file: Save in GB, Decode HZ,
// Decode QP and Paste to file, run in the program on the simulated desktop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "document/encoding_mode.h"
#include "document/reader.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/file_names.h"
#include "shell/state.h"
#include "shell/texts.h"
#include "tests/test_support.h"

namespace {

const int kAllCommands[] = {CMD_SAVE_GB, CMD_DECODE_HZ, CMD_DECODE_QP, CMD_PASTE};
const int kConverters[] = {CMD_SAVE_GB, CMD_DECODE_HZ, CMD_DECODE_QP};

const char* NameOf(int command) {
  switch (command) {
    case CMD_SAVE_GB: return "Save in GB";
    case CMD_DECODE_HZ: return "Decode HZ";
    case CMD_DECODE_QP: return "Decode QP";
    default: return "Paste to file";
  }
}

// A document that each command turns into something of its own: a BIG5
// pair, an HZ run and a quoted-printable escape.
const Bytes kDocument = {0xA4, 0x40, '~', '{', '<', ';', '~', '}', '=', '4', '1'};
const char16_t kClipboardText[] = u"pasted\r\ntext";
const char kPastedText[] = "pasted\r\ntext";

// What each command writes from kDocument (or, for Paste, the clipboard).
Bytes Written(int command) {
  switch (command) {
    case CMD_SAVE_GB: return {0xD2, 0xBB, '~', '{', '<', ';', '~', '}', '=', '4', '1'};
    case CMD_DECODE_HZ: return {0xA4, 0x40, 0xBC, 0xBB, '=', '4', '1'};
    case CMD_DECODE_QP: return {0xA4, 0x40, '~', '{', '<', ';', '~', '}', 'A'};
    default: return ToBytes(kPastedText);
  }
}

class SaveCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    RunProgram("tavelo.exe");  // the first run's offer is declined, its open dialog cancelled
    Forget();
  }

  // Clears what the desktop recorded so far.
  void Forget() {
    simBoxes.clear();
    simBeeps.clear();
    simDialogs.clear();
    simWindow.cursors.clear();
    simFiles = SimFileCounters{};
  }

  // Opens a file of the scratch folder through the Open command, as a drop
  // does; its extension sets the mode.
  void OpenDocument(const std::string& name, const Bytes& content = kDocument) {
    folder_.Write(name, content);
    SimDropFiles({"C:\\" + name});
    SimRunUntilIdle();
    ASSERT_STREQ(currentName, ("C:\\" + name).c_str());
    ASSERT_NE(documentHandle, kInvalidFile);
    Forget();
  }

  void OfferClipboardText(const std::u16string& text) { SimOfferClipboardText(text); }

  // Carries out a menu command the way the window procedure receives it; the
  // commands it posted, in order, still waiting in the queue.
  std::vector<int> Choose(int command) {
    SendToWindow(kMessageCommand, static_cast<MessageParam>(command), 0);
    std::vector<int> posted;
    for (const SimPosted& p : SimQueuedMessages()) {
      EXPECT_EQ(p.message, kMessageCommand);
      EXPECT_EQ(p.lParam, 0);
      posted.push_back(static_cast<int>(p.wParam));
    }
    return posted;
  }

  // Chooses command with the user picking name in its save dialog.
  std::vector<int> ChooseSaving(int command, const std::string& name) {
    SimAnswerNextDialog(name);
    return Choose(command);
  }

  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(folder_.Path(relative));
  }

  // The warnings shown, in order.
  static std::vector<std::string> Warnings() {
    std::vector<std::string> texts;
    for (const SimBox& box : simBoxes) {
      EXPECT_EQ(box.caption, kClassName);
      EXPECT_EQ(box.style, kBoxIconExclamation | kBoxOk);
      texts.push_back(box.text);
    }
    return texts;
  }

  static std::string Cursors() {
    return std::string(simWindow.cursors.begin(), simWindow.cursors.end());
  }

  ScratchFolder folder_;
};

using Texts = std::vector<std::string>;
using Posted = std::vector<int>;

TEST_F(SaveCommandsTest, EachCommandFillsTheSaveDialogRecordAlike) {
  OpenDocument("doc.b5");
  const char kDirectory[] = "C:\\texts";
  for (int command : kAllCommands) {
    SCOPED_TRACE(NameOf(command));
    SimPutValue(kLocalMachine, kLastDirectoryKey, "", kRegString, kDirectory, sizeof kDirectory);
    SetName(fileName, "C:\\proposed.txt");
    Forget();
    Choose(command);  // cancelled
    ASSERT_EQ(simDialogs.size(), 1u);
    const SimDialogCall& call = simDialogs[0];
    EXPECT_TRUE(call.save);
    EXPECT_EQ(call.record.structSize, 76u);
    EXPECT_EQ(call.record.filter, nullptr) << "no list of file types";
    EXPECT_EQ(call.record.filterIndex, 0u);
    EXPECT_EQ(call.record.file, fileName);
    EXPECT_EQ(call.record.maxFile, 260u);
    EXPECT_EQ(call.record.fileTitle, fileTitle);
    EXPECT_EQ(call.record.maxFileTitle, 512u);
    EXPECT_EQ(call.record.initialDir, lastDirectory);
    EXPECT_EQ(call.record.flags, 0x806u);
    EXPECT_EQ(call.initialDir, kDirectory) << "read from the registry";
    EXPECT_EQ(call.initialFile, "C:\\proposed.txt") << "the name buffer is not cleared";
    // Without the key the dialog starts in no particular directory.
    DeleteRegistryKey(kLocalMachine, kLastDirectoryKey);
    Forget();
    Choose(command);
    ASSERT_EQ(simDialogs.size(), 1u);
    EXPECT_EQ(simDialogs[0].initialDir, "");
  }
}

TEST_F(SaveCommandsTest, CancellingTheDialogEndsTheCommand) {
  OpenDocument("doc.b5");
  OfferClipboardText(kClipboardText);
  const auto before = std::filesystem::directory_iterator(folder_.Root());
  const std::size_t files = std::distance(before, std::filesystem::directory_iterator());
  for (int command : kAllCommands) {
    SCOPED_TRACE(NameOf(command));
    SimCancelNextDialog();
    EXPECT_EQ(Choose(command), Posted{});
    EXPECT_EQ(simDialogs.size(), 1u);
    EXPECT_EQ(Warnings(), Texts{});
    EXPECT_EQ(Cursors(), "");
    EXPECT_EQ(simFiles.writes, 0);
    EXPECT_FALSE(simClipboard.open);
    EXPECT_EQ(pendingName, 0);
    Forget();
  }
  const auto after = std::filesystem::directory_iterator(folder_.Root());
  EXPECT_EQ(std::distance(after, std::filesystem::directory_iterator()), static_cast<long>(files));
}

TEST_F(SaveCommandsTest, TheOpenDocumentCannotBeWrittenByAnyName) {
  OpenDocument("doc.b5");
  ASSERT_EQ(mkdir(folder_.Path("sub").c_str(), 0755), 0);
  ASSERT_EQ(link(folder_.Path("doc.b5").c_str(), folder_.Path("link.b5").c_str()), 0);
  OfferClipboardText(kClipboardText);
  const FileHandle document = documentHandle;
  struct Case {
    const char* what;
    const char* name;
    const char* converterWarning;
    const char* pasteWarning;
  };
  const Case cases[] = {
      {"its own name: the guard", "C:\\doc.b5", kDontOverwrite, kDontPasteOver},
      {"its name in other letter case: the sharing", "C:\\DOC.B5", kCouldNotWriteFile,
       kCouldNotWriteFile},
      {"its name through a parent step", "C:\\sub\\..\\doc.b5", kCouldNotWriteFile,
       kCouldNotWriteFile},
      {"a hard link to it", "C:\\link.b5", kCouldNotWriteFile, kCouldNotWriteFile},
      {"its name with forward slashes", "C:/doc.b5", kCouldNotWriteFile, kCouldNotWriteFile},
  };
  for (const Case& c : cases) {
    for (int command : kAllCommands) {
      SCOPED_TRACE(std::string(c.what) + ", " + NameOf(command));
      EXPECT_EQ(ChooseSaving(command, c.name), Posted{});
      EXPECT_EQ(Warnings(), Texts{command == CMD_PASTE ? c.pasteWarning : c.converterWarning});
      EXPECT_EQ(simFiles.writes, 0);
      EXPECT_EQ(ReadWholeFile(folder_.Path("doc.b5")), kDocument) << "the document is untouched";
      EXPECT_TRUE(Exists("link.b5")) << "nothing is deleted";
      EXPECT_EQ(documentHandle, document);
      EXPECT_STREQ(currentName, "C:\\doc.b5");
      EXPECT_EQ(pendingName, 0);
      EXPECT_FALSE(simClipboard.open);
      EXPECT_EQ(simClipboard.locks, 0);
      Forget();
    }
  }
}

TEST_F(SaveCommandsTest, PasteGuardsTheNameOnlyWhileADocumentIsOpen) {
  // No document: the name of the one read before is free to be written.
  SetName(currentName, "C:\\old.txt");
  OfferClipboardText(kClipboardText);
  EXPECT_EQ(ChooseSaving(CMD_PASTE, "C:\\old.txt"), Posted{CMD_OPEN});
  EXPECT_EQ(Warnings(), Texts{});
  EXPECT_EQ(ReadWholeFile(folder_.Path("old.txt")), ToBytes(kPastedText));
}

TEST_F(SaveCommandsTest, ADocumentOf2GBOrMoreIsRefusedBeforeTheDialog) {
  struct Size {
    std::int64_t bytes;
    bool refused;
  };
  const Size sizes[] = {
      {(std::int64_t{1} << 31) - 1, false},  // the reader reaches its last byte
      {std::int64_t{1} << 31, true},
      {(std::int64_t{1} << 32) + 5, true},  // would look small in 32 bits
  };
  for (const Size& s : sizes) {
    // A sparse file: no disk is used. Opened without a layout, which would read it all.
    const std::string path = folder_.Write("big.txt", {});
    ASSERT_EQ(truncate(path.c_str(), s.bytes), 0);
    ASSERT_TRUE(OpenDocumentFile(path));
    SetName(currentName, "C:\\big.txt");
    OfferClipboardText(u"x");
    for (int command : kAllCommands) {
      SCOPED_TRACE(std::string(NameOf(command)) + ", " + std::to_string(s.bytes) + " bytes");
      Forget();
      Choose(command);  // the dialog, if shown, is cancelled
      const bool refused = s.refused && command != CMD_PASTE;
      EXPECT_EQ(simDialogs.size(), refused ? 0u : 1u);
      EXPECT_EQ(Warnings(), refused ? Texts{kDocumentTooLarge} : Texts{});
      EXPECT_EQ(simFiles.writes, 0);
      EXPECT_EQ(simFiles.reads, 0) << "nothing of it is read";
    }
    CloseFile(documentHandle);
    documentHandle = kInvalidFile;
  }
}

TEST_F(SaveCommandsTest, AnOutputThatCannotBeCreatedIsReported) {
  OpenDocument("doc.b5");
  OfferClipboardText(kClipboardText);
  folder_.Write("held.txt", ToBytes("someone else's"));
  SimHoldFile("C:\\held.txt");
  const char* names[] = {"C:\\held.txt", "C:\\missing folder\\out.txt", "C:\\sub"};
  ASSERT_EQ(mkdir(folder_.Path("sub").c_str(), 0755), 0);
  for (const char* name : names) {
    for (int command : kAllCommands) {
      SCOPED_TRACE(std::string(name) + ", " + NameOf(command));
      EXPECT_EQ(ChooseSaving(command, name), Posted{});
      EXPECT_EQ(Warnings(), Texts{kCouldNotWriteFile});
      EXPECT_EQ(Cursors(), "") << "nothing ran";
      EXPECT_EQ(simFiles.writes, 0);
      EXPECT_EQ(ReadWholeFile(folder_.Path("held.txt")), ToBytes("someone else's"));
      EXPECT_FALSE(simClipboard.open);
      EXPECT_EQ(simClipboard.locks, 0);
      EXPECT_EQ(pendingName, 0);
      Forget();
    }
  }
}

TEST_F(SaveCommandsTest, AFailedWriteIsReportedAndItsFileDeleted) {
  OpenDocument("doc.b5", Bytes(100, 'x'));
  OfferClipboardText(std::u16string(100, u'p'));
  const FileHandle document = documentHandle;
  struct Full {
    const char* what;
    std::int64_t space;
  };
  const Full cases[] = {
      {"a full disk", 0},
      {"room for the first piece only", 40},
      {"room for all but the last byte", 99},
  };
  for (const Full& c : cases) {
    for (int command : kAllCommands) {
      SCOPED_TRACE(std::string(c.what) + ", " + NameOf(command));
      folder_.Write("out.txt", ToBytes("replaced by the command"));
      SimSetDiskSpace(c.space);
      EXPECT_EQ(ChooseSaving(command, "C:\\out.txt"), Posted{}) << "the file is not opened";
      SimSetDiskSpace(-1);
      EXPECT_EQ(Warnings(), Texts{kCouldNotWriteFile});
      EXPECT_FALSE(Exists("out.txt")) << "no truncated file is left behind";
      EXPECT_EQ(Cursors(), "WA");
      EXPECT_EQ(pendingName, 0);
      EXPECT_EQ(documentHandle, document) << "the document being read stays";
      EXPECT_STREQ(currentName, "C:\\doc.b5");
      EXPECT_EQ(ReadWholeFile(folder_.Path("doc.b5")), Bytes(100, 'x'));
      EXPECT_EQ(SimOpenFileCount(), 1) << "the output is closed";
      EXPECT_FALSE(simClipboard.open);
      EXPECT_EQ(simClipboard.locks, 0);
      Forget();
    }
  }
}

TEST_F(SaveCommandsTest, TheWrittenFileIsOpenedInTheModeItsNameAndTheCommandGive) {
  struct Case {
    int command;
    const char* document;  // its extension sets the mode before the command
    const char* output;
    Posted posted;
    int big5ModeAfter;
    bool detect = false;  // Detect encoding on: the open picks the mode
  };
  const Case cases[] = {
      {CMD_SAVE_GB, "doc.b5", "out.gb", {CMD_OPEN}, 0},
      {CMD_SAVE_GB, "doc.b5", "OUT.GB", {CMD_OPEN}, 0},
      {CMD_SAVE_GB, "doc.b5", "out.txt", {CMD_OPEN, CMD_BIG5}, 0},
      {CMD_SAVE_GB, "doc.b5", "out.b5", {CMD_OPEN, CMD_BIG5}, 0},
      {CMD_SAVE_GB, "doc.b5", "out.gbk", {CMD_OPEN, CMD_BIG5}, 0},
      {CMD_DECODE_HZ, "doc.txt", "out.b5", {CMD_OPEN}, 1},
      {CMD_DECODE_HZ, "doc.txt", "out.gb", {CMD_OPEN}, 0},
      {CMD_DECODE_HZ, "doc.b5", "out.txt", {CMD_OPEN, CMD_BIG5}, 0},
      {CMD_DECODE_HZ, "doc.b5", "out.Gb", {CMD_OPEN}, 0},
      {CMD_DECODE_QP, "doc.b5", "out.big5", {CMD_OPEN, CMD_BIG5}, 0},
      {CMD_DECODE_QP, "doc.txt", "out.txt", {CMD_OPEN}, 0},
      {CMD_DECODE_QP, "doc.txt", "out.big", {CMD_OPEN}, 1},
      {CMD_PASTE, "doc.b5", "out.txt", {CMD_OPEN, CMD_BIG5}, 0},
      {CMD_PASTE, "doc.txt", "out.b5", {CMD_OPEN}, 1},
      {CMD_PASTE, "doc.b5", "out.gb", {CMD_OPEN}, 0},
      {CMD_SAVE_GB, "doc.b5", "out.txt", {CMD_OPEN}, 0, true},
      {CMD_DECODE_QP, "doc.b5", "out.big5", {CMD_OPEN}, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.command)) + " of " + c.document + " to " + c.output);
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    RunProgram("tavelo.exe");
    OpenDocument(c.document);
    if (c.detect) {
      SimChooseCommand(CMD_DETECT);
      SimRunUntilIdle();
    }
    OfferClipboardText(kClipboardText);
    const std::string output = std::string("C:\\") + c.output;
    EXPECT_EQ(ChooseSaving(c.command, output), c.posted);
    EXPECT_EQ(pendingName, 1);
    EXPECT_EQ(Warnings(), Texts{});
    EXPECT_EQ(Cursors(), "WA");
    EXPECT_EQ(ReadWholeFile(SimNativePath(output.c_str())), Written(c.command));
    SimRunUntilIdle();
    EXPECT_STREQ(currentName, output.c_str()) << "the written file is the document now";
    EXPECT_EQ(big5Mode, c.big5ModeAfter);
    EXPECT_EQ(Warnings(), Texts{});
  }
}

TEST_F(SaveCommandsTest, AnEmptyDocumentConvertsToAnEmptyFileThatIsOpened) {
  OpenDocument("empty.b5", {});
  for (int command : kConverters) {
    SCOPED_TRACE(NameOf(command));
    const std::string name = std::string("C:\\empty-") + std::to_string(command) + ".b5";
    ChooseSaving(command, name);
    EXPECT_EQ(simFiles.writeSizes, std::vector<int>{0}) << "the final write, of nothing";
    EXPECT_TRUE(Exists("empty-" + std::to_string(command) + ".b5"));
    EXPECT_TRUE(ReadWholeFile(folder_.Path("empty-" + std::to_string(command) + ".b5")).empty());
    SimRunUntilIdle();
    EXPECT_STREQ(currentName, name.c_str());
    EXPECT_EQ(Warnings(), Texts{});
    Forget();
  }
}

TEST_F(SaveCommandsTest, ConvertersWriteInPiecesThroughTheOutputBuffer) {
  // 70 bytes of plain text pass all three converters unchanged.
  const Bytes plain(70, 'k');
  OpenDocument("plain.b5", plain);
  for (int command : kConverters) {
    SCOPED_TRACE(NameOf(command));
    ChooseSaving(command, "C:\\pieces.txt");
    EXPECT_EQ(simFiles.writeSizes, (std::vector<int>{30, 30, 10}));
    EXPECT_EQ(ReadWholeFile(folder_.Path("pieces.txt")), plain);
    SimRunUntilIdle();
    OpenDocument("plain.b5", plain);  // back to BIG5 mode for Save in GB
  }
}

TEST_F(SaveCommandsTest, PasteFailuresLeaveTheClipboardClosed) {
  struct Case {
    const char* what;
    void (*arrange)();
    const char* warning;
  };
  const Case cases[] = {
      {"the clipboard cannot be opened", [] { simClipboard.openFails = true; },
       kCouldNotOpenClipboard},
      {"the text has gone", [] { simClipboard.hasText = false; }, kClipboardTextVanished},
      {"there is no text handle", [] { simClipboard.noHandle = true; }, kCouldNotGetClipboardData},
      {"the text cannot be locked", [] { simClipboard.lockFails = true; },
       kCouldNotGetClipboardData},
      {"the file cannot be created", [] { SimHoldFile("C:\\out.txt"); }, kCouldNotWriteFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    RunProgram("tavelo.exe");
    Forget();
    folder_.Write("out.txt", ToBytes("before"));
    OfferClipboardText(kClipboardText);
    c.arrange();
    EXPECT_EQ(ChooseSaving(CMD_PASTE, "C:\\out.txt"), Posted{});
    EXPECT_EQ(Warnings(), Texts{c.warning});
    EXPECT_EQ(ReadWholeFile(folder_.Path("out.txt")), ToBytes("before")) << "nothing written";
    EXPECT_EQ(simFiles.writes, 0);
    EXPECT_FALSE(simClipboard.open);
    EXPECT_EQ(simClipboard.locks, 0);
    EXPECT_EQ(pendingName, 0);
  }
}

TEST_F(SaveCommandsTest, PasteWritesTheTextUpToItsFirstZeroInOneWrite) {
  struct Case {
    const char* what;
    std::string block;  // the clipboard's text block, zeros and all
    std::string written;
  };
  const Case cases[] = {
      {"an empty text", SimUtf16Block(std::u16string(1, 0)), ""},
      {"an empty block", "", ""},
      {"a text and its zero", SimUtf16Block(std::u16string(u"abc\0", 4)), "abc"},
      {"a zero inside the text ends it", SimUtf16Block(std::u16string(u"abc\0def\0", 8)), "abc"},
      {"a block without a zero ends at its end", SimUtf16Block(u"abc"), "abc"},
      {"a block's odd last byte is no unit of the text", SimUtf16Block(u"abc") + "d", "abc"},
      {"zero bytes across two units are no end", SimUtf16Block(u"a\u4E00"), "a\xD2\xBB"},
      {"line ends and hanzi as they are", SimUtf16Block(std::u16string(u"a\r\nb\n\u554A\0", 7)),
       "a\r\nb\n\xB0\xA1"},
      {"a text longer than the converters' buffer", SimUtf16Block(std::u16string(100, u't')),
       std::string(100, 't')},
      {"only a lone surrogate", SimUtf16Block(u"\xDC00"), "?"},
      {"a pair cut by the block's end", SimUtf16Block(u"a\xD840"), "a?"},
      {"a pair cut by the zero", SimUtf16Block(std::u16string(u"a\xD840\0\xDC00", 4)), "a?"},
      {"a pair cut by an odd last byte", SimUtf16Block(u"a\xD840") + "\xDC", "a?"},
  };
  OpenDocument("doc.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    simClipboard.hasText = true;
    simClipboard.block = c.block;
    EXPECT_EQ(ChooseSaving(CMD_PASTE, "C:\\pasted.txt"), Posted{CMD_OPEN});
    EXPECT_EQ(simFiles.writeSizes, std::vector<int>{static_cast<int>(c.written.size())});
    EXPECT_EQ(ReadWholeFile(folder_.Path("pasted.txt")), ToBytes(c.written));
    EXPECT_EQ(Cursors(), "WA");
    EXPECT_FALSE(simClipboard.open);
    EXPECT_EQ(simClipboard.locks, 0);
    SimRunUntilIdle();
    EXPECT_STREQ(currentName, "C:\\pasted.txt");
    EXPECT_EQ(Warnings(), Texts{});
    OpenDocument("doc.txt");
  }
}

// Whatever the user's code page: GB2312's characters come out as GB2312
// writes them, the others as GB18030 does (Python's gb18030 codec, iconv).
TEST_F(SaveCommandsTest, PasteWritesTheClipboardsUnicodeTextInGb18030) {
  std::u16string plane2Run = u"a";
  std::string plane2Bytes = "a";
  for (int i = 0; i < 3000; ++i) {
    plane2Run += u"\U00020000";
    plane2Bytes += "\x95\x32\x82\x36";
  }
  struct Case {
    const char* what;
    std::u16string text;
    std::string written;
    Encoding shownIn;  // the mode the written file opens in, from GB mode
  };
  const Case cases[] = {
      {"GB2312's hanzi and punctuation", u"中文，啊！", "\xD6\xD0\xCE\xC4\xA3\xAC\xB0\xA1\xA3\xA1",
       kGb2312},
      {"镕, a GBK pair", u"镕", "\xE9\x46", kGb18030},
      {"𠀀 of plane 2, a four-byte code", u"\U00020000", "\x95\x32\x82\x36", kGb18030},
      {"the euro sign, where code page 936 has 0x80", u"€", "\xA2\xE3", kGb18030},
      {"Latin letters in GB2312 and beyond it", u"Aéß", "A\xA8\xA6\x81\x30\x89\x38", kGb18030},
      {"a U+FEFF first is a character, no byte-order mark", u"\uFEFF一", "\x84\x31\x95\x33\xD2\xBB",
       kGb18030},
      {"a U+FFFE first turns no byte order", u"\uFFFE一", "\x84\x31\xA4\x38\xD2\xBB", kGb18030},
      {"a lone surrogate is '?', as in CF_TEXT",
       u"a\xD800"
       u"b",
       "a?b", kGb2312},
      {"pairs cut by the pieces a long text is written in", plane2Run, plane2Bytes, kGb18030},
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OfferClipboardText(c.text);
    // A name of its own: the last one written is the open document.
    const std::string name = "pasted" + std::to_string(++run) + ".txt";
    EXPECT_EQ(ChooseSaving(CMD_PASTE, "C:\\" + name), Posted{CMD_OPEN});
    EXPECT_EQ(ReadWholeFile(folder_.Path(name)), ToBytes(c.written));
    EXPECT_EQ(Warnings(), Texts{});
    SimRunUntilIdle();
    EXPECT_EQ(textMode, c.shownIn) << "a mode that shows every character written";
    SimChooseCommand(CMD_MODE_GB2312);
    SimRunUntilIdle();
  }
}

}  // namespace
