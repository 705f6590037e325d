// A Tavik map over a simulated bus and window, with helpers to read the window
// log, the status log and the lock log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "registers/tTavik.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"

namespace nQoTest {

using nQoSim::tSimRegisterWindows;
using tAccess = tSimRegisterWindows::tAccess;

}  // namespace nQoTest

namespace nQoSim {
// Prints a window access in failure messages as "write 0x10A/16 = 0xFFFF".
inline void PrintTo(const tSimRegisterWindows::tAccess& access, std::ostream* out) {
  static const char* const kDirections[] = {"read", "write", "marker", "atomic begin",
                                            "atomic end"};
  *out << kDirections[access.direction] << " 0x" << std::hex << access.offset << "/" << std::dec
       << access.width << " = 0x" << std::hex << access.value << std::dec;
  if (access.window != 0) *out << " (window " << access.window << ")";
}
}  // namespace nQoSim

namespace nQoTest {

// The last status record, as "code component file line".
inline std::string lastReport() { return lastStatusReport(); }

class tTavikTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::clearSyncLog();
  }

  static tAccess written(uint32_t offset, unsigned width, uint32_t value) {
    return {0, offset, width, value, tSimRegisterWindows::kWrite};
  }
  static tAccess read(uint32_t offset, unsigned width, uint32_t value) {
    return {0, offset, width, value, tSimRegisterWindows::kRead};
  }
  // The locks acquired and released since the log was cleared, as group ids
  // (negative for a release).
  std::vector<int> lockOrder(nQoUdRLP100::nTavik::tTavik& map) const {
    return nQoTest::lockOrder(22, [&](uint32_t id) { return map.lockGroup(id)->lock(); });
  }

  tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
};

// A fixture with a map built over the bus and a clean log.
class tTavikMapTest : public tTavikTest {
 protected:
  void SetUp() override {
    tTavikTest::SetUp();
    map = new nQoUdRLP100::nTavik::tTavik(&bus, window, &status);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(status.code, 0);
    windows.clearLog();
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
  }
  void TearDown() override {
    delete map;
    tTavikTest::TearDown();
  }

  nQoUdRLP100::nTavik::tTavik* map = nullptr;
};

}  // namespace nQoTest
