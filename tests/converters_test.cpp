// The three converter loops and their output buffer, run over real documents
// through the Document reader, each table row a document and what it becomes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "conversion/big5_map.h"
#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "platform/sim/sim.h"
#include "tests/test_support.h"

namespace {

struct Case {
  const char* what;
  Bytes input;
  Bytes output;
};

// Shows bytes as hex in failure messages.
std::string Hex(const Bytes& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

Bytes Repeat(const std::string& piece, int times) {
  Bytes bytes;
  for (int i = 0; i < times; ++i) bytes.insert(bytes.end(), piece.begin(), piece.end());
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes bytes;
  for (const Bytes& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

class ConvertersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFreshProcess();
    SimMapDrive('C', folder_.Root());  // the fresh desktop has no drives
  }

  // Runs loop over input as the open document into a new file; what reached
  // the file. written tells whether every write took all its bytes.
  Bytes Run(ConverterLoop loop, const Bytes& input, bool* written = nullptr) {
    EXPECT_TRUE(OpenDocumentFile(folder_.Write("doc.txt", input)));
    const FileHandle out = CreateFileForWriting("C:\\out.bin");
    EXPECT_NE(out, kInvalidFile);
    simFiles = SimFileCounters{};
    const bool ok = ConvertDocument(loop, out);
    CloseFile(out);
    if (written != nullptr) *written = ok;
    return ReadWholeFile(folder_.Path("out.bin"));
  }

  void RunTable(ConverterLoop loop, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      bool written = false;
      const Bytes got = Run(loop, c.input, &written);
      EXPECT_TRUE(written);
      EXPECT_EQ(Hex(got), Hex(c.output));
    }
  }

  void LoadMap() {
    ASSERT_TRUE(LoadBig5Map());
    big5Mode = 1;
  }

  ScratchFolder folder_;
};

// ---- Save in GB ----

TEST_F(ConvertersTest, SaveInGbTranslatesPairsAndCopiesEveryOtherByte) {
  LoadMap();
  RunTable(
      SaveInGbLoop,
      {
          {"an empty document", {}, {}},
          {"a pair: 0xA440 is the character one", {0xA4, 0x40}, {0xD2, 0xBB}},
          {"a traditional character becomes its simplified form", {0xB0, 0xEA}, {0xB9, 0xFA}},
          {"trail 0x7E, the last of the low trails", {0xA4, 0x7E}, {0xB2, 0xC5}},
          {"trail 0xA1, the first of the high trails", {0xA4, 0xA1}, {0xB3, 0xF3}},
          {"the first code of the last section", {0xC6, 0xA1}, {0xA2, 0xD9}},
          {"a code without a counterpart", {0xA3, 0xFE}, {0xA1, 0xA1}},
          {"the last code, without a counterpart", {0xF9, 0xFE}, {0xA1, 0xA1}},
          {"a lead before a space: lead copied, the space read again", {0xA4, 0x20}, {0xA4, 0x20}},
          {"a lead before 0x7F, just above the low trails", {0xA4, 0x7F}, {0xA4, 0x7F}},
          {"a lead before 0xA0, just below the high trails", {0xA4, 0xA0}, {0xA4, 0xA0}},
          {"a lead before 0xFF", {0xA4, 0xFF}, {0xA4, 0xFF}},
          {"a lead before 0x3F, just below the low trails", {0xA4, 0x3F}, {0xA4, 0x3F}},
          {"a lead as the last byte", {0x61, 0xA4}, {0x61, 0xA4}},
          {"a lead before LF: the line end survives", {0xA4, 0x0A, 0x62}, {0xA4, 0x0A, 0x62}},
          {"a lead before a lead pairs with it", {0xA4, 0xA4, 0x40}, {0xD6, 0xD0, 0x40}},
          {"0xA0 is no lead", {0xA0, 0x40}, {0xA0, 0x40}},
          {"0xFA, just above the leads, is no lead", {0xFA, 0x40}, {0xFA, 0x40}},
          {"0xF9 is the last lead", {0xF9, 0xD5}, {0xA1, 0xA1}},
          {"ASCII, CR LF, tabs and control bytes pass", ToBytes("a\tb\r\nc\x01\x7F"),
           ToBytes("a\tb\r\nc\x01\x7F")},
          {"a zero byte passes", {0x00, 0xA4, 0x40, 0x00}, {0x00, 0xD2, 0xBB, 0x00}},
          {"bytes 0x80..0xA0 pass", {0x80, 0x9F, 0xA0}, {0x80, 0x9F, 0xA0}},
          {"mixed text", Join({ToBytes("x "), {0xA4, 0xA4, 0xB0, 0xEA}, ToBytes("\r\n")}),
           Join({ToBytes("x "), {0xD6, 0xD0, 0xB9, 0xFA}, ToBytes("\r\n")})},
      });
}

TEST_F(ConvertersTest, SaveInGbWritesWhatTheMapGivesForEveryCode) {
  LoadMap();
  Bytes input;
  Bytes expected;
  for (int lead = 0xA1; lead <= 0xF9; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!IsBig5Trail(trail)) continue;
      int row, cell;
      Big5ToGb(lead, trail, row, cell);
      input.insert(input.end(),
                   {static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)});
      expected.insert(expected.end(), {static_cast<std::uint8_t>(row + 0xA1),
                                       static_cast<std::uint8_t>(cell + 0xA1)});
    }
  }
  ASSERT_EQ(input.size(), 13973u * 2);
  EXPECT_EQ(Run(SaveInGbLoop, input), expected);
}

