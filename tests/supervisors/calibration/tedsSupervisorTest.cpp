// The TEDS supervisor over a logging communicator in its pool: the six TEDS
// codes with their arguments, size checks and sites, the common codes with
// their undo, commit-cancel and the codes it does not offer.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/simResourceBroker.h"
#include "supervisors/calibration/tTEDSSupervisor.h"
#include "supervisors/controlRequests.h"
#include "support/brokerPools.h"
#include "support/heldCancel.h"
#include "support/heldPass.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tTEDSSupervisor;

// Logs every call with its arguments; the named operation fails with -7.
class tLoggingCommunicator : public nQoUdP100::iTEDSCommunicator {
 public:
  void commit(tStatus2& s) override { call("commit", s); }
  void arm(tStatus2& s) override { call("arm", s); }
  void start(tStatus2& s) override { call("start", s); }
  void stop(tStatus2& s) override { call("stop", s); }
  void disarm(tStatus2& s) override { call("disarm", s); }
  void uncommit(tStatus2& s) override { call("uncommit", s); }
  void cancel(tStatus2& s) override {
    if (onCancel) onCancel();
    call("cancel", s);
  }
  void readEEPROM(uint32_t a, uint32_t n, uint32_t c, uint8_t* out, tStatus2& s) override {
    call("readEEPROM " + std::to_string(a) + " " + std::to_string(n) + " " + std::to_string(c), s);
    for (uint32_t i = 0; i < n; ++i) out[i] = uint8_t(0xA0 + i);
  }
  void writeEEPROM(uint32_t a, uint32_t n, uint32_t c, const uint8_t* in, tStatus2& s) override {
    call("writeEEPROM " + std::to_string(a) + " " + std::to_string(n) + " " + std::to_string(c), s);
    written.assign(in, in + n);
  }
  void get8ByteIDBlock(uint32_t a, uint8_t* out, tStatus2& s) override {
    call("get8ByteIDBlock " + std::to_string(a), s);
    for (int i = 0; i < 8; ++i) out[i] = uint8_t(i + 1);
  }
  void read8BytePROM(uint32_t a, uint8_t*, tStatus2& s) override {
    call("read8BytePROM " + std::to_string(a), s);
  }
  void write8BytePROM(uint32_t a, const uint8_t* in, tStatus2& s) override {
    call("write8BytePROM " + std::to_string(a), s);
    written.assign(in, in + 8);
  }
  uint32_t isPROMWritten(uint32_t a, tStatus2& s) override {
    call("isPROMWritten " + std::to_string(a), s);
    return 0xC0FFEE;
  }

  std::vector<std::string> calls;
  std::string failing;
  std::function<void()> onCancel;
  tBytes written;

 private:
  void call(const std::string& what, tStatus2& s) {
    calls.push_back(what);
    if (what == failing) s.setCode(-7, "test", "tLoggingCommunicator", 1);
  }
};

class TEDSSupervisorTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    pool.emplace(&teds);
    settings.emplace();
    offerPool(settings->record<1>().identifier, {1, 2}, "TEDS", &*pool, setup);
    ASSERT_EQ(setup.code, 0);
  }
  void TearDown() override {
    tStatus2 down;
    supervisor.releaseResource(down);
    holder.reset();
    nQoSim::resetResourceBroker();
    settings.reset();
    pool.reset();
    tLeakCheckedTest::TearDown();
  }
  void bringUp() {
    tStatus2 up;
    supervisor.initialize(*settings, nullptr, up);
    supervisor.link(map, up);
    supervisor.reserveResource(up);
    supervisor.linkResource(up);
    ASSERT_EQ(up.code, 0);
    ASSERT_EQ(state(), 40);
    nQoSim::clearStatusLog();
  }
  int32_t state() { return supervisor.getTracker().getState(setup); }
  template <class... tArgs>
  int run(uint32_t code, tArgs... args) {
    return request(supervisor, code, args...);
  }

  tStatus2 setup;
  tLoggingCommunicator teds;
  std::optional<nQoUdR100::tSingularResourcePool<nQoUdP100::iTEDSCommunicator*>> pool;
  std::optional<nQoUdR100::tTEDSSettings> settings;
  tEmptyMap map;
  std::optional<tTEDSSupervisor> holder;
  tTEDSSupervisor& supervisor = holder.emplace();
};

