// The supervisor frame over a logging primitive: the lifecycle and its
// states, control codes and their sites, commit-cancel, reservation through
// the resource broker, the factory, and the DMA and event linkers.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frame/tClassRegistration.h"
#include "settings/tEmptySettings.h"
#include "sim/simAllocator.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "support/heldCancel.h"
#include "support/heldPass.h"
#include "support/moduleFixture.h"
#include "support/probeSupervisor.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tProbeDMASupervisor;
using nQoTest::tProbeSupervisor;

// A supervisor whose control calls are logged before they run.
class tLoggingSupervisor : public tProbeSupervisor<0> {
 public:
  explicit tLoggingSupervisor(nQoTest::tCallLog& log) : _log(log) {}
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, tStatus2& status) override {
    _log.calls.push_back({"control " + std::to_string(code), &status, status.code});
    tProbeSupervisor<0>::control(code, in, out, status);
  }

 private:
  nQoTest::tCallLog& _log;
};

class SupervisorFrameTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    settings.emplace();
    auto& record = settings->supervisorRecord();
    record.identifier.setDeviceGUID({7, 9});
    record.identifier.setString("AI_ADC", setup);
    record.identifier.setIndex(2);
    record.channelKey = 11;
    record.partnerKey = 12;
    settings->record<0>().word = 51;
    identifier.emplace(record.identifier);
    nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
    map.entries[11] = &channel;
    map.entries[12] = &transfer;
    channel.channelNumber = 5;
    facade.eventObject = &event;
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
    identifier.reset();
    nQoTest::tLeakCheckedTest::TearDown();
  }

  template <class tSupervisor>
  int32_t state(tSupervisor& supervisor) {
    return supervisor.getTracker().getState(setup);
  }

  // initialize, link, reserveResource, linkResource on one status.
  template <class tSupervisor>
  void bringUp(tSupervisor& supervisor) {
    tStatus2 status;
    supervisor.initialize(*settings, &facade, status);
    supervisor.link(map, status);
    supervisor.reserveResource(status);
    supervisor.linkResource(status);
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(state(supervisor), 40);
    log.clear();
  }

  // The broker's operations (6 reserve, 7 release); each must name the
  // identifier of the settings the supervisor was given and the facade.
  template <class tSupervisor>
  std::vector<int> brokerCalls(tSupervisor&) {
    std::vector<int> out;
    for (const nQoSim::tBrokerCall& call : nQoSim::brokerLog()) {
      out.push_back(call.operation);
      EXPECT_TRUE(call.identifier->isEqual(settings->supervisorRecord().identifier));
      EXPECT_EQ(call.facade, &facade);
    }
    return out;
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  nQoTest::tScriptedEvent event{log, "event"};
  nQoTest::tScriptedDMAChannel channel{log, "channel"};
  nQoTest::tScriptedDMATransfer transfer{log, "transfer"};
  nQoTest::tProbePrimitive primitive{log, "primitive"};
  nQoTest::tProbePool pool{&primitive};
  std::optional<nQoTest::tProbeRecordSettings> settings;
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
};

