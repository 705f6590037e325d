// DAC and PWM DAC channels, the ground reference and the AO subsystem on the
// real map: select codes by channel, the start values, the serial update
// wait, and what the subsystem builds and destroys, also while a second pass
// runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "primitives/ao/tTavikAOGroundRefPrimitive.h"
#include "primitives/ao/tTavikAOSubsystem.h"
#include "primitives/ao/tTavikAO_DACPrimitive.h"
#include "primitives/aoFixture.h"
#include "sim/simAllocator.h"
#include "support/heldPass.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tTavikAO_DACPrimitive;
using nQoUdP100::tTavikAO_FIFOPrimitive;
using nQoUdP100::tTavikAO_PWM_DACPrimitive;
using nQoUdP100::tTavikAOGroundRefPrimitive;
using nQoUdP100::tTavikAOSubsystem;
using nQoUdP100::tTavikAOTimingControllerPrimitive;

using tAOChannelTest = tAOTest;

// The code a commit leaves for select A (B 7) or select B (A 0), or the error.
int commitWith(tTavikAO_DACPrimitive& dac, uint32_t selectA, uint32_t selectB) {
  dac.deploy({.configBit7 = 1, .configSelectA = selectA, .configSelectB = selectB});
  tStatus2 commit;
  dac.commit(commit);
  return commit.code;
}

