// The conversion room's process-wide state, all of it: the BIG5-to-GB table
// and its expansion for the command line.
// ResetConversionState puts every field back to its start-up value (a fresh
// process in the tests). A converter's run keeps its own output sink.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// The loaded table; stale after FreeBig5Map until the next load.
extern const std::uint8_t* big5Table;

// The table's fixed block; stale after FreeBig5Map (only big5_map.cpp uses it).
extern BlockHandle big5Block;

// The command line's Save in GB table: the GB2312 code of every BIG5 code,
// both bytes, indexed by lead - 0xA1 and the trail byte (block_converters.h).
constexpr int kBig5Leads = 89;
extern std::uint8_t big5GbCodes[kBig5Leads][256][2];

// What detection knows of each character of the Basic Multilingual Plane,
// worked out at its first sight: its model entry (the low byte) and whether
// GB2312 and CP950 have a code for it (kFactInGb2312, kFactInBig5);
// kFactsUnknown until then. Empty until detection first runs.
constexpr std::uint16_t kFactInGb2312 = 0x100;
constexpr std::uint16_t kFactInBig5 = 0x200;
constexpr std::uint16_t kFactsUnknown = 0xFFFF;
extern std::vector<std::uint16_t> characterFacts;

// Every field above back to its start-up value; frees nothing.
void ResetConversionState();
