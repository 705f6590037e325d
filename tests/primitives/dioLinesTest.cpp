// The TESK link controllers, the static line members, the latching wrapper and
// the comm routing on a clean Tavik map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "primitives/dio/tDigBufferPrimitive.h"
#include "primitives/dio/tImmedDigLatchingPrimitive.h"
#include "primitives/dio/tTavikCommRoutingPrimitive.h"
#include "primitives/dio/tTavikFixedInputImmedDigPrimitive.h"
#include "primitives/dio/tTavikFixedOutputImmedDigPrimitive.h"
#include "primitives/dio/tTavikHWTimingControllerPrimitive.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "primitives/dio/tTavikPFIImmedDigPrimitive.h"
#include "primitives/dio/tTavikSWTimingControllerPrimitive.h"
#include "primitives/dio/tTavikTESKImmedDigPrimitive.h"
#include "primitives/dioFixture.h"
#include "sim/simAllocator.h"
#include "support/silentRefusals.h"

namespace nQoTest {
namespace {

using namespace nQoUdP100;

TEST_F(tDIOTest, LinkHardwareTimingStartsStrobesAndPolls) {
  tTavikHWTimingControllerPrimitive link(*map, status);
  EXPECT_EQ(windows.log(), (tLog{wrote8(0x13, 0x21), kBusFlush}));

  clearLogs();
  link.strobe(status);
  EXPECT_EQ(status.code, -223748);
  EXPECT_EQ(lastReport(), "-223748 qoudrk tTavikHWTimingControllerPrimitive 102");
  EXPECT_TRUE(windows.log().empty());

  status.clear();
  clearLogs();
  link.start(status);
  link.start(status);  // already started: nothing
  link.strobe(status);
  EXPECT_EQ(windows.log(), (tLog{wrote8(0x13, 0xA1), wrote8(0x13, 0xE1)}));
  EXPECT_EQ(map->TESK_Control.getRegister(), 0xA1);

  clearLogs();
  windows.queueReads(window, 0x07, {0x01, 0x00});
  EXPECT_TRUE(link.isBusy(status));
  EXPECT_FALSE(link.isBusy(status));
  EXPECT_FALSE(link.isBusy(status));  // nothing strobed: no read
  EXPECT_EQ(windows.log(), (tLog{read(0x07, 0x01, 8), read(0x07, 0x00, 8)}));

  tTavikSWTimingControllerPrimitive software(*map);
  clearLogs();
  software.setSoftwareClock(1, status);
  EXPECT_EQ(status.code, -223748);
  EXPECT_EQ(lastReport(), "-223748 qoudrk tTavikSWTimingControllerPrimitive 42");
  EXPECT_TRUE(windows.log().empty());

  status.clear();
  link.stop(status);
  software.setSoftwareClock(0, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote8(0x13, 0x21), wrote8(0x13, 0x20)}));
}

// A link destroyed while hardware timing runs (a teardown under the link's
// task) stops it by its record; one never started writes nothing.
TEST_F(tDIOTest, TheDestructionStopsHardwareTimingThatAStartLeftOn) {
  for (const bool started : {true, false}) {
    SCOPED_TRACE(started);
    auto* link = new tTavikHWTimingControllerPrimitive(*map, status);
    if (started) link->start(status);
    clearLogs();
    delete link;
    EXPECT_EQ(windows.writes(), started ? tLog{wrote8(0x13, 0x21)} : tLog{});
  }
  EXPECT_EQ(status.code, 0);
}

TEST_F(tDIOTest, LinkClockSourceStatusAndDataFollowTheSoftCopy) {
  tTavikHWTimingControllerPrimitive link(*map, status);
  clearLogs();
  link.setClockSource(2, status);  // only kept
  EXPECT_TRUE(windows.log().empty());
  link.setClockSource(1, status);  // bit 5 already set: no write
  link.setClockSource(0, status);
  link.writeData(0x5C, status);
  link.writeData(0x5C, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote8(0x13, 0x01), wrote8(0x11, 0x5C)}));

  windows.setRead(window, 0x09, 8, 0x3C);
  EXPECT_EQ(link.readStatus(status), 0x3Cu);
  nQoMDBG100::tStatus2 failed;
  failed.setCode(-1, "test", "test", 1);
  EXPECT_EQ(link.readStatus(failed), 0xFFFFFFFFu);
}

