#include "conversion/converters.h"

bool TooLargeToConvert(FileHandle document) {
  return FileSizeOf(document) >= kConvertibleLimit;
}

bool ConvertDocument(ConverterLoop loop, FileHandle file) {
  OutputSink sink;
  sink.file = file;
  loop(sink);
  FlushOutput(sink);  // the final write, made also when nothing is left
  return !sink.writeFailed;
}
