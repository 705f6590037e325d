// The chassis maps' world: a simulated window reached by bus handle, a device
// that hands out the bus and journals its return, and a device table.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "chassis/maps/tMorro.h"
#include "chassis/maps/tMorro2.h"
#include "chassis/maps/tMorro2Cartridge.h"
#include "chassis/maps/tMorro2DmaAdaptor.h"
#include "chassis/maps/tMorroCartridge.h"
#include "mdbg/tStatus2.h"
#include "sim/simDevices.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"

namespace nQoTest {

using nQoSim::tSimBus;
using nQoSim::tSimRegisterWindows;
using nQoUdRLP100::tMorro;
using nQoUdRLP100::tMorro2;
using nQoUdRLP100::tMorro2Cartridge;
using nQoUdRLP100::tMorro2DmaAdaptor;
using nQoUdRLP100::tMorroCartridge;

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

  static tAccess written(uint32_t offset, uint32_t value) {
    return {0, offset, 32, value, tSimRegisterWindows::kWrite, 0x40000000};
  }
  static tAccess read(uint32_t offset, uint32_t value) {
    return {0, offset, 32, value, tSimRegisterWindows::kRead, 0xC0000000};
  }
  // The dirty indexes as "3, 12, 16-40" (runs of three or more as ranges).
  template <class tMap>
  static std::string dirtyList(tMap& map) {
    std::string list;
    for (uint32_t first = 0; first < tMap::kRegisterCount; ++first) {
      if (map.isDirty(first, nullptr) == 0) continue;
      uint32_t last = first;
      while (last + 1 < tMap::kRegisterCount && map.isDirty(last + 1, nullptr) != 0) ++last;
      if (!list.empty()) list += ", ";
      list += std::to_string(first);
      if (last - first < 2) continue;
      list += "-" + std::to_string(last);
      first = last;
    }
    return list;
  }
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