TEST_F(TEDSSupervisorTest, SensorMemoryRequests) {
  bringUp();
  tBytes out;
  EXPECT_EQ(run(410, words({3, 6, 9}), 6, &out), 0);
  EXPECT_EQ(out, (tBytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
  EXPECT_EQ(run(410, words({3, 7, 9}), 6), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tTEDSSupervisor", 202));

  EXPECT_EQ(run(411, words({4, 3, 5}, {7, 8, 9})), 0);
  EXPECT_EQ(teds.written, (tBytes{7, 8, 9}));
  EXPECT_EQ(run(411, words({4, 0xFFFFFFF8, 5})), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tTEDSSupervisor", 223));
  EXPECT_EQ(run(411, words({4, 4, 5}, {7, 8, 9})), -50150);

  EXPECT_EQ(run(412, words({2}), 7), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tTEDSSupervisor", 248));
  EXPECT_EQ(run(412, words({2}), 8, &out), 0);
  EXPECT_EQ(out, (tBytes{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(run(413, words({2}), 7), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tTEDSSupervisor", 269));
  EXPECT_EQ(run(414, words({2}, tBytes(7, 1))), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tTEDSSupervisor", 289));
  EXPECT_EQ(run(414, words({2}, {1, 2, 3, 4, 5, 6, 7, 8})), 0);
  EXPECT_EQ(teds.written, (tBytes{1, 2, 3, 4, 5, 6, 7, 8}));
  std::vector<uint32_t> answer;
  EXPECT_EQ(run(415, words({6}), 4, nullptr, &answer), 0);
  EXPECT_EQ(answer, (std::vector<uint32_t>{0xC0FFEE}));
  EXPECT_EQ(run(415, std::nullopt, 4), -50004);

  EXPECT_EQ(teds.calls,
            (std::vector<std::string>{"readEEPROM 3 6 9", "writeEEPROM 4 3 5", "get8ByteIDBlock 2",
                                      "write8BytePROM 2", "isPROMWritten 6"}));
  EXPECT_EQ(run(7, std::nullopt), -50256);
  EXPECT_TRUE(loggedAt(-50256, "tTEDSSupervisor", 315));
}

// Commit and uncommit are the only codes it declares: flags 0 and 5.
TEST_F(TEDSSupervisorTest, InitializeDeclaresCommitAndUncommitOnly) {
  tStatus2 s;
  supervisor.initialize(*settings, nullptr, s);
  ASSERT_EQ(s.code, 0);
  nQoMRTB100::tSupStateTracker& tracker = supervisor.getTracker();
  const uint32_t word = tracker.getFlag0(s) | tracker.getFlag1(s) << 1 | tracker.getFlag2(s) << 2 |
                        tracker.getFlag3(s) << 3 | tracker.getFlag4(s) << 4 |
                        tracker.getFlag5(s) << 5;
  EXPECT_EQ(word, 0x21u);
}

TEST_F(TEDSSupervisorTest, ControlBeforeReserveChangesNoState) {
  tStatus2 s;
  supervisor.initialize(*settings, nullptr, s);
  supervisor.link(map, s);
  EXPECT_EQ(run(1, std::nullopt), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tTEDSSupervisor", 166));
  EXPECT_EQ(state(), 20);
}

TEST_F(TEDSSupervisorTest, CommonCodesAndTheirUndo) {
  bringUp();
  teds.failing = "commit";
  EXPECT_EQ(run(1, std::nullopt), -7);
  EXPECT_EQ(teds.calls, (std::vector<std::string>{"commit", "uncommit"}));
  teds.calls.clear();
  teds.failing = "start";
  EXPECT_EQ(run(2, std::nullopt), -7);
  EXPECT_EQ(teds.calls, (std::vector<std::string>{"start", "stop"}));
}

// The commit-cancel runs only the uncommit that the tracker declares; under
// a run it stops and disarms first, by the record. A reverse code whose
// forward step is not in the record answers 0 and reaches nothing.
TEST_F(TEDSSupervisorTest, CommitCancelFromRunningStopsAndDisarmsBeforeTheUncommit) {
  bringUp();
  for (uint32_t code : {3u, 4101u, 4u}) EXPECT_EQ(run(code, std::nullopt), 0);
  EXPECT_TRUE(teds.calls.empty());
  for (uint32_t code : {1u, 4100u, 2u}) EXPECT_EQ(run(code, std::nullopt), 0);
  ASSERT_EQ(state(), 70);
  teds.calls.clear();
  tStatus2 s;
  supervisor.commitCancel(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(teds.calls, (std::vector<std::string>{"stop", "disarm", "uncommit"}));
  EXPECT_EQ(state(), 40);
  teds.calls.clear();
  EXPECT_EQ(run(4, std::nullopt), 0);
  EXPECT_TRUE(teds.calls.empty()) << "an uncommit ran twice";
}

// A task released running, without a commit-cancel: the communicator goes
// back stopped, disarmed and uncommitted, latest first, as a fresh
// reservation finds it.
TEST_F(TEDSSupervisorTest, TheReleaseOfARunningTaskStopsDisarmsAndUncommits) {
  bringUp();
  for (uint32_t code : {1u, 4100u, 2u}) EXPECT_EQ(run(code, std::nullopt), 0);
  teds.calls.clear();
  tStatus2 s;
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(teds.calls, (std::vector<std::string>{"stop", "disarm", "uncommit"}));
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
}

// Deploys while the communicator is held name other pools for the next
// reservation only; the release hands back the one held.
TEST_F(TEDSSupervisorTest, TheReleaseHandsBackThePoolItWasGranted) {
  tLoggingCommunicator second, third;
  nQoUdR100::tSingularResourcePool<nQoUdP100::iTEDSCommunicator*> poolB(&second), poolC(&third);
  nQoUdR100::tTEDSSettings namingB, namingC;
  offerPool(namingB.record<1>().identifier, {1, 2}, "TEDS2", &poolB, setup);
  offerPool(namingC.record<1>().identifier, {1, 2}, "TEDS3", &poolC, setup);
  ASSERT_EQ(setup.code, 0);
  expectOnlyTheGrantHandedBack(supervisor, *settings, namingB, namingC,
                               settings->record<1>().identifier, namingB.record<1>().identifier,
                               namingC.record<1>().identifier, nullptr, map);
}

// A cancel from the user's thread holds the release until it has left the
// communicator; a cancel after the release reaches nothing.
TEST_F(TEDSSupervisorTest, TheReleaseWaitsForACancelUnderWayOnAnotherThread) {
  bringUp();
  tHeldPass held;
  teds.onCancel = [&] { held.hold(); };
  held.run(nQoTest::cancelOf(supervisor));
  held.tearDown(nQoTest::releaseOf(supervisor, true));
  EXPECT_TRUE(held.teardownWaited());
  EXPECT_EQ(teds.calls, std::vector<std::string>{"cancel"});
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);

  teds.calls.clear();
  tStatus2 late;
  supervisor.requestCancel(late);
  EXPECT_EQ(late.code, 0);
  EXPECT_TRUE(teds.calls.empty());
}

}  // namespace
}  // namespace nQoTest
