// A Tavik map's world: a simulated bus and window, and a map built over them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "mdbg/tStatus2.h"
#include "sim/simDevices.h"
#include "sim/simKal.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"
#include "tavik/tTavik.h"

namespace nQoTest {

using nQoSim::tSimBus;
using nQoSim::tSimRegisterWindows;
using nQoUdRLP100::nTavik::tTavik;
using W = tSimRegisterWindows;

constexpr tAccess kAtomicBegin{~0u, 0, 0, 0, W::kAtomicBegin};
constexpr tAccess kAtomicEnd{~0u, 0, 0, 0, W::kAtomicEnd};
constexpr tAccess kBusFlush{~0u, 0, 0, 0, W::kMarker};

inline tAccess wrote(uint32_t offset, uint32_t value, unsigned width = 16) {
  return {0, offset, width, value, W::kWrite};
}
inline tAccess read(uint32_t offset, uint32_t value, unsigned width = 16) {
  return {0, offset, width, value, W::kRead};
}

// While it lives, takes every register access, inside a window or not, and
// keeps its address: a test sees an access near address 0 instead of a halt.
struct tEveryAccess : nQoSim::iRegisterBus {
  tEveryAccess() : previous(nQoSim::registerBus()) { nQoSim::setRegisterBus(this); }
  ~tEveryAccess() override { nQoSim::setRegisterBus(previous); }
  bool read(uintptr_t at, unsigned, uint32_t& value) override {
    addresses.push_back(at);
    value = 0;
    return true;
  }
  bool write(uintptr_t at, unsigned, uint32_t) override {
    addresses.push_back(at);
    return true;
  }
  nQoSim::iRegisterBus* previous;
  std::vector<uintptr_t> addresses;
};

class tTavikTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::clearSyncLog();
  }
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }
  // Lock-group ids taken and given back since the sync log was cleared.
  static std::vector<int> lockOrder(tTavik& map) {
    return nQoTest::lockOrder(22, [&](uint32_t id) { return map.lockGroup(id)->lock(); });
  }

  tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  tSimBus bus{windows};
  nQoSim::tSimDevice device{&bus};
  nQoSim::tSimDeviceTable tree{{&device}};
  nQoMDBG100::tStatus2 status;
};

// A map built over the bus, with clean logs.
class tTavikMapTest : public tTavikTest {
 protected:
  void SetUp() override {
    tTavikTest::SetUp();
    map = new tTavik(&bus, window, &status);
    ASSERT_EQ(status.code, 0);
    windows.clearLog();
    bus.clearCalls();
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
  }
  void TearDown() override {
    delete map;
    tTavikTest::TearDown();
  }

  tTavik* map = nullptr;
};

}  // namespace nQoTest
