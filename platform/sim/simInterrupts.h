// Interrupt level in the simulation: set on a thread while the simulated bus
// runs a primary interrupt resolver there. Waiting on or acquiring a
// synchronisation object at interrupt level halts; platform allocations made
// there are counted (simAllocator.h).
#pragma once

namespace nQoSim {

bool atInterruptLevel();

}  // namespace nQoSim
