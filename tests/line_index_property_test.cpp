// The Line index against a deliberately simple layout written here from the
// layout rules alone: characters are found by looking at the bytes directly,
// then placed greedily, with no reader and no push-back.
#include <gtest/gtest.h>

#include <random>

#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/work_area.h"
#include "tests/test_support.h"

namespace {

struct ModelLayout {
  int result = 0;
  std::vector<int> bytes;
  std::vector<int> phases;
};

// Greedy layout of the bytes into lines of at most columns columns.
ModelLayout LayOut(const Bytes& d, int columns, bool big5) {
  const int leadTop = big5 ? 0xF9 : 0xF7;
  auto lead = [&](int b) { return b >= 0xA1 && b <= leadTop; };
  auto trail = [&](int b) { return (b >= 0xA1 && b <= 0xFE) || (big5 && b >= 0x40 && b <= 0x7E); };

  ModelLayout out;
  int col = 0, count = 0, phase = 0, lineStartPhase = 0;
  // Closes the current line; false once the line limit stops the layout.
  auto close = [&](bool atEnd) {
    out.bytes.push_back(count);
    out.phases.push_back(lineStartPhase);
    col = count = 0;
    lineStartPhase = phase;
    if (!atEnd && out.bytes.size() == 32768) {
      out.result = 1;
      return false;
    }
    return true;
  };
  std::size_t i = 0;
  while (i < d.size()) {
    const int b = d[i];
    if (b == 13 || b == 10) {
      const int length = (b == 13 && i + 1 < d.size() && d[i + 1] == 10) ? 2 : 1;
      count += length;
      i += length;
      phase = 0;
      if (!close(false)) return out;
      continue;
    }
    if (col == columns && !close(false)) return out;
    if (b == 9) {
      int spaces = 8 - phase;
      while (col + spaces > columns) {
        spaces -= columns - col;
        phase = (phase + columns - col) % 8;
        col = columns;
        if (!close(false)) return out;
      }
      col += spaces;
      phase = 0;
      count += 1;
      i += 1;
      continue;
    }
    const int width = (lead(b) && i + 1 < d.size() && trail(d[i + 1])) ? 2 : 1;
    if (col + width > columns && !close(false)) return out;
    col += width;
    count += width;
    phase = (phase + width) % 8;
    i += width;
  }
  close(true);
  return out;
}

// Bytes that stress the layout: line breaks, tabs, lead and trail bytes.
Bytes RandomDocument(std::mt19937& random) {
  static const int kinds[] = {13, 10, 9, -1, -2, -3, -4};
  std::uniform_int_distribution<int> length(0, 1500);
  std::uniform_int_distribution<int> pick(0, 9);
  std::uniform_int_distribution<int> byte(0, 255);
  Bytes d(length(random));
  for (auto& b : d) {
    const int k = pick(random);
    const int kind = k < 7 ? kinds[k] : -5;
    switch (kind) {
      case -1: b = static_cast<std::uint8_t>(0xA1 + byte(random) % 0x5A); break;  // lead
      case -2: b = static_cast<std::uint8_t>(0xA1 + byte(random) % 0x5E); break;  // high trail
      case -3: b = static_cast<std::uint8_t>(0x40 + byte(random) % 0x3F); break;  // low trail
      case -4: b = static_cast<std::uint8_t>('a' + byte(random) % 26); break;
      case -5: b = static_cast<std::uint8_t>(byte(random)); break;
      default: b = static_cast<std::uint8_t>(kind); break;
    }
  }
  return d;
}

TEST(LineIndexPropertyTest, AgreesWithASimpleLayoutOnRandomDocuments) {
  StartFreshProcess();
  ScratchFolder folder;
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> columnsOf(2, 253);
  for (int round = 0; round < 3000; ++round) {
    const Bytes d = RandomDocument(random);
    const int columns = round % 5 == 0 ? 2 + round % 9 : columnsOf(random);
    const bool big5 = round % 2 == 1;
    ASSERT_TRUE(OpenDocumentFile(folder.Write("doc.bin", d)));
    view.columns = columns;
    big5Mode = big5;
    const int result = BuildLineIndex(view.columns);
    const ModelLayout model = LayOut(d, columns, big5);
    SCOPED_TRACE("round " + std::to_string(round) + ", columns " + std::to_string(columns));
    ASSERT_EQ(result, model.result);
    ASSERT_EQ(lastLine + 1, static_cast<int>(model.bytes.size()));
    long sum = 0;
    for (int k = 0; k <= lastLine; ++k) {
      ASSERT_EQ(lineBytes[k], model.bytes[k]) << "line " << k;
      ASSERT_EQ(StoredPhase(k), model.phases[k]) << "line " << k;
      ASSERT_LE(lineBytes[k], columns + 2);
      sum += lineBytes[k];
    }
    if (result == 0) {
      ASSERT_EQ(sum, static_cast<long>(d.size()));
    }
  }
}

}  // namespace
