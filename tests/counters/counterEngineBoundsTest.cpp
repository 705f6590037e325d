// The counter engine at its edges, for both counters and both interrupt kinds:
// every field at its widest value and one beyond, the interrupt enables of the
// pair layout and of the Tavik layout bit by bit, a service whose pending bit
// is set while the primary is not enabled, disables that drop exactly their own
// request, the DMA select lock given back when the write under it fails, and
// the connect bounds on the limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "counters/counterFixture.h"
#include "counters/tCtrPair.h"
#include "counters/tTIOCtrHelper.h"
#include "counters/tTIOCtrInterruptDispatcher.h"
#include "counters/tTavikTIOCompositeContainer.h"
#include "tavik/tTavikBus.h"

namespace nQoTest {
namespace {

using nQoTIO100::tCtrPair;
using nQoTIO100::tTIOCtrHelper;
using D = nQoTIO100::tTIOCtrInterruptDispatcher;

class tPairEdgesTest : public tCounterTest {
 protected:
  void SetUp() override {
    tCounterTest::SetUp();
    pair = new tCtrPair(0u, 256, &status);
    ASSERT_EQ(status.code, 0);
    for (uint32_t id = 0; id < 27; ++id) pair->markClean(id, &status);
    clearLogs();
  }
  void TearDown() override {
    delete dispatcher;
    delete pair;
    tCounterTest::TearDown();
  }
  D& pairDispatcher() {
    helper = tTIOCtrHelper(0, pair);
    dispatcher = new D(&owner, &helper);
    return *dispatcher;
  }
  // The four registers the enables touch, soft copies := value, clean.
  void preset(uint16_t value) {
    for (tCtrPair::tRegister* target : {pair->registerObject(4), pair->registerObject(16),
                                        pair->registerObject(24), pair->registerObject(26)}) {
      target->setField(0, value, &status);
      target->flush(&status, 1);
    }
    windows.clearLog();
  }

