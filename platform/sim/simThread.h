// Test controls of the platform threads.
#pragma once

namespace nQoSim {

// Makes the nth tThreadControllerFactory::create from now fail (1: the next
// one); 0 disarms.
void failThreadCreate(unsigned nth);
// Controllers created and not yet destroyed.
int liveThreads();

}  // namespace nQoSim
