#include <iconv.h>

#include <gtest/gtest.h>

#include "display/glyph_atlas.h"
#include "platform/sim/sim.h"
#include "shell/texts.h"
#include "tests/test_support.h"

namespace {

TEST(GlyphAtlasTest, CellOrigins) {
  struct WideCase {
    int row, cell, x, y;
  };
  const WideCase wide[] = {
      {0, 0, 0, 0},        {8, 93, 1209, 104},  {9, 0, 1222, 611},    {11, 40, 1222, 611},
      {14, 93, 1222, 611}, {15, 0, 0, 117},     {85, 93, 1209, 1027}, {86, 0, 1222, 0},
      {86, 1, 1235, 0},    {86, 92, 1222, 598}, {86, 93, 1235, 598},
  };
  for (const WideCase& c : wide) {
    const CellOrigin o = WideCell(c.row, c.cell);
    EXPECT_EQ(o.x, c.x) << c.row << "," << c.cell;
    EXPECT_EQ(o.y, c.y) << c.row << "," << c.cell;
  }
  struct NarrowCase {
    int byte, x, y;
  };
  const NarrowCase narrow[] = {
      {32, 1222, 624},  {33, 1229, 624},   {34, 1236, 624},   {35, 1222, 637},
      {65, 1222, 767},  {126, 1229, 1027}, {127, 1236, 1027}, {0, 1236, 1027},
      {31, 1236, 1027}, {128, 1236, 1027}, {255, 1236, 1027},
  };
  for (const NarrowCase& c : narrow) {
    const CellOrigin o = NarrowCell(c.byte);
    EXPECT_EQ(o.x, c.x) << c.byte;
    EXPECT_EQ(o.y, c.y) << c.byte;
  }
}

// The committed atlas, as the program loads it.
class AtlasImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SimReset();
    bits_.resize(156 * 1040);
    const BitmapHandle atlas = LoadBitmapResource(kFontBitmapName);
    ASSERT_NE(atlas, 0u);
    CopyBitmapPixels(atlas, 1248, 1040, bits_.data());
    DeleteBitmap(atlas);
  }

  // Pixel (x, y) counted from the top left is ink.
  bool Ink(int x, int y) const { return !((bits_[(1039 - y) * 156 + x / 8] >> (7 - x % 8)) & 1); }

  int InkIn(int x, int y, int width, int height) const {
    int ink = 0;
    for (int dy = 0; dy < height; ++dy) {
      for (int dx = 0; dx < width; ++dx) ink += Ink(x + dx, y + dy);
    }
    return ink;
  }

  Bytes bits_;
};

TEST_F(AtlasImageTest, FileHasTheStatedForm) {
  const Bytes file = ReadWholeFile(std::string(TAVELO_SOURCE_FOLDER) + "/resources/font.bmp");
  ASSERT_EQ(file.size(), 14u + 162288u);
  auto word = [&](int at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24;
  };
  EXPECT_EQ(word(14), 40);
  EXPECT_EQ(word(18), 1248);
  EXPECT_EQ(word(22), 1040);
  EXPECT_EQ(file[26] | file[27] << 8, 1);
  EXPECT_EQ(file[28] | file[29] << 8, 1);
  EXPECT_EQ(word(30), 0);
  EXPECT_EQ(word(34), 162240);
  EXPECT_EQ(word(38), 3780);
  EXPECT_EQ(word(42), 3780);
  EXPECT_EQ(word(46), 2);
  EXPECT_EQ(word(50), 2);
  EXPECT_EQ(word(54), 0x00000000) << "palette entry 0 is black";
  EXPECT_EQ(word(58), 0x00FFFFFF) << "palette entry 1 is white";
}

TEST_F(AtlasImageTest, EveryAssignedGbCodeHasAGlyphAndNoOtherCellHasInk) {
  iconv_t gb = iconv_open("UTF-8", "GB2312");
  ASSERT_NE(gb, reinterpret_cast<iconv_t>(-1));
  int assigned = 0;
  for (int lead = 0xA1; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char out[8];
      char* inp = in;
      char* outp = out;
      std::size_t inLeft = 2, outLeft = sizeof out;
      iconv(gb, nullptr, nullptr, nullptr, nullptr);
      const bool isAssigned =
          iconv(gb, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1);
      const int row = lead - 0xA1;
      if (row >= 9 && row <= 14) {
        EXPECT_FALSE(isAssigned);
        continue;
      }
      const CellOrigin o = WideCell(row, trail - 0xA1);
      const int ink = InkIn(o.x, o.y, 13, 13);
      // The ideographic space is assigned and blank by nature.
      if (isAssigned && !(lead == 0xA1 && trail == 0xA1)) {
        EXPECT_GT(ink, 0) << std::hex << lead << trail;
      } else {
        EXPECT_EQ(ink, 0) << std::hex << lead << trail;
      }
      assigned += isAssigned;
    }
  }
  iconv_close(gb);
  EXPECT_EQ(assigned, 7445);
}

TEST_F(AtlasImageTest, PlaceholdersAndBlankAreas) {
  EXPECT_GT(InkIn(1222, 611, 13, 13), 0) << "wide placeholder";
  EXPECT_EQ(InkIn(1235, 611, 13, 13), 0) << "the blank cell beside it";
  const CellOrigin placeholder = NarrowCell(127);
  EXPECT_GT(InkIn(placeholder.x, placeholder.y, 7, 13), 0) << "narrow placeholder";
  EXPECT_EQ(InkIn(1243, 624, 5, 416), 0) << "right of the ASCII block";
  EXPECT_EQ(InkIn(NarrowCell(' ').x, NarrowCell(' ').y, 7, 13), 0) << "space";
  for (int byte = 33; byte <= 126; ++byte) {
    const CellOrigin o = NarrowCell(byte);
    EXPECT_GT(InkIn(o.x, o.y, 7, 13), 0) << byte;
  }
}

}  // namespace