// ---- Decode HZ ----

TEST_F(ConvertersTest, DecodeHzEscapesOutsideRuns) {
  RunTable(
      DecodeHzLoop,
      {
          {"an empty document", {}, {}},
          {"a doubled tilde is one", {0x61, 0x7E, 0x7E, 0x62}, {0x61, 0x7E, 0x62}},
          {"tilde CR LF joins the lines", ToBytes("a~\r\nb"), ToBytes("ab")},
          {"tilde CR, then the next byte is read again", ToBytes("a~\rxb"), ToBytes("axb")},
          {"tilde CR at the end", ToBytes("a~\r"), ToBytes("a")},
          {"tilde CR before a doubled tilde", ToBytes("~\r~~"), ToBytes("~")},
          {"tilde CR CR LF keeps the second line end", ToBytes("~\r\r\n"), ToBytes("\r\n")},
          {"tilde LF stays", ToBytes("a~\nb"), ToBytes("a~\nb")},
          {"tilde and a closing brace outside a run stay", ToBytes("a~}b"), ToBytes("a~}b")},
          {"tilde before any other byte stays", ToBytes("~x~ ~\x01"), ToBytes("~x~ ~\x01")},
          {"tilde as the last byte stays", ToBytes("ab~"), ToBytes("ab~")},
          {"a tilde pair before an opening brace is no run", ToBytes("~~{<;~}"), ToBytes("~{<;~}")},
          {"bytes with the top bit set pass", {0xB0, 0xA1, 0x7E, 0x7E}, {0xB0, 0xA1, 0x7E}},
          {"CR LF and tabs pass", ToBytes("a\tb\r\n"), ToBytes("a\tb\r\n")},
      });
}

TEST_F(ConvertersTest, DecodeHzRuns) {
  RunTable(
      DecodeHzLoop,
      {
          {"a run closed by tilde brace", {0x7E, 0x7B, 0x3C, 0x3B, 0x7E, 0x7D}, {0xBC, 0xBB}},
          {"a run then ASCII", ToBytes("~{<;~}ab"), Join({{0xBC, 0xBB}, ToBytes("ab")})},
          {"a run before CR LF stays, CR LF included", ToBytes("~{<;\r\n"), ToBytes("~{<;\r\n")},
          {"a run at the end of the input", {0x7E, 0x7B, 0x3C, 0x3B}, {0xBC, 0xBB}},
          {"an empty run", ToBytes("a~{~}b"), ToBytes("ab")},
          {"an opening as the last two bytes", ToBytes("a~{"), ToBytes("a")},
          {"a pair with lead 0x78 leaves the run", ToBytes("~{<;x!~}"), ToBytes("~{<;x!~}")},
          {"lead 0x77 and trail 0x7E are the highest", ToBytes("~{w~~}"), {0xF7, 0xFE}},
          {"lead and trail 0x21 are the lowest", ToBytes("~{!!~}"), {0xA1, 0xA1}},
          {"a trail of 0x7F leaves the run", ToBytes("~{!\x7F~}"), ToBytes("~{!\x7F~}")},
          {"a lead of 0x20 leaves the run", ToBytes("~{ !~}"), ToBytes("~{ !~}")},
          {"a trail of 0x20 leaves the run", ToBytes("~{! ~}"), ToBytes("~{! ~}")},
          {"an odd byte before the end leaves the run", ToBytes("~{<;<"), ToBytes("~{<;<")},
          {"an odd byte before the close leaves the run, the close then stays", ToBytes("~{<;<~}"),
           ToBytes("~{<;<~}")},
          {"tilde and another byte do not close a run", ToBytes("~{<;~x"), ToBytes("~{<;~x")},
          {"a failed run is read again as ordinary input", ToBytes("~{<;\r\n~{<;~}"),
           Join({ToBytes("~{<;\r\n"), {0xBC, 0xBB}})},
          {"an opening inside a failed run starts a run of its own", ToBytes("~{~{<;~}"),
           Join({ToBytes("~{"), {0xBC, 0xBB}})},
          {"a tilde inside a run is a trail like any other", ToBytes("~{!~~}"), {0xA1, 0xFE}},
          {"two runs", ToBytes("~{<;~}-~{!!~}"), Join({{0xBC, 0xBB}, ToBytes("-"), {0xA1, 0xA1}})},
          {"a run of several pairs", ToBytes("~{<;<;<;~}"), {0xBC, 0xBB, 0xBC, 0xBB, 0xBC, 0xBB}},
      });
}