TEST_F(SupervisorFrameTest, ControlCodesReachThePrimitiveOrEndAtTheirSites) {
  tProbeSupervisor<0> supervisor;
  tStatus2 status, early;
  supervisor.initialize(*settings, &facade, status);
  supervisor.link(map, status);
  supervisor.control(1, nullptr, nullptr, early);
  EXPECT_EQ(early.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tAutoController.ipp", 30));
  EXPECT_EQ(state(supervisor), 20);
  EXPECT_EQ(log.operations(), "");

  supervisor.reserveResource(status);
  EXPECT_EQ(log.operations(), "primitive.configure 51");
  supervisor.linkResource(status);
  ASSERT_EQ(status.code, 0);
  log.clear();

  tStatus2 unknown, disabled, stopped(5);
  supervisor.control(77, nullptr, nullptr, unknown);
  EXPECT_EQ(unknown.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tProbeSupervisor", 210));
  EXPECT_EQ(log.operations(), "");
  supervisor.control(1, nullptr, nullptr, disabled);
  EXPECT_EQ(disabled.code, -50256);
  EXPECT_EQ(log.operations(), "primitive.commit");
  EXPECT_EQ(state(supervisor), 40);
  primitive.answers["stop"] = -7;
  supervisor.control(3, nullptr, nullptr, stopped);
  EXPECT_EQ(stopped.code, -7);
  EXPECT_EQ(log.operations(), "primitive.commit, primitive.stop");
  EXPECT_NE(log.calls[1].status, &stopped);
  EXPECT_EQ(state(supervisor), 40);

  // A class-specific code that is also a lifecycle event moves no state.
  nQoSim::tByteParameterBlock in({5, 0, 0, 0}), out(std::vector<uint8_t>(4, 0)), shortIn({1});
  tStatus2 own, noBlock, tooShort;
  supervisor.control(4102, &in, &out, own);
  supervisor.control(4102, nullptr, &out, noBlock);
  supervisor.control(4102, &shortIn, &out, tooShort);
  EXPECT_EQ(own.code, 0);
  EXPECT_EQ(out.written(), std::vector<uint32_t>{6});
  EXPECT_EQ(noBlock.code, -50004);
  EXPECT_EQ(tooShort.code, -50150);
  EXPECT_EQ(state(supervisor), 40);
  tStatus2 release;
  supervisor.releaseResource(release);

  // With every flag set the forward codes run on the caller's status and
  // move the state up; the backward codes run on fresh statuses.
  tProbeSupervisor<0x3F> full;
  bringUp(full);
  primitive.answers.clear();
  const int32_t codes[] = {1, 4100, 2, 3, 4101, 4};
  const int32_t states[] = {50, 60, 70, 60, 50, 40};
  tStatus2 cycle;
  for (int i = 0; i < 6; ++i) {
    full.control(codes[i], nullptr, nullptr, cycle);
    EXPECT_EQ(cycle.code, 0) << codes[i];
    EXPECT_EQ(state(full), states[i]) << codes[i];
    EXPECT_EQ(log.calls.back().status == &cycle, i < 3) << codes[i];
  }
  EXPECT_EQ(log.operations(),
            "primitive.commit, primitive.arm, primitive.start, primitive.stop, "
            "primitive.disarm, primitive.uncommit");
}

// A lifecycle code from another thread is inside the primitive when the
// release runs: the release hands the primitive back only once the code has
// left it, and a code after the release reaches nothing.
TEST_F(SupervisorFrameTest, TheReleaseWaitsForACodeUnderWayOnAnotherThread) {
  tProbeSupervisor<0x3F> supervisor;
  bringUp(supervisor);
  nQoTest::tHeldPass held;
  primitive.onCommit = [&] { held.hold(); };
  tStatus2 committing;
  held.run([&] { supervisor.control(1, nullptr, nullptr, committing); });
  held.tearDown(nQoTest::releaseOf(supervisor, true));
  primitive.onCommit = nullptr;
  EXPECT_TRUE(held.teardownWaited()) << "the release returned under the code";
  EXPECT_EQ(committing.code, 0);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);

  tStatus2 late;
  supervisor.control(3, nullptr, nullptr, late);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tAutoController.ipp", 30));
  EXPECT_EQ(log.operations(), "primitive.commit");
}

// Without a primitive a code ends with -50004, and an undo code still moves
// the state down as its flags say; a forward code, which needs a good
// status, does not move it.
TEST_F(SupervisorFrameTest, UndoCodesMoveTheStateAlsoWithoutAPrimitive) {
  tProbeSupervisor<0x3F> supervisor;
  bringUp(supervisor);
  tStatus2 release;
  supervisor.releaseResource(release);
  ASSERT_EQ(state(supervisor), 20);
  const struct {
    uint32_t code;
    int32_t state;
  } steps[] = {{3, 60}, {4101, 50}, {4, 40}, {1, 40}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.code);
    tStatus2 status;
    supervisor.control(step.code, nullptr, nullptr, status);
    EXPECT_EQ(status.code, -50004);
    EXPECT_EQ(state(supervisor), step.state);
  }
  EXPECT_EQ(log.operations(), "");
}

