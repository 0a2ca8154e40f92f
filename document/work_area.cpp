#include "document/work_area.h"

#include "platform/platform.h"

static_assert(kLineBytesOffset == kReadBufferOffset + kReadBufferSize, "regions are contiguous");
static_assert(kLinePhaseOffset == kLineBytesOffset + kMaxDisplayLines, "regions are contiguous");
static_assert(kLinePhaseOffset + kLinePhaseSize == kWorkAreaSize, "regions fill the block");

bool AllocateWorkArea() {
  workAreaBlock = AllocateFixedBlock(kWorkAreaSize);
  if (workAreaBlock == 0) return false;
  std::uint8_t* base = LockFixedBlock(workAreaBlock);
  readBuffer = base + kReadBufferOffset;
  lineBytes = base + kLineBytesOffset;
  linePhase = base + kLinePhaseOffset;
  return true;
}

void FreeWorkArea() {
  if (workAreaBlock == 0) return;
  FreeFixedBlock(workAreaBlock);
  workAreaBlock = 0;
  readBuffer = lineBytes = linePhase = nullptr;
}
