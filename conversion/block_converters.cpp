#include "conversion/block_converters.h"

#include <cstring>

#include "conversion/big5_map.h"
#include "conversion/state.h"
#include "encoding/ascii_run.h"
#include "encoding/byte_rules.h"

namespace {

constexpr int kGbBase = 0xA1;
constexpr int kCellsPerRow = 94;
constexpr int kTrailsPerLead = 157;

// The table's sections: first position, first bit, value width, flagged.
struct Section {
  int first;
  long bit;
  int width;
  bool flagged;  // a 1 bit is an entry without a value, a 0 bit precedes one
};
constexpr Section kSections[] = {
    {0, 0, 10, true},
    {471, 3296, 13, false},
    {5872, 73512, 13, true},
};
constexpr long kTableBits = static_cast<long>(kBig5TableSize) * 8;

// Reads the table's bits in order, most significant first; past the end they
// read as the all-ones fill, as Big5ToGb's reads do.
struct BitReader {
  long at;
  int Bit() {
    const long k = at++;
    if (k >= kTableBits) return 1;
    return big5Table[k / 8] >> (7 - k % 8) & 1;
  }
  int Value(int width) {
    int v = 0;
    for (int i = 0; i < width; ++i) v = v << 1 | Bit();
    return v;
  }
};

// The trail byte of each of a lead's 157 positions, in the table's order.
int TrailByte(int t) {
  return t < 0x3F ? t + 0x40 : t + 0x62;
}

}  // namespace

void ExpandBig5Map() {
  for (int s = 0; s < 3; ++s) {
    const Section& section = kSections[s];
    const int end = s < 2 ? kSections[s + 1].first : kBig5Positions;
    BitReader bits{section.bit};
    for (int n = section.first; n < end; ++n) {
      const int v = section.flagged && bits.Bit() ? 0 : bits.Value(section.width);
      std::uint8_t* code = big5GbCodes[n / kTrailsPerLead][TrailByte(n % kTrailsPerLead)];
      code[0] = static_cast<std::uint8_t>(v / kCellsPerRow + kGbBase);
      code[1] = static_cast<std::uint8_t>(v % kCellsPerRow + kGbBase);
    }
  }
}

BlockResult SaveInGbBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out) {
  std::size_t i = 0;
  // Every byte but the last has the byte after it at hand.
  while (i + 1 < size) {
    const unsigned lead = in[i] - 0xA1u;
    if (lead < kBig5Leads) {
      const std::uint8_t* code = big5GbCodes[lead][in[i + 1]];
      if (code[0] != 0) {
        std::memcpy(out + i, code, 2);
        i += 2;
        continue;
      }
    } else if (in[i] < 0x80) {
      // ASCII leads no pair: the run goes as it is, a short one (a space, a
      // line break) as one store of 16 bytes where 16 are there.
      const std::size_t run = AsciiRun(in + i, size - i);
      CopyAsciiRun(in + i, run, size - i, out + i);
      i += run;
      continue;
    }
    // Not a pair: the byte stays, the next one is looked at anew.
    out[i] = in[i];
    i += 1;
  }
  if (i + 1 == size && (last || !IsBig5Lead(in[i]))) {
    out[i] = in[i];
    i += 1;
  }
  return {i, i};
}

BlockResult CopyBlock(const std::uint8_t* in, std::size_t size, bool, std::uint8_t* out) {
  if (size > 0) std::memcpy(out, in, size);
  return {size, size};
}
