#include "document/reader.h"

#include "document/work_area.h"

void SeekTo(std::int32_t offset) {
  // The lower bound is strict on purpose: after reading the first block of any
  // file blockBase is 0, so a seek to 0 must go to the file, or a newly opened
  // document would be served from the previous one's bytes.
  if (reader.blockBase < offset && offset - reader.blockBase < reader.blockFill) {
    reader.blockCursor = offset - reader.blockBase;
  } else {
    SeekFile(documentHandle, offset);
    reader.blockBase = offset;
    reader.blockFill = 0;
    reader.blockCursor = 0;
  }
  reader.pushBack1 = -1;
  reader.pushBack2 = -1;
}

int ReadByteFromFile() {
  if (reader.pushBack1 >= 0) {
    const int value = reader.pushBack1;
    reader.pushBack1 = reader.pushBack2;
    reader.pushBack2 = -1;
    return value;
  }
  if (reader.blockCursor == reader.blockFill) {
    reader.blockBase += reader.blockFill;
    // Offsets are signed 32-bit: stop short of the limit instead of overflowing.
    const std::int32_t room = kReadableLimit - reader.blockBase;
    const std::int32_t wanted = room < kReadBufferSize ? room : kReadBufferSize;
    reader.blockFill = wanted > 0 ? ReadFromFile(documentHandle, readBuffer, wanted) : 0;
    reader.blockCursor = 0;
    if (reader.blockFill <= 0) {
      reader.blockFill = 0;
      return -1;
    }
  }
  return readBuffer[reader.blockCursor++];
}

void Unread(int value) {
  // Giving back the end of the file changes nothing, whatever is pending.
  if (value < 0) return;
  if (reader.pushBack1 >= 0) reader.pushBack2 = reader.pushBack1;
  reader.pushBack1 = value;
}

std::int32_t CurrentOffset() {
  return reader.blockBase + reader.blockCursor;
}

std::int32_t ReadBytesAt(std::int32_t offset, std::uint8_t* buffer, std::int32_t size) {
  SeekFile(documentHandle, offset);
  const std::int32_t room = kReadableLimit - offset;
  std::int32_t got = 0;
  while (got < size && got < room) {
    const std::int32_t wanted = (size < room ? size : room) - got;
    const std::int32_t n = ReadFromFile(documentHandle, buffer + got, wanted);
    if (n <= 0) break;
    got += n;
  }
  // The window is empty where the file now stands, as after a seek there.
  reader = DocumentReader{};
  reader.blockBase = offset + got;
  return got;
}
