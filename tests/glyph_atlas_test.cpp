#include <iconv.h>

#include <map>
#include <utility>

#include <gtest/gtest.h>

#include "display/glyph_atlas.h"
#include "display/unicode_glyphs.h"
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

// The Unicode atlas beside the GB atlas, both as the program loads them.
class UnicodeAtlasTest : public ::testing::Test {
 protected:
  struct Atlas {
    int width = 0;
    int height = 0;
    Bytes bits;
    bool Ink(int x, int y) const {
      return !((bits[(height - 1 - y) * (width / 8) + x / 8] >> (7 - x % 8)) & 1);
    }
  };

  void SetUp() override {
    SimReset();
    ASSERT_NO_FATAL_FAILURE(Load(kFontBitmapName, "font.bmp", &gb_));
    ASSERT_NO_FATAL_FAILURE(Load(kGlyphsBitmapName, "glyphs.bmp", &unicode_));
  }

  static std::uint32_t Word(const Bytes& file, int at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24;
  }

  static Bytes File(const char* name) {
    return ReadWholeFile(std::string(TAVELO_SOURCE_FOLDER) + "/resources/" + name);
  }

  // The size from the file's header, the pixels through the resource.
  static void Load(const char* resource, const char* file, Atlas* atlas) {
    const Bytes header = File(file);
    ASSERT_GE(header.size(), 62u);
    atlas->width = static_cast<int>(Word(header, 18));
    atlas->height = static_cast<int>(Word(header, 22));
    atlas->bits.resize(atlas->width / 8 * atlas->height);
    const BitmapHandle bitmap = LoadBitmapResource(resource);
    ASSERT_NE(bitmap, 0u) << resource;
    CopyBitmapPixels(bitmap, atlas->width, atlas->height, atlas->bits.data());
    DeleteBitmap(bitmap);
  }

  // The width x 13 cell at gb in the GB atlas has the pixels of the one at unicode.
  bool SameCell(CellOrigin gb, CellOrigin unicode, int width) const {
    for (int y = 0; y < 13; ++y) {
      for (int x = 0; x < width; ++x) {
        if (gb_.Ink(gb.x + x, gb.y + y) != unicode_.Ink(unicode.x + x, unicode.y + y)) return false;
      }
    }
    return true;
  }

  Atlas gb_;
  Atlas unicode_;
};

TEST_F(UnicodeAtlasTest, FileHasTheGbAtlasForm) {
  const Bytes glyphs = File("glyphs.bmp");
  const Bytes font = File("font.bmp");
  ASSERT_GE(glyphs.size(), 62u);
  // Headers and palettes alike but for bfSize, the width, the height and biSizeImage.
  for (int at = 0; at < 62; ++at) {
    const bool sizeField = (at >= 2 && at < 6) || (at >= 18 && at < 26) || (at >= 34 && at < 38);
    if (!sizeField) {
      EXPECT_EQ(glyphs[at], font[at]) << at;
    }
  }
  EXPECT_EQ(Word(glyphs, 2), glyphs.size());
  EXPECT_EQ(unicode_.width % 32, 0);
  EXPECT_EQ(Word(glyphs, 34), static_cast<std::uint32_t>(unicode_.width / 8 * unicode_.height));
  EXPECT_LT(glyphs.size(), 1000000u);
}

// As Python's gb2312 codec reads it: glibc's GB2312 reads every code alike
// (docs/encoding-choices.md).
TEST_F(UnicodeAtlasTest, EveryGbCodeLooksAsInTheGbAtlas) {
  // Codes the GB atlas draws with another character's glyph.
  struct Substitute {
    int code;
    char32_t readsAs, drawnWith;
  };
  const Substitute substitutes[] = {
      {0xA1AA, U'\u2015', U'\u2014'},  // the 13-pixel font has no horizontal bar
  };
  iconv_t gb = iconv_open("UTF-32LE", "GB2312");
  ASSERT_NE(gb, reinterpret_cast<iconv_t>(-1));
  int assigned = 0;
  for (int code = 0xA1A1; code <= 0xF7FE; ++code) {
    if ((code & 0xFF) < 0xA1 || (code & 0xFF) == 0xFF) continue;
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code)};
    unsigned char out[4];
    char* inp = in;
    char* outp = reinterpret_cast<char*>(out);
    std::size_t inLeft = 2, outLeft = sizeof out;
    iconv(gb, nullptr, nullptr, nullptr, nullptr);
    if (iconv(gb, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) continue;
    ++assigned;
    char32_t c = out[0] | out[1] << 8 | out[2] << 16;
    for (const Substitute& s : substitutes) {
      if (s.code != code) continue;
      EXPECT_EQ(c, s.readsAs) << std::hex << code;
      c = s.drawnWith;
    }
    const Glyph glyph = UnicodeGlyph(c);
    EXPECT_EQ(glyph.columns, 2) << std::hex << code;
    const CellOrigin gbCell = WideCell((code >> 8) - 0xA1, (code & 0xFF) - 0xA1);
    EXPECT_TRUE(SameCell(gbCell, glyph.origin, 13)) << std::hex << code;
  }
  iconv_close(gb);
  EXPECT_EQ(assigned, 7445);
}

