// Fixed memory blocks on Win32: the work area and the BIG5 map.
#include "platform/platform.h"
#include "platform/win32/win32_main.h"

BlockHandle AllocateFixedBlock(std::uint32_t size) {
  return FromHandle(GlobalAlloc(GMEM_FIXED, size));
}

std::uint8_t* LockFixedBlock(BlockHandle block) {
  return static_cast<std::uint8_t*>(GlobalLock(AsHandle<HGLOBAL>(block)));
}

void FreeFixedBlock(BlockHandle block) {
  const HGLOBAL memory = AsHandle<HGLOBAL>(block);
  GlobalUnlock(memory);
  GlobalFree(memory);
}
