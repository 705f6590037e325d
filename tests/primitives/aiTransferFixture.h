// The AI road of a simulated Tavik board for the transfer tests: map, helper,
// dispatcher, converter, timing controller and FIFO (with the FIFO model on
// the data and status registers), and a test clock.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "frame/tDeviceInfo.h"
#include "kal/nQoKAL.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tAI_ADCPrimitive.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/simStatusLog.h"
#include "sim/simTime.h"
#include "sim/tSimAIFifo.h"
#include "support/heldCall.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {

// Every range is gain 1, polarity 0.
struct tRangeCodes : nQoUdP100::iAIRangeCodes {
  void findRange(const nQoUdRLP100::tInterval*, uint16_t* gain, uint16_t* polarity,
                 nQoMDBG100::tStatus2&) const override {
    *gain = 1;
    *polarity = 0;
  }
};

class tAIRoadTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    nQoSim::useTestClock(1'000'000'000);
    helper = new nQoUdRLP100::tTavikHelper(map);
    dispatcher = new nQoUdRLP100::tTavikInterruptDispatcher(map, 1, &status);
    converter = new nQoUdP100::tAI_ADCPrimitive(&entry, map, dispatcher, status);
    timing =
        new nQoUdP100::tTavikAITimingControllerPrimitive(&entry, map, helper, dispatcher, status);
    fifo = new nQoUdP100::tAIDeviceFIFOPrimitive(&fifoDescription, map, dispatcher, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete fifo;
    delete timing;
    delete converter;
    delete dispatcher;
    delete helper;
    nQoSim::resetTime();
    tTavikMapTest::TearDown();
  }
  // A front end (whose description answers every range by anyRange) given
  // its channels and committed, as the subsystem commits it before the
  // transfers: their commits go by what it programmed.
  void commitChannels(nQoUdP100::tAIScanningFrontEndPrimitive& frontEnd,
                      const nQoUdP100::tAIScanningFrontEndPrimitiveConfig& channels) {
    frontEnd.setConfiguration(channels, status);
    frontEnd.commit(status);
  }
  // The timing controller given its configuration and committed, as the
  // subsystem commits it before the transfers: their sets and scans go by
  // what it programmed.
  void commitTiming(const nQoUdP100::tAITimingControllerPrimitiveConfig& config) {
    timing->setConfiguration(config, status);
    timing->commit(status);
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
  }
  // The timing controller committed and armed for a finite run in mode 3,
  // whose record end brings the last conversion.
  void armFiniteRun() {
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.hasRouting = 1;
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = 100;
    timing->setConfiguration(config, status);
    timing->commit(status);
    timing->arm(status);
  }
  // The record end raised on the bus; the primary pass's answer.
  uint32_t raiseRecordEnd() {
    model.setStatusBits(0x8040);
    const uint32_t answer = bus.raise(1);
    model.setStatusBits(0);
    return answer;
  }

  // What two last-conversion passes at once found: whether the first
  // returned before its time-out (once it looked again after the second
  // began), whether it returned at its time-out while the second still
  // waited, the lines of the time-outs (-50400) logged by then and by the
  // end, and each pass's code.
  struct tTwoLastConversionPasses {
    bool firstReturnedEarly = false;
    bool firstReturned = false;
    std::vector<unsigned> timeOutsAtFirst;
    std::vector<unsigned> timeOuts;
    std::vector<int> codes;
  };
  // Runs the pass on two threads at once while bit 15 of tJoint_Status_1
  // reads set: the second begins 1 ms before the first one's time-out of
  // the given milliseconds, and the clock then moves 2 ms on. The
  // conversion finishes once the first returned (or the guard ran out).
  tTwoLastConversionPasses runTwoLastConversionPasses(
      uint64_t milliseconds, const std::function<void(nQoMDBG100::tStatus2&)>& pass) {
    std::atomic<bool> converting{true};
    std::atomic<uint64_t> threads[2] = {0, 0};
    std::atomic<unsigned> looks[2] = {0, 0};
    windows.setReadCallback(window, 0x136, [&](unsigned) {
      const uint64_t thread = nQoKAL100_getThreadHandle();
      for (int which : {0, 1})
        if (thread == threads[which]) ++looks[which];
      return converting ? 0x8000u : 0u;
    });
    nQoSim::clearStatusLog();
    const auto timeOuts = [] {
      std::vector<unsigned> lines;
      for (const nQoSim::tStatusRecord& record : nQoSim::statusLog())
        if (record.code == -50400) lines.push_back(record.line);
      return lines;
    };
    tTwoLastConversionPasses found;
    nQoMDBG100::tStatus2 statuses[2];
    std::atomic<bool> firstReturned{false};
    std::thread one([&] {
      threads[0] = nQoKAL100_getThreadHandle();
      pass(statuses[0]);
      firstReturned = true;
    });
    EXPECT_TRUE(boundedUntil([&] { return looks[0] != 0; })) << "the first pass never waited";
    nQoSim::advanceClock((milliseconds - 1) * 1'000'000);
    std::thread two([&] {
      threads[1] = nQoKAL100_getThreadHandle();
      pass(statuses[1]);
    });
    EXPECT_TRUE(boundedUntil([&] { return looks[1] != 0; })) << "the second pass never waited";
    const unsigned firstLooks = looks[0];
    EXPECT_TRUE(boundedUntil([&] { return looks[0] > firstLooks || firstReturned; }));
    found.firstReturnedEarly = firstReturned;
    nQoSim::advanceClock(2'000'000);
    found.firstReturned = boundedUntil([&] { return firstReturned.load(); });
    found.timeOutsAtFirst = timeOuts();
    converting = false;
    one.join();
    two.join();
    windows.setReadCallback(window, 0x136, {});
    found.timeOuts = timeOuts();
    found.codes = {statuses[0].code, statuses[1].code};
    return found;
  }

  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tAIFIFODescription fifoDescription{4096, 4, 77};
  nQoUdP100::tDeviceInfo deviceInfo;
  tRangeCodes anyRange;
  nQoUdRLP100::tTavikHelper* helper = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  nQoUdP100::tAI_ADCPrimitive* converter = nullptr;
  nQoUdP100::tTavikAITimingControllerPrimitive* timing = nullptr;
  nQoUdP100::tAIDeviceFIFOPrimitive* fifo = nullptr;
  nQoSim::tSimAIFifo model{windows, window};
};

}  // namespace nQoTest