TEST_F(tDIOTest, PortZeroModesTakeBothLocksAndWriteOnlyWhatChanged) {
  tTavikImmedDigPrimitive port(*map, status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  port.setLineMode(0x0F, 1, status);
  EXPECT_EQ(windows.log(), (tLog{wrote32(0x28, 0xF), kBusFlush}));
  EXPECT_EQ(lockSequence(), (std::vector<int>{1, 2, -2, -1}));

  clearLogs();
  port.setLineMode(0x0F, 1, status);
  port.setLineMode(0x30, 0, status);  // already inputs
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(lockSequence().empty());

  port.writeLines(0xFF, 0xA5, status);
  EXPECT_EQ(windows.log(), (tLog{wrote32(0x24, 0xA5), kBusFlush}));
  clearLogs();
  port.writeLines(0xFF, 0xA5, status);
  EXPECT_EQ(windows.log(), (tLog{kBusFlush}));
  port.writeLines(0x0F, 0x00, status);  // only the masked lines change
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x24, 0xA0)}));

  // Lines 0 and 1 in mode 7; dropping line 1 keeps it driving the present input.
  port.setLineMode(0x3, 7, status);
  setRead32(0x24, 0x5A);
  clearLogs();
  port.setLineMode(0x1, 7, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x24, 0x5A), wrote32(0x234, 0x1)}));

  // Mode 6 writes the direction first; a mode-0 request for mode-6 lines changes nothing.
  clearLogs();
  port.setLineMode(0x100, 6, status);
  port.setLineMode(0x100, 0, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x230, 0x100)}));
  EXPECT_EQ(status.code, 0);

  uint32_t value = 0;
  clearLogs();
  EXPECT_EQ(port.readLines(0x0F, &value, status), 1u);
  EXPECT_EQ(value, 0xAu);
  EXPECT_EQ(lockSequence(), (std::vector<int>{1, -1}));
}

TEST_F(tDIOTest, PortZeroLineStateWritesEveryRegisterWithForce) {
  tTavikImmedDigPrimitive port(*map, status);
  setRead32(0x24, 0x0000FF00);
  const tLineState state{1, 0x0000FFFF, 0x12345678};
  clearLogs();
  port.applyLineState(&state, 1, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x24, 0x1234FF00), wrote32(0x234, 0), wrote32(0x230, 0),
                                    wrote32(0x28, 0xFFFF0000)}));
  clearLogs();
  port.applyLineState(nullptr, 0, status);  // defaults: every line an input
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x24, 0x0000FF00), wrote32(0x234, 0), wrote32(0x230, 0),
                                    wrote32(0x28, 0)}));
}

TEST_F(tDIOTest, PFILinesWriteByteWiseAndRouteBeforeDriving) {
  tTavikPFIImmedDigPrimitive pfi(*map, status);
  clearLogs();
  pfi.writeLines(0x0100, 0x0100, status);
  EXPECT_EQ(windows.log(), (tLog{wrote8(0x1DF, 0x01), kBusFlush}));

  clearLogs();
  pfi.setLineMode(0x0400, 1, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1D6, 0x0200), wrote8(0x173, 0x04)}));
  const auto* pinLock = map->lockGroup(14)->lock();
  std::vector<const iSync*> order;
  for (const auto& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kAcquire) order.push_back(record.object);
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[2], pinLock);
  EXPECT_EQ(lockSequence(), (std::vector<int>{1, 2, 3, -3, -2, -1}));

  clearLogs();
  pfi.setLineMode(0x0400, 2, status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(nQoSim::syncLog().empty());

  status.clear();
  clearLogs();
  pfi.setLineMode(0x0401, 0, status);  // both bytes touched
  EXPECT_EQ(windows.writes(), (tLog{wrote8(0x172, 0x00), wrote8(0x173, 0x00)}));

  windows.setRead(window, 0x1DC, 16, 0xABCD);
  uint32_t value = 0;
  pfi.readLines(0xFF0F, &value, status);
  EXPECT_EQ(value, 0xAB0Du);
}

