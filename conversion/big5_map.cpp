#include "conversion/big5_map.h"

#include "platform/platform.h"

namespace {

// Code positions and bit offsets of the table's three sections.
constexpr int kSectionB = 471;        // first position of section B (0xA440)
constexpr int kSectionC = 5872;       // first position of section C (0xC6A1)
constexpr long kSectionBBit = 3296;   // byte 412
constexpr long kSectionCBit = 73512;  // byte 9,189
constexpr int kWidthA = 10;
constexpr int kWidthB = 13;
constexpr int kWidthC = 13;
constexpr int kCellsPerRow = 94;

// The eight table bytes from byte first on, first byte most significant;
// bytes past the table's end read as the all-ones fill, so no read leaves it.
std::uint64_t EightBytes(long first) {
  std::uint64_t bytes = 0;
  if (first + 8 <= static_cast<long>(kBig5TableSize)) {
    for (long i = first; i < first + 8; ++i) bytes = bytes << 8 | big5Table[i];
  } else {
    for (long i = first; i < first + 8; ++i) {
      bytes = bytes << 8 | (i < static_cast<long>(kBig5TableSize) ? big5Table[i] : 0xFF);
    }
  }
  return bytes;
}

// The width-bit value at bit k (width at most 13, so it lies within eight bytes).
int Value(long k, int width) {
  return static_cast<int>((EightBytes(k / 8) << (k % 8)) >> (64 - width));
}

// Entry m of a flagged section, where a 1 bit is an entry without a mapping and
// a 0 bit precedes a value. The entries are passed over one by one, but a run
// of empty entries is counted at once from a 64-bit window of the table.
int FlaggedEntry(long start, int width, int m) {
  long k = start;
  while (m > 0) {
    const std::uint64_t window = EightBytes(k / 8) << (k % 8);
    const int valid = 64 - static_cast<int>(k % 8);  // bits of the window that are k's
    int used = 0;
    while (m > 0 && used < valid) {
      const std::uint64_t rest = ~(window << used);
      int ones = rest == 0 ? 64 : __builtin_clzll(rest);
      if (ones > valid - used) ones = valid - used;
      if (ones >= m) {
        used += m;
        m = 0;
        break;
      }
      used += ones;
      m -= ones;
      if (used == valid) break;
      used += 1 + width;  // a mapped entry
      m -= 1;
    }
    k += used;
  }
  return Value(k, 1) ? 0 : Value(k + 1, width);
}

}  // namespace

void Big5ToGb(int lead, int trail, int& row, int& cell) {
  const int t = trail < 0xA1 ? trail - 0x40 : trail - 0x62;
  const int n = (lead - 0xA1) * 157 + t;
  int v;
  if (n < kSectionB) {
    v = FlaggedEntry(0, kWidthA, n);
  } else if (n < kSectionC) {
    v = Value(kSectionBBit + static_cast<long>(n - kSectionB) * kWidthB, kWidthB);
  } else {
    v = FlaggedEntry(kSectionCBit, kWidthC, n - kSectionC);
  }
  row = v / kCellsPerRow;
  cell = v % kCellsPerRow;
}

bool LoadBig5Map(Big5MapFailure* failure) {
  Big5MapFailure ignored;
  Big5MapFailure& why = failure != nullptr ? *failure : ignored;
  why = Big5MapFailure::kNone;
  const BitmapHandle bitmap = LoadBitmapResource(kCodeBitmapName);
  if (bitmap == 0) {
    why = Big5MapFailure::kNoBitmap;
    return false;
  }
  big5Block = AllocateFixedBlock(kBig5TableSize);
  if (big5Block == 0) {
    DeleteBitmap(bitmap);
    why = Big5MapFailure::kNoMemory;
    return false;
  }
  std::uint8_t* table = LockFixedBlock(big5Block);
  CopyBitmapPixels(bitmap, kBig5TableWidth, kBig5TableHeight, table);
  big5Table = table;
  DeleteBitmap(bitmap);
  return true;
}

void FreeBig5Map() {
  FreeFixedBlock(big5Block);
}
