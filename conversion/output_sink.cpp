#include "conversion/output_sink.h"

void FlushOutput(OutputSink& sink) {
  // After a failed write the output is lost anyway; further writes would only
  // put bytes behind a gap.
  if (!sink.writeFailed && !WriteToFile(sink.file, sink.buffer, sink.count)) {
    sink.writeFailed = true;
  }
  sink.count = 0;
}
