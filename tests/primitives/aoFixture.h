// The AO primitives' world: a Tavik map with its helper and dispatcher, an
// AO description, and doubles of the data source and the done observer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "frame/tTimerTimeout.h"
#include "primitives/ao/tAODescription.h"
#include "primitives/ao/tAOResources.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"
#include "primitives/common/iDoneObserver.h"
#include "sim/simTime.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {

using tLog = std::vector<tAccess>;

// Answers every request with what it is told and records the calls; finish
// first runs onFinish, when set.
class tDataSource : public nQoUdP100::iAODataSource {
 public:
  uint32_t writeSample(nQoMDBG100::tStatus2&, uint64_t) override {
    ++singles;
    return perSample;
  }
  uint32_t writeSamples(uint32_t count, nQoMDBG100::tStatus2&) override {
    chunks.push_back(count);
    return std::min(count, perChunk);
  }
  void finish(const nQoMDBG100::tStatus2& fifoStatus) override {
    if (onFinish) onFinish();
    finished.push_back(fifoStatus.code);
  }
  std::function<void()> onFinish;
  uint32_t perSample = 1;
  uint32_t perChunk = 0xFFFFFFFF;
  uint32_t singles = 0;
  std::vector<uint32_t> chunks;
  std::vector<int> finished;
};

// Counts the notifications; notifyDone first runs onDone, when set.
class tDoneCounter : public nQoUdP100::iDoneObserver {
 public:
  void notifyDone(const nQoMDBG100::tStatus2&) override {
    if (onDone) onDone();
    ++done;
  }
  void notifyDoneWithStatus(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2&) override { ++done; }
  std::function<void()> onDone;
  int done = 0;
};

class tAOTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    nQoSim::resetTime();
    nQoSim::useTestClock(1'000'000'000);
    helper = new nQoUdRLP100::tTavikHelper(map);
    dispatcher = new nQoUdRLP100::tTavikInterruptDispatcher(map, 1, &status);
    resources = {map, helper, dispatcher, nullptr};
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  void TearDown() override {
    delete dispatcher;
    delete helper;
    nQoSim::resetTime();
    tTavikMapTest::TearDown();
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
  }
  bool hasWrite(uint32_t offset, uint32_t value, unsigned width = 16) {
    const tLog all = windows.writes();
    return std::find(all.begin(), all.end(), wrote(offset, value, width)) != all.end();
  }
  uint32_t groupBEnable() const { return map->Interrupt_B_Enable.getRegister(); }

  nQoUdP100::tAODescription description{
      .fifoDepth = 8192, .refillChunk = 1024, .channelCount = 2, .maxChannels = 4};
  nQoUdRLP100::tTavikHelper* helper = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  nQoUdP100::tAOResources resources;
  tDataSource source;
  tDoneCounter notifier;
};

}  // namespace nQoTest
