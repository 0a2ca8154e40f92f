// The Document reader: the one way the open document is read, a byte at a
// time through the Work area's 2,048-byte window, with two bytes of push-back.
#pragma once

#include <cstdint>

#include "document/state.h"  // documentHandle, reader, readBuffer
#include "document/work_area.h"
#include "platform/platform.h"

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

// Reads up to size bytes from offset straight into buffer, past the reader's
// window (for long scans); the reader then stands after them. The bytes read.
std::int32_t ReadBytesAt(std::int32_t offset, std::uint8_t* buffer, std::int32_t size);
