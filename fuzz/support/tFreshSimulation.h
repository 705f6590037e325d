// Empties what the simulated platform keeps from one input to the next, when
// an input starts and again when it ends: the logs of sync operations, status
// codes, trace and debugger lines, module activity, device events, user
// mappings and broker calls, and the counts of sync objects already closed.
// Every input then starts from the same state, and what one input adds to
// those logs is freed within it, so that libFuzzer's per-input leak check
// stays on.
//
//   extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
//     const nQoFuzz::tFreshSimulation fresh;
//
// A board or device table kept across inputs empties its own logs as well.
#pragma once

#include "sim/simDeviceEvents.h"
#include "sim/simMemBlocks.h"
#include "sim/simModule.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"

namespace nQoFuzz {

class tFreshSimulation {
 public:
  tFreshSimulation() { clear(); }
  ~tFreshSimulation() { clear(); }
  tFreshSimulation(const tFreshSimulation&) = delete;
  tFreshSimulation& operator=(const tFreshSimulation&) = delete;

 private:
  static void clear() {
    nQoSim::clearSyncLog();
    nQoSim::forgetClosedSyncObjects();
    nQoSim::clearStatusLog();
    nQoSim::clearTraceLines();
    nQoSim::clearDebuggerLines();
    nQoSim::clearModuleActivity();
    nQoSim::clearDeviceEventLog();
    nQoSim::clearUserMappingLog();
    nQoSim::clearBrokerLogs();
  }
};

}  // namespace nQoFuzz
