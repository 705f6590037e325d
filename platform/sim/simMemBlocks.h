// Test controls of the DMA memory blocks: the physical address a block gets
// (handed out in order from 0x10000000; a test can place blocks at a base of
// its choosing, for instance above 4 GiB), and the log of client mappings.
#pragma once

#include <cstdint>
#include <vector>

namespace nQoSim {

// Blocks allocated from now on get physical addresses from base upwards, in
// the order allocated; 0: from the default base again.
void setPhysicalBase(uint64_t base);

struct tUserMapping {
  enum tOperation { kMap, kUnmap } operation;
  const void* block;
  uint64_t address;
};
// The most recent mappings and unmappings, oldest first (tBoundedLog keeps them).
std::vector<tUserMapping> userMappingLog();
void clearUserMappingLog();
// Mappings made and not undone.
int liveUserMappings();
// Blocks allocated and not freed.
int liveMemBlocks();
// Whether the physical address lies inside a block allocated and not freed.
bool insideLiveBlock(uint64_t physical);
// Copies the size bytes from physical on out of the live block that holds
// them all; false, and nothing copied, when no live block does.
bool readLive(uint64_t physical, void* out, uint32_t size);

}  // namespace nQoSim