// Links that count their resets.
struct tCountedLinks : nQoUdR100::tNoLinks<nQoTest::tProbePrimitive> {
  void unlinkResource(tStatus2&) { ++resets; }
  static inline int resets = 0;
};
using tCountedSupervisor =
    nQoUdR100::tSupervisor<nQoTest::tProbeSupervisorRow<0x3F, tCountedLinks>>;

// The release and the destruction reset the links once for what the last
// linkResource gave: not again after unlinkResource, also when an undo code
// has moved the state back to resources linked since.
TEST_F(SupervisorFrameTest, TheLinksAreResetOnceForEachLinkResource) {
  for (const bool unlinked : {false, true}) {
    for (const bool destroyed : {false, true}) {
      SCOPED_TRACE(std::string(unlinked ? "unlinked, " : "") +
                   (destroyed ? "destroyed" : "released"));
      tCountedLinks::resets = 0;
      std::optional<tCountedSupervisor> supervisor(std::in_place);
      bringUp(*supervisor);
      tStatus2 status;
      if (unlinked) {
        supervisor->unlinkResource(status);
        supervisor->control(4, nullptr, nullptr, status);
        ASSERT_EQ(state(*supervisor), 40);
      }
      if (destroyed)
        supervisor.reset();
      else
        supervisor->releaseResource(status);
      EXPECT_EQ(tCountedLinks::resets, 1);
    }
  }
}

TEST_F(SupervisorFrameTest, CommitCancelUndoesByTheStateAtEntryAndTheFlags) {
  // The state is reached by applying its forward event to a supervisor in
  // state 40; stop fails with -7 on its fresh status.
  struct tCase {
    int32_t state;
    int32_t event;
    uint32_t flags;
    const char* calls;
    int expected;
  };
  const tCase cases[] = {
      {70, 2, 0x38,
       "control 3, primitive.stop, control 4101, primitive.disarm, control 4, primitive.uncommit",
       -7},
      {60, 4100, 0x38, "control 4101, primitive.disarm, control 4, primitive.uncommit", 0},
      {50, 1, 0x3F, "control 4, primitive.uncommit", 0},
      {70, 2, 0x08, "control 3, primitive.stop", -7},
      {40, 0, 0x3F, "", 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.state);
    tLoggingSupervisor supervisor(log);
    bringUp(supervisor);
    tStatus2 move, status;
    supervisor.getTracker().setFlags(1, c.flags, move);
    supervisor.getTracker().applyEvent(c.event, move);
    ASSERT_EQ(state(supervisor), c.state);
    primitive.answers["stop"] = -7;
    supervisor.commitCancel(status);
    EXPECT_EQ(log.operations(), c.calls);
    for (const nQoTest::tCall& call : log.calls) {
      EXPECT_NE(call.status, &status);
      if (call.operation.rfind("control", 0) == 0) {
        EXPECT_EQ(call.incoming, 0);
      }
    }
    EXPECT_EQ(status.code, c.expected);
    EXPECT_EQ(state(supervisor), 40);
    tStatus2 release;
    supervisor.releaseResource(release);
  }
}