TEST_F(tDIOTest, PFILineStateTakesTwoByteRecordsAndRoutesWithForce) {
  tTavikPFIImmedDigPrimitive pfi(*map, status);
  windows.setRead(window, 0x1DC, 16, 0xAB5A);
  const tLineState states[2] = {{1, 0xF0, 0x0F}, {1, 0xFF, 0x00}};
  clearLogs();
  pfi.applyLineState(states, 1, status);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x1DE, 0xAB5F), wrote(0x1D0, 0x4210), wrote(0x1D2, 0x0010), wrote(0x1D4, 0),
                  wrote(0x1D6, 0), wrote(0x1D8, 0), wrote(0x1DA, 0), wrote(0x172, 0x000F)}));
  clearLogs();
  pfi.applyLineState(nullptr, 0, status);  // defaults: all inputs, the input state kept
  EXPECT_EQ(windows.writes().front(), wrote(0x1DE, 0xAB5A));
  EXPECT_EQ(windows.writes().back(), wrote(0x172, 0x0000));
}

// A lock that refuses is never given back, and nothing is done without it:
// the code is reported, no line changes, and the next call takes the locks
// as usual.
TEST_F(tDIOTest, ALockThatRefusesIsNotGivenBackAndNothingIsDoneWithoutIt) {
  tTavikImmedDigPrimitive port(*map, status);
  tTavikPFIImmedDigPrimitive pfi(*map, status);
  tTavikFixedOutputImmedDigPrimitive fixed(*map, status);
  ASSERT_EQ(status.code, 0);
  const auto refused = [&](auto call) {
    clearLogs();
    nQoSim::failNextAcquire(-50001);
    nQoMDBG100::tStatus2 failed;
    const uint32_t answer = call(failed);
    EXPECT_EQ(failed.code, -50001);
    EXPECT_TRUE(windows.writes().empty());
    for (int step : lockSequence()) EXPECT_GT(step, 0) << "a release";
    return answer;
  };
  uint32_t value = 0x77;
  refused([&](nQoMDBG100::tStatus2& s) {
    port.setLineMode(0x0F, 1, s);
    return 0u;
  });
  EXPECT_EQ(refused([&](nQoMDBG100::tStatus2& s) { return port.writeLines(0xFF, 0xA5, s); }), 0u);
  EXPECT_EQ(refused([&](nQoMDBG100::tStatus2& s) { return port.readLines(0xFF, &value, s); }), 0u);
  EXPECT_EQ(value, 0x77u);
  refused([&](nQoMDBG100::tStatus2& s) {
    pfi.setLineMode(0x1, 1, s);
    return 0u;
  });
  refused([&](nQoMDBG100::tStatus2& s) {
    fixed.setLineMode(0x3, 1, s);
    return 0u;
  });
  EXPECT_EQ(refused([&](nQoMDBG100::tStatus2& s) { return fixed.writeLines(0xF, 0x5, s); }), 0u);

  clearLogs();
  port.setLineMode(0x0F, 1, status);
  port.writeLines(0xFF, 0xA5, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x28, 0xF), wrote32(0x24, 0xA5)}));
  EXPECT_EQ(lockSequence(), (std::vector<int>{1, 2, -2, -1, 1, -1}));
}

// A lock that refuses with no error of its own (a warning, or no code at all)
// is a refusal all the same: kRefused, no line changes, nothing given back.
TEST_F(tDIOTest, ALockThatRefusesWithoutAnErrorIsReportedAsRefused) {
  tTavikImmedDigPrimitive port(*map, status);
  ASSERT_EQ(status.code, 0);
  for (const tSilentRefusal& refusal : kSilentRefusals) {
    SCOPED_TRACE(refusal.name);
    clearLogs();
    refusal.arm();
    nQoMDBG100::tStatus2 refused;
    EXPECT_EQ(port.writeLines(0xFF, 0xA5, refused), 0u);
    EXPECT_EQ(refused.code, -50150);
    EXPECT_TRUE(windows.writes().empty());
    EXPECT_TRUE(lockSequence().empty());
  }
}

