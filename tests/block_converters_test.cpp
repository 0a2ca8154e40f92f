// The command line's block converters: the same bytes as the reader's loops
// however the input is cut into blocks, the flat BIG5 table equal to the
// compressed one, GB2312 to UTF-8, HZ runs too long to hold, and detection
// of short texts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "conversion/big5_map.h"
#include "conversion/block_converters.h"
#include "conversion/block_driver.h"
#include "conversion/converters.h"
#include "conversion/detect_encoding.h"
#include "document/encoding_mode.h"
#include "platform/sim/sim.h"
#include "tests/test_support.h"

namespace {

class BlockConvertersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());
    ASSERT_TRUE(LoadBig5Map());
    big5Mode = 1;
    ExpandBig5Map();
  }

  // The reader's loop over input as the open document.
  Bytes RunLoop(ConverterLoop loop, const Bytes& input) {
    EXPECT_TRUE(OpenDocumentFile(folder_.Write("doc.txt", input)));
    const FileHandle out = CreateFileForWriting("C:\\loop.bin");
    EXPECT_TRUE(ConvertDocument(loop, out));
    CloseFile(out);
    return ReadWholeFile(folder_.Path("loop.bin"));
  }

  // The block driver over input read blockSize bytes at a time.
  Bytes RunBlocks(const ConversionSteps& steps, const Bytes& input, std::int32_t blockSize) {
    folder_.Write("in.txt", input);
    const FileHandle in = OpenFileForReading("C:\\in.txt");
    const FileHandle out = CreateFileForWriting("C:\\blocks.bin");
    const std::vector<std::uint8_t> none;
    EXPECT_TRUE(ConvertInBlocks(steps, {&none, in}, out, blockSize).written);
    CloseFile(in);
    CloseFile(out);
    return ReadWholeFile(folder_.Path("blocks.bin"));
  }

  ScratchFolder folder_;
};

