// The Work area: the one fixed block that holds every per-document table.
#pragma once

#include <cstdint>

constexpr std::uint32_t kWorkAreaSize = 51200;
constexpr std::uint32_t kReadBufferOffset = 0;
constexpr std::int32_t kReadBufferSize = 2048;
constexpr std::uint32_t kLineBytesOffset = 2048;
constexpr int kMaxDisplayLines = 32768;
constexpr std::uint32_t kLinePhaseOffset = 34816;
constexpr std::uint32_t kLinePhaseSize = 16384;

// Regions of the Work area; null while it is not allocated.
extern std::uint8_t* readBuffer;  // the Document reader's 2,048-byte window
extern std::uint8_t* lineBytes;   // bytes consumed by each display line
extern std::uint8_t* linePhase;   // tab phase of each display line, two per byte

// Allocates and locks the block and points the three regions into it.
bool AllocateWorkArea();

// Unlocks and frees the block if it is held.
void FreeWorkArea();
