#include <gtest/gtest.h>

#include <cstring>

#include "conversion/big5_map.h"
#include "platform/sim/sim.h"
#include "shell/texts.h"
#include "tests/test_support.h"

namespace {

// A BIG5 code from its code position.
struct Big5Code {
  int lead;
  int trail;
};
Big5Code CodeAt(int n) {
  const int t = n % 157;
  return Big5Code{0xA1 + n / 157, t < 63 ? 0x40 + t : 0x62 + t};
}

// An independent reading of the table: the bits as a list, the sections
// parsed front to back into one value per position (-1 for none).
struct DecodedTable {
  std::vector<int> values;
  int mappedA = 0, mappedB = 0, mappedC = 0;
  bool fillIsOnes = true;
};

DecodedTable Decode(const Bytes& table) {
  std::vector<int> bits;
  for (std::uint8_t byte : table) {
    for (int i = 7; i >= 0; --i) bits.push_back((byte >> i) & 1);
  }
  auto take = [&](std::size_t& at, int width) {
    int v = 0;
    while (width-- > 0) v = v * 2 + bits[at++];
    return v;
  };
  DecodedTable d;
  auto flagged = [&](std::size_t at, std::size_t end, int first, int count, int width,
                     int& mapped) {
    for (int n = first; n < first + count; ++n) {
      if (bits[at++] == 1) {
        d.values.push_back(-1);
      } else {
        d.values.push_back(take(at, width));
        ++mapped;
      }
    }
    for (; at < end; ++at) d.fillIsOnes = d.fillIsOnes && bits[at] == 1;
  };
  flagged(0, 412 * 8, 0, 471, 10, d.mappedA);
  std::size_t at = 412 * 8;
  for (int n = 471; n < 5872; ++n) {
    const int v = take(at, 13);
    d.values.push_back(v == 0 ? -1 : v);
    d.mappedB += v != 0;
  }
  for (; at < 9189u * 8; ++at) d.fillIsOnes = d.fillIsOnes && bits[at] == 1;
  flagged(9189 * 8, 13240 * 8, 5872, 8101, 13, d.mappedC);
  return d;
}

class Big5MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SimReset();
    committed_ = ReadWholeFile(std::string(TAVELO_SOURCE_FOLDER) + "/resources/big5_map.bin");
    ASSERT_EQ(committed_.size(), kBig5TableSize);
  }
  void TearDown() override { SimReset(); }

  Bytes committed_;
};

TEST_F(Big5MapTest, LookupAgreesWithAnIndependentDecodingAtEveryPosition) {
  ASSERT_TRUE(LoadBig5Map());
  EXPECT_EQ(0, std::memcmp(big5Table, committed_.data(), kBig5TableSize))
      << "the bitmap carries the table byte for byte";
  const DecodedTable decoded = Decode(committed_);
  ASSERT_EQ(decoded.values.size(), 13973u);
  for (int n = 0; n < 13973; ++n) {
    const Big5Code code = CodeAt(n);
    int row = -1, cell = -1;
    Big5ToGb(code.lead, code.trail, row, cell);
    const int v = decoded.values[n] < 0 ? 0 : decoded.values[n];
    ASSERT_EQ(row, v / 94) << "position " << n;
    ASSERT_EQ(cell, v % 94) << "position " << n;
    ASSERT_LE(row, 86) << "position " << n;
  }
  EXPECT_LE(decoded.mappedA, 282);
  EXPECT_LE(decoded.mappedC, 1869);
  EXPECT_GT(decoded.mappedB, 5200);
  EXPECT_TRUE(decoded.fillIsOnes);
  FreeBig5Map();
}

TEST_F(Big5MapTest, KnownPairs) {
  struct Pair {
    const char* what;
    int big5;
    int gb;
  };
  const Pair pairs[] = {
      {"ideographic space", 0xA140, 0xA1A1},   {"one", 0xA440, 0xD2BB},
      {"country, simplified", 0xB0EA, 0xB9FA}, {"circled one", 0xC6A1, 0xA2D9},
      {"full-width comma", 0xA141, 0xA3AC},    {"big", 0xA46A, 0xB4F3},
  };
  ASSERT_TRUE(LoadBig5Map());
  for (const Pair& p : pairs) {
    int row, cell;
    Big5ToGb(p.big5 >> 8, p.big5 & 0xFF, row, cell);
    EXPECT_EQ((row + 0xA1) << 8 | (cell + 0xA1), p.gb) << p.what;
  }
  FreeBig5Map();
}

