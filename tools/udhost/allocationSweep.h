// The allocation-failure sweep: for N = 1 up to the allocations of a clean
// run, the Nth allocation fails in a phase (loading the module, or bringing
// up the board with the most pools). Every step must either answer an error
// (loading: negative; bring-up: -50352) and, after the platform's undo,
// leave nothing behind, or succeed with the clean run's outcome. Prints one
// `sweep:` line per phase and a `sweep-fault:` line per step that did not.
//
//   bool good = sweepLoad(loadModule, unloadModule);   // module not loaded
//   good = sweepBringUp() && good;                      // module loaded
#pragma once

namespace nQoHost {

using tModuleStep = int (*)();

bool sweepLoad(tModuleStep load, tModuleStep unload);
bool sweepBringUp();

}  // namespace nQoHost
