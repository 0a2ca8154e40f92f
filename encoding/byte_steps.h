// The byte steps that unwrap a text before it is decoded: HZ's 7-bit runs
// into GB2312 bytes, and quoted-printable's escapes into the bytes they
// stand for. Like a decoder, a step takes the bytes it has been given and
// leaves unused only an unfinished piece at the end (an escape, an HZ run not
// yet closed), which the caller hands in again at the front of the next
// block; so any split of the input gives the same output.
#pragma once

#include <cstddef>
#include <cstdint>

// What one call did.
struct BlockResult {
  std::size_t used;     // bytes of the input consumed; the rest comes again next time
  std::size_t written;  // bytes put into the output
};

// One step over in[0, size) into out, which has room for size bytes (no
// step makes more bytes than it takes). With last, the input ends after this
// block and every byte is used.
using BlockConverter = BlockResult (*)(const std::uint8_t* in, std::size_t size, bool last,
                                       std::uint8_t* out);

// HZ: "~~" becomes "~", "~" CR LF is dropped, and a "~{" run of 7-bit pairs
// closed by "~}" or by the end of the input becomes GB2312 bytes; a run that
// anything else ends stays as it is, its "~{" included, and is read again as
// ordinary input. The bytes of the reader's Decode HZ.
BlockResult DecodeHzBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);

// Quoted-printable: "=" and two upper-case hex digits become that byte, and
// soft line breaks ("=" CR LF, "=" LF, "=" CR) are dropped. The bytes of the
// reader's Decode QP.
BlockResult DecodeQpBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);

// HZ's run bytes: a pair's first byte, and any byte of a pair.
inline bool IsHzRunLead(int b) {
  return b >= 0x21 && b <= 0x77;
}
inline bool IsHzRunTrail(int b) {
  return b >= 0x21 && b <= 0x7E;
}

// How a "~{" run ends, found piece by piece, for a run too long to be held
// whole: the run's pairs are read on from where the last piece stopped.
struct HzRunScan {
  std::uint64_t pairBytes;  // the bytes of the run's whole pairs so far
  int carried;              // a byte of the next piece's first pair, -1 when none
  bool ended;               // the run's end is found
  bool closed;              // it ended at "~}" or at the end of the input: it is decoded
  bool atEnd;               // it ended at the end of the input, with no "~}"
};

// A scan at the start of a run's pairs (after its "~{").
constexpr HzRunScan kHzRunStart = {0, -1, false, false, false};

// Scans in[0, size), which goes on from the scan's last piece, up to the
// run's end; last when the input ends after it. The run ends as DecodeHzBlock
// ends it.
void ScanHzRun(HzRunScan* scan, const std::uint8_t* in, std::size_t size, bool last);
