// The AI road of a simulated Tavik board for the transfer tests: map, helper,
// dispatcher, converter, timing controller and FIFO (with the FIFO model on
// the data and status registers), and a test clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tAI_ADCPrimitive.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/simTime.h"
#include "sim/tSimAIFifo.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {

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

  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tAIFIFODescription fifoDescription{4096, 4, 77};
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoUdRLP100::tTavikHelper* helper = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  nQoUdP100::tAI_ADCPrimitive* converter = nullptr;
  nQoUdP100::tTavikAITimingControllerPrimitive* timing = nullptr;
  nQoUdP100::tAIDeviceFIFOPrimitive* fifo = nullptr;
  nQoSim::tSimAIFifo model{windows, window};
};

}  // namespace nQoTest
