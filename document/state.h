// The document room's process-wide state, all of it: the open document, the
// Document reader's window over it, the Work area that holds the Line index,
// and the encoding mode. ResetDocumentState puts every field back to its
// start-up value (a fresh process in the tests).
#pragma once

#include <cstdint>
#include <vector>

#include "encoding/encoding.h"
#include "platform/platform.h"

// The reader's window over the document. The platform file position always
// equals blockBase + blockFill, so the next platform read continues the block.
struct DocumentReader {
  std::int32_t blockBase = 0;    // file offset of the first byte of readBuffer
  std::int32_t blockFill = 0;    // valid bytes in readBuffer, 0..2,048
  std::int32_t blockCursor = 0;  // index of the next byte to deliver, 0..blockFill
  int pushBack1 = -1;            // the value ReadByte returns first, -1 = empty
  int pushBack2 = -1;            // the value returned after pushBack1, -1 = empty
};

// The open document, read with read sharing; kInvalidFile while none is open.
// Replaced by the Open command, closed when the window is destroyed.
extern FileHandle documentHandle;
extern DocumentReader reader;  // where the next ReadByte comes from

// 1 while BIG5 text is shown (the BIG5-to-GB table is loaded), else 0; never saved.
extern int big5Mode;

// The encoding the document is read in: kGb2312 for the two modes the
// reader has always had (big5Mode tells them apart), or one of the modes
// that read through the encoding room into Unicode: kGb18030, kBig5,
// kBig5Hkscs, kUtf8, kUtf16, kHz.
extern Encoding textMode;
extern bool utf16BigEndian;  // in UTF-16, the document began with FE FF
extern bool hzInRun;         // in HZ, the reader stands inside a "~{" run

// The document is laid out in the Line table, not the Work area's Line index.
inline bool ReadsThroughUnicode() {
  return textMode != kGb2312;
}

// Where a display line starts in the Line table: its offset and the
// layout's state there.
struct LinePlace {
  std::int32_t offset;
  std::uint8_t phase;  // logical column modulo 8
  std::uint8_t carry;  // spaces of a tab still to place; the tab is at offset
  bool hzInRun;        // HZ: the line starts inside a "~{" run
};

// The Line table: every kLinesPerPlace-th line's start, and where its
// layout, which runs in slices, stands.
struct LineTable {
  std::vector<LinePlace> places;
  LinePlace next{0, 0, 0, false};  // where the first line not yet laid out starts
  int nextLine = 0;                // its number
  int columns = 0;
  bool done = true;
};
extern LineTable lineTable;

extern int lastLine;   // index of the last display line; the document has lastLine + 1
extern int truncated;  // 1 when the latest build stopped at the line limit, else 0

// The Work area's fixed block, 0 while not held (only work_area.cpp uses it),
// and its regions, null while it is not allocated.
extern BlockHandle workAreaBlock;
extern std::uint8_t* readBuffer;  // the Document reader's 2,048-byte window
extern std::uint8_t* lineBytes;   // bytes consumed by each display line
extern std::uint8_t* linePhase;   // tab phase of each display line, two per byte

// Every field above back to its start-up value; frees nothing.
void ResetDocumentState();
