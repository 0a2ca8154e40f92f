// The Document reader: the one way the open document is read, a byte at a
// time through the Work area's 2,048-byte window, with two bytes of push-back.
#pragma once

#include <cstdint>

#include "document/work_area.h"
#include "platform/platform.h"

// The open document, read with read sharing; kInvalidFile while none is open.
// Replaced by the Open command, closed when the window is destroyed.
extern FileHandle documentHandle;

// The reader's window over the document. The platform file position always
// equals blockBase + blockFill, so the next platform read continues the block.
struct DocumentReader {
  std::int32_t blockBase = 0;    // file offset of the first byte of readBuffer
  std::int32_t blockFill = 0;    // valid bytes in readBuffer, 0..2,048
  std::int32_t blockCursor = 0;  // index of the next byte to deliver, 0..blockFill
  int pushBack1 = -1;            // the value ReadByte returns first, -1 = empty
  int pushBack2 = -1;            // the value returned after pushBack1, -1 = empty
};
extern DocumentReader reader;

// The reader addresses offsets below this; a longer file reads as ending here.
constexpr std::int32_t kReadableLimit = INT32_MAX;

// Positions the reader so that the next ReadByte delivers the byte at offset.
void SeekTo(std::int32_t offset);

// ReadByte's way when nothing is pending and the buffer is used up.
int ReadByteFromFile();

// The next byte, 0..255, or -1 at the end of the file. Inline: the layout,
// the painter and the converters call it for every byte of the document.
inline int ReadByte() {
  if (reader.pushBack1 < 0 && reader.blockCursor < reader.blockFill) {
    return readBuffer[reader.blockCursor++];
  }
  return ReadByteFromFile();
}

// Gives a value back; it is the next one ReadByte returns (last in, first out).
void Unread(int value);

// The offset of the next byte the buffer (not the push-back) would deliver.
std::int32_t CurrentOffset();
