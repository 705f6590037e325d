// A finite AO generation on a brought-up board, run as the platform runs a
// task: one DAC supervisor per channel, the FIFO supervisor (direct writes)
// and the timing controller's supervisor (mode 0, one buffer of u updates),
// each with its settings streamed into an object created by class name;
// codes 1 to all, 4100 to the FIFO, the waveform written through the FIFO's
// output stream, 2 to the FIFO and then the timing; the AO engine stepped
// and secondary passes pumped until the done event is posted; then 3 to the
// timing and the FIFO, 4101 to the FIFO, 4 to the FIFO, the timing and the
// DACs, and the undo in reverse creation order.
//
//   tAOOutcome outcome = runAOTask(board.sim(), board.guid(), *record.ao, options);
//   printAO(model, options, outcome);
#pragma once

#include <cstdint>
#include <string>

#include "hostOptions.h"
#include "orb/tGUID.h"
#include "primitives/ao/tAODescription.h"
#include "sim/tSimBoard.h"

namespace nQoHost {

struct tAOOutcome {
  bool skipped = false;  // 2u samples do not fit the AO FIFO
  uint32_t fifoDepth = 0;
  uint32_t written = 0;    // samples the FIFO's stream took
  uint32_t generated = 0;  // samples the engine played
  std::string events;      // the posted actions; "timeout" when no done came
  int failed = 0;          // the code of a step that failed before the generation
  int stop = 0;            // the status of codes 3, 4101 and 4
  std::string data;        // "ok" or "bad@<first wrong sample>"
  bool done = false;
  bool good(uint32_t updates) const {
    return skipped || (done && failed == 0 && stop == 0 && data == "ok" && written == 2 * updates);
  }
};

tAOOutcome runAOTask(nQoSim::tSimBoard& board, const nQoORB100::tGUID& device,
                     const nQoUdP100::tAODescription& ao, const tHostOptions& options);

// The ao: line of an outcome.
void printAO(const char* model, const tHostOptions& options, const tAOOutcome& outcome);

}  // namespace nQoHost
