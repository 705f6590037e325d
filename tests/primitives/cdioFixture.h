// A Tavik board's correlated digital I/O world: the map, the board interrupt
// dispatcher, the CDIO dispatcher over it, the simulated FIFOs and both FIFO
// primitives, with clean logs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "primitives/cdio/tTavikCDO_FIFOPrimitive.h"
#include "sim/tSimCDIOFIFOs.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {

using tLog = std::vector<tAccess>;

inline tAccess wrote32(uint32_t offset, uint32_t value) { return wrote(offset, value, 32); }
inline tAccess read32(uint32_t offset, uint32_t value) { return read(offset, value, 32); }

// The accesses of the log at one offset.
inline tLog at(const tLog& log, uint32_t offset) {
  tLog found;
  for (const tAccess& access : log)
    if (access.window == 0 && access.offset == offset) found.push_back(access);
  return found;
}

// A command written atomically, as an enable or disable runs.
inline tLog atomicCommand(uint32_t value) {
  return {kAtomicBegin, wrote32(0x224, value), kAtomicEnd};
}

class tCDIOTest : public tTavikMapTest {
 protected:
  static constexpr uint32_t kIrq = 1;
  // The board dispatcher's sources of the CDIO slots.
  static constexpr uint32_t kCDIFIFO = 21, kFIFOOverflow = 22, kCDIOverrun = 23, kCDOFIFO = 24,
                            kOutputBufferError = 25, kCDOOverrun = 26, kCDOFIFOEmpty = 27;

  void SetUp() override {
    tTavikMapTest::SetUp();
    board = new nQoUdRLP100::tTavikInterruptDispatcher(map, kIrq, &status);
    cdio = new nQoUdP100::tTavikCDIODispatcher(board);
    fifos = new nQoSim::tSimCDIOFIFOs(windows, window);
    cdi = new nQoUdP100::tTavikCDI_FIFOPrimitive(cdio, &description, map, status);
    cdo = new nQoUdP100::tTavikCDO_FIFOPrimitive(cdio, &description, map, status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  void TearDown() override {
    delete cdo;
    delete cdi;
    delete fifos;
    delete cdio;
    delete board;
    tTavikMapTest::TearDown();
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    nQoSim::clearStatusLog();
    nQoSim::clearSyncLog();
  }

  nQoUdP100::tCDIODescription description{.cdiFIFODepth = 1024, .secondCount = 7, .sampleWidth = 4};
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoORB100::tGUID identity{0x1111, 0x2222};
  nQoUdRLP100::tTavikInterruptDispatcher* board = nullptr;
  nQoUdP100::tTavikCDIODispatcher* cdio = nullptr;
  nQoSim::tSimCDIOFIFOs* fifos = nullptr;
  nQoUdP100::tTavikCDI_FIFOPrimitive* cdi = nullptr;
  nQoUdP100::tTavikCDO_FIFOPrimitive* cdo = nullptr;
};

}  // namespace nQoTest
