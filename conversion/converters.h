// The save-as converters. Each loop reads the whole open document through the
// Document reader, from offset 0 to its end, and appends what it makes to an
// output sink; the commands that choose, create and open the files wrap them.
#pragma once

#include <cstdint>

#include "conversion/output_sink.h"
#include "document/reader.h"
#include "platform/platform.h"

// One converter's loop over the whole document.
using ConverterLoop = void (*)(OutputSink& sink);

// The loop every converter runs: each byte of the document from offset 0 goes
// to step, which may read on and push back. A failed write ends the run:
// nothing read afterwards could reach the file.
template <typename Step>
void ForEachDocumentByte(OutputSink& sink, Step step) {
  SeekTo(0);
  int c;
  while (!sink.writeFailed && (c = ReadByte()) >= 0) step(c);
}

// The decoders' loop: every byte but escape is copied as it is. After an
// escape, decode(sink, next) gets the byte that follows it (-1 at the end)
// and decodes what it begins; when it begins nothing, decode returns false
// and the escape stays, next being read again.
template <typename Decode>
void DecodeEscapes(OutputSink& sink, int escape, Decode decode) {
  ForEachDocumentByte(sink, [&sink, escape, decode](int c) {
    if (c != escape) {
      AppendByte(sink, c);
      return;
    }
    const int next = ReadByte();
    if (!decode(sink, next)) {
      AppendByte(sink, escape);
      Unread(next);
    }
  });
}

// BIG5 pairs become the GB2312 codes the BIG5-to-GB map gives them (the map
// must be loaded); every other byte is copied.
void SaveInGbLoop(OutputSink& sink);

// HZ: "~~" becomes "~", "~" CR LF is dropped, and a "~{" run of 7-bit pairs
// closed by "~}" or by the end of the input becomes GB2312 bytes.
void DecodeHzLoop(OutputSink& sink);

// Quoted-printable: "=" and two upper-case hex digits become that byte, and
// soft line breaks ("=" CR LF, "=" LF, "=" CR) are dropped.
void DecodeQpLoop(OutputSink& sink);

// The reader addresses offsets below 2 GB, so a document of this size or more
// would be converted only in part.
constexpr std::int64_t kConvertibleLimit = std::int64_t{1} << 31;

// The document is too long to be converted whole.
bool TooLargeToConvert(FileHandle document);

// Runs loop over the open document into file, then writes what the buffer
// still holds; true when every write took all its bytes.
bool ConvertDocument(ConverterLoop loop, FileHandle file);