TEST_F(SupervisorFrameTest, ReservationHandsBackWhatItCannotUse) {
  nQoUdR100::tSingularResourcePool<int*> otherClass(nullptr);
  nQoTest::tProbePool empty(nullptr);
  struct tCase {
    nQoMRL100::iLeafResourcePool* answer;
    int code;
    unsigned line;
  };
  for (const tCase& c : {tCase{&otherClass, -89000, 107}, tCase{&empty, -1, 94}}) {
    SCOPED_TRACE(c.code);
    nQoSim::resetResourceBroker();
    tProbeSupervisor<0x3F> supervisor;
    tStatus2 status;
    supervisor.initialize(*settings, &facade, status);
    supervisor.link(map, status);
    nQoSim::scriptBrokerReserve(c.answer);
    supervisor.reserveResource(status);
    EXPECT_EQ(status.code, c.code);
    EXPECT_TRUE(nQoTest::loggedAt(c.code, "tSingularReserver", c.line));
    EXPECT_EQ(brokerCalls(supervisor), (std::vector<int>{6, 7}));
    EXPECT_EQ(state(supervisor), 20);
    EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  }

  // The record that the primitive refuses: released again, the first error kept.
  nQoSim::resetResourceBroker();
  nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  tProbeSupervisor<0x3F> refused;
  tStatus2 status;
  refused.initialize(*settings, &facade, status);
  refused.link(map, status);
  primitive.answers["configure 51"] = -9;
  refused.reserveResource(status);
  EXPECT_EQ(status.code, -9);
  EXPECT_EQ(brokerCalls(refused), (std::vector<int>{6, 7}));
  EXPECT_EQ(pool.isPartiallyReserved(setup), false);
  EXPECT_EQ(state(refused), 20);
  tStatus2 nothingHeld;
  refused.releaseResource(nothingHeld);
  EXPECT_EQ(nothingHeld.code, 0);
  EXPECT_EQ(nQoSim::brokerLog().size(), 2u);
  EXPECT_EQ(state(refused), 20);

  // Without a broker nothing is reserved, and control has no primitive.
  nQoSim::setResourceBrokerPresent(false);
  tProbeSupervisor<0x3F> alone;
  tStatus2 quiet, control;
  alone.initialize(*settings, &facade, quiet);
  alone.reserveResource(quiet);
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(state(alone), 30);
  alone.control(1, nullptr, nullptr, control);
  EXPECT_EQ(control.code, -50004);
}

TEST_F(SupervisorFrameTest, InitializeDeployAndTheFactory) {
  nQoTest::tLoadedModule module;
  tProbeSupervisor<0> supervisor;
  nQoUdR100::tEmptySettings other;
  tStatus2 status;
  supervisor.initialize(other, &facade, status);
  EXPECT_EQ(status.code, -89000);
  EXPECT_EQ(state(supervisor), 0);
  EXPECT_EQ(supervisor.getRuntimeFacade(), &facade);

  // deploy copies before reservation and applies at once while holding.
  tStatus2 good;
  supervisor.deploy(*settings, good);
  EXPECT_EQ(log.operations(), "");
  supervisor.reserveResource(good);
  settings->record<0>().word = 68;
  supervisor.deploy(*settings, good);
  EXPECT_EQ(log.operations(), "primitive.configure 51, primitive.configure 68");
  // The next reservation finds the settings as deployed.
  supervisor.releaseResource(good);
  supervisor.reserveResource(good);
  EXPECT_EQ(log.operations(),
            "primitive.configure 51, primitive.configure 68, primitive.configure 68");
  supervisor.releaseResource(good);

  using tRegistration = nQoUdR100::tClassRegistration<tProbeSupervisor<0>>;
  ASSERT_EQ(tRegistration::construct(), 0);
  const nQoORB100::tClass supervisorClass(tRegistration::implementation());
  int code = 0;
  nQoSim::failAllocation(1);
  EXPECT_EQ(supervisorClass.newInstance(code), nullptr);
  EXPECT_EQ(code, -50352);

  code = 0;
  nQoORB100::tObject* object = supervisorClass.newInstance(code);
  ASSERT_NE(object, nullptr);
  const int64_t live = nQoSim::liveAllocations();
  int failed = -7;
  EXPECT_EQ(tRegistration::destroy(object, failed), -7);
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  supervisorClass.deleteInstance(object, code);
  EXPECT_LT(nQoSim::liveAllocations(), live);
}

