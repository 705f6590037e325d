// Test controls of the platform allocator.
#pragma once

#include <cstdint>

namespace nQoSim {

// Every block the allocator or the DMA memory hands out starts filled with
// this byte, which no simulated board writes: a client that reads it reads
// memory nothing filled.
constexpr uint8_t kFreshByte = 0xE5;

// Makes the nth allocation from now fail (1: the next one); 0 disarms.
void failAllocation(uint64_t nth);
// Blocks handed out and not yet freed.
int64_t liveAllocations();
// Blocks handed out since the process started.
uint64_t totalAllocations();
// Blocks asked for at interrupt level (simInterrupts.h) since the process started.
uint64_t interruptLevelAllocations();

}  // namespace nQoSim
