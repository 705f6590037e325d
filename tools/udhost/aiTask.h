// A finite AI acquisition by DMA on a brought-up board, run as the platform
// runs a task: settings filled in memory, streamed out and read into fresh
// objects created by class name; the six AI supervisors created by class
// name, initialized, linked, reserved and linked to their resources; codes 1,
// 4100 and 2 to the subsystem; the AI engine stepped and secondary passes
// pumped while the DMA partner moves the FIFO's samples until the transfer
// ends; then 3, 4101 and 4 and the undo in reverse creation order.
//
//   tAIOutcome outcome = runAITask(board.sim(), board.guid(), options);
//   printAI(model, options, outcome);
#pragma once

#include <cstdint>
#include <string>

#include "hostOptions.h"
#include "orb/tGUID.h"
#include "sim/tSimBoard.h"

namespace nQoHost {

struct tAIOutcome {
  uint32_t channels = 0;    // entries of the scan list
  uint32_t programmed = 0;  // the scans the engine was programmed for
  uint32_t selectCode = 0;
  uint32_t moved = 0;       // samples in the task buffer
  int end = 0;              // the end the partner's endpoint received
  bool ended = false;       // false: the run stalled before its end
  int stop = 0;             // the status of codes 3, 4101 and 4
  std::string data;         // "ok" or "bad@<first wrong sample>"
  bool deselected = false;  // the select register's bits 3:0 back at 0
  bool good() const { return ended && end == 0 && data == "ok" && deselected; }
};

// Scans channels 0 and 1, both -10 V to 10 V.
tAIOutcome runAITask(nQoSim::tSimBoard& board, const nQoORB100::tGUID& device,
                     const tHostOptions& options);

// The ai: line of an outcome, and the line printed.
std::string aiLine(const char* model, const tHostOptions& options, const tAIOutcome& outcome);
void printAI(const char* model, const tHostOptions& options, const tAIOutcome& outcome);

}  // namespace nQoHost