TEST_F(ConvertersTest, DecodeHzRunsAcrossReadBlocks) {
  struct Where {
    const char* what;
    std::size_t padding;  // ASCII bytes before "~{"
  };
  const Where places[] = {
      {"the run's first pair starts a block", 2046},
      {"the opening is split by the block boundary", 2047},
      {"the run's first pair is the block's second byte", 2045},
      {"the run spans the boundary", 2000},
  };
  for (const Where& w : places) {
    SCOPED_TRACE(w.what);
    const Bytes pad(w.padding, 'a');
    const Bytes run = Join({ToBytes("~{"), Repeat("<;", 60), ToBytes("~}z")});
    Bytes expected = pad;
    for (int i = 0; i < 60; ++i) expected.insert(expected.end(), {0xBC, 0xBB});
    expected.push_back('z');
    EXPECT_EQ(Run(DecodeHzLoop, Join({pad, run})), expected);
    // The same run left open by a space is copied whole.
    const Bytes open = Join({ToBytes("~{"), Repeat("<;", 60), ToBytes(" ~}z")});
    EXPECT_EQ(Run(DecodeHzLoop, Join({pad, open})), Join({pad, open}));
  }
}

// ---- Decode QP ----

TEST_F(ConvertersTest, DecodeQpEscapes) {
  RunTable(
      DecodeQpLoop,
      {
          {"an empty document", {}, {}},
          {"two digits give a byte", {0x3D, 0x34, 0x31}, {0x41}},
          {"letter digits", ToBytes("=C4=E3"), {0xC4, 0xE3}},
          {"the lowest and highest bytes", ToBytes("=00=FF"), {0x00, 0xFF}},
          {"a digit and a letter that is no digit", {0x3D, 0x34, 0x67}, {0x3D, 0x34, 0x67}},
          {"a lower-case first digit is no digit", {0x3D, 0x65, 0x34}, {0x3D, 0x65, 0x34}},
          {"a lower-case second digit is no digit", ToBytes("=4a"), ToBytes("=4a")},
          {"G is no digit", ToBytes("=G1"), ToBytes("=G1")},
          {"equals CR LF is removed", ToBytes("ab=\r\ncd"), ToBytes("abcd")},
          {"equals LF is removed", ToBytes("ab=\ncd"), ToBytes("abcd")},
          {"equals CR is removed, the next byte read again", ToBytes("ab=\rcd"), ToBytes("abcd")},
          {"equals CR before an escape", ToBytes("=\r=41"), ToBytes("A")},
          {"equals CR at the end", ToBytes("ab=\r"), ToBytes("ab")},
          {"equals as the last byte stays", ToBytes("ab="), ToBytes("ab=")},
          {"equals and one digit at the end", ToBytes("ab=4"), ToBytes("ab=4")},
          {"equals before a space stays", ToBytes("= x"), ToBytes("= x")},
          {"a doubled equals: the second starts an escape", ToBytes("==41"), ToBytes("=A")},
          {"an equals and a digit before an escape", ToBytes("=4=41"), ToBytes("=4A")},
          {"a decoded equals is not read again", ToBytes("=3D41"), ToBytes("=41")},
          {"a digit before CR LF: the line end stays", ToBytes("=4\r\n"), ToBytes("=4\r\n")},
          {"plain text, line ends and bytes with the top bit pass",
           Join({ToBytes("a\r\nb\n"), {0xB0}}), Join({ToBytes("a\r\nb\n"), {0xB0}})},
          {"a line of escapes and nothing else", Repeat("=41", 100), Bytes(100, 'A')},
      });
}

// ---- The output buffer ----

