// The allocation-failure sweep: for N = 1 up to the allocations of a clean
// run, the Nth allocation fails in a phase (loading the module, bringing up
// the board with the most pools, running that board's AI task). Every step
// must either answer an error (loading: negative; else -50352) and, after the
// undo, leave nothing behind, or succeed with the clean run's outcome. Prints one
// `sweep:` line per phase and a `sweep: <phase> fault step=<n> ...` line per
// step that did not.
//
//   bool good = sweepLoad(loadModule, unloadModule);   // module not loaded
//   good = sweepBringUp() && good;                      // module loaded
//   good = sweepAI(options) && good;
#pragma once

#include "hostOptions.h"

namespace nQoHost {

using tModuleStep = int (*)();

bool sweepLoad(tModuleStep load, tModuleStep unload);
bool sweepBringUp();
// The fullest board brought up once; each allocation of its AI task, from the
// first settings object to the last supervisor's destruction, fails in turn.
bool sweepAI(const tHostOptions& options);

}  // namespace nQoHost
