// Switching the dispatcher's sources on and off, and the atomic binders that
// run the switches.
#include <gtest/gtest.h>

#include <vector>

#include "interruptFixture.h"

namespace nQoTest {
namespace {

using nQoSim::tSimBus;
using tCall = tSimBus::tCall;
using W = tSimRegisterWindows;
using D = tTavikInterruptDispatcher;
using nQoUdRLP100::tEnabledFlag;

tAccess write(uint32_t offset, unsigned width, uint32_t value) {
  return {0, offset, width, value, W::kWrite};
}

struct tBitSwitch {
  void (D::*enable)(nQoMDBG100::tStatus2&);
  void (D::*disable)(nQoMDBG100::tStatus2*);
  uint32_t offset;
  unsigned width;
  unsigned bit;
};

// clang-format off
const tBitSwitch kBitSwitches[] = {
    {&D::enableGroupAInterruptBit7, &D::disableGroupAInterruptBit7, 0x192, 16, 7},
    {&D::enableGroupAInterruptBit5Source1, &D::disableGroupAInterruptBit5Source1, 0x192, 16, 5},
    {&D::enableGroupAInterruptBit5, &D::disableGroupAInterruptBit5, 0x192, 16, 5},
    {&D::enableGroupAInterruptBit0, &D::disableGroupAInterruptBit0, 0x192, 16, 0},
    {&D::enableGroupAInterruptBit1, &D::disableGroupAInterruptBit1, 0x192, 16, 1},
    {&D::enableGroupAInterruptBit2, &D::disableGroupAInterruptBit2, 0x192, 16, 2},
    {&D::enableGroupAInterruptBit3, &D::disableGroupAInterruptBit3, 0x192, 16, 3},
    {&D::enableGroupAInterruptBit4, &D::disableGroupAInterruptBit4, 0x192, 16, 4},
    {&D::enableCounter0PrimaryInterrupt, &D::disableCounter0PrimaryInterrupt, 0x192, 16, 6},
    {&D::enableGroupBInterruptBit0, &D::disableGroupBInterruptBit0, 0x196, 16, 0},
    {&D::enableGroupBInterruptBit1, &D::disableGroupBInterruptBit1, 0x196, 16, 1},
    {&D::enableGroupBInterruptBit2, &D::disableGroupBInterruptBit2, 0x196, 16, 2},
    {&D::enableGroupBInterruptBit3, &D::disableGroupBInterruptBit3, 0x196, 16, 3},
    {&D::enableGroupBInterruptBit4, &D::disableGroupBInterruptBit4, 0x196, 16, 4},
    {&D::enableAOErrorInterrupt, &D::disableAOErrorInterrupt, 0x196, 16, 5},
    {&D::enableGroupBInterruptBit6, &D::disableGroupBInterruptBit6, 0x196, 16, 6},
    {&D::enableGroupBInterruptBit8, &D::disableGroupBInterruptBit8, 0x196, 16, 8},
    {&D::enableCounter1PrimaryInterrupt, &D::disableCounter1PrimaryInterrupt, 0x196, 16, 9},
    {&D::enableAOSerialInterruptBit0, &D::disableAOSerialInterruptBit0, 0x0A0, 8, 0},
    {&D::enableAOSerialInterruptBit1, &D::disableAOSerialInterruptBit1, 0x0A0, 8, 1},
    {&D::enableAOSerialInterruptBit2, &D::disableAOSerialInterruptBit2, 0x0A0, 8, 2},
    {&D::enableAOSerialInterruptBit3, &D::disableAOSerialInterruptBit3, 0x0A0, 8, 3},
};

struct tCommandSwitch {
  void (D::*enable)(nQoMDBG100::tStatus2&);
  void (D::*disable)(nQoMDBG100::tStatus2*);
  uint32_t on;
  uint32_t off;
};
const tCommandSwitch kCommandSwitches[] = {
    {&D::enableCDIOSource0, &D::disableCDIOSource0, 0x1000, 0x2000},
    {&D::enableCDIOSource1, &D::disableCDIOSource1, 0x100, 0x200},
    {&D::enableCDIOSource2, &D::disableCDIOSource2, 0x100, 0x200},
    {&D::enableCDIOSource4, &D::disableCDIOSource4, 0x400, 0x800},
    {&D::enableCDIOSource5, &D::disableCDIOSource5, 0x40, 0x80},
    {&D::enableCDIOSource6, &D::disableCDIOSource6, 0x40, 0x80},
    {&D::enableCDIOSource7, &D::disableCDIOSource7, 0x10000, 0x20000},
};
// clang-format on

TEST_F(tDispatcherTest, EachBitSwitchChangesItsBitAndWritesOnlyAChange) {
  for (const tBitSwitch& row : kBitSwitches) {
    SCOPED_TRACE(testing::Message()
                 << "offset 0x" << std::hex << row.offset << " bit " << std::dec << row.bit);
    clearLogs();
    enable(row.enable);
    enable(row.enable);  // already set, register clean: nothing
    disable(row.disable);
    disable(row.disable);
    EXPECT_EQ(writes(), (std::vector<tAccess>{write(row.offset, row.width, 1u << row.bit),
                                              write(row.offset, row.width, 0)}));
  }
  EXPECT_EQ(status.code, 0);
}

TEST_F(tDispatcherTest, EachCommandSwitchSendsItsCommandAndKeepsItsFlags) {
  for (const tCommandSwitch& row : kCommandSwitches) {
    clearLogs();
    enable(row.enable);
    disable(row.disable);
    EXPECT_EQ(writes(),
              (std::vector<tAccess>{write(0x224, 32, row.on), write(0x224, 32, row.off)}));
  }
  enable(&D::enableCDIOSource1);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource22Enabled), 1u);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kGate22And23), 1u);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource23Enabled), 0u);
  // Disabling either source of a pair closes the pair's gate.
  enable(&D::enableCDIOSource2);
  disable(&D::disableCDIOSource2);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource22Enabled), 1u);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kGate22And23), 0u);
}

