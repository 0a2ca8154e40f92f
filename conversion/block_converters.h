// The command line's Save in GB: the bytes of the save-as loop, made over
// whole blocks of memory instead of through the Document reader and the
// 32-byte output buffer, as the byte steps of encoding/byte_steps.h are (a
// block converter takes the bytes it has been given and leaves unused only an
// unfinished piece at the end, so any split of the input gives the same
// output).
#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding/byte_steps.h"

// Number of BIG5 code positions: leads 0xA1..0xF9, 157 trails each.
constexpr int kBig5Positions = 13973;

// big5GbCodes (conversion/state.h), filled by ExpandBig5Map: the GB2312 code of every BIG5 code,
// both bytes, as Big5ToGb gives it, indexed by lead - 0xA1 and the trail byte itself; both bytes 0
// where the byte is no BIG5 trail (no GB2312 code has a zero byte).

// Expands the loaded compressed table (big5Table) into big5GbCodes in one
// sequential pass over its bits.
void ExpandBig5Map();

// Save in GB's bytes: each BIG5 pair becomes its GB2312 code, every other byte
// stays. Needs ExpandBig5Map.
BlockResult SaveInGbBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);

// The input as it is (GB2312 text that is only to be re-encoded).
BlockResult CopyBlock(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out);
