// A chassis map's world: a simulated register window reached through a bus
// window handle, a device that hands out the bus and journals its return on
// the bus, a device table, and helpers to read the window log, the status log,
// the dirty table and the lock log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "sim/simDevices.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/tSimBus.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "sim/tSimRegisterWindows.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"

namespace nQoSim {
// Prints a window access in failure messages as "write 0xFC = 0x5 flags 0x40000000".
inline void PrintTo(const tSimRegisterWindows::tAccess& access, std::ostream* out) {
  static const char* const kDirections[] = {"read", "write", "marker", "atomic begin",
                                            "atomic end"};
  *out << kDirections[access.direction] << " 0x" << std::hex << access.offset << " = 0x"
       << access.value << " flags 0x" << access.flags << std::dec;
}
inline void PrintTo(const tSimBus::tCall& call, std::ostream* out) {
  *out << "call " << call.operation << " (" << call.first << ", " << call.second << ", "
       << call.window << ")";
}
}  // namespace nQoSim

namespace nQoTest {

using nQoSim::tSimBus;
using nQoSim::tSimRegisterWindows;
using tAccess = tSimRegisterWindows::tAccess;
using tCall = tSimBus::tCall;

class tChassisMapTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::clearSyncLog();
    device.journalOn(&bus);
    bus.recordAccesses(false);  // register accesses are read from the window log
  }
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }

  // A write and a read of the window as the maps make them.
  static tAccess written(uint32_t offset, uint32_t value) {
    return {0, offset, 32, value, tSimRegisterWindows::kWrite, 0x40000000};
  }
  static tAccess read(uint32_t offset, uint32_t value) {
    return {0, offset, 32, value, tSimRegisterWindows::kRead, 0xC0000000};
  }
  static std::string lastReport() { return lastStatusReport(); }
  // The indexes whose dirty flag is set.
  template <class tMap>
  static std::vector<uint32_t> dirtyIndexes(tMap& map) {
    std::vector<uint32_t> dirty;
    for (uint32_t index = 0; index < tMap::kRegisterCount; ++index)
      if (map.isDirty(index, nullptr) != 0) dirty.push_back(index);
    return dirty;
  }
  static std::vector<uint32_t> range(uint32_t first, uint32_t last) {
    std::vector<uint32_t> indexes;
    for (uint32_t index = first; index <= last; ++index) indexes.push_back(index);
    return indexes;
  }
  // The locks acquired and released since the log was cleared, as lock ids
  // (negative for a release).
  template <class tMap>
  static std::vector<int> lockOrder(tMap& map) {
    return nQoTest::lockOrder(3, [&](uint32_t id) { return map.lock(id)->lock(); });
  }

  tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(0x804);
  tSimBus bus{windows};
  const uint32_t handle = tSimBus::handleOf(window);
  nQoSim::tSimDevice device{&bus};
  nQoSim::tSimDeviceTable tree{{&device}};
  nQoMDBG100::tStatus2 status;
};

}  // namespace nQoTest