TEST_F(UnicodeAtlasTest, AsciiLooksAsInTheGbAtlas) {
  // Controls and DEL share the GB atlas's placeholder, as does an unreadable byte.
  for (int byte = 0; byte <= 0x7F; ++byte) {
    const Glyph glyph = UnicodeGlyph(static_cast<char32_t>(byte));
    EXPECT_EQ(glyph.columns, 1) << byte;
    EXPECT_TRUE(SameCell(NarrowCell(byte), glyph.origin, 7)) << byte;
  }
  EXPECT_TRUE(SameCell(NarrowCell(0x80), UnreadableByteCell(), 7));
}

TEST_F(UnicodeAtlasTest, WidthsAndPlaceholders) {
  struct Case {
    const char* what;
    char32_t c;
    int columns;
    bool placeholder;  // else a glyph of its own
  };
  const Case cases[] = {
      {"hanzi", U'\u4E2D', 2, false},
      {"fullwidth form", U'\uFF21', 2, false},
      {"ambiguous, the 13-pixel font has it", U'\u00B7', 2, false},
      {"ambiguous, only 7x13 has it", U'\u2015', 1, false},
      {"ambiguous, neither font has it", U'\uE000', 1, true},
      {"Latin letter", U'A', 1, false},
      {"Latin letter, ambiguous, the 13-pixel font has it", U'\u00E9', 2, false},
      {"Latin letter, ambiguous, only 7x13 has it", U'\u0142', 1, false},
      {"Greek letter, ambiguous, the 13-pixel font has it", U'\u03B1', 2, false},
      {"Greek letter, neutral", U'\u03AC', 1, false},
      {"Cyrillic letter, ambiguous, the 13-pixel font has it", U'\u0434', 2, false},
      {"Cyrillic letter, neutral", U'\u0452', 1, false},
      {"wide, neither font has it", U'\uAC00', 2, true},
      {"wide, only 7x13 has it", U'\u2648', 2, true},
      {"narrow, neither font has it", U'\u0627', 1, true},
      {"combining mark", U'\u0301', 1, false},
      {"plane-2 hanzi, no font has it", U'\U00020000', 2, true},
      {"tab", U'\t', 1, true},
      {"line feed", U'\n', 1, true},
      {"carriage return, which the 13-pixel font draws", U'\r', 1, true},
      {"C1 control", U'\u0085', 1, true},
      {"surrogate", 0xD800, 1, true},
      {"unassigned, which Python 3.11 calls fullwidth", 0x0378, 2, true},
      {"last code point, unassigned", 0x10FFFF, 2, true},
      {"beyond Unicode", 0x110000, 1, true},
  };
  const CellOrigin wide = WideCell(9, 0), narrow = NarrowCell(127);  // the GB atlas's placeholders
  for (const Case& c : cases) {
    const Glyph glyph = UnicodeGlyph(c.c);
    EXPECT_EQ(glyph.columns, c.columns) << c.what;
    const int width = glyph.columns == 2 ? 13 : 7;
    EXPECT_EQ(SameCell(glyph.columns == 2 ? wide : narrow, glyph.origin, width), c.placeholder)
        << c.what;
  }
}

TEST_F(UnicodeAtlasTest, EveryCharacterHasACellOfItsOwnOrAPlaceholder) {
  std::map<std::pair<int, int>, int> users;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const Glyph glyph = UnicodeGlyph(c);
    const int width = glyph.columns == 2 ? 13 : 7;
    ASSERT_TRUE(glyph.columns == 1 || glyph.columns == 2) << std::hex << c;
    ASSERT_EQ(UnicodeColumns(c), glyph.columns) << "the layout's columns, " << std::hex << c;
    ASSERT_TRUE(glyph.origin.x >= 0 && glyph.origin.x + width <= unicode_.width &&
                glyph.origin.y >= 0 && glyph.origin.y + 13 <= unicode_.height)
        << std::hex << c;
    ++users[{glyph.origin.x, glyph.origin.y}];
  }
  const CellOrigin wide = UnicodeGlyph(0x378).origin, narrow = UnreadableByteCell();
  int shared = 0;
  for (const auto& cell : users) shared += cell.second > 1;
  EXPECT_EQ(shared, 2) << "only the placeholders serve several characters";
  EXPECT_GT((users[{wide.x, wide.y}]), 1);
  EXPECT_GT((users[{narrow.x, narrow.y}]), 1);
  EXPECT_EQ(users.size(), 29661u + 2771u) << "every cell serves a character";
}

}  // namespace