// Section boundaries, the trail gap and values across byte boundaries, on a
// table written here bit by bit.
class SyntheticTable {
 public:
  SyntheticTable() : bytes_(kBig5TableSize, 0xFF) {}
  void Put(long bit, int value, int width) {
    for (int i = 0; i < width; ++i) {
      const int b = (value >> (width - 1 - i)) & 1;
      const long k = bit + i;
      bytes_[k / 8] =
          static_cast<std::uint8_t>((bytes_[k / 8] & ~(0x80 >> (k % 8))) | (b << (7 - k % 8)));
    }
  }
  const std::uint8_t* data() const { return bytes_.data(); }

 private:
  Bytes bytes_;
};

int Lookup(int code) {
  int row, cell;
  Big5ToGb(code >> 8, code & 0xFF, row, cell);
  return row * 94 + cell;
}

TEST_F(Big5MapTest, SectionsAndBitPositions) {
  SyntheticTable t;
  // Section A: entry 0 none, entry 1 = 3, entry 2 = 1023, then none up to 470 = 777.
  t.Put(1, 0, 1);
  t.Put(2, 3, 10);
  t.Put(12, 0, 1);
  t.Put(13, 1023, 10);
  t.Put(23 + 467, 0, 1);  // entries 3..469 take one bit each
  t.Put(23 + 467 + 1, 777, 10);
  // Section B: every entry 0 but a few; entry 3 starts at the last bit of a byte.
  for (int m = 0; m < 5401; ++m) t.Put(3296 + 13L * m, 0, 13);
  t.Put(3296 + 13L * 0, 8177, 13);     // 0xA440
  t.Put(3296 + 13L * 3, 0x1555, 13);   // starts at bit 7 of byte 416
  t.Put(3296 + 13L * 8, 0x1555, 13);   // starts on a byte boundary
  t.Put(3296 + 13L * 62, 100, 13);     // 0xA47E, position 533
  t.Put(3296 + 13L * 63, 200, 13);     // 0xA4A1, position 534
  t.Put(3296 + 13L * 5400, 4321, 13);  // 0xC67E, ends 5 bits into byte 9,188
  // Section C: entries 0..4 none, entry 5 = 5000 (its value crosses two byte boundaries).
  t.Put(73512 + 5, 0, 1);
  t.Put(73512 + 6, 5000, 13);
  // ... and the last entry, 0xF9FE, after 8,094 more entries of one bit.
  t.Put(73512 + 19 + 8094, 0, 1);
  t.Put(73512 + 19 + 8094 + 1, 6000, 13);
  big5Table = t.data();

  struct Case {
    int code;
    int value;
  };
  const Case cases[] = {
      {0xA140, 0},    {0xA141, 3},      {0xA142, 1023},   {0xA143, 0},    {0xA3FE, 777},
      {0xA440, 8177}, {0xA443, 0x1555}, {0xA448, 0x1555}, {0xA47E, 100},  {0xA4A1, 200},
      {0xC67E, 4321}, {0xC6A1, 0},      {0xC6A5, 0},      {0xC6A6, 5000}, {0xF9FE, 6000},
  };
  for (const Case& c : cases) EXPECT_EQ(Lookup(c.code), c.value) << std::hex << c.code;
  big5Table = nullptr;
}

TEST_F(Big5MapTest, LoadingAndFreeing) {
  ASSERT_TRUE(LoadBig5Map());
  const Bytes first(big5Table, big5Table + kBig5TableSize);
  FreeBig5Map();
  EXPECT_EQ(SimLiveBlocks(), 0);
  ASSERT_TRUE(LoadBig5Map());
  EXPECT_EQ(Bytes(big5Table, big5Table + kBig5TableSize), first);
  EXPECT_EQ(SimBlocksAllocated(kBig5TableSize), 2);
  EXPECT_EQ(SimLiveBitmaps(), 0) << "the bitmap is deleted once copied";
  FreeBig5Map();
  EXPECT_TRUE(simBoxes.empty());
}

// The map reports why it failed and shows nothing: the BIG5 toggle warns
// (open_command_test.cpp).
TEST_F(Big5MapTest, FailuresAreReportedAndHoldNothing) {
  struct Case {
    const char* what;
    bool hideBitmap;
    bool failAllocation;
    Big5MapFailure failure;
  };
  const Case cases[] = {
      {"no bitmap", true, false, Big5MapFailure::kNoBitmap},
      {"no memory", false, true, Big5MapFailure::kNoMemory},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SimReset();
    if (c.hideBitmap) SimHideResource(kCodeBitmapName);
    SimFailAllocations(kBig5TableSize, c.failAllocation);
    Big5MapFailure failure = Big5MapFailure::kNone;
    EXPECT_FALSE(LoadBig5Map(&failure));
    EXPECT_EQ(failure, c.failure);
    EXPECT_TRUE(simBoxes.empty());
    EXPECT_TRUE(simBeeps.empty());
    EXPECT_EQ(SimLiveBlocks(), 0);
    EXPECT_EQ(SimLiveBitmaps(), 0);
  }
}

}  // namespace
