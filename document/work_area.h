// The Work area: the one fixed block that holds every per-document table.
#pragma once

#include <cstdint>

#include "document/state.h"  // workAreaBlock, readBuffer, lineBytes, linePhase

constexpr std::uint32_t kWorkAreaSize = 51200;
constexpr std::uint32_t kReadBufferOffset = 0;
constexpr std::int32_t kReadBufferSize = 2048;
constexpr std::uint32_t kLineBytesOffset = 2048;
constexpr int kMaxDisplayLines = 32768;
constexpr std::uint32_t kLinePhaseOffset = 34816;
constexpr std::uint32_t kLinePhaseSize = 16384;

// Allocates and locks the block and points the three regions into it.
bool AllocateWorkArea();

// Unlocks and frees the block if it is held.
void FreeWorkArea();