TEST_F(tDispatcherTest, CounterSecondariesSetBits0And2AndClearTheGroupBit) {
  enable(&D::enableCounter0SecondaryInterrupts);
  // 0x192 is still dirty from the map's set-up, so clearing its bit 8 writes it.
  EXPECT_EQ(writes(), (std::vector<tAccess>{write(0x1B8, 16, 0x1), write(0x1B8, 16, 0x5),
                                            write(0x192, 16, 0x0)}));
  clearLogs();
  disable(&D::disableCounter0SecondaryInterrupts);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write(0x1B8, 16, 0x4), write(0x1B8, 16, 0x0)}));

  clearLogs();
  enable(&D::enableGroupBInterruptBit0);
  dispatcher->enableGroupBInterruptBit3(status);
  map->Interrupt_B_Enable.setRegister(0x0409, &status);  // bit 10 set, not yet written
  enable(&D::enableCounter1SecondaryInterrupts);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write(0x196, 16, 0x1), write(0x196, 16, 0x9),
                                            write(0x1BA, 16, 0x1), write(0x1BA, 16, 0x5),
                                            write(0x196, 16, 0x9)}));
}

TEST_F(tDispatcherTest, Sources1And2ShareBit5AndAreServedByTheirOwnFlags) {
  attach(1);
  attach(2);
  windows.setRead(window, 0x104, 16, 0x9C00);  // bits 10 and 11 pending; source 0 not
  enable(&D::enableGroupAInterruptBit5Source1);
  clearLogs();
  bus.raise(1);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1}));

  disable(&D::disableGroupAInterruptBit5);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x20, 0);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource1Enabled), 1u);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tDispatcherTest, ADisableWithAnErrorHeldChangesNothing) {
  attach(25);
  enable(&D::enableCDIOSource5);
  handlers[25].answer = 2;
  windows.setRead(window, 0x88, 8, 0x01);
  windows.setRead(window, 0x224, 32, 0x10);
  bus.raise(1);
  ASSERT_EQ(dispatcher->secondaryRequest(25), 1u);

  clearLogs();
  nQoMDBG100::tStatus2 failedStatus(-50003);
  dispatcher->disableCDIOSource5(&failedStatus);
  dispatcher->disableGroupAInterruptBit7(&failedStatus);
  dispatcher->enableGroupAInterruptBit7(failedStatus);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource25Enabled), 1u);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kGate25And26), 1u);
  EXPECT_EQ(dispatcher->secondaryRequest(25), 1u);

  // Without the error the disable also drops the pending request.
  disable(&D::disableCDIOSource5);
  EXPECT_EQ(dispatcher->secondaryRequest(25), 0u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(handlers[25].secondaryCalls, 0u);
}

TEST_F(tDispatcherTest, DisablingSource27ClosesTheGateOfSources25And26) {
  attach(25);
  attach(27);
  enable(&D::enableCDIOSource5);
  enable(&D::enableCDIOSource7);
  windows.setRead(window, 0x88, 8, 0x01);
  windows.setRead(window, 0x224, 32, 0x11);
  clearLogs();
  bus.raise(1);
  EXPECT_EQ(calls, (std::vector<uint32_t>{25, 27}));

  clearLogs();
  disable(&D::disableCDIOSource7);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write(0x224, 32, 0x20000)}));
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource27Enabled), 0u);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kGate25And26), 0u);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource25Enabled), 1u);
  clearLogs();
  bus.raise(1);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tDispatcherTest, BindersRunOnceOnTheBusAndNeverWithAnErrorHeld) {
  nQoMDBG100::tStatus2 failedStatus(-50003);
  D::tAtomicStatusPtrDispatcher off(dispatcher, &D::disableGroupAInterruptBit0);
  off.exec(&failedStatus);
  D::tAtomicStatusRefDispatcher on(dispatcher, &D::enableGroupAInterruptBit0, failedStatus);
  on.exec();
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_TRUE(windows.log().empty());

  off.exec(nullptr);
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kAtomic, 0, 0, 0, 0, 0}}));
  EXPECT_EQ(writes(), (std::vector<tAccess>{write(0x192, 16, 0)}));

  // The asserted binder keeps the member's answer.
  windows.setRead(window, 0x104, 16, 0x0400);
  D::tAtomicIsAssertedDispatcher asserted(dispatcher, &D::isSource1Asserted, &status);
  asserted.exec();
  EXPECT_EQ(asserted.value(), 1u);

  // The change-detection binder picks its member by the selector.
  clearLogs();
  D::tChangeDetectionAtomicDispatcher none(dispatcher, &D::enableChangeDetectionInterrupt, nullptr,
                                           status, 0x3, 0);
  none.exec();
  D::tChangeDetectionAtomicDispatcher second(dispatcher, nullptr,
                                             &D::enableChangeDetectionInterrupt, status, 0x3, 0);
  second.exec();
  EXPECT_EQ(writes(), (std::vector<tAccess>{write(0x248, 32, 0x3)}));
  EXPECT_EQ(bus.calls().size(), 2u);
}

}  // namespace
}  // namespace nQoTest
