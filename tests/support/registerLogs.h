// What the register-map tests read back from the platform's logs: the last
// status report as one line, and the order of lock acquires and releases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/simStatusLog.h"
#include "sim/simSync.h"

namespace nQoTest {

// The last status record, as "code component file line" ("none" when empty).
inline std::string lastStatusReport() {
  const auto log = nQoSim::statusLog();
  if (log.empty()) return "none";
  const auto& last = log.back();
  return std::to_string(last.code) + " " + last.component + " " + last.file + " " +
         std::to_string(last.line);
}

// The locks acquired and released since the sync log was cleared, as ids
// 1..count (negative for a release); lockOf(id) is the lock object of an id.
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

}  // namespace nQoTest
