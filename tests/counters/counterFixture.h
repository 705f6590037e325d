// A board with counters: a simulated bus whose board window (number 1) holds
// the counter pair at 0x100, a device tree that finds the device, and helpers
// that name accesses by board offset; tContainerTest adds the board's bus
// holder and builds the counter container on it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "counters/iTIOCtrInterruptTap.h"
#include "counters/tTavikTIOCompositeContainer.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "sim/simDevices.h"
#include "sim/simSync.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"
#include "tavik/tTavikBus.h"
#include "tavik/tavikCatalogue.h"

namespace nQoTest {

using W = nQoSim::tSimRegisterWindows;

constexpr unsigned kBoardWindow = 1;
constexpr uint32_t kPairBase = 0x100;

inline tAccess boardWrote(uint32_t offset, uint32_t value, unsigned width = 16) {
  return {kBoardWindow, offset, width, value, W::kWrite};
}
inline tAccess boardRead(uint32_t offset, uint32_t value, unsigned width = 16) {
  return {kBoardWindow, offset, width, value, W::kRead};
}
constexpr tAccess kBegin{~0u, 0, 0, 0, W::kAtomicBegin};
constexpr tAccess kEnd{~0u, 0, 0, 0, W::kAtomicEnd};

// A tap of the platform's counter classes: answers what the test scripts and
// logs each call under its name.
class tFakeTap : public nQoTIO100::iTIOCtrInterruptTap {
 public:
  tFakeTap(int name, std::vector<int>* calls, uint32_t answer = 1)
      : answer(answer), _name(name), _calls(calls) {}
  uint32_t handle() override {
    _calls->push_back(_name);
    return answer;
  }
  uint32_t answer;

 private:
  int _name;
  std::vector<int>* _calls;
};

class tCounterTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    bus.answerView(256, windows.addView(kBoardWindow, kPairBase, 196));
    nQoSim::setDeviceTree(&tree);
    nQoSim::clearSyncLog();
  }
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    EXPECT_EQ(bus.liveMappings(), 0);
    EXPECT_EQ(device.busesTaken(), device.busesGiven());
    tLeakCheckedTest::TearDown();
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
  }
  // The log's accesses at one board offset.
  std::vector<tAccess> at(uint32_t offset) const {
    std::vector<tAccess> found;
    for (const tAccess& access : windows.log())
      if (access.window == kBoardWindow && access.offset == offset) found.push_back(access);
    return found;
  }

  W windows;
  const unsigned noWindow = windows.addWindow(4);  // window 0: openWindow never answers it
  const unsigned boardWindow = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoSim::tSimDevice device{&bus};
  nQoSim::tSimDeviceTable tree{{&device}};
  nQoMDBG100::tStatus2 status;
  std::vector<int> calls;
};

class tContainerTest : public tCounterTest {
 protected:
  void SetUp() override {
    tCounterTest::SetUp();
    bus.answerOpenWindow(0, boardWindow);
    holder = new nQoUdP100::tTavikBus(&device, description, guid, status, 1);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete container;
    delete holder;
    EXPECT_EQ(bus.registrations(), 0);
    tCounterTest::TearDown();
  }
  void build() {
    container = new nQoUdR100::tTavikTIOCompositeContainer(0, *holder, status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  nQoUdRLP100::nTavik::tTavik& board() { return *holder->map(); }
  nQoUdRLP100::tTavikInterruptDispatcher& boardDispatcher() { return *holder->dispatcher(); }

  nQoUdP100::tTavikBusDescription description{{0, nullptr}};
  nQoORB100::tGUID guid{1, 2};
  nQoUdP100::tTavikBus* holder = nullptr;
  nQoUdR100::tTavikTIOCompositeContainer* container = nullptr;
};

}  // namespace nQoTest