TEST_F(ConvertersTest, OutputIsWrittenInPiecesOfThirtyOrThirtyOneAndAFinalRest) {
  struct Sizes {
    const char* what;
    ConverterLoop loop;
    Bytes input;
    std::vector<int> writes;  // the size of each platform write, in order
  };
  ASSERT_TRUE(LoadBig5Map());
  big5Mode = 1;
  const Bytes pair = {0xA4, 0x40};
  const std::vector<Sizes> cases = {
      {"nothing: one final write of nothing", DecodeQpLoop, {}, {0}},
      {"29 bytes: only the final write", DecodeQpLoop, Bytes(29, 'a'), {29}},
      {"30 bytes: a write of 30, then the final write of nothing",
       DecodeQpLoop,
       Bytes(30, 'a'),
       {30, 0}},
      {"31 single bytes", DecodeQpLoop, Bytes(31, 'a'), {30, 1}},
      {"61 single bytes", DecodeQpLoop, Bytes(61, 'a'), {30, 30, 1}},
      {"15 pairs reach 30 exactly", SaveInGbLoop, Repeat("\xA4\x40", 15), {30, 0}},
      {"one byte and 15 pairs: the pair that passes 29 makes 31",
       SaveInGbLoop,
       Join({ToBytes("a"), Repeat("\xA4\x40", 15)}),
       {31, 0}},
      {"one byte and 16 pairs",
       SaveInGbLoop,
       Join({ToBytes("a"), Repeat("\xA4\x40", 16)}),
       {31, 2}},
      {"HZ pairs after one byte",
       DecodeHzLoop,
       Join({ToBytes("a~{"), Repeat("<;", 15), ToBytes("~}")}),
       {31, 0}},
      {"an unclosed HZ opening is written as a pair",
       DecodeHzLoop,
       Join({Bytes(29, 'a'), ToBytes("~{ ")}),
       {31, 1}},
      {"a QP digit that is not followed by one is written as a pair",
       DecodeQpLoop,
       Join({Bytes(29, 'a'), ToBytes("=4x")}),
       {31, 1}},
      {"a line of 100 QP escapes", DecodeQpLoop, Repeat("=41", 100), {30, 30, 30, 10}},
  };
  for (const Sizes& c : cases) {
    SCOPED_TRACE(c.what);
    Run(c.loop, c.input);
    EXPECT_EQ(simFiles.writeSizes, c.writes);
  }
}

TEST_F(ConvertersTest, AFailedWriteIsReportedAndEndsTheRun) {
  struct Full {
    const char* what;
    std::int64_t space;  // bytes the disk takes
    std::size_t length;  // bytes of plain ASCII in the document
    bool written;
    std::vector<int> writes;
  };
  const Full cases[] = {
      {"the disk takes everything", 1000, 100, true, {30, 30, 30, 10}},
      {"the disk takes exactly everything", 100, 100, true, {30, 30, 30, 10}},
      {"the first write fails", 10, 100, false, {30}},
      {"a write in the middle fails", 40, 100, false, {30, 30}},
      {"only the final write fails", 95, 100, false, {30, 30, 30, 10}},
      {"a full disk and an empty document: the final write of nothing succeeds", 0, 0, true, {0}},
  };
  for (const Full& c : cases) {
    SCOPED_TRACE(c.what);
    SimSetDiskSpace(c.space);
    bool written = !c.written;
    const Bytes got = Run(DecodeQpLoop, Bytes(c.length, 'q'), &written);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(simFiles.writeSizes, c.writes);
    // A failed write still puts what fits, as on a full disk.
    EXPECT_EQ(got.size(), c.written ? c.length : static_cast<std::size_t>(c.space));
    SimSetDiskSpace(-1);
  }
}

TEST_F(ConvertersTest, AFailedWriteStopsTheReading) {
  // A long document on a full disk: reading ends with the first failed write.
  LoadMap();
  const struct {
    const char* what;
    ConverterLoop loop;
  } loops[] = {{"Save in GB", SaveInGbLoop}, {"HZ", DecodeHzLoop}, {"QP", DecodeQpLoop}};
  for (const auto& l : loops) {
    SCOPED_TRACE(l.what);
    SimSetDiskSpace(0);
    bool written = true;
    Run(l.loop, Bytes(100000, 'h'), &written);
    EXPECT_FALSE(written);
    EXPECT_EQ(simFiles.writes, 1);
    EXPECT_EQ(simFiles.reads, 1) << "only the first block is read";
  }
}

TEST_F(ConvertersTest, ADocumentBeyondTheLineLimitIsConvertedWhole) {
  // 40,000 lines: more than the 32,768 display lines the view can hold.
  const Bytes input = Repeat("=41\r\n", 40000);
  const Bytes got = Run(DecodeQpLoop, input);
  EXPECT_EQ(got, Repeat("A\r\n", 40000));
}