  tCtrPair* pair = nullptr;
  tTIOCtrHelper helper{0, nullptr};
  tFakeTap owner{99, &calls};
  D* dispatcher = nullptr;
};

// One field of a writable register of each counter: its bits as the register
// table gives them.
struct tFieldRow {
  uint32_t g0, g1, field, high, low;
};
// Board offsets (window base 0x100) of the writable registers by identifier.
uint32_t offsetOf(uint32_t id) {
  static const uint32_t kOffsets[27] = {0x188, 0x10C, 0x1B0, 0x1B0, 0x1B8, 0x148, 0x138,
                                        0x13C, 0x134, 0x1B4, 0x1C0, 0x190, 0x18A, 0x10E,
                                        0x1B2, 0x1B2, 0x1BA, 0x14A, 0x140, 0x144, 0x136,
                                        0x1B6, 0x1C2, 0x104, 0x192, 0x106, 0x196};
  return kOffsets[id];
}

TEST_F(tPairEdgesTest, EveryMultiBitAndEnableFieldTakesItsWidestValueOnItsBitsInBothCounters) {
  const tFieldRow rows[] = {
      {0, 12, 1, 7, 0},     // AutoIncrement
      {1, 13, 6, 6, 5},     // Command
      {1, 13, 14, 14, 14},  // Command, a kept bit
      {2, 14, 1, 2, 0},     // Counting_Mode
      {2, 14, 4, 6, 5},    {2, 14, 6, 10, 8},   {2, 14, 10, 14, 14},
      {3, 15, 6, 12, 8},                                           // Tavik_Counting_Mode
      {3, 15, 9, 15, 15},  {4, 16, 3, 2, 2},                       // DMA_Control
      {5, 17, 3, 6, 2},                                            // Input_Select
      {5, 17, 4, 11, 7},   {5, 17, 8, 15, 15},  {8, 20, 1, 1, 0},  // Mode
      {8, 20, 3, 4, 3},    {8, 20, 4, 6, 5},    {8, 20, 6, 9, 8},
      {8, 20, 7, 11, 10},  {8, 20, 11, 15, 15}, {9, 21, 3, 11, 7},  // Second_Gate
      {9, 21, 7, 15, 15},  {10, 22, 1, 4, 0},                       // Tavik_ABZ
      {10, 22, 2, 9, 5},   {10, 22, 3, 14, 10},
  };
  for (const tFieldRow& row : rows) {
    for (uint32_t id : {row.g0, row.g1}) {
      SCOPED_TRACE("register " + std::to_string(id) + " field " + std::to_string(row.field));
      const uint32_t widest = (1u << (row.high - row.low + 1)) - 1;
      tCtrPair::tRegister* target = pair->registerObject(id);
      target->setField(0, 0, &status);
      target->flush(&status, 1);
      windows.clearLog();
      target->writeField(row.field, widest, &status, 0);
      EXPECT_EQ(windows.writes(),
                (std::vector<tAccess>{boardWrote(offsetOf(id), widest << row.low)}));
      EXPECT_EQ(target->getField(row.field, &status), widest);
      EXPECT_EQ(
          reportOf([&](auto* s) { target->setField(row.field, widest + 1, s); }).substr(0, 13),
          "-50005 qotiok");
      EXPECT_EQ(status.code, 0);
    }
  }
  // The 32-bit loads take all ones; the joint reset's two counter bits.
  for (uint32_t id : {6u, 7u, 18u, 19u}) {
    SCOPED_TRACE(id);
    windows.clearLog();
    pair->registerObject(id)->writeField(1, 0xFFFFFFFF, &status, 0);
    EXPECT_EQ(windows.writes(), (std::vector<tAccess>{boardWrote(offsetOf(id), 0xFFFFFFFF, 32)}));
  }
  windows.clearLog();
  pair->G01_Joint_Reset.writeField(2, 1, &status, 0);
  pair->G01_Joint_Reset.writeField(3, 1, &status, 0);
  EXPECT_EQ(windows.writes(),
            (std::vector<tAccess>{boardWrote(0x190, 0x0004), boardWrote(0x190, 0x0008)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tPairEdgesTest, AcknowledgeAndEnableFieldsOfBothCountersNameTheirOwnBits) {
  const struct {
    uint32_t id, field, offset, bit;
  } rows[] = {
      {23, 2, 0x104, 5}, {23, 3, 0x104, 6}, {23, 5, 0x104, 14}, {23, 6, 0x104, 15},
      {25, 2, 0x106, 1}, {25, 3, 0x106, 2}, {25, 5, 0x106, 14}, {25, 6, 0x106, 15},
      {24, 2, 0x192, 6}, {24, 4, 0x192, 8}, {26, 2, 0x196, 9},  {26, 3, 0x196, 10},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("register " + std::to_string(row.id) + " field " + std::to_string(row.field));
    tCtrPair::tRegister* target = pair->registerObject(row.id);
    windows.clearLog();
    target->writeField(row.field, 1, &status, 0);
    target->writeField(row.field, 0, &status, 0);
    // An acknowledge writes only its bit; an enable writes its soft copy on change.
    EXPECT_EQ(windows.writes(), (std::vector<tAccess>{boardWrote(row.offset, 1u << row.bit),
                                                      boardWrote(row.offset, 0)}));
    EXPECT_EQ(reportOf([&](auto* s) { target->writeField(row.field, 2, s, 0); }).substr(0, 13),
              "-50005 qotiok");
  }
  EXPECT_EQ(status.code, 0);
}

// An enable or disable of a counter's interrupt on a dispatcher: the value
// the enable registers hold before it, the writes it makes, and the kind's
// enabled flag after it.
template <class tDispatcher>
struct tEnableRow {
  const char* what;
  void (tDispatcher::*operation)(uint32_t, nQoMDBG100::tStatus2&);
  uint32_t counter;
  uint16_t preset;
  std::vector<tAccess> writes;
  D::tKind kind;
  uint32_t enabled;
};

TEST_F(tPairEdgesTest, PairLayoutEnablesWriteEachCountersOwnBitsForBothKinds) {
  const tEnableRow<D> rows[] = {
      {"enable primary 0",
       &D::enablePrimary,
       0,
       0x0000,
       {boardWrote(0x192, 0x0040)},
       D::kPrimary0,
       1},
      {"enable primary 1",
       &D::enablePrimary,
       1,
       0x0000,
       {boardWrote(0x196, 0x0200)},
       D::kPrimary1,
       1},
      {"enable primary 3",
       &D::enablePrimary,
       3,
       0x0000,
       {boardWrote(0x196, 0x0200)},
       D::kPrimary1,
       1},
      {"enable secondary 0, from 0",
       &D::enableSecondary,
       0,
       0x0000,
       {boardWrote(0x1B8, 0x0001), boardWrote(0x1B8, 0x0005)},
       D::kSecondary0,
       1},
      {"enable secondary 0, from ones",
       &D::enableSecondary,
       0,
       0xFFFF,
       {boardWrote(0x192, 0xFEFF)},
       D::kSecondary0,
       1},
      {"enable secondary 1, from 0",
       &D::enableSecondary,
       1,
       0x0000,
       {boardWrote(0x1BA, 0x0001), boardWrote(0x1BA, 0x0005)},
       D::kSecondary1,
       1},
      {"enable secondary 1, from ones",
       &D::enableSecondary,
       1,
       0xFFFF,
       {boardWrote(0x196, 0xFBFF)},
       D::kSecondary1,
       1},
      {"disable primary 0",
       &D::disablePrimary,
       0,
       0xFFFF,
       {boardWrote(0x192, 0xFFBF)},
       D::kPrimary0,
       0},
      {"disable primary 1",
       &D::disablePrimary,
       1,
       0xFFFF,
       {boardWrote(0x196, 0xFDFF)},
       D::kPrimary1,
       0},
      {"disable secondary 0",
       &D::disableSecondary,
       0,
       0xFFFF,
       {boardWrote(0x1B8, 0xFFFE), boardWrote(0x1B8, 0xFFFA), boardWrote(0x192, 0xFEFF)},
       D::kSecondary0,
       0},
      {"disable secondary 1",
       &D::disableSecondary,
       1,
       0xFFFF,
       {boardWrote(0x1BA, 0xFFFE), boardWrote(0x1BA, 0xFFFA), boardWrote(0x196, 0xFBFF)},
       D::kSecondary1,
       0},
  };
  D& d = pairDispatcher();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    preset(row.preset);
    (d.*row.operation)(row.counter, status);
    EXPECT_EQ(windows.writes(), row.writes);
    EXPECT_EQ(d.enabled(row.kind), row.enabled);
    EXPECT_EQ(status.code, 0);
  }
}

// Taps of both kinds on both counters, each asking for a second pass, with a
// receiver behind each: 1, 2 primary taps; 3, 4 secondary; 10 + the same for
// the receivers.
struct tFourTaps {
  explicit tFourTaps(std::vector<int>* calls)
      : primary0(1, calls, 2),
        primary1(2, calls, 2),
        secondary0(3, calls, 2),
        secondary1(4, calls, 2),
        receivers{{11, calls}, {12, calls}, {13, calls}, {14, calls}} {}
  void install(D& d) {
    d.setPrimaryTap(0, &primary0);
    d.setPrimaryTap(1, &primary1);
    d.setSecondaryTap(0, &secondary0);
    d.setSecondaryTap(1, &secondary1);
    d.setPrimaryReceiver(0, &receivers[0]);
    d.setPrimaryReceiver(1, &receivers[1]);
    d.setSecondaryReceiver(0, &receivers[2]);
    d.setSecondaryReceiver(1, &receivers[3]);
  }
  tFakeTap primary0, primary1, secondary0, secondary1;
  tFakeTap receivers[4];
};

TEST_F(tPairEdgesTest, APendingCounterWhosePrimaryIsNotEnabledIsServedBySecondaryTapOnly) {
  D& d = pairDispatcher();
  tFourTaps taps(&calls);
  taps.install(d);
  // Both counters' pending bits set; the other counter's primary enabled.
  windows.setRead(boardWindow, 0x104, 16, 0x0008);
  windows.setRead(boardWindow, 0x106, 16, 0x0008);
  const struct {
    uint32_t counter, enabledCounter;
    int tap;
    D::tKind request;
  } rows[] = {{0, 1, 3, D::kSecondary0}, {1, 0, 4, D::kSecondary1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.counter);
    d.disablePrimary(row.counter, status);
    d.enablePrimary(row.enabledCounter, status);
    calls.clear();
    windows.clearLog();
    EXPECT_EQ(d.service(row.counter), D::kWantsSecondPass);
    EXPECT_EQ(calls, std::vector<int>{row.tap});
    EXPECT_TRUE(windows.log().empty());  // no pending read, no acknowledge
    EXPECT_EQ(d.request(row.request), 1u);
    d.resolveSecondaryInterrupts();
    EXPECT_EQ(calls, (std::vector<int>{row.tap, row.tap + 10}));
  }
  // Enabled and pending: the primary tap, acknowledged at its own counter.
  const struct {
    uint32_t counter;
    int tap;
    uint32_t status1;
  } served[] = {{0, 1, 0x104}, {1, 2, 0x106}};
  for (const auto& row : served) {
    SCOPED_TRACE(row.counter);
    d.enablePrimary(row.counter, status);
    calls.clear();
    windows.clearLog();
    EXPECT_EQ(d.service(row.counter), D::kWantsSecondPass);
    EXPECT_EQ(calls, std::vector<int>{row.tap});
    EXPECT_EQ(windows.log(), (std::vector<tAccess>{boardRead(row.status1, 0x0008),
                                                   boardWrote(row.status1, 0x4000)}));
    d.resolveSecondaryInterrupts();
  }
  EXPECT_EQ(status.code, 0);
}

// Raises all four requests, disables one kind of one counter, and answers the
// receivers the second pass still calls.
template <class tDispatcher>
std::vector<int> receiversAfterDisabling(tDispatcher& d, std::vector<int>& calls,
                                         void (tDispatcher::*disable)(uint32_t,
                                                                      nQoMDBG100::tStatus2&),
                                         uint32_t counter, nQoMDBG100::tStatus2& status) {
  for (uint32_t c = 0; c < 2; ++c) {
    d.service(c);  // the primary (enabled and pending)
  }
  // The secondary taps answer when the primary is switched off for a moment.
  for (uint32_t c = 0; c < 2; ++c) {
    d.disablePrimary(c, status);
    d.service(c);
  }
  for (uint32_t c = 0; c < 2; ++c) d.enablePrimary(c, status);
  for (uint32_t c = 0; c < 2; ++c) d.service(c);
  calls.clear();
  (d.*disable)(counter, status);
  d.resolveSecondaryInterrupts();
  return calls;
}

// Each disable of one kind of one counter drops that request alone.
template <class tDispatcher>
void expectEachDisableDropsItsOwnRequest(tDispatcher& d, std::vector<int>& calls,
                                         nQoMDBG100::tStatus2& status) {
  const struct {
    const char* what;
    void (tDispatcher::*disable)(uint32_t, nQoMDBG100::tStatus2&);
    uint32_t counter;
    std::vector<int> receivers;
  } rows[] = {
      {"primary 0", &tDispatcher::disablePrimary, 0, {12, 13, 14}},
      {"primary 1", &tDispatcher::disablePrimary, 1, {11, 13, 14}},
      {"secondary 0", &tDispatcher::disableSecondary, 0, {11, 12, 14}},
      {"secondary 1", &tDispatcher::disableSecondary, 1, {11, 12, 13}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    d.enablePrimary(0, status);
    d.enablePrimary(1, status);
    EXPECT_EQ(receiversAfterDisabling(d, calls, row.disable, row.counter, status), row.receivers);
  }
}

TEST_F(tPairEdgesTest, ADisableDropsItsOwnSecondPassRequestAndNoOther) {
  D& d = pairDispatcher();
  tFourTaps taps(&calls);
  taps.install(d);
  windows.setRead(boardWindow, 0x104, 16, 0x0008);
  windows.setRead(boardWindow, 0x106, 16, 0x0008);
  expectEachDisableDropsItsOwnRequest(d, calls, status);
  EXPECT_EQ(status.code, 0);
}

class tTavikEdgesTest : public tContainerTest {
 protected:
  void SetUp() override {
    tContainerTest::SetUp();
    build();
  }
  // The board's enable registers and both counters' DMA registers := value,
  // clean (the DMA registers drop their strobe bit 3 on the write).
  void preset(uint16_t value) {
    board().Interrupt_A_Enable.setRegister(value, &status);
    board().Interrupt_A_Enable.flush(&status, 1);
    board().Interrupt_B_Enable.setRegister(value, &status);
    board().Interrupt_B_Enable.flush(&status, 1);
    board().Write_01B8.setRegister(value, &status);
    board().Write_01B8.flush(&status, 1);
    board().Write_01BA.setRegister(value, &status);
    board().Write_01BA.flush(&status, 1);
    windows.clearLog();
  }
};

TEST_F(tTavikEdgesTest, TavikEnablesWriteEachCountersOwnBitsForBothKindsAtomically) {
  using T = nQoUdR100::tTavikCtrInterruptDispatcher;
  const tEnableRow<T> rows[] = {
      {"enable primary 0",
       &T::enablePrimary,
       0,
       0x0000,
       {boardWrote(0x192, 0x0040)},
       D::kPrimary0,
       1},
      {"enable primary 1",
       &T::enablePrimary,
       1,
       0x0000,
       {boardWrote(0x196, 0x0200)},
       D::kPrimary1,
       1},
      {"enable secondary 0",
       &T::enableSecondary,
       0,
       0xFFFF,
       {boardWrote(0x192, 0xFEFF)},
       D::kSecondary0,
       1},
      {"enable secondary 1",
       &T::enableSecondary,
       1,
       0x0000,
       {boardWrote(0x1BA, 0x0001), boardWrote(0x1BA, 0x0005)},
       D::kSecondary1,
       1},
      {"enable secondary 1, from ones",
       &T::enableSecondary,
       1,
       0xFFFF,
       {boardWrote(0x196, 0xFBFF)},
       D::kSecondary1,
       1},
      {"disable primary 0",
       &T::disablePrimary,
       0,
       0xFFFF,
       {boardWrote(0x192, 0xFFBF)},
       D::kPrimary0,
       0},
      {"disable primary 1",
       &T::disablePrimary,
       1,
       0xFFFF,
       {boardWrote(0x196, 0xFDFF)},
       D::kPrimary1,
       0},
      {"disable secondary 0",
       &T::disableSecondary,
       0,
       0xFFFF,
       {boardWrote(0x1B8, 0xFFF6), boardWrote(0x1B8, 0xFFF2), boardWrote(0x192, 0xFEFF)},
       D::kSecondary0,
       0},
      {"disable secondary 1",
       &T::disableSecondary,
       1,
       0xFFFF,
       {boardWrote(0x1BA, 0xFFF6), boardWrote(0x1BA, 0xFFF2), boardWrote(0x196, 0xFBFF)},
       D::kSecondary1,
       0},
  };
  T& d = container->dispatcher();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    preset(row.preset);
    (d.*row.operation)(row.counter, status);
    std::vector<tAccess> bracketed{kBegin};
    bracketed.insert(bracketed.end(), row.writes.begin(), row.writes.end());
    bracketed.push_back(kEnd);
    EXPECT_EQ(windows.log(), bracketed);
    EXPECT_EQ(d.enabled(row.kind), row.enabled);
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(tTavikEdgesTest, TavikDisablesDropTheirOwnSecondPassRequestAndNoOther) {
  using T = nQoUdR100::tTavikCtrInterruptDispatcher;
  T& d = container->dispatcher();
  tFourTaps taps(&calls);
  taps.install(d);
  windows.setRead(boardWindow, 0x104, 16, 0x0008);
  windows.setRead(boardWindow, 0x106, 16, 0x0008);
  expectEachDisableDropsItsOwnRequest(d, calls, status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikEdgesTest, ConnectTakesChannelsUpToFifteenAndCountersUpToOne) {
  auto& dma = container->dma();
  const struct {
    uint32_t channel, counter;
    std::vector<tAccess> writes;
  } rows[] = {
      {0, 0, {boardWrote(0x00B, 0x01, 8), boardWrote(0x1B8, 0x0001)}},
      {14, 1, {boardWrote(0x00B, 0xF1, 8), boardWrote(0x1BA, 0x0001)}},
      // Channel 15's select code is 0: only the counter's nibble is cleared.
      {15, 0, {boardWrote(0x00B, 0xF0, 8)}},
      {15, 1, {boardWrote(0x00B, 0x00, 8)}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("channel " + std::to_string(row.channel) + " counter " +
                 std::to_string(row.counter));
    windows.clearLog();
    nQoSim::clearSyncLog();
    dma.connect(row.channel, row.counter, status);
    EXPECT_EQ(windows.writes(), row.writes);
    EXPECT_EQ(lockOrder(22, [&](uint32_t id) { return board().lockGroup(id)->lock(); }),
              (std::vector<int>{20, -20}));
    EXPECT_EQ(status.code, 0);
  }
  // One beyond each bound: refused or passed over, nothing locked or written.
  for (uint32_t counter : {0u, 1u}) {
    SCOPED_TRACE(counter);
    windows.clearLog();
    nQoSim::clearSyncLog();
    EXPECT_EQ(reportOf([&](auto* s) { dma.connect(16, counter, *s); }),
              "-50150 qotiok tCtrPair 460");
    EXPECT_TRUE(windows.log().empty());
    EXPECT_TRUE(nQoSim::syncLog().empty());
  }
  nQoSim::clearStatusLog();
  for (auto operation : {+[](nQoUdR100::tTavikTIO_DMATransferPrimitive& p,
                             nQoMDBG100::tStatus2& s) { p.connect(3, 2, s); },
                         +[](nQoUdR100::tTavikTIO_DMATransferPrimitive& p,
                             nQoMDBG100::tStatus2& s) { p.disconnect(3, 2, s); },
                         +[](nQoUdR100::tTavikTIO_DMATransferPrimitive& p,
                             nQoMDBG100::tStatus2& s) { p.enableDMA(2, s); },
                         +[](nQoUdR100::tTavikTIO_DMATransferPrimitive& p,
                             nQoMDBG100::tStatus2& s) { p.disableDMA(2, s); }}) {
    windows.clearLog();
    nQoSim::clearSyncLog();
    operation(dma, status);
    EXPECT_TRUE(windows.log().empty());
    EXPECT_TRUE(nQoSim::syncLog().empty());
  }
  EXPECT_EQ(lastReport(), "none");
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCounterTest, TheSelectLockIsGivenBackWhenTheWriteUnderItFails) {
  using tOperation = void (*)(nQoUdR100::tTavikTIO_DMATransferPrimitive&, nQoMDBG100::tStatus2&);
  const tOperation operations[] = {
      [](auto& p, auto& s) { p.connect(4, 1, s); },
      [](auto& p, auto& s) { p.disconnect(4, 0, s); },
  };
  for (tOperation operation : operations) {
    // A board map whose window could not be opened: its locks open, its
    // registers refuse every write.
    bus.failWindowAddress(-9);
    nQoMDBG100::tStatus2 opening;
    nQoUdRLP100::nTavik::tTavik unmapped(&bus, boardWindow, &opening);
    ASSERT_NE(opening.code, 0);
    ASSERT_NE(unmapped.lockGroup(20)->lock(), nullptr);
    nQoUdR100::tTavikTIO_DMATransferPrimitive dma(&unmapped);
    windows.clearLog();
    nQoSim::clearSyncLog();
    nQoMDBG100::tStatus2 local;
    operation(dma, local);
    EXPECT_EQ(local.code, -50002);
    EXPECT_EQ(lockOrder(22, [&](uint32_t id) { return unmapped.lockGroup(id)->lock(); }),
              (std::vector<int>{20, -20}));
    EXPECT_TRUE(windows.log().empty());
  }
}

}  // namespace
}  // namespace nQoTest