// Every allocation of initialize failed in turn, the settings copy's among
// them: each failure is -50352 (the copy's at the row's file, line 125) with
// the state at 0, and nothing stays allocated once the supervisor is gone.
TEST_F(SupervisorFrameTest, AnInitializeWhoseSettingsCopyLostAnAllocationFails) {
  const int64_t base = nQoSim::liveAllocations();
  bool copyFailed = false;
  for (uint64_t nth = 1; nth < 100; ++nth) {
    SCOPED_TRACE(nth);
    nQoSim::clearStatusLog();
    tStatus2 status;
    {
      tProbeDMASupervisor<0> supervisor;
      nQoSim::failAllocation(nth);
      supervisor.initialize(*settings, &facade, status);
      nQoSim::failAllocation(0);
      if (status.code == 0) {
        EXPECT_EQ(state(supervisor), 10);
        break;
      }
      EXPECT_EQ(status.code, -50352);
      EXPECT_EQ(state(supervisor), 0);
      if (nQoTest::loggedAt(-50352, "tProbeSupervisor", 125)) copyFailed = true;
    }
    EXPECT_EQ(nQoSim::liveAllocations(), base);
  }
  EXPECT_TRUE(copyFailed);

  // The plain frame: the identifier's name is its one allocation.
  tProbeSupervisor<0> plain;
  tStatus2 status;
  nQoSim::failAllocation(1);
  plain.initialize(*settings, &facade, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tProbeSupervisor", 125));
  EXPECT_EQ(state(plain), 0);

  // A record that reports a failed allocation fails deploy before
  // reservation too, and a held primitive is not given the record.
  tProbeSupervisor<0> held;
  bringUp(held);
  settings->record<0>().allocationFailed = true;
  tStatus2 deployed;
  held.deploy(*settings, deployed);
  EXPECT_EQ(deployed.code, -50352);
  EXPECT_EQ(log.operations(), "");
  tProbeSupervisor<0> fresh;
  tStatus2 early;
  fresh.deploy(*settings, early);
  EXPECT_EQ(early.code, -50352);
  tStatus2 down;
  held.releaseResource(down);
}

TEST_F(SupervisorFrameTest, LinkersRegisterEventsAndAreAddedOnceHoweverOftenInitializeRuns) {
  settings->supervisorRecord().flags = 3;
  tProbeDMASupervisor<0> supervisor;
  tStatus2 status;
  supervisor.initialize(*settings, &facade, status);
  supervisor.initialize(*settings, &facade, status);
  supervisor.link(map, status);
  EXPECT_EQ(log.operations(), "map.lookup 11, map.lookup 12, facade.getEventObject");
  log.clear();
  supervisor.reserveResource(status);
  EXPECT_EQ(log.operations(),
            "event.registerEvent 1, event.registerEvent 2, primitive.configure 51");
  EXPECT_EQ(brokerCalls(supervisor), std::vector<int>{6});
  supervisor.linkResource(status);
  EXPECT_EQ(primitive.event, &event);
  EXPECT_EQ(primitive.channelNumber, 5u);
  EXPECT_EQ(primitive.doneSink, &transfer.endpoint);
  ASSERT_EQ(status.code, 0);

  tStatus2 failed(-7);
  log.clear();
  supervisor.unlinkResource(failed);
  supervisor.releaseResource(failed);
  supervisor.unlink(failed);
  EXPECT_EQ(log.operations(), "");
  EXPECT_EQ(nQoSim::brokerLog().size(), 1u);
  EXPECT_EQ(state(supervisor), 40);

  supervisor.unlinkResource(status);
  EXPECT_EQ(primitive.event, nullptr);
  EXPECT_EQ(primitive.channelNumber, 0xFFFFFFFFu);
  log.clear();
  supervisor.releaseResource(status);
  EXPECT_EQ(log.operations(), "event.unregisterEvent 1, event.unregisterEvent 2");
  EXPECT_EQ(brokerCalls(supervisor), (std::vector<int>{6, 7}));
  supervisor.unlink(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(state(supervisor), 10);
}

}  // namespace