TEST_F(tDIOTest, FixedLinesReportTheLatchAndEnableOnTheFirstWrite) {
  tTavikFixedInputImmedDigPrimitive input(*map);
  windows.setRead(window, 0x1DC, 16, 0xFFFF);
  uint32_t value = 0;
  EXPECT_EQ(input.readLines(0xF0, &value, status), 1u);
  EXPECT_EQ(value, 0x30u);
  clearLogs();
  EXPECT_EQ(input.writeLines(0xF, 0xF, status), 0u);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(windows.log().empty());

  tTavikFixedOutputImmedDigPrimitive output(*map, status);
  output.applyLineState(nullptr, 0, status);  // no output line: enabling waits
  clearLogs();
  output.setLineMode(0x3, 1, status);
  EXPECT_TRUE(windows.writes().empty());
  output.writeLines(0xF, 0x5, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1DE, 0x5 << 6), wrote8(0x267, 0x01)}));
  EXPECT_EQ(output.readLines(0xF, &value, status), 1u);
  EXPECT_EQ(value, 0x5u);

  // Lines 0 and 1 drive: enabled at once (the pin bits were already set by the
  // first state), and a later write enables nothing.
  const tLineState state{1, 0xFFFFFFFC, 0x3};
  clearLogs();
  output.applyLineState(&state, 1, status);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x1DE, 0xC0), wrote(0x1D0, 0), wrote(0x1D2, 0), wrote(0x1D4, 0x4210),
                  wrote(0x1D6, 0x0010), wrote(0x1D8, 0), wrote(0x1DA, 0), wrote8(0x267, 0x01)}));
  clearLogs();
  output.writeLines(0x1, 0x0, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1DE, 0x80)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tDIOTest, LinkLinesMapToTheControlDataAndStatusRegisters) {
  tTavikTESKImmedDigPrimitive lines(*map, status);
  clearLogs();
  lines.writeLines(0x7, 0x6, status);
  EXPECT_EQ(windows.log(), (tLog{wrote8(0x11, 0x00), wrote8(0x13, 0x10), wrote8(0x13, 0x18)}));
  windows.setRead(window, 0x09, 8, 0x01);
  uint32_t value = 0;
  lines.readLines(0x16, &value, status);
  EXPECT_EQ(value, 0x16u);
  lines.readLines(0x02, &value, status);
  EXPECT_EQ(value, 0x02u);
}

TEST_F(tTavikMapTest, OnAFreshMapTheFirstWriteWhenChangedOrDirtyWrites) {
  tTavikTESKImmedDigPrimitive lines(*map, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote8(0x11, 0x01), wrote8(0x13, 0x00)}));
}

TEST_F(tDIOTest, DigitalBufferHoldsItsBytesOrNothing) {
  tDigBufferPrimitive buffer(16, status);
  ASSERT_NE(buffer.getBuffer(), nullptr);
  EXPECT_EQ(buffer.getAddress(5), buffer.getBuffer() + 5);
  EXPECT_EQ(buffer.getSize(), 16u);
  nQoSim::failAllocation(1);
  tDigBufferPrimitive none(16, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(none.getBuffer(), nullptr);
  const int64_t live = nQoSim::liveAllocations();
  tDigBufferPrimitive skipped(16, status);  // an error already held: no allocation
  EXPECT_EQ(skipped.getBuffer(), nullptr);
  EXPECT_EQ(nQoSim::liveAllocations(), live);
}

TEST_F(tDIOTest, LatchingReadsTheLatchedValueNotTheLines) {
  tTavikImmedDigPrimitive port(*map, status);
  tImmedDigLatchingPrimitive latching(&port);
  setRead32(0x24, 0xA5);
  clearLogs();
  EXPECT_EQ(latching.latch(status), 1u);
  EXPECT_TRUE(nQoSim::syncLog().empty());  // no lock at latch
  setRead32(0x24, 0xFF);
  uint32_t value = 0;
  clearLogs();
  EXPECT_EQ(latching.readLines(0x0F, &value, status), 1u);
  EXPECT_EQ(value, 0x5u);
  EXPECT_TRUE(windows.log().empty());
  latching.writeLines(0xFF, 0x11, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x24, 0x11)}));
}

