// Fixed memory blocks and bitmap resources of the simulated desktop.
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"

#ifndef TAVELO_RESOURCE_FOLDER
#define TAVELO_RESOURCE_FOLDER "resources"
#endif

namespace {

std::map<BlockHandle, std::vector<std::uint8_t>> blocks;
std::map<std::uint32_t, int> allocationsBySize;
std::set<std::uint32_t> failingSizes;
BlockHandle nextBlock = 0x1000;

std::map<BitmapHandle, SimBitmap> bitmaps;
BitmapHandle nextBitmap = 0x2000;
std::string resourceFolder = TAVELO_RESOURCE_FOLDER;
std::set<std::string> hiddenResources;

// The file that carries a bitmap resource, by the resource's name without regard to case.
std::string ResourceFile(const char* name) {
  if (strcasecmp(name, "Font") == 0) return resourceFolder + "/font.bmp";
  if (strcasecmp(name, "Glyphs") == 0) return resourceFolder + "/glyphs.bmp";
  if (strcasecmp(name, "Code") == 0) return resourceFolder + "/code.bmp";
  return std::string();
}

std::uint32_t LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

// Reads a 1-bit, bottom-up .bmp file as the resource compiler would carry it.
bool ReadBitmapFile(const std::string& path, SimBitmap* bitmap) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  if (bytes.size() < 62 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const std::uint32_t pixelsAt = LittleEndian(bytes, 10, 4);
  bitmap->width = static_cast<int>(LittleEndian(bytes, 18, 4));
  bitmap->height = static_cast<int>(LittleEndian(bytes, 22, 4));
  if (LittleEndian(bytes, 28, 2) != 1 || bitmap->width <= 0 || bitmap->height <= 0) return false;
  bitmap->rowBytes = (bitmap->width + 31) / 32 * 4;
  const std::size_t size = static_cast<std::size_t>(bitmap->rowBytes) * bitmap->height;
  if (pixelsAt + size > bytes.size()) return false;
  bitmap->pixels.assign(bytes.begin() + pixelsAt, bytes.begin() + pixelsAt + size);
  return true;
}

}  // namespace

void SimResetMemory() {
  blocks.clear();
  allocationsBySize.clear();
  failingSizes.clear();
  bitmaps.clear();
  hiddenResources.clear();
  resourceFolder = TAVELO_RESOURCE_FOLDER;
}

void SimFailAllocations(std::uint32_t size, bool fail) {
  if (fail) {
    failingSizes.insert(size);
  } else {
    failingSizes.erase(size);
  }
}

int SimLiveBlocks() {
  return static_cast<int>(blocks.size());
}

int SimBlocksAllocated(std::uint32_t size) {
  return allocationsBySize[size];
}

void SimSetResourceFolder(const std::string& folder) {
  resourceFolder = folder;
}

void SimHideResource(const char* name) {
  hiddenResources.insert(ResourceFile(name));
}

int SimLiveBitmaps() {
  return static_cast<int>(bitmaps.size());
}

const SimBitmap* SimFindBitmap(std::uintptr_t handle) {
  auto it = bitmaps.find(handle);
  return it == bitmaps.end() ? nullptr : &it->second;
}

BlockHandle AllocateFixedBlock(std::uint32_t size) {
  if (failingSizes.count(size)) return 0;
  ++allocationsBySize[size];
  // Fresh memory is not cleared on Win32 either: fill it with a pattern.
  blocks[nextBlock] = std::vector<std::uint8_t>(size == 0 ? 1 : size, 0xCD);
  return nextBlock++;
}

std::uint8_t* LockFixedBlock(BlockHandle block) {
  auto it = blocks.find(block);
  return it == blocks.end() ? nullptr : it->second.data();
}

void FreeFixedBlock(BlockHandle block) {
  blocks.erase(block);
}

BitmapHandle LoadBitmapResource(const char* name) {
  const std::string path = ResourceFile(name);
  if (path.empty() || hiddenResources.count(path)) return 0;
  SimBitmap bitmap;
  if (!ReadBitmapFile(path, &bitmap)) return 0;
  bitmaps[nextBitmap] = std::move(bitmap);
  return nextBitmap++;
}

void CopyBitmapPixels(BitmapHandle handle, int width, int height, void* pixels) {
  const SimBitmap* bitmap = SimFindBitmap(handle);
  if (bitmap == nullptr || bitmap->width != width || bitmap->height < height) return;
  std::copy(bitmap->pixels.begin(), bitmap->pixels.begin() + bitmap->rowBytes * height,
            static_cast<std::uint8_t*>(pixels));
}

void DeleteBitmap(BitmapHandle bitmap) {
  bitmaps.erase(bitmap);
}