TEST_F(tAOChannelTest, SelectCodesDependOnTheChannel) {
  tTavikAO_DACPrimitive dac0(resources, 0, 1, true, status);
  tTavikAO_DACPrimitive dac1(resources, 1, 1, true, status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(commitWith(dac0, 8, 7), -200153);
  EXPECT_EQ(commitWith(dac1, 8, 7), 0);
  EXPECT_EQ(windows.written(window, 0xC7, 8) & 0x38, 4u << 3);
  EXPECT_EQ(commitWith(dac1, 9, 7), -200153);
  EXPECT_EQ(commitWith(dac0, 0, 0), -200269);
  EXPECT_EQ(commitWith(dac0, 0, 5), -200268);
  EXPECT_EQ(commitWith(dac0, 0, 2), -1);
  EXPECT_EQ(commitWith(dac1, 0, 9), -1);
  EXPECT_EQ(commitWith(dac0, 12, 7), -200153);
  // Select A 5 sets bit 0 of the channel's second register, and only bit 0.
  map->Static_AI_Control[5].setBits(0xFE, 0, 0xFE, &status);
  EXPECT_EQ(commitWith(dac1, 5, 1), 0);
  EXPECT_EQ(windows.written(window, 0x265, 8), 0xFFu);
  EXPECT_EQ(windows.written(window, 0xC7, 8), 0x81u);
  clearLogs();
  dac1.uncommit(status);
  EXPECT_EQ(dac1.state().getState(), 1u);
  tStatus2 refused;
  tTavikAO_DACPrimitive dac4(resources, 4, 0, false, refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_TRUE(windows.writes().empty());
}

// Every select value on every channel: the code in bits 5:3 (A, with B 7)
// and 2:0 (B, with A 0), or the select's own error.
TEST_F(tAOChannelTest, EverySelectCodesOrRefusesAsItsChannelCallsFor) {
  constexpr int E = -200153, Z = -200269, H = -200268, F = -1;
  const int a[13][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {E, E, E, E}, {2, 2, 2, 2}, {3, 3, 3, 3},
                        {0, 0, 0, 0}, {1, 1, 1, 1}, {E, E, E, E}, {E, 4, 4, 4}, {4, E, 5, 5},
                        {5, 5, E, 6}, {6, 6, 6, E}, {E, E, E, E}};
  const int b[13][4] = {{Z, Z, Z, Z}, {1, 1, 1, 1}, {F, F, F, F}, {2, 2, 2, 2}, {3, 3, 3, 3},
                        {H, H, H, H}, {H, H, H, H}, {0, 0, 0, 0}, {F, 4, 4, 4}, {4, F, 5, 5},
                        {5, 5, F, 6}, {6, 6, 6, F}, {F, F, F, F}};
  for (uint32_t channel = 0; channel < 4; ++channel) {
    tTavikAO_DACPrimitive dac(resources, channel, 1, true, status);
    ASSERT_EQ(status.code, 0);
    for (uint32_t select = 0; select < 13; ++select) {
      SCOPED_TRACE(testing::Message() << "channel " << channel << " select " << select);
      const int codeA = commitWith(dac, select, 7);
      const uint32_t bitsA = (map->Array_00C3[channel].getRegister() >> 3) & 7;
      if (a[select][channel] < 0)
        EXPECT_EQ(codeA, a[select][channel]);
      else
        EXPECT_EQ(codeA == 0 ? static_cast<int>(bitsA) : codeA, a[select][channel]);
      const int codeB = commitWith(dac, 0, select);
      const uint32_t bitsB = map->Array_00C3[channel].getRegister() & 7;
      if (b[select][channel] < 0)
        EXPECT_EQ(codeB, b[select][channel]);
      else
        EXPECT_EQ(codeB == 0 ? static_cast<int>(bitsB) : codeB, b[select][channel]);
    }
    dac.uncommit(status);
  }
}

TEST_F(tAOChannelTest, ADACStartsAtZeroAndWaitsForTheSerialUpdateOnlyWhenAsked) {
  tTavikAO_DACPrimitive dac(resources, 0, 0, true, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0xC3, 0x80, 8), wrote(0xC0, 0, 32)}));
  EXPECT_EQ(dac.state().getState(), 1u);
  const int16_t value = -3;
  // Uncommitted, the writes go by the channel as it was built, whatever a
  // deploy set since: without the serial update.
  dac.deploy({.updateMode = 2, .configBit7 = 1, .waitForSerialUpdate = 1});
  windows.setRead(window, 0xA0, 8, 0x01);
  clearLogs();
  EXPECT_EQ(dac.writeValue(&value, status), 1u);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0xC0, 0xFFFFFFFD, 32)}));
  EXPECT_TRUE(windows.reads().empty()) << "built without the serial update";

  tStatus2 modeOnly;
  dac.deploy({.updateMode = 2, .configBit7 = 1});
  dac.commit(modeOnly);
  clearLogs();
  EXPECT_EQ(dac.writeValue(&value, modeOnly), 1u);
  EXPECT_TRUE(windows.reads().empty()) << "waitForSerialUpdate 0 never reads 0xA0";
  EXPECT_EQ(modeOnly.code, 0);

  dac.deploy({.updateMode = 2, .configBit7 = 1, .waitForSerialUpdate = 1});
  dac.commit(status);
  const uint64_t before = nQoSim::clockNanoseconds();
  EXPECT_EQ(dac.writeValue(&value, status), 0u);
  EXPECT_EQ(status.code, -200474);
  EXPECT_GE(nQoSim::clockNanoseconds() - before, 1'000'000'000u);
  tStatus2 other;
  windows.setRead(window, 0xA0, 8, 0x02);  // another channel's busy bit
  EXPECT_EQ(dac.writeValue(&value, other), 1u);
  EXPECT_EQ(other.code, 0);

  // Committed, the writes wait as the commit programmed the update mode,
  // whatever a deploy set since; after the uncommit, which clears the mode,
  // they wait no more.
  tStatus2 committed;
  dac.commit(committed);
  ASSERT_EQ(committed.code, 0);
  dac.deploy({.updateMode = 2, .configBit7 = 1});
  windows.setRead(window, 0xA0, 8, 0x01);
  EXPECT_EQ(dac.writeValue(&value, committed), 0u);
  EXPECT_EQ(committed.code, -200474) << "waited for the serial update";
  tStatus2 unwaited;
  dac.deploy({.updateMode = 0, .configBit7 = 1, .waitForSerialUpdate = 1});
  dac.commit(unwaited);
  dac.deploy({.updateMode = 2, .configBit7 = 1, .waitForSerialUpdate = 1});
  clearLogs();
  EXPECT_EQ(dac.writeValue(&value, unwaited), 1u);
  EXPECT_TRUE(windows.reads().empty()) << "committed without the serial update";
  dac.commit(unwaited);
  dac.uncommit(unwaited);
  clearLogs();
  EXPECT_EQ(dac.writeValue(&value, unwaited), 1u);
  EXPECT_TRUE(windows.reads().empty()) << "uncommitted";
  EXPECT_EQ(unwaited.code, 0);
}

TEST_F(tAOChannelTest, APWMDACSplitsTheSampleIntoCoarseAndFineRegisters) {
  map->Array_0044[2].setRegister(0xFC00, &status);
  map->Array_0044[4].setRegister(0x8400, &status);
  tTavikAO_PWM_DACPrimitive pwm(resources, 0, status);
  EXPECT_EQ(windows.written(window, 0x48, 16), 0xFC00u | 511);
  EXPECT_EQ(windows.written(window, 0x4C, 16), 0x8400u | 861);
  const int16_t minusOne = -1;
  pwm.writeValues(&minusOne, 1, status);
  EXPECT_EQ(windows.written(window, 0x48, 16), 0xFC00u | 767);
  EXPECT_EQ(windows.written(window, 0x4C, 16), 0x8400u | 966);
  tTavikAO_PWM_DACPrimitive pwm1(resources, 1, status);
  EXPECT_EQ(windows.written(window, 0x4A, 16), 511u);
  EXPECT_EQ(windows.written(window, 0x4E, 16), 861u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAOChannelTest, TheGroundReferenceWritesOnlyAChangeButFlushesEveryTime) {
  tTavikAOGroundRefPrimitive ground(resources, status);
  EXPECT_EQ(ground.state().getState(), 1u);
  clearLogs();
  ground.enable(status);
  ground.enable(status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0xA3, 0x01, 8), kBusFlush, kBusFlush}));
  EXPECT_EQ(ground.isEnabled(), 1u);
  ground.disable(status);
  EXPECT_EQ(windows.written(window, 0xA3, 8), 0u);
  EXPECT_EQ(ground.isEnabled(), 0u);
}