// Byte steps, then a transcoding from one encoding into another when given.
ConversionSteps Steps(std::initializer_list<BlockConverter> steps, Encoding from = kBinary,
                      Encoding to = kBinary) {
  ConversionSteps s{};
  for (BlockConverter step : steps) s.steps[s.count++] = step;
  s.transcodes = from != kBinary;
  if (s.transcodes) s.transcoding = StartTranscoding(from, to, kReplaceUnconvertible);
  return s;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes bytes;
  for (const Bytes& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

// Every BIG5 lead before every byte: a pair becomes the code the compressed
// table's Big5ToGb gives, anything else stays as it is.
TEST_F(BlockConvertersTest, SaveInGbGivesTheCompressedTablesCodeAtEveryPosition) {
  int positions = 0;
  for (int lead = 0xA1; lead <= 0xF9; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const std::uint8_t in[2] = {static_cast<std::uint8_t>(lead),
                                  static_cast<std::uint8_t>(trail)};
      std::uint8_t out[2];
      ASSERT_EQ(SaveInGbBlock(in, 2, true, out).written, 2u);
      int row = in[0] - 0xA1, cell = in[1] - 0xA1;
      if (IsBig5Trail(trail)) {
        Big5ToGb(lead, trail, row, cell);
        ++positions;
      }
      ASSERT_EQ(out[0], row + 0xA1) << std::hex << lead << " " << trail;
      ASSERT_EQ(out[1], cell + 0xA1) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_EQ(positions, kBig5Positions);
}

// Every piece that a block edge can cut: a lead and its trail, "~" and what
// follows it, "~" CR LF, an HZ run open across many blocks and closed or not,
// "=" and its two digits, "=" CR LF; each input is cut at every offset by
// blocks of 1 to 9 bytes, and by the reader's 2,048.
TEST_F(BlockConvertersTest, BlocksGiveTheLoopsBytesWhereverTheInputIsCut) {
  struct Conversion {
    const char* name;
    ConverterLoop loop;
    BlockConverter block;
  };
  const Conversion conversions[] = {
      {"Save in GB", SaveInGbLoop, SaveInGbBlock},
      {"Decode HZ", DecodeHzLoop, DecodeHzBlock},
      {"Decode QP", DecodeQpLoop, DecodeQpBlock},
  };
  std::mt19937 random(12);
  Bytes mixed;
  const std::string pieces[] = {"~",  "~{", "~}", "{",    "\r", "\n",   "=",    "A",    "4",
                                "<;", "x",  "!",  "\xA4", "@",  "\xB0", "\xEA", "=\r\n"};
  for (int i = 0; i < 3000; ++i) {
    const std::string& p = pieces[random() % std::size(pieces)];
    mixed.insert(mixed.end(), p.begin(), p.end());
  }
  std::string longRun = "~{";
  for (int i = 0; i < 1500; ++i) longRun += "<;";
  const Bytes inputs[] = {
      ToBytes("a~~b~\r\nc~\rd~\ne~}f~{<;~}g~{<;\r\n~{!!"),
      ToBytes("x=41=4=\r\n=\r=\ny=4g=ZZ=3D=A0="),
      Join({{0xA4, 0x40, 0xA4, 0xA4, 0x40, 0xA4, 0x20, 0xF9, 0xFE, 0xA4}, ToBytes("\r\n")}),
      ToBytes(longRun + "~}" + longRun + "x" + longRun),
      mixed,
  };
  for (const Conversion& c : conversions) {
    for (const Bytes& input : inputs) {
      SCOPED_TRACE(std::string(c.name) + ", input of " + std::to_string(input.size()));
      const Bytes expected = RunLoop(c.loop, input);
      for (std::int32_t blockSize : {1, 2, 3, 4, 5, 6, 7, 8, 9, 2048}) {
        ASSERT_EQ(RunBlocks(Steps({c.block}), input, blockSize), expected)
            << "blocks of " << blockSize;
      }
    }
  }
}

// An HZ run longer than a step may hold is scanned to its end and read again,
// and gives the loop's bytes all the same: closed by "~}", by the end, or not
// closed, with a run inside it that the second reading finds.
TEST_F(BlockConvertersTest, HzRunsTooLongToHoldGiveTheLoopsBytes) {
  std::string pairs;
  while (pairs.size() < kHeldLimit + 5000) pairs += "VPA~ND";
  const std::string runs[] = {
      "a~{" + pairs + "~}b",
      "a~{" + pairs,
      "a~{" + pairs + "\r\nb~{<;~}",
      "a~{" + pairs + "V",
  };
  for (const std::string& run : runs) {
    SCOPED_TRACE(run.substr(run.size() - 8));
    const Bytes expected = RunLoop(DecodeHzLoop, ToBytes(run));
    for (std::int32_t blockSize : {4093, kReadBlockSize}) {
      EXPECT_EQ(RunBlocks(Steps({DecodeHzBlock}), ToBytes(run), blockSize), expected);
    }
  }
}

TEST_F(BlockConvertersTest, GbToUtf8) {
  struct Case {
    const char* what;
    Bytes input;
    std::string output;
  };
  const Case cases[] = {
      {"ASCII, CR LF and control bytes stay", ToBytes("a\tb\r\nc\x01\x7F"), "a\tb\r\nc\x01\x7F"},
      {"pairs", {0xD6, 0xD0, 0xCE, 0xC4, 0xA1, 0xA3}, "中文。"},
      {"the first and last positions", {0xA1, 0xA1, 0xF7, 0xFE}, "\u3000\u9F44"},
      {"a position without a character", {0xAA, 0xA1, 0x61}, "\uFFFDa"},
      {"a lead before ASCII", {0xD6, 0x41}, "\uFFFDA"},
      {"a lead at the end", {0x61, 0xD6}, "a\uFFFD"},
      {"bytes 0x80..0xA0 and 0xFF", {0x80, 0xA0, 0xFF, 0xD6, 0xD0}, "\uFFFD\uFFFD\uFFFD中"},
      {"a lead before 0xFF", {0xD6, 0xFF, 0xD0}, "\uFFFD\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::int32_t blockSize : {1, 2, 3, 1024}) {
      EXPECT_EQ(RunBlocks(Steps({}, kGb2312, kUtf8), c.input, blockSize), ToBytes(c.output));
    }
  }
  // Save in GB then UTF-8, the command line's big5-to-gb --to utf-8.
  EXPECT_EQ(RunBlocks(Steps({SaveInGbBlock}, kGb2312, kUtf8), {0xA4, 0xA4, 0xB0, 0xEA}, 1),
            ToBytes("中国"));
}

TEST(DetectEncodingTest, ShortTexts) {
  struct Case {
    const char* what;
    Bytes text;
    Encoding encoding;
  };
  const Case cases[] = {
      {"GB2312: 床前明月光", {0xB4, 0xB2, 0xC7, 0xB0, 0xC3, 0xF7, 0xD4, 0xC2, 0xB9, 0xE2}, kGb2312},
      {"BIG5: 床前明月光", {0xA7, 0xC9, 0xAB, 0x65, 0xA9, 0xFA, 0xA4, 0xEB, 0xA5, 0xFA}, kBig5},
      {"BIG5 without low trails: 中國", {0xA4, 0xA4, 0xB0, 0xEA}, kBig5},
      {"GB2312: 中国", {0xD6, 0xD0, 0xB9, 0xFA}, kGb2312},
      {"GBK: 朱镕基总理", {0xD6, 0xEC, 0xE9, 0x46, 0xBB, 0xF9, 0xD7, 0xDC, 0xC0, 0xED}, kGbk},
      {"GB18030 with a four-byte code: 佢喺𨋢度",
       {0x81, 0xDA, 0x86, 0xD5, 0x97, 0x38, 0xCD, 0x32, 0xB6, 0xC8},
       kGb18030},
      {"Big5-HKSCS: 佢哋食咗飯",
       {0xCA, 0x5C, 0x92, 0x5D, 0xAD, 0xB9, 0x9D, 0xF7, 0xB6, 0xBA},
       kBig5Hkscs},
      {"UTF-16 with its mark: 中文", {0xFF, 0xFE, 0x2D, 0x4E, 0x87, 0x65}, kUtf16},
      {"UTF-8: 中文", ToBytes("中文"), kUtf8},
      {"HZ", ToBytes("~{VPND~}"), kHz},
      {"an HZ run left open by the end", ToBytes("ok ~{VPND"), kHz},
      {"quoted-printable GB2312", ToBytes("=D6=D0=CE=C4"), kQp},
      {"ASCII", ToBytes("Re: a=b ~ x\r\n"), kAscii},
      {"the empty text", {}, kAscii},
      {"a zero byte", {0x61, 0x00, 0x62}, kBinary},
      {"control bytes", {0x01, 0x02, 0x03, 0x04, 0xD6, 0xD0}, kBinary},
      {"high bytes no Chinese text has", {0x80, 0x81, 0x82, 0x83, 0x84, 0x85}, kBinary},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_STREQ(EncodingName(DetectEncoding(c.text.data(), c.text.size())),
                 EncodingName(c.encoding));
  }
}

}  // namespace
