// Test controls of the platform threads.
#pragma once

#include <cstdint>
#include <vector>

namespace nQoSim {

// Makes the nth tThreadControllerFactory::create from now fail (1: the next
// one); 0 disarms.
void failThreadCreate(unsigned nth);
// Controllers created and not yet destroyed.
int liveThreads();
// tThreadUtility::yield calls since the last clear; each also advances the
// test clock by the yield step (0 until set).
unsigned yieldCount();
void clearYields();
void setYieldStep(uint64_t nanoseconds);
// The kernel's ids of the platform threads inside their run now (a board's
// workers and polling threads), for a test that looks at how far they got;
// a thread just started is waited for until it is inside.
std::vector<int> platformThreads();

}  // namespace nQoSim