TEST_F(tAOChannelTest, TheSubsystemBuildsWhatTheDescriptionCallsFor) {
  description.channelCount = 0;
  {
    tTavikAOSubsystem ao(&description, resources, status);
    EXPECT_NE(ao.fifo(), nullptr);
    EXPECT_NE(ao.timingController(), nullptr);
    EXPECT_NE(ao.groundReference(), nullptr);
    EXPECT_EQ(ao.dacCount(), 0u);
  }
  description.channelCount = 2;
  description.pwmDACs = 1;
  {
    tTavikAOSubsystem ao(&description, resources, status);
    ASSERT_EQ(ao.dacCount(), 2u);
    for (uint32_t k = 0; k < 2; ++k)
      EXPECT_NE(ao.dac(k)->___CPPKRLDynamicCast(&tTavikAO_PWM_DACPrimitive::___classID), nullptr);
  }
  EXPECT_EQ(status.code, 0);

  tStatus2 none;
  clearLogs();
  tTavikAOSubsystem empty(nullptr, resources, none);
  EXPECT_EQ(none.code, -50150);
  EXPECT_EQ(empty.fifo(), nullptr);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tAOChannelTest, AFailedDACVectorIsReportedAndTheSubsystemStillTearsDown) {
  // Allocations: the FIFO, its channel order, the timing controller, then the
  // DAC vector.
  nQoSim::failAllocation(4);
  tStatus2 failed;
  {
    tTavikAOSubsystem ao(&description, resources, failed);
    EXPECT_EQ(failed.code, -50352);
    EXPECT_NE(ao.timingController(), nullptr);
    EXPECT_EQ(ao.dacCount(), 0u);
  }
  nQoSim::failAllocation(0);
}

// The subsystem of one test, its FIFO fed by the fixture's data source and
// its timing controller reporting to the fixture's notifier.
class tAOSubsystemTest : public tAOTest {
 protected:
  void SetUp() override {
    tAOTest::SetUp();
    ao = new tTavikAOSubsystem(&description, resources, status);
    fifo = ao->fifo();
    timing = ao->timingController();
    fifo->setDataSource(&source);
    fifo->deploy({.channelCount = 2});
    timing->setCompletionNotifier(&notifier);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    windows.setRead(window, 0x106, 16, 0);
    delete ao;
    EXPECT_EQ(bus.registrations(), 0);
    tAOTest::TearDown();
  }
  // The second pass that the group-B status asks for runs on a thread of its
  // own while the subsystem is destroyed.
  void destroyDuringTheSecondPass(uint16_t groupStatus, tHeldPass& held) {
    windows.setRead(window, 0x106, 16, groupStatus);
    ASSERT_EQ(bus.raise(1), 1u);
    windows.setRead(window, 0x106, 16, 0);
    held.run([&] { bus.pumpSecondary(); });
    held.tearDown([&] { delete ao; });
    ao = nullptr;
  }

  tTavikAOSubsystem* ao = nullptr;
  tTavikAO_FIFOPrimitive* fifo = nullptr;
  tTavikAOTimingControllerPrimitive* timing = nullptr;
};

// The completion's second pass, inside the timing controller's disarm, holds
// the controller: the FIFO's handlers still keep the bus registration, yet the
// controller goes only once the pass has left.
TEST_F(tAOSubsystemTest, TheTimingControllerGoesOnlyOnceItsCompletionPassHasLeft) {
  fifo->commit(status);
  fifo->arm(status);
  timing->commit(status);
  timing->arm(status);
  timing->start(status);
  ASSERT_EQ(status.code, 0);
  tHeldPass held;
  notifier.onDone = [&held] { held.hold(); };
  destroyDuringTheSecondPass(0x8080, held);
  EXPECT_TRUE(held.teardownWaited());
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
}

// The FIFO's error pass disarms the timing controller after it completed the
// FIFO. With the controller not committed (no handler of its own to wait for)
// the subsystem takes the FIFO's hold on the controller back and waits for
// the pass first: the held pass no longer reaches the controller.
TEST_F(tAOSubsystemTest, TheFIFOsErrorPassNeverReachesAGoneTimingController) {
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(status.code, 0);
  tHeldPass held;
  source.onFinish = [&held] { held.hold(); };
  destroyDuringTheSecondPass(0x9200, held);
  EXPECT_TRUE(held.teardownWaited());
  EXPECT_EQ(source.finished, (std::vector<int>{-200016}));
}

}  // namespace
}  // namespace nQoTest
