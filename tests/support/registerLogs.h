// Readers of the platform's logs shared by the register-map tests.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"

namespace nQoSim {
inline void PrintTo(const tSimRegisterWindows::tAccess& access, std::ostream* out) {
  static const char* const kDirections[] = {"read", "write", "marker", "atomic begin",
                                            "atomic end"};
  *out << kDirections[access.direction] << " 0x" << std::hex << access.offset << "/" << std::dec
       << access.width << " = 0x" << std::hex << access.value << " flags 0x" << access.flags
       << std::dec << " window " << access.window;
}
inline void PrintTo(const tSimBus::tCall& call, std::ostream* out) {
  *out << "call " << call.operation << " (" << call.first << ", " << call.second << ", "
       << call.window << ", " << call.length << ") = " << call.value;
}
}  // namespace nQoSim

namespace nQoTest {

using tAccess = nQoSim::tSimRegisterWindows::tAccess;
using tCall = nQoSim::tSimBus::tCall;

// The last status record as "code component file line" ("none" when empty).
inline std::string lastReport() {
  const auto log = nQoSim::statusLog();
  if (log.empty()) return "none";
  const auto& last = log.back();
  return std::to_string(last.code) + " " + last.component + " " + last.file + " " +
         std::to_string(last.line);
}

// The report a construction or call leaves, made on a fresh status.
template <class tOperation>
std::string reportOf(tOperation operation) {
  nQoMDBG100::tStatus2 fresh;
  operation(&fresh);
  return lastReport();
}

// Lock acquires and releases since the sync log was cleared, as ids 1..count
// (negative for a release); lockOf(id) is the lock object of an id.
template <class tLockOf>
std::vector<int> lockOrder(uint32_t count, tLockOf lockOf) {
  std::vector<int> order;
  for (const auto& record : nQoSim::syncLog()) {
    for (uint32_t id = 1; id <= count; ++id) {
      if (record.object != lockOf(id)) continue;
      if (record.operation == nQoSim::tSyncRecord::kAcquire) order.push_back(static_cast<int>(id));
      if (record.operation == nQoSim::tSyncRecord::kRelease) order.push_back(-static_cast<int>(id));
    }
  }
  return order;
}

// The objects closed since the sync log was cleared, in order.
inline std::vector<const iSync*> closedObjects() {
  std::vector<const iSync*> closed;
  for (const auto& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kClose) closed.push_back(record.object);
  return closed;
}

}  // namespace nQoTest