TEST_F(ConvertersTest, EveryLoopStartsFromTheFirstByte) {
  // The reader is left anywhere by its previous user; each loop seeks to 0.
  const Bytes input = ToBytes("first=41~~ last");
  const struct {
    const char* what;
    ConverterLoop loop;
    const char* output;
  } loops[] = {{"HZ", DecodeHzLoop, "first=41~ last"}, {"QP", DecodeQpLoop, "firstA~~ last"}};
  for (const auto& l : loops) {
    SCOPED_TRACE(l.what);
    ASSERT_TRUE(OpenDocumentFile(folder_.Write("doc.txt", input)));
    SeekTo(7);
    ReadByte();
    Unread('#');
    const FileHandle out = CreateFileForWriting("C:\\out.bin");
    ASSERT_TRUE(ConvertDocument(l.loop, out));
    CloseFile(out);
    EXPECT_EQ(ReadWholeFile(folder_.Path("out.bin")), ToBytes(l.output));
  }
}

// ---- The HZ and QP loops against simple models ----

// HZ decoding written plainly over a whole byte array, without push-back.
Bytes ModelHz(const Bytes& in) {
  Bytes out;
  const std::size_t n = in.size();
  auto at = [&](std::size_t i) { return i < n ? static_cast<int>(in[i]) : -1; };
  std::size_t i = 0;
  while (i < n) {
    if (in[i] != '~') {
      out.push_back(in[i++]);
      continue;
    }
    const int d = at(i + 1);
    if (d == '~') {
      out.push_back('~');
      i += 2;
    } else if (d == '\r') {
      i += at(i + 2) == '\n' ? 3 : 2;
    } else if (d == '{') {
      std::size_t j = i + 2;
      while (at(j) >= 0x21 && at(j) <= 0x77 && at(j + 1) >= 0x21 && at(j + 1) <= 0x7E) j += 2;
      const bool closed = at(j) == '~' && at(j + 1) == '}';
      if (at(j) == -1 || closed) {
        for (std::size_t k = i + 2; k < j; ++k)
          out.push_back(static_cast<std::uint8_t>(in[k] | 0x80));
        i = closed ? j + 2 : n;
      } else {
        out.push_back('~');
        out.push_back('{');
        i += 2;
      }
    } else {
      out.push_back('~');
      i += 1;
    }
  }
  return out;
}

// QP decoding written plainly over a whole byte array, without push-back.
Bytes ModelQp(const Bytes& in) {
  Bytes out;
  const std::size_t n = in.size();
  auto at = [&](std::size_t i) { return i < n ? static_cast<int>(in[i]) : -1; };
  auto hex = [](int c) { return std::string("0123456789ABCDEF").find(static_cast<char>(c)); };
  auto digit = [&](int c) { return c >= 0 && hex(c) != std::string::npos; };
  std::size_t i = 0;
  while (i < n) {
    if (in[i] != '=') {
      out.push_back(in[i++]);
    } else if (at(i + 1) == '\r') {
      i += at(i + 2) == '\n' ? 3 : 2;
    } else if (at(i + 1) == '\n') {
      i += 2;
    } else if (digit(at(i + 1)) && digit(at(i + 2))) {
      out.push_back(static_cast<std::uint8_t>(hex(at(i + 1)) * 16 + hex(at(i + 2))));
      i += 3;
    } else if (digit(at(i + 1))) {
      out.push_back('=');
      out.push_back(in[i + 1]);
      i += 2;
    } else {
      out.push_back('=');
      i += 1;
    }
  }
  return out;
}

TEST_F(ConvertersTest, DecodersAgreeWithPlainModelsOnRandomDocuments) {
  struct Model {
    const char* what;
    ConverterLoop loop;
    Bytes (*model)(const Bytes&);
    std::string alphabet;  // the bytes random documents are made of, repeated ones more often
  };
  const Model models[] = {
      {"HZ", DecodeHzLoop, ModelHz, "~~~~{{}}<;!wxW\r\n \x7F\xB0"},
      {"QP", DecodeQpLoop, ModelQp, "====09AFaf4g\r\n \xC4"},
  };
  std::mt19937 random(20240501);
  for (const Model& m : models) {
    SCOPED_TRACE(m.what);
    std::uniform_int_distribution<std::size_t> pick(0, m.alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 5000);
    for (int round = 0; round < 60; ++round) {
      Bytes input(length(random));
      for (auto& b : input) b = static_cast<std::uint8_t>(m.alphabet[pick(random)]);
      ASSERT_EQ(Hex(Run(m.loop, input)), Hex(m.model(input))) << "round " << round;
    }
  }
}

}  // namespace
