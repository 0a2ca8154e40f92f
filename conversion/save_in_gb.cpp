#include "conversion/big5_map.h"
#include "conversion/converters.h"
#include "document/encoding_mode.h"
#include "document/reader.h"

namespace {

constexpr int kGbBase = 0xA1;  // a GbIndex (row, cell) is the GB2312 code (row + 0xA1, cell + 0xA1)

}  // namespace

void SaveInGbLoop(OutputSink& sink) {
  ForEachDocumentByte(sink, [&sink](int c) {
    if (IsBig5Lead(c)) {
      const int trail = ReadByte();
      if (IsBig5Trail(trail)) {
        int row, cell;
        Big5ToGb(c, trail, row, cell);
        AppendPair(sink, row + kGbBase, cell + kGbBase);
        return;
      }
      // Not a pair: the lead is copied and the byte after it read again (the
      // end of the input pushes back nothing).
      Unread(trail);
    }
    AppendByte(sink, c);
  });
}
