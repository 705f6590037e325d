// A Tavik map over a simulated bus and window, every register clean (so a
// register is written only when its value changes), for supervisor tests
// that also use the reservation doubles.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "mdbg/tStatus2.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/moduleFixture.h"
#include "tavik/tTavik.h"

namespace nQoTest {
namespace {

using W = nQoSim::tSimRegisterWindows;
using tAccess = W::tAccess;
using tLog = std::vector<tAccess>;
using tBusCall = nQoSim::tSimBus::tCall;

constexpr tAccess kAtomicBegin{~0u, 0, 0, 0, W::kAtomicBegin};
constexpr tAccess kAtomicEnd{~0u, 0, 0, 0, W::kAtomicEnd};

tAccess wrote(uint32_t offset, uint32_t value, unsigned width = 16) {
  return {0, offset, width, value, W::kWrite};
}

class tSimBoardTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    map = new nQoUdRLP100::nTavik::tTavik(&bus, window, &status);
    for (uint32_t id = 0; id < 174; ++id) map->markClean(id, &status);
    ASSERT_EQ(status.code, 0);
    windows.clearLog();
    bus.clearCalls();
  }
  void TearDown() override {
    delete map;
    tLeakCheckedTest::TearDown();
  }

  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik* map = nullptr;
};

}  // namespace
}  // namespace nQoTest