class tCommRoutingTest : public tDIOTest {
 protected:
  void SetUp() override {
    tDIOTest::SetUp();
    port = new tTavikImmedDigPrimitive(*map, status);
    routing = new tTavikCommRoutingPrimitive(*map, port, status);
    ASSERT_EQ(status.code, 0);
    cleanMap();
    clearLogs();
  }
  void TearDown() override {
    delete routing;
    delete port;
    tDIOTest::TearDown();
  }
  void setReservers() {
    routing->setPortLineReserver(&ports, status);
    routing->setPFILineReserver(&pfis, status);
  }

  std::vector<std::string> calls;
  tLineReserver ports{"port", &calls}, pfis{"pfi", &calls};
  tTavikImmedDigPrimitive* port = nullptr;
  tTavikCommRoutingPrimitive* routing = nullptr;
};

TEST_F(tCommRoutingTest, FrontPanelReservesDrivesAndGivesBackOnce) {
  setReservers();
  routing->connect(1, status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"port:reserve:23", "pfi:reserve:1024"}));
  EXPECT_EQ(windows.writes(), (tLog{wrote8(0x13, 0x04), wrote8(0x21C, 0x07), wrote32(0x28, 0x7),
                                    wrote(0x1D6, 0x0160), wrote(0x172, 0x0400)}));

  calls.clear();
  clearLogs();
  routing->connect(4, status);  // unknown modes do nothing
  routing->disconnect(0, status);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(windows.log().empty());
  routing->disconnect(3, status);
  routing->disconnect(3, status);
  EXPECT_EQ(calls, (std::vector<std::string>{"port:release:23", "pfi:release:1024"}));
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x28, 0x0), wrote8(0x13, 0x00), wrote8(0x21C, 0x00),
                                    wrote(0x172, 0x0000)}));
}

// A routing destroyed while connected (a teardown under the link's task)
// stops driving the lines and the link's outputs by its records, and tells
// the reservers, which the teardown may have taken away first, nothing.
TEST_F(tCommRoutingTest, TheDestructionStopsDrivingWhatAConnectLeftDriven) {
  setReservers();
  routing->connect(3, status);
  ASSERT_EQ(status.code, 0);
  calls.clear();
  clearLogs();
  delete routing;
  routing = nullptr;
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x28, 0x0), wrote8(0x13, 0x02), wrote8(0x21C, 0x00),
                                    wrote(0x172, 0x0000), wrote8(0x15, 0x00)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCommRoutingTest, RefusedReservationLeavesNothingHeld) {
  setReservers();
  pfis.refuseWith = -50103;
  routing->connect(3, status);
  EXPECT_EQ(status.code, -50103);
  EXPECT_EQ(calls,
            (std::vector<std::string>{"port:reserve:23", "pfi:reserve:1024", "port:release:23"}));
  EXPECT_TRUE(windows.log().empty());
  calls.clear();
  status.clear();
  routing->disconnect(3, status);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tCommRoutingTest, MissingReserversOrPortLinesAreRefusedBeforeAnything) {
  routing->connect(1, status);
  EXPECT_EQ(lastReport(), "-50004 qoudrk tTavikCommRoutingPrimitive 192");
  EXPECT_TRUE(windows.log().empty());

  // The fixed-direction variant has no port-0 lines: front panel refused, dedicated works.
  status.clear();
  tTavikCommRoutingPrimitive fixed(*map, nullptr, status);
  fixed.setPortLineReserver(&ports, status);
  fixed.setPFILineReserver(&pfis, status);
  cleanMap();
  clearLogs();
  fixed.connect(1, status);
  EXPECT_EQ(status.code, -50004);
  fixed.connect(3, status);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(windows.log().empty());
  status.clear();
  fixed.connect(2, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote8(0x13, 0x02), wrote8(0x15, 0x01)}));
  fixed.disconnect(3, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace nQoTest
