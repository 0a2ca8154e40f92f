#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "document/reader.h"
#include "document/work_area.h"
#include "platform/sim/sim.h"
#include "tests/test_support.h"

namespace {

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshProcess(); }

  // Opens content as the document and clears the platform counters.
  void Open(const Bytes& content) {
    ASSERT_TRUE(OpenDocumentFile(folder_.Write("doc.txt", content)));
    simFiles = SimFileCounters{};
  }

  static Bytes Counting(int size) {
    Bytes bytes(size);
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
  }

  ScratchFolder folder_;
};

TEST_F(ReaderTest, EmptyFileEndsAtOnce) {
  Open({});
  SeekTo(0);
  EXPECT_EQ(ReadByte(), -1);
  EXPECT_EQ(reader.blockBase, 0);
  EXPECT_EQ(reader.blockFill, 0);
}

TEST_F(ReaderTest, SequentialReadingCostsOnePlatformReadPerBlock) {
  const Bytes content = Counting(2048 * 3 + 5);
  Open(content);
  SeekTo(0);
  for (std::size_t i = 0; i < content.size(); ++i) ASSERT_EQ(ReadByte(), content[i]) << i;
  EXPECT_EQ(simFiles.reads, 4);
  EXPECT_EQ(simFiles.seeks, 1);
  EXPECT_EQ(ReadByte(), -1);
  EXPECT_EQ(ReadByte(), -1);
  EXPECT_EQ(simFiles.reads, 6) << "every read at the end repeats the platform read";
}

TEST_F(ReaderTest, FileOfExactlyOneBlock) {
  const Bytes content = Counting(2048);
  Open(content);
  SeekTo(0);
  for (int i = 0; i < 2048; ++i) ASSERT_EQ(ReadByte(), content[i]);
  EXPECT_EQ(simFiles.reads, 1);
  EXPECT_EQ(ReadByte(), -1);
  EXPECT_EQ(simFiles.reads, 2);
  EXPECT_EQ(reader.blockBase, 2048);
  EXPECT_EQ(reader.blockFill, 0);
}

TEST_F(ReaderTest, PushBackIsATwoDeepStack) {
  Open(ToBytes("abcdef"));
  SeekTo(0);
  EXPECT_EQ(ReadByte(), 'a');
  Unread('x');
  Unread('y');
  EXPECT_EQ(ReadByte(), 'y');
  EXPECT_EQ(ReadByte(), 'x');
  EXPECT_EQ(ReadByte(), 'b');
  // A pair given back as B then A reads as A, B.
  const int a = ReadByte();
  const int b = ReadByte();
  Unread(b);
  Unread(a);
  EXPECT_EQ(CurrentOffset(), 4) << "the push-back does not move the buffer's cursor";
  EXPECT_EQ(ReadByte(), 'c');
  EXPECT_EQ(ReadByte(), 'd');
  EXPECT_EQ(ReadByte(), 'e');
}

TEST_F(ReaderTest, SeekDiscardsThePushBack) {
  Open(ToBytes("abcdef"));
  SeekTo(0);
  ReadByte();
  Unread('x');
  SeekTo(3);
  EXPECT_EQ(ReadByte(), 'd');
}

TEST_F(ReaderTest, PushingBackTheEndChangesNothing) {
  Open(ToBytes("ab"));
  SeekTo(1);
  EXPECT_EQ(ReadByte(), 'b');
  EXPECT_EQ(ReadByte(), -1);
  Unread(-1);
  EXPECT_EQ(ReadByte(), -1);
  // Even with a value pending, -1 neither hides it nor the bytes behind it.
  SeekTo(0);
  const int first = ReadByte();
  Unread(first);
  Unread(-1);
  EXPECT_EQ(ReadByte(), 'a');
  EXPECT_EQ(ReadByte(), 'b');
}

TEST_F(ReaderTest, SeekCosts) {
  struct Case {
    const char* what;
    std::int32_t target;
    int seeks;  // platform seeks the SeekTo makes
    int reads;  // platform reads the next ReadByte makes
  };
  const Case cases[] = {
      {"to the block's first byte", 2048, 1, 1}, {"just past the block's first byte", 2049, 0, 0},
      {"to the block's last byte", 4095, 0, 0},  {"to the byte after the block", 4096, 1, 1},
      {"before the block", 100, 1, 1},           {"to offset 0", 0, 1, 1},
  };
  const Bytes content = Counting(8192);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open(content);
    SeekTo(2048);
    ReadByte();  // the block 2048..4095 is buffered
    simFiles = SimFileCounters{};
    SeekTo(c.target);
    EXPECT_EQ(simFiles.seeks, c.seeks);
    EXPECT_EQ(ReadByte(), content[c.target]);
    EXPECT_EQ(simFiles.reads, c.reads);
    EXPECT_EQ(CurrentOffset(), c.target + 1);
  }
}

TEST_F(ReaderTest, SeekToZeroNeverServesTheBufferOfAnotherDocument) {
  Open(ToBytes("first document"));
  SeekTo(0);
  ReadByte();
  // The Open command replaces the handle without touching the reader's fields.
  CloseFile(documentHandle);
  documentHandle = OpenFileForReading(folder_.Write("other.txt", ToBytes("second")).c_str());
  SeekTo(0);
  EXPECT_EQ(ReadByte(), 's');
}

TEST_F(ReaderTest, SeekAtOrBeyondTheEndReadsTheEnd) {
  Open(ToBytes("abc"));
  for (std::int32_t offset : {3, 4, 100000}) {
    SeekTo(offset);
    EXPECT_EQ(ReadByte(), -1) << offset;
  }
}

TEST_F(ReaderTest, CurrentOffsetIsWhereTheBufferContinues) {
  const Bytes content = Counting(5000);
  Open(content);
  SeekTo(0);
  for (int i = 0; i < 3000; ++i) ReadByte();
  EXPECT_EQ(CurrentOffset(), 3000);
  const std::int32_t remembered = CurrentOffset();
  for (int i = 0; i < 1500; ++i) ReadByte();
  SeekTo(remembered);
  EXPECT_EQ(ReadByte(), content[3000]);
}

TEST_F(ReaderTest, FailedReadIsTheEnd) {
  Open(ToBytes("abc"));
  CloseFile(documentHandle);  // the handle no longer reads
  SeekTo(0);
  EXPECT_EQ(ReadByte(), -1);
  EXPECT_EQ(reader.blockFill, 0);
}

TEST_F(ReaderTest, DocumentOf2GBReadsAsEndingBeforeOffset2To31) {
  const std::string path = folder_.Write("huge.txt", {});
  const off_t size = (off_t{1} << 31) + 4096;
  const int fd = open(path.c_str(), O_WRONLY);
  ASSERT_EQ(ftruncate(fd, size), 0);
  const char marker[] = "END";
  ASSERT_EQ(pwrite(fd, marker, 3, (off_t{1} << 31) - 4), 3);
  close(fd);
  ASSERT_TRUE(OpenDocumentFile(path));

  SeekTo(kReadableLimit - 3);
  EXPECT_EQ(ReadByte(), 'E');
  EXPECT_EQ(ReadByte(), 'N');
  EXPECT_EQ(ReadByte(), 'D');
  EXPECT_EQ(ReadByte(), -1);
  EXPECT_EQ(ReadByte(), -1);
  EXPECT_EQ(reader.blockBase, kReadableLimit);
  EXPECT_EQ(CurrentOffset(), kReadableLimit);
}

}  // namespace
