// The analog-output supervisors over logging primitives: their codes, sites
// and state words, the stream writes and the adapter's byte counts, the
// routable, and the failure paths of reservation and missing primitives.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "sim/simAllocator.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "supervisors/ao/tBaseAOTimingControllerSupervisor.h"
#include "supervisors/ao/tBaseAO_DACSupervisor.h"
#include "supervisors/ao/tBaseAO_DACTransferSupervisor.h"
#include "supervisors/ao/tBaseAO_FIFOSupervisor.h"
#include "supervisors/controlRequests.h"
#include "support/brokerPools.h"
#include "support/heldCall.h"
#include "support/heldCancel.h"
#include "support/heldPass.h"
#include "support/outputTransferDoubles.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tCallLog;
using nQoTest::tScriptedDouble;

class tLoggedDAC : public nQoUdP100::tBaseAO_DACPrimitive, public tScriptedDouble {
 public:
  tLoggedDAC(tCallLog& log, const std::string& name)
      : tBaseAO_DACPrimitive(0, 0), tScriptedDouble(log, name) {}
  uint32_t writeValue(const int16_t* value, tStatus2& s) override {
    answer("writeValue " + std::to_string(*value), s);
    if (inside) inside();
    return 0;
  }
  uint32_t writeValues(const int16_t*, uint32_t count, tStatus2& s) override {
    answer("writeValues " + std::to_string(count), s);
    return count;
  }
  void reserve(tStatus2& s) override {
    answer("reserve", s);
    if (onReserve) onReserve();
  }
  void unreserve(tStatus2& s) override { answer("unreserve", s); }
  // The record takes the settings, as the board's commit does.
  void commit(tStatus2& s) override {
    answer("commit", s);
    _fields.program();
    if (s.isNotFatal()) _state.setCommitted();
  }
  void uncommit(tStatus2& s) override {
    answer("uncommit", s);
    if (s.isNotFatal()) _state.setUncommitted();
  }
  // Runs inside each write (a test holds a write there).
  std::function<void()> inside;
  // Runs inside the reserve.
  std::function<void()> onReserve;
};

class tLoggedGroundRef : public nQoUdP100::tBaseAOGroundRefPrimitive, public tScriptedDouble {
 public:
  explicit tLoggedGroundRef(tCallLog& log) : tScriptedDouble(log, "groundRef") {}
  void enable(tStatus2& s) override {
    answer("enable", s);
    _enabled = 1;
  }
  void disable(tStatus2& s) override {
    answer("disable", s);
    _enabled = 0;
  }
};

struct tBuildStatus {
  tStatus2 built;
  nQoUdP100::tAODescription description{.fifoDepth = 16, .channelCount = 2, .maxChannels = 4};
};

// Operations move the state as the board's engine does; a scripted failure
// leaves it.
template <class tPrimitive>
class tSteppedDouble : public tPrimitive, public tScriptedDouble {
 public:
  template <class... tArgs>
  tSteppedDouble(tCallLog& log, const char* name, tArgs&&... args)
      : tPrimitive(std::forward<tArgs>(args)...), tScriptedDouble(log, name) {}
  // The record takes the settings, as the board's commit does.
  void commit(tStatus2& s) override {
    this->noteProgrammed(this->_fields.program());
    step("commit", s, &tState::setCommitted);
  }
  void uncommit(tStatus2& s) override { step("uncommit", s, &tState::setUncommitted); }
  void arm(tStatus2& s) override {
    step("arm", s, &tState::setArmed);
    if (onArm) onArm();
  }
  void start(tStatus2& s) override { step("start", s, &tState::setRunning); }
  // Runs after each arm (what the board's arm does besides).
  std::function<void()> onArm;

 protected:
  using tState = nQoUdP100::tPrimitiveState;
  void step(const std::string& name, tStatus2& s, void (tState::*to)()) {
    answer(name, s);
    if (s.isNotFatal()) (this->_state.*to)();
  }
};

class tLoggedTiming : private tBuildStatus,
                      public tSteppedDouble<nQoUdP100::tBaseAOTimingControllerPrimitive> {
 public:
  explicit tLoggedTiming(tCallLog& log)
      : tSteppedDouble(log, "timing", &description, nullptr, built) {}
  void disarm(tStatus2& s) override { step("disarm", s, &tState::setCommitted); }
  void stop(tStatus2& s) override { step("stop", s, &tState::setArmed); }
  void requestEndA(tStatus2* s) override { answer("requestEndA", *s); }
  void requestEndB(tStatus2* s) override { answer("requestEndB", *s); }
  void setMode3Hold(uint32_t flag, tStatus2& s) override {
    answer("setMode3Hold " + std::to_string(flag), s);
    _hold = flag;
  }
  uint32_t hold() const override { return _hold; }
  void softwareUpdatePulse(tStatus2& s) override { answer("softwareUpdatePulse", s); }
  void setUpdateInterval(uint32_t ticks, tStatus2& s) override {
    answer("setUpdateInterval " + std::to_string(ticks), s);
  }
  uint32_t readCount120(tStatus2*) override { return 0; }
  uint32_t readUpdateCounter(tStatus2&) override { return 0; }
  uint32_t readBufferCounter(tStatus2&) override { return 0; }
  uint32_t getUpdatesDone(tStatus2& s, uint32_t force) override {
    answer("getUpdatesDone " + std::to_string(force), s);
    return 17;
  }
  void driveUpdateOutput(tStatus2& s) override { answer("driveUpdateOutput", s); }
  bool isUpdateFlagSet(tStatus2*) override { return true; }
  void acknowledgeUpdateFlag(tStatus2* s) override { answer("acknowledge", *s); }
  void enableUpdateInterrupt(tStatus2& s) override {
    answer("enableUpdateInterrupt", s);
    if (inside) inside();
  }
  // Runs inside the first update wait, before it blocks.
  std::function<void()> inside;
  const iSync* updateEvent() const { return _update.event(); }
  // What the board's arm does to a stop request.
  void clearStop() { _update.lift(kStopMark); }

  void setState(void (tState::*to)()) { (_state.*to)(); }
  nQoUdP100::iDoneObserver* notifier() const { return _completionNotifier.get(); }
  // What the engine does when its generation completes.
  void complete() {
    tStatus2 fresh;
    _completionNotifier.call(
        [&](nQoUdP100::iDoneObserver& notifier) { notifier.notifyDone(fresh); });
  }

 private:
  uint32_t _hold = 0;
};

class tLoggedFIFO : private tBuildStatus, public tSteppedDouble<nQoUdP100::tBaseAO_FIFOPrimitive> {
 public:
  tLoggedFIFO(tCallLog& log, uint32_t depth)
      : tSteppedDouble(log, "fifo", withDepth(depth), built) {}
  void complete(tStatus2& s) override { step("complete", s, &tState::setCommitted); }
  void restoreArmed(tStatus2& s) override { step("restoreArmed", s, &tState::setArmed); }
  void clearFIFO(tStatus2&) override {}
  uint32_t writeSample(const int16_t* sample, tStatus2& s) override {
    answer("writeSample " + std::to_string(*sample), s);
    if (inside) inside();
    return sampleWritten;
  }
  uint32_t writeSamples(const int16_t* samples, uint32_t count, tStatus2& s) override {
    std::string values;
    for (uint32_t k = 0; k < count && k < 4; ++k) {
      values += ' ';
      values += std::to_string(samples[k]);
    }
    answer("writeSamples " + std::to_string(count) + values, s);
    if (inside) inside();
    return count;
  }
  // Runs inside each write (a test holds a write there).
  std::function<void()> inside;
  // What a single-sample write answers (0: one given outside a run).
  uint32_t sampleWritten = 1;

 private:
  const nQoUdP100::tAODescription* withDepth(uint32_t depth) {
    description.fifoDepth = depth;
    return &description;
  }
};

// Fixture members keep identifier copies, so allocations are not balanced
// per test here.
class AOSupervisorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nQoSim::failAllocation(0);
    nQoSim::clearStatusLog();
    nQoSim::resetResourceBroker();
    identifier.emplace();
    identifier->setDeviceGUID({7, 9});
    identifier->setString("AO", setup);
    facade.eventObject = &event;
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    identifier.reset();
    nQoSim::failAllocation(0);
  }

  void offer(nQoMRL100::iLeafResourcePool& pool) {
    nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  }

  // initialize, link, reserveResource and linkResource on one status.
  template <class tSupervisor, class tSettings>
  void bringUp(tSupervisor& supervisor, const tSettings& settings) {
    tStatus2 status;
    supervisor.initialize(settings, &facade, status);
    supervisor.link(map, status);
    supervisor.reserveResource(status);
    supervisor.linkResource(status);
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(supervisor.getState(), 4u);
    log.clear();
  }

  template <class tSupervisor>
  int run(tSupervisor& supervisor, uint32_t code, nQoMRL100::iControlParameterBlock* in = nullptr,
          nQoMRL100::iControlParameterBlock* out = nullptr) {
    tStatus2 status;
    supervisor.control(code, in, out, status);
    return status.code;
  }

  // The 32-bit answer of a query code, or -1 with a failure.
  template <class tSupervisor>
  int64_t query(tSupervisor& supervisor, uint32_t code) {
    nQoSim::tByteParameterBlock out(std::vector<uint8_t>(8));
    if (run(supervisor, code, nullptr, &out) != 0 || out.written().empty()) return -1;
    return out.written()[0];
  }

  tStatus2 setup;
  tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedEvent event{log, "event"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
};

// ---- DAC and ground reference -------------------------------------------

TEST_F(AOSupervisorsTest, TheDACWritesOneValueAloneAndCommitsThroughCodesOneAndFour) {
  tLoggedDAC dac(log, "dac");
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*> pool(&dac);
  offer(pool);
  nQoUdR100::tAO_DACSettings settings;
  settings.record<0>().identifier = *identifier;
  settings.record<0>().word2 = 2;
  settings.record<0>().word5 = 3;
  settings.record<0>().word7 = 1;
  nQoUdR100::tBaseAO_DACSupervisor supervisor;
  bringUp(supervisor, settings);

  const int16_t values[3] = {-5, 6, 7};
  tStatus2 status;
  nQoMSRL100::iOutputStream* stream = supervisor.getOutputStreamPtr(status);
  EXPECT_EQ(stream->write(1, 0, values, nullptr, status), 1u);
  EXPECT_EQ(stream->write(0, 0, values, nullptr, status), 0u);
  EXPECT_EQ(stream->write(3, 0, values, nullptr, status), 3u);
  EXPECT_EQ(stream->getAvailable(status), 0u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "dac.writeValue -5, dac.writeValues 0, dac.writeValues 3");

  for (uint32_t code : {2u, 3u}) {
    EXPECT_EQ(run(supervisor, code), -50256);
    EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAO_DACSupervisor", 286));
  }
  log.clear();
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(supervisor.getState(), 5u);
  // The commit programmed the words the reservation deployed.
  const nQoUdP100::tAODACFields& programmed = dac.programmed();
  EXPECT_EQ(programmed.updateMode, 2u);
  EXPECT_EQ(programmed.configBit7, 1u);
  EXPECT_EQ(programmed.configSelectA, 3u);
  EXPECT_EQ(programmed.configSelectB, 7u);
  EXPECT_EQ(programmed.waitForSerialUpdate, 1u);
  supervisor.commitCancel(status);
  EXPECT_EQ(supervisor.getState(), 4u);
  supervisor.commitCancel(status);
  EXPECT_EQ(log.operations(), "dac.commit, dac.uncommit");

  supervisor.releaseResource(status);
  EXPECT_EQ(supervisor.getState(), 2u);
  EXPECT_EQ(stream->write(1, 0, values, nullptr, status), 0u);
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACSupervisor", 390));
  EXPECT_EQ(run(supervisor, 1), -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACSupervisor", 248));
  EXPECT_EQ(log.operations(), "dac.commit, dac.uncommit, dac.unreserve");
}

// A commit that comes after unlinkResource (or is never cancelled) is undone
// by the release before the DAC is unreserved.
TEST_F(AOSupervisorsTest, TheDACReleaseUncommitsWhatACodeLeftCommitted) {
  tLoggedDAC dac(log, "dac");
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*> pool(&dac);
  offer(pool);
  nQoUdR100::tAO_DACSettings settings;
  settings.record<0>().identifier = *identifier;
  nQoUdR100::tBaseAO_DACSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status;
  supervisor.unlinkResource(status);
  EXPECT_EQ(run(supervisor, 1), 0);
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "dac.commit, dac.uncommit, dac.unreserve");
  EXPECT_FALSE(dac.state().isCommitted());
}

// The platform reaches a stream supervisor's output stream by casting the
// supervisor it holds to the stream-supervisor interface.
TEST_F(AOSupervisorsTest, StreamSupervisorsAnswerTheStreamInterfaceByCast) {
  using nQoMSRL100::iOutputStreamPrimitiveSupervisor;
  const auto streamOf = [](nQoMRL100::iPrimitiveSupervisor& held) {
    auto* cast = static_cast<iOutputStreamPrimitiveSupervisor*>(
        held.___CPPKRLDynamicCast(&iOutputStreamPrimitiveSupervisor::___classID));
    tStatus2 status;
    return cast != nullptr ? cast->getOutputStreamPtr(status) : nullptr;
  };
  nQoUdR100::tBaseAO_DACSupervisor dac;
  nQoUdR100::tBaseAO_FIFOSupervisor fifo;
  nQoUdR100::tBaseAOGroundRefSupervisor groundRef;
  EXPECT_EQ(streamOf(dac), static_cast<nQoMSRL100::iOutputStream*>(&dac));
  EXPECT_EQ(streamOf(fifo), static_cast<nQoMSRL100::iOutputStream*>(&fifo));
  EXPECT_EQ(streamOf(groundRef), nullptr);
  nQoMRL100::iPrimitiveSupervisor& held = dac;
  EXPECT_EQ(held.___CPPKRLDynamicCast(&nQoUdR100::tBaseAO_DACSupervisor::___classID), &dac);
}

TEST_F(AOSupervisorsTest, ADACThatRefusesItsReserveIsHandedBack) {
  tLoggedDAC dac(log, "dac");
  dac.answers["reserve"] = -7;
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*> pool(&dac);
  offer(pool);
  nQoUdR100::tAO_DACSettings settings;
  settings.record<0>().identifier = *identifier;
  nQoUdR100::tBaseAO_DACSupervisor supervisor;
  tStatus2 status;
  supervisor.initialize(settings, &facade, status);
  supervisor.link(map, status);
  supervisor.reserveResource(status);
  EXPECT_EQ(status.code, -7);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(supervisor.getState(), 2u);
  EXPECT_EQ(nQoTest::brokerOperations(), (std::vector<int>{6, 7}));
}

// A commit from another thread while the reservation prepares the DAC (its
// settings given, its reserve under way) finds no DAC: the DAC goes into the
// slot only once reserved. After the reservation the commit reaches it.
TEST_F(AOSupervisorsTest, ACodeDuringTheReservationReachesTheDACOnlyOnceItIsReserved) {
  tLoggedDAC dac(log, "dac");
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*> pool(&dac);
  offer(pool);
  nQoUdR100::tAO_DACSettings settings;
  settings.record<0>().identifier = *identifier;
  settings.record<0>().word2 = 2;
  nQoUdR100::tBaseAO_DACSupervisor supervisor;
  tStatus2 status, during;
  supervisor.initialize(settings, &facade, status);
  supervisor.link(map, status);
  log.clear();
  {
    nQoTest::tUnorderedCall code([&] { supervisor.control(1, nullptr, nullptr, during); });
    dac.onReserve = [&] { EXPECT_TRUE(code.run()); };
    supervisor.reserveResource(status);
    dac.onReserve = nullptr;
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(during.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACSupervisor", 248));
  EXPECT_EQ(log.operations(), "dac.reserve");
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(dac.programmed().updateMode, 2u);
  EXPECT_EQ(log.operations(), "dac.reserve, dac.commit");
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
}

// A write from the user's thread held inside the DAC: the release waits for
// it, and the DAC is still reserved as it leaves, before the DAC is
// unreserved and goes back to its pool; a write after the release reaches no
// DAC.
TEST_F(AOSupervisorsTest, TheDACReleaseWaitsForAWriteUnderWay) {
  tLoggedDAC dac(log, "dac");
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*> pool(&dac);
  offer(pool);
  nQoUdR100::tAO_DACSettings settings;
  settings.record<0>().identifier = *identifier;
  nQoUdR100::tBaseAO_DACSupervisor supervisor;
  bringUp(supervisor, settings);
  const int16_t sample = 5;
  const auto inside = nQoTest::seenInside(
      dac.inside,
      [&] {
        tStatus2 s;
        supervisor.write(1, 0, &sample, nullptr, s);
      },
      [&] { supervisor.releaseResource(setup); }, [&] { return log.operations(); });
  EXPECT_TRUE(inside.waited);
  EXPECT_EQ(inside.seen, "dac.writeValue 5");
  tStatus2 late;
  EXPECT_EQ(supervisor.write(1, 0, &sample, nullptr, late), 0u);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACSupervisor", 390));
  EXPECT_EQ(log.operations(), "dac.writeValue 5, dac.unreserve");
}

// Deploys while the ground reference is held name other pools for the next
// reservation only; the release hands back the one held.
TEST_F(AOSupervisorsTest, TheReleaseHandsBackTheGroundReferenceItWasGranted) {
  tLoggedGroundRef first(log), second(log), third(log);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAOGroundRefPrimitive*> poolA(&first),
      poolB(&second), poolC(&third);
  nQoUdR100::tAOGroundRefSettings namingA, namingB, namingC;
  nQoTest::offerPool(namingA.record<0>().identifier, {7, 9}, "AOGroundRef", &poolA, setup);
  nQoTest::offerPool(namingB.record<0>().identifier, {7, 9}, "AOGroundRef2", &poolB, setup);
  nQoTest::offerPool(namingC.record<0>().identifier, {7, 9}, "AOGroundRef3", &poolC, setup);
  ASSERT_EQ(setup.code, 0);
  nQoUdR100::tBaseAOGroundRefSupervisor supervisor;
  nQoTest::expectOnlyTheGrantHandedBack(
      supervisor, namingA, namingB, namingC, namingA.record<0>().identifier,
      namingB.record<0>().identifier, namingC.record<0>().identifier, &facade, map);
}

// A connection that a code after unlinkResource left goes at the release: the
// next owner finds the ground reference disconnected, as a fresh one is.
TEST_F(AOSupervisorsTest, TheGroundReferenceReleaseDisconnectsWhatACodeConnected) {
  tLoggedGroundRef groundRef(log);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAOGroundRefPrimitive*> pool(&groundRef);
  offer(pool);
  nQoUdR100::tAOGroundRefSettings settings;
  settings.record<0>().identifier = *identifier;
  nQoUdR100::tBaseAOGroundRefSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status;
  supervisor.unlinkResource(status);
  EXPECT_EQ(run(supervisor, 257), 0);
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "groundRef.enable, groundRef.disable");
  EXPECT_EQ(groundRef.isEnabled(), 0u);
  EXPECT_EQ(supervisor.getState(), 2u);
}

// The release disconnects by what code 257 did, not by the skip flag a
// deploy changed since: a connection made before a deploy to skip goes, and
// one the reservation found, which no code made, stays.
TEST_F(AOSupervisorsTest, TheGroundReferenceReleaseUndoesWhatItsCodesConnected) {
  tLoggedGroundRef groundRef(log);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAOGroundRefPrimitive*> pool(&groundRef);
  offer(pool);
  nQoUdR100::tAOGroundRefSettings settings;
  settings.record<0>().identifier = *identifier;
  nQoUdR100::tBaseAOGroundRefSupervisor supervisor;
  bringUp(supervisor, settings);
  EXPECT_EQ(run(supervisor, 257), 0);
  settings.record<0>().skipFlag = 1;
  supervisor.deploy(settings, setup);
  tStatus2 status;
  supervisor.releaseResource(status);
  EXPECT_EQ(log.operations(), "groundRef.enable, groundRef.disable");
  EXPECT_EQ(groundRef.isEnabled(), 0u);

  groundRef.enable(setup);
  supervisor.reserveResource(setup);
  supervisor.linkResource(setup);
  settings.record<0>().skipFlag = 0;
  supervisor.deploy(settings, setup);
  log.clear();
  supervisor.releaseResource(status);
  EXPECT_EQ(log.operations(), "");
  EXPECT_EQ(groundRef.isEnabled(), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(AOSupervisorsTest, TheGroundReferenceIsLeftAloneWithTheSkipFlag) {
  tLoggedGroundRef groundRef(log);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAOGroundRefPrimitive*> pool(&groundRef);
  offer(pool);
  nQoUdR100::tAOGroundRefSettings settings;
  settings.record<0>().identifier = *identifier;
  settings.record<0>().skipFlag = 1;
  nQoUdR100::tBaseAOGroundRefSupervisor supervisor;
  bringUp(supervisor, settings);
  groundRef.enable(setup);
  log.clear();
  EXPECT_EQ(run(supervisor, 257), 0);
  EXPECT_EQ(run(supervisor, 258), 0);
  EXPECT_EQ(query(supervisor, 259), 0);
  EXPECT_EQ(log.operations(), "");

  settings.record<0>().skipFlag = 0;
  supervisor.deploy(settings, setup);
  EXPECT_EQ(run(supervisor, 257), 0);
  EXPECT_EQ(query(supervisor, 259), 1);
  EXPECT_EQ(run(supervisor, 258), 0);
  EXPECT_EQ(query(supervisor, 259), 0);
  EXPECT_EQ(log.operations(), "groundRef.enable, groundRef.disable");

  EXPECT_EQ(run(supervisor, 259), -50004);
  for (uint32_t code : {2u, 3u, 260u}) {
    EXPECT_EQ(run(supervisor, code), -50256);
    EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAOGroundRefSupervisor", 337));
  }
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(supervisor.getState(), 5u);
  supervisor.commitCancel(setup);
  EXPECT_EQ(supervisor.getState(), 4u);

  supervisor.releaseResource(setup);
  log.clear();
  EXPECT_EQ(run(supervisor, 257), -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAOGroundRefSupervisor", 276));
  EXPECT_EQ(run(supervisor, 258), -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAOGroundRefSupervisor", 299));
  EXPECT_EQ(query(supervisor, 259), -1);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAOGroundRefSupervisor", 318));
  EXPECT_EQ(log.operations(), "");
}

// ---- timing controller ----------------------------------------------------

class AOTimingTest : public AOSupervisorsTest {
 protected:
  void SetUp() override {
    AOSupervisorsTest::SetUp();
    pool.emplace(&timing);
    offer(*pool);
    settings.record<0>().identifier = *identifier;
    held.emplace();
  }
  void TearDown() override {
    held.reset();
    pool.reset();
    AOSupervisorsTest::TearDown();
  }
  tLoggedTiming timing{log};
  std::optional<nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAOTimingControllerPrimitive*>>
      pool;
  nQoUdR100::tAOTimingControllerSettings settings;
  // Emplaced per test: its observer is the module's allocation.
  std::optional<nQoUdR100::tBaseAOTimingControllerSupervisor> held;
  nQoUdR100::tBaseAOTimingControllerSupervisor& supervisor() { return *held; }
};

TEST_F(AOTimingTest, SettingsWordsReachTheirFieldsAndEventsAreRegisteredOnce) {
  auto& w = settings.record<0>();
  w.word1 = 0;
  w.word2 = 9;
  w.word6 = 1234;
  w.word12 = 9;
  w.word22 = 1;
  w.word23 = 5;
  w.word24 = 3;
  w.word25 = 1;
  w.word26 = 0;
  w.word27 = 1;
  tStatus2 status;
  supervisor().initialize(settings, &facade, status);
  supervisor().link(map, status);
  supervisor().reserveResource(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_NE(timing.notifier(), nullptr);
  EXPECT_EQ(log.operations(), "facade.getEventObject, event.registerEvent 1, event.registerEvent 2")
      << "the deploy drove the update output";
  // The engine's commit programs the words the reservation deployed, and
  // drives the update output by word 27.
  EXPECT_EQ(run(supervisor(), 1), 0);
  const nQoUdP100::tAOTimingFields& f = timing.programmed();
  EXPECT_EQ(f.updateOutput, 1u);
  EXPECT_EQ(f.timingSelectB, 0u) << "word 1 is not 1";
  EXPECT_EQ(f.startTriggerSelect, 0u);
  EXPECT_EQ(f.updateInterval, 1234u);
  EXPECT_EQ(f.mode3Bit5, 1u);
  EXPECT_EQ(f.withoutFIFO, 5u);
  EXPECT_EQ(f.countedFirstUpdates, 3u);
  EXPECT_EQ(f.allowLateUpdates, 1u);
  EXPECT_EQ(f.pollUpdates, 0u);

  w.word1 = 1;
  w.word27 = 2;
  log.clear();
  supervisor().deploy(settings, status);
  EXPECT_EQ(f.timingSelectB, 0u) << "a deploy reaches the next commit only";
  EXPECT_EQ(f.updateOutput, 1u);
  EXPECT_EQ(run(supervisor(), 1), 0);
  EXPECT_EQ(f.timingSelectB, 9u);
  EXPECT_EQ(f.startTriggerSelect, 9u);
  EXPECT_EQ(f.updateOutput, 0u) << "only a word 27 of 1 drives it";
  EXPECT_EQ(log.operations(), "timing.commit");

  log.clear();
  supervisor().requestCancel(status);
  supervisor().releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(supervisor().getState(), 2u);
  EXPECT_EQ(timing.notifier(), nullptr);
  EXPECT_EQ(log.operations(), "timing.uncommit, event.unregisterEvent 1, event.unregisterEvent 2");
  EXPECT_EQ(f.updateInterval, 50000u) << "the release forgets the commit";
  EXPECT_FALSE(timing.blockingWaits());
}

// A cancel from the user's thread that is stopping the engine's update wait
// holds the release until it has left the engine; a cancel after the
// release reaches nothing.
TEST_F(AOTimingTest, TheReleaseWaitsForACancelUnderWayOnAnotherThread) {
  settings.record<0>().word23 = 1;
  settings.record<0>().word26 = 0;
  tStatus2 status;
  supervisor().initialize(settings, &facade, status);
  supervisor().link(map, status);
  supervisor().reserveResource(status);
  supervisor().control(1, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(timing.programmed().pollUpdates, 0u);

  EXPECT_TRUE(nQoTest::heldAtASet(nQoTest::cancelOf(supervisor()),
                                  nQoTest::releaseOf(supervisor(), false)));
  EXPECT_EQ(supervisor().getPrimitive(), nullptr);

  nQoSim::clearSyncLog();
  supervisor().requestCancel(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(nQoSim::syncLog().empty()) << "a cancel after the release reached the engine";
}

// Code 400 from the user's thread, in the engine's update wait while the
// release runs: the release ends the wait and waits for it to leave before
// it hands the engine back, both while the wait is starting and once it
// blocks on the update event.
TEST_F(AOTimingTest, TheReleaseEndsAnUpdateOfCode400AndWaitsForIt) {
  settings.record<0>().word26 = 0;
  bringUp(supervisor(), settings);
  ASSERT_EQ(run(supervisor(), 1), 0);
  int code = 0;
  const auto update = [&] {
    tStatus2 s;
    supervisor().control(400, nullptr, nullptr, s);
    code = s.code;
  };
  {
    nQoTest::tHeldPass held;
    timing.inside = [&] { held.hold(); };
    held.run(update);
    held.tearDown([&] { supervisor().releaseResource(setup); });
    EXPECT_TRUE(held.teardownWaited());
  }
  EXPECT_EQ(code, -224608);

  tStatus2 status;
  supervisor().reserveResource(status);
  supervisor().linkResource(status);
  supervisor().control(1, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  timing.clearStop();
  code = 0;
  std::thread waiting(update);
  const iSync* event = timing.updateEvent();
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (nQoSim::syncBlocked(event) == 0 && std::chrono::steady_clock::now() < guard)
    std::this_thread::yield();
  EXPECT_EQ(nQoSim::syncBlocked(event), 1u);
  supervisor().releaseResource(status);
  EXPECT_EQ(nQoSim::syncBlocked(event), 0u);
  waiting.join();
  EXPECT_EQ(code, -224608);
  EXPECT_EQ(status.code, 0);
}

// A code 3 ends the update waits under way and returns once they have left,
// whatever runs: here of an engine committed, with no run. A wait after it
// waits again.
TEST_F(AOTimingTest, ACodeThreeEndsTheUpdateWaitsUnderWayAlsoWithNoRun) {
  settings.record<0>().word26 = 0;
  bringUp(supervisor(), settings);
  ASSERT_EQ(run(supervisor(), 1), 0);
  int code = 0;
  std::thread waiting([&] { code = run(supervisor(), 400); });
  const iSync* event = timing.updateEvent();
  const bool blocked = nQoTest::boundedUntil([&] { return nQoSim::syncBlocked(event) == 1; });
  const int stopped = run(supervisor(), 3);
  const bool left = nQoSim::syncBlocked(event) == 0;
  if (!left) timing.requestStop();  // frees a wait that code 3 left under way
  waiting.join();
  EXPECT_TRUE(blocked);
  EXPECT_TRUE(left) << "code 3 returned with the wait under way";
  EXPECT_EQ(code, -224608);
  EXPECT_EQ(stopped, 0);
  nQoSim::tByteParameterBlock in({0, 0, 0, 0});
  EXPECT_EQ(run(supervisor(), 401, &in), -200474) << "a wait after code 3";
}

// A wait for the next sample clock from the user's thread, held in the
// engine's update wait while the release runs: the release ends it and
// hands the engine back only once it has left.
TEST_F(AOTimingTest, TheReleaseEndsAWaitForTheNextSampleClockAndWaitsForIt) {
  // The release's event calls log apart from the wait's facade calls, which
  // run on the wait's thread meanwhile.
  tCallLog releaseLog;
  nQoTest::tScriptedEvent releaseEvent{releaseLog, "event"};
  facade.eventObject = &releaseEvent;
  settings.record<0>().word26 = 0;
  bringUp(supervisor(), settings);
  // Committed for blocking waits, its state then left uncommitted: the
  // release brings down nothing, whose calls would log beside the wait's.
  ASSERT_EQ(run(supervisor(), 1), 0);
  timing.setState(&nQoUdP100::tPrimitiveState::setUncommitted);
  int code = 0;
  const auto inside = nQoTest::seenInside(
      timing.inside,
      [&] {
        tStatus2 s;
        supervisor().waitForNextSampleClock(s);
        code = s.code;
      },
      [&] { supervisor().releaseResource(setup); }, [&] { return supervisor().getPrimitive(); });
  EXPECT_TRUE(inside.waited);
  EXPECT_EQ(inside.seen, &timing) << "the engine was handed back while the wait was inside";
  EXPECT_EQ(code, -224608);
  EXPECT_EQ(supervisor().getPrimitive(), nullptr);
}

// Code 2 from the user's thread, arming the engine after the release has
// ended the waits and before the engine leaves the slot, clears the engine's
// stop request: an update wait under way that only then comes to wait
// returns at once all the same, and the release returns. The arm's lift
// waits for that wait, which the release's end reached: the wait is held
// until the arm has returned, or for a bound once it has begun.
TEST_F(AOTimingTest, AnArmAfterTheReleasesEndLeavesTheWaitsEnded) {
  settings.record<0>().word26 = 0;
  bringUp(supervisor(), settings);
  ASSERT_EQ(run(supervisor(), 1), 0);
  std::atomic<bool> inside{false}, arming{false}, armed{false}, released{false};
  timing.onArm = [&] {
    arming = true;
    timing.clearStop();
  };
  const iSync* event = timing.updateEvent();
  const unsigned waits = nQoSim::syncWaits(event);
  timing.inside = [&] {
    inside = true;
    const auto guard = std::chrono::steady_clock::now() + nQoTest::tHeldCall::kGuard;
    while (!armed && !arming && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
    const auto bound = std::chrono::steady_clock::now() + nQoTest::tHeldCall::kHold;
    while (!armed && std::chrono::steady_clock::now() < bound) std::this_thread::yield();
  };
  int updated = 0, started = 1;
  std::thread update([&] { updated = run(supervisor(), 400); });
  while (!inside) std::this_thread::yield();
  // The release's end step sets the update event: code 2 runs then.
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    if (object != event || !set || armed) return;
    std::thread([&] { started = run(supervisor(), 2); }).join();
    armed = true;
  });
  std::thread release([&] {
    supervisor().releaseResource(setup);
    released = true;
  });
  const auto guard = std::chrono::steady_clock::now() + nQoTest::tHeldCall::kGuard;
  while (!released && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  EXPECT_TRUE(released) << "the release waits for an update that waits for its time-out";
  if (!released) timing.requestStop();
  release.join();
  update.join();
  nQoSim::onSyncSet(nullptr);
  EXPECT_EQ(started, 0);
  EXPECT_EQ(updated, -224608);
  EXPECT_EQ(nQoSim::syncWaits(event), waits) << "the update waited on the event";
  EXPECT_EQ(setup.code, 0);
}

TEST_F(AOTimingTest, ASimulatedEngineOrAMissingEventRegistersNothing) {
  nQoUdP100::tDeviceInfo info;
  info.simulated = 1;
  timing.setDeviceInfo(&info);
  bringUp(supervisor(), settings);
  supervisor().releaseResource(setup);
  EXPECT_EQ(log.operations(), "");

  timing.setDeviceInfo(nullptr);
  facade.eventObject = nullptr;
  nQoUdR100::tBaseAOTimingControllerSupervisor bare;
  tStatus2 status;
  bare.initialize(settings, &facade, status);
  EXPECT_EQ(status.code, -89000);
  tStatus2 fresh;
  bare.initialize(settings, nullptr, fresh);
  bare.reserveResource(fresh);
  bare.releaseResource(fresh);
  EXPECT_EQ(fresh.code, 0);
  EXPECT_EQ(run(bare, 263), -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAOTimingControllerSupervisor", 319));
  EXPECT_EQ(log.operations(), "facade.getEventObject");
}

TEST_F(AOTimingTest, AFailedObserverAllocationHandsThePoolBack) {
  tStatus2 status;
  supervisor().initialize(settings, &facade, status);
  nQoSim::failAllocation(1);
  supervisor().reserveResource(status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(supervisor().getPrimitive(), nullptr);
  EXPECT_EQ(nQoTest::brokerOperations(), (std::vector<int>{6, 7}));
  EXPECT_EQ(log.operations(), "facade.getEventObject");
}

TEST_F(AOTimingTest, AnEngineGivenUpKeepsNoNotifierOfTheSupervisor) {
  // The event's registration fails: the engine is handed back without the
  // observer, and completes after the supervisor is gone without reaching
  // it. The deploy drives nothing.
  settings.record<0>().word27 = 1;
  event.answers["registerEvent 2"] = -50012;
  tStatus2 status;
  supervisor().initialize(settings, &facade, status);
  supervisor().reserveResource(status);
  EXPECT_EQ(status.code, -50012);
  EXPECT_EQ(supervisor().getPrimitive(), nullptr);
  EXPECT_EQ(timing.notifier(), nullptr);
  EXPECT_EQ(nQoTest::brokerOperations(), (std::vector<int>{6, 7}));
  held.reset();
  timing.complete();
  EXPECT_EQ(log.operations(),
            "facade.getEventObject, event.registerEvent 1, event.registerEvent 2, "
            "event.unregisterEvent 1, event.unregisterEvent 2");

  // A supervisor destroyed while it holds the engine takes its notifier along.
  held.emplace();
  event.answers.clear();
  bringUp(supervisor(), settings);
  EXPECT_NE(timing.notifier(), nullptr);
  held.reset();
  EXPECT_EQ(timing.notifier(), nullptr);
  timing.complete();
}

// A commit from another thread while the reservation prepares the engine
// (its events registered, its settings and notifier still to come) finds no
// engine: the engine goes into the slot only once prepared. After the
// reservation the commit reaches it, and drives the update output that the
// reservation deployed.
TEST_F(AOTimingTest, ACodeDuringTheReservationReachesTheEngineOnlyOnceItIsPrepared) {
  struct tRegisteringEvent : nQoTest::tScriptedEvent {
    using tScriptedEvent::tScriptedEvent;
    void registerEvent(uint32_t kind, tStatus2& s) override {
      tScriptedEvent::registerEvent(kind, s);
      if (kind == 2 && onRegister) onRegister();
    }
    std::function<void()> onRegister;
  } registering{log, "event"};
  facade.eventObject = &registering;
  settings.record<0>().word27 = 1;
  settings.record<0>().word6 = 77;
  tStatus2 status, during;
  supervisor().initialize(settings, &facade, status);
  supervisor().link(map, status);
  log.clear();
  {
    nQoTest::tUnorderedCall code([&] { supervisor().control(1, nullptr, nullptr, during); });
    registering.onRegister = [&] { EXPECT_TRUE(code.run()); };
    supervisor().reserveResource(status);
    registering.onRegister = nullptr;
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(during.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAOTimingControllerSupervisor", 319));
  EXPECT_EQ(log.operations(), "event.registerEvent 1, event.registerEvent 2");
  EXPECT_FALSE(timing.state().isCommitted());
  EXPECT_EQ(run(supervisor(), 1), 0);
  EXPECT_TRUE(timing.state().isCommitted());
  EXPECT_EQ(timing.programmed().updateInterval, 77u);
  EXPECT_EQ(timing.programmed().updateOutput, 1u);
  EXPECT_NE(timing.notifier(), nullptr);
  supervisor().releaseResource(status);
}

// Every allocation of initialize failed in turn: each failure leaves the
// word at 0 and nothing allocated; the identifier's and the settings' copies
// are -50352 at the supervisor's file, line 125. A deploy whose copy fails
// gives the held engine nothing.
TEST_F(AOTimingTest, AnInitializeWhoseSettingsCopyLostAnAllocationFails) {
  const int64_t base = nQoSim::liveAllocations();
  uint64_t copies = 0;
  for (uint64_t nth = 1; nth < 100; ++nth) {
    SCOPED_TRACE(nth);
    nQoSim::clearStatusLog();
    tStatus2 status;
    {
      nQoUdR100::tBaseAOTimingControllerSupervisor supervisor;
      nQoSim::failAllocation(nth);
      supervisor.initialize(settings, &facade, status);
      nQoSim::failAllocation(0);
      if (status.code == 0) {
        EXPECT_EQ(supervisor.getState(), 1u);
        break;
      }
      EXPECT_EQ(supervisor.getState(), 0u);
      if (nQoTest::loggedAt(-50352, "tBaseAOTimingControllerSupervisor", 125)) ++copies;
    }
    EXPECT_EQ(nQoSim::liveAllocations(), base);
  }
  EXPECT_EQ(copies, 2u);

  bringUp(supervisor(), settings);
  nQoUdR100::tAOTimingControllerSettings longer;
  longer.record<0>().identifier = *identifier;
  longer.record<0>().identifier.setString("a name longer than the one held", setup);
  longer.record<0>().word6 = 777;
  tStatus2 deployed;
  nQoSim::failAllocation(1);
  supervisor().deploy(longer, deployed);
  EXPECT_EQ(deployed.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tBaseAOTimingControllerSupervisor", 125));
  EXPECT_EQ(run(supervisor(), 1), 0);
  EXPECT_NE(timing.programmed().updateInterval, 777u);

  // Once the copy succeeds again, so does deploy.
  tStatus2 again;
  supervisor().deploy(longer, again);
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(run(supervisor(), 1), 0);
  EXPECT_EQ(timing.programmed().updateInterval, 777u);
  supervisor().releaseResource(setup);
}

TEST_F(AOTimingTest, ControlCodesRunTheEngineOnlyInItsState) {
  bringUp(supervisor(), settings);
  EXPECT_EQ(run(supervisor(), 1), 0);
  EXPECT_EQ(run(supervisor(), 2), 0);
  EXPECT_EQ(supervisor().getState(), 6u);
  EXPECT_EQ(log.operations(), "timing.commit, timing.arm, timing.start");

  log.clear();
  EXPECT_EQ(run(supervisor(), 257), 0);
  EXPECT_EQ(run(supervisor(), 258), 0);
  EXPECT_EQ(run(supervisor(), 260), 0);
  EXPECT_EQ(query(supervisor(), 266), 1);
  EXPECT_EQ(run(supervisor(), 261), 0);
  EXPECT_EQ(query(supervisor(), 265), 1);
  EXPECT_EQ(query(supervisor(), 263), 0);
  nQoSim::tByteParameterBlock interval({0x10, 0x27, 0, 0}), answer(std::vector<uint8_t>(4));
  EXPECT_EQ(run(supervisor(), 262, &interval, &answer), 0);
  EXPECT_EQ(answer.written(), std::vector<uint32_t>{1});
  nQoSim::tByteParameterBlock done(std::vector<uint8_t>(8));
  timing.answers["getUpdatesDone 0"] = -9;
  EXPECT_EQ(run(supervisor(), 267, nullptr, &done), 0);
  EXPECT_EQ(done.written(), (std::vector<uint32_t>{17, static_cast<uint32_t>(-9)}));
  EXPECT_EQ(run(supervisor(), 400), 0);
  EXPECT_EQ(log.operations(),
            "timing.requestEndA, timing.requestEndB, timing.setMode3Hold 1, timing.setMode3Hold 0, "
            "timing.setUpdateInterval 10000, timing.getUpdatesDone 0, timing.acknowledge, "
            "timing.acknowledge");

  log.clear();
  EXPECT_EQ(run(supervisor(), 3), 0);
  EXPECT_EQ(supervisor().getState(), 5u);
  nQoSim::tByteParameterBlock notStarted({1, 0, 0, 0}), zero(std::vector<uint8_t>(4));
  EXPECT_EQ(run(supervisor(), 262, &notStarted, &zero), 0);
  EXPECT_EQ(zero.written(), std::vector<uint32_t>{0});
  EXPECT_EQ(run(supervisor(), 257), 0);
  EXPECT_EQ(run(supervisor(), 260), 0);
  EXPECT_EQ(run(supervisor(), 259), 0);
  EXPECT_EQ(log.operations(), "timing.stop, timing.disarm");
  EXPECT_EQ(run(supervisor(), 262, &notStarted, nullptr), -50004);
  EXPECT_EQ(run(supervisor(), 77), -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAOTimingControllerSupervisor", 714));
}

TEST_F(AOTimingTest, SkipAnswersFromTheStateWordAndTouchesNothing) {
  settings.record<0>().word28 = 1;
  bringUp(supervisor(), settings);
  EXPECT_EQ(query(supervisor(), 263), 0);
  EXPECT_EQ(run(supervisor(), 1), 0);
  for (uint32_t code : {263u, 264u, 265u}) EXPECT_EQ(query(supervisor(), code), 1) << code;
  EXPECT_EQ(run(supervisor(), 2), 0);
  log.clear();
  EXPECT_EQ(query(supervisor(), 265), 0);
  EXPECT_EQ(query(supervisor(), 266), 0);
  nQoSim::tByteParameterBlock timeout({5, 0, 0, 0});
  for (uint32_t code : {257u, 258u, 260u, 261u, 400u}) EXPECT_EQ(run(supervisor(), code), 0);
  EXPECT_EQ(run(supervisor(), 401, &timeout), 0);
  EXPECT_EQ(timeout.position(), 4u);
  supervisor().waitForNextSampleClock(setup);
  EXPECT_EQ(log.operations(), "facade.mayBlock, facade.endBlocking");
}

TEST_F(AOTimingTest, TheWaitUpdatesOnlyForACallerThatMayBlock) {
  bringUp(supervisor(), settings);
  facade.mayBlockAnswer = 0;
  tStatus2 status;
  supervisor().waitForNextSampleClock(status);
  EXPECT_EQ(log.operations(), "facade.mayBlock");
  facade.mayBlockAnswer = 1;
  log.clear();
  supervisor().waitForNextSampleClock(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(),
            "facade.mayBlock, timing.acknowledge, timing.acknowledge, facade.endBlocking");
  nQoSim::tByteParameterBlock timeout({100, 0, 0, 0});
  EXPECT_EQ(run(supervisor(), 401, &timeout), 0);
  EXPECT_EQ(timing.updateTimeout(), 100u);
}

// Code 401 waits as the engine's commit set it up: it polls when the commit
// took word 26 as 1, whatever a deploy of 0 wrote since, and blocks (here
// until its time-out of 0) once a commit took the 0.
TEST_F(AOTimingTest, TheUpdateWaitBlocksOrPollsAsTheEnginesCommitTookWord26) {
  bringUp(supervisor(), settings);
  ASSERT_EQ(run(supervisor(), 1), 0);
  settings.record<0>().word26 = 0;
  tStatus2 status;
  supervisor().deploy(settings, status);
  log.clear();
  nQoSim::tByteParameterBlock polled({0, 0, 0, 0});
  EXPECT_EQ(run(supervisor(), 401, &polled), 0);
  EXPECT_EQ(log.operations(), "timing.acknowledge, timing.acknowledge") << "a polling wait";
  ASSERT_EQ(run(supervisor(), 1), 0);
  nQoSim::clearStatusLog();
  nQoSim::tByteParameterBlock blocked({0, 0, 0, 0});
  EXPECT_EQ(run(supervisor(), 401, &blocked), -200474);
  EXPECT_TRUE(nQoTest::loggedAt(-200474, "tBaseAOTimingControllerPrimitive", 94))
      << "a blocking wait";
  supervisor().releaseResource(setup);
  EXPECT_EQ(status.code, 0);
}

TEST_F(AOTimingTest, CommitCancelUndoesFromTheEngineStateAndKeepsTheFirstError) {
  bringUp(supervisor(), settings);
  run(supervisor(), 1);
  run(supervisor(), 2);
  log.clear();
  tStatus2 status;
  supervisor().commitCancel(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(supervisor().getState(), 4u);
  EXPECT_EQ(log.operations(), "timing.stop, timing.disarm, timing.uncommit");

  run(supervisor(), 1);
  run(supervisor(), 2);
  timing.answers["stop"] = -7;
  timing.setState(&nQoUdP100::tPrimitiveState::setRunning);
  log.clear();
  tStatus2 failing;
  supervisor().commitCancel(failing);
  EXPECT_EQ(failing.code, -7);
  EXPECT_EQ(log.operations(), "timing.stop");
  timing.setState(&nQoUdP100::tPrimitiveState::setCommitted);
  run(supervisor(), 1);
  log.clear();
  supervisor().commitCancel(failing);
  EXPECT_EQ(log.operations(), "timing.uncommit");
  EXPECT_EQ(failing.code, -7);
}

// A start that comes after unlinkResource leaves the engine running: the
// release stops, disarms and uncommits it before it takes the notifier
// away and the engine goes back.
TEST_F(AOTimingTest, TheReleaseBringsARunningEngineDownBeforeItGoesBack) {
  bringUp(supervisor(), settings);
  tStatus2 status;
  supervisor().unlinkResource(status);
  EXPECT_EQ(run(supervisor(), 1), 0);
  EXPECT_EQ(run(supervisor(), 2), 0);
  ASSERT_TRUE(timing.state().isRunning());
  log.clear();
  supervisor().releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(),
            "timing.stop, timing.disarm, timing.uncommit, event.unregisterEvent 1, "
            "event.unregisterEvent 2");
  EXPECT_TRUE(timing.state().isUncommitted());
  EXPECT_EQ(timing.notifier(), nullptr);
}

// Commit-cancel acts only above word 4: at word 4 an engine that runs is the
// caller's business and is left as it is.
TEST_F(AOTimingTest, CommitCancelAtWordFourLeavesARunningEngineAlone) {
  bringUp(supervisor(), settings);
  tStatus2 status;
  for (auto step : {&tLoggedTiming::commit, &tLoggedTiming::arm, &tLoggedTiming::start})
    (timing.*step)(status);
  log.clear();
  supervisor().commitCancel(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "");
  EXPECT_EQ(supervisor().getState(), 4u);
  EXPECT_TRUE(timing.state().isRunning());
}

// ---- FIFO and stream adapter -----------------------------------------------

class AOFIFOTest : public AOSupervisorsTest {
 protected:
  void SetUp() override {
    AOSupervisorsTest::SetUp();
    settings.identifier = *identifier;
    settings.word3 = 1;
    settings.word7 = 21;
    for (uint32_t channel : {2u, 0u}) settings.list.append(channel);
    map.entries[21] = &transfer;
  }
  void TearDown() override {
    pool.reset();
    fifo.reset();
    AOSupervisorsTest::TearDown();
  }
  void build(uint32_t depth) {
    fifo.emplace(log, depth);
    pool.emplace(&*fifo);
    offer(*pool);
  }
  std::optional<tLoggedFIFO> fifo;
  std::optional<nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_FIFOPrimitive*>> pool;
  nQoTest::tScriptedOutputTransfer transfer{log, "transfer"};
  nQoUdR100::tAO_FIFOSettings settings;
};

// The writes count by the channels the FIFO's commit programmed: none
// before it.
TEST_F(AOFIFOTest, WritesCountPerChannelAndTheAdapterConvertsBytes) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  const int16_t samples[6] = {1, 2, 3, 4, 5, 6};
  tStatus2 status;
  EXPECT_EQ(supervisor.write(3, 0, samples, nullptr, status), 0u) << "no channels programmed";
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(fifo->programmed().channelCount, 2u);
  EXPECT_EQ(fifo->channelOrder()[0], 2u);
  EXPECT_EQ(fifo->channelOrder()[1], 0u);
  nQoUdR100::tAOStreamAdapter* adapter = supervisor.getAdapter();
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(fifo->dataSource(), adapter);

  log.clear();
  EXPECT_EQ(supervisor.write(3, 0, samples, nullptr, status), 3u);
  EXPECT_EQ(supervisor.write(0, 0, samples, nullptr, status), 0u);
  EXPECT_EQ(log.operations(), "fifo.writeSamples 6 1 2 3 4");

  log.clear();
  transfer.bytes = {1, 0, 2, 0, 0xFF, 0xFF, 9};
  EXPECT_EQ(adapter->writeSamples(4, status), 3u);
  const unsigned char lone = 0xAB;
  EXPECT_EQ(adapter->write(lone, status), 2u);
  EXPECT_EQ(adapter->writeSample(status, 0), 1u);
  adapter->finish(tStatus2());
  transfer.transferState = 5;
  EXPECT_EQ(adapter->transferState(status), 5u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(),
            "transfer.transfer 8, fifo.writeSamples 3 1 2 -1, fifo.writeSample 171, "
            "transfer.transfer 2, fifo.writeSamples 1 1, transfer.query 0, transfer.state");
}

TEST_F(AOFIFOTest, WritesOfNoChannelsOrBeyond32BitsWriteNothing) {
  build(16);
  settings.list.clear();
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  const int16_t sample = 4;
  tStatus2 status;
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(supervisor.write(5, 0, &sample, nullptr, status), 0u);
  fifo->deploy({.channelCount = 2});
  fifo->commit(status);
  EXPECT_EQ(supervisor.write(0x80000000u, 0, &sample, nullptr, status), 0u);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "tBaseAO_FIFOSupervisor", 660));
  tStatus2 one;
  fifo->deploy({.channelCount = 1});
  fifo->commit(one);
  log.clear();
  EXPECT_EQ(supervisor.write(1, 0, &sample, nullptr, one), 1u);
  EXPECT_EQ(log.operations(), "fifo.writeSample 4");
  // A single sample that the FIFO wrote nothing of is no scan written.
  fifo->sampleWritten = 0;
  EXPECT_EQ(supervisor.write(1, 0, &sample, nullptr, one), 0u);
  EXPECT_EQ(one.code, 0);
  supervisor.releaseResource(one);
  EXPECT_EQ(supervisor.write(1, 0, &sample, nullptr, one), 0u);
  EXPECT_EQ(one.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_FIFOSupervisor", 652));
}

// A write counts its scans by the channels the FIFO's commit programmed: a
// deploy of three channels under a commit of two leaves the writes at two
// samples a scan until the next code 1. The release forgets the commit.
TEST_F(AOFIFOTest, AWriteCountsItsScansByTheChannelsTheCommitProgrammed) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  ASSERT_EQ(run(supervisor, 1), 0);
  settings.list.append(1);
  tStatus2 status;
  supervisor.deploy(settings, status);
  log.clear();
  const int16_t samples[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(supervisor.write(2, 0, samples, nullptr, status), 2u);
  EXPECT_EQ(log.operations(), "fifo.writeSamples 4 1 2 3 4");
  ASSERT_EQ(run(supervisor, 1), 0);
  log.clear();
  EXPECT_EQ(supervisor.write(2, 0, samples, nullptr, status), 2u);
  EXPECT_EQ(log.operations(), "fifo.writeSamples 6 1 2 3 4");
  EXPECT_EQ(status.code, 0);
  supervisor.releaseResource(status);
  EXPECT_EQ(fifo->writeChannels(), 0u);
  EXPECT_EQ(fifo->programmed().channelCount, 0u);
}

TEST_F(AOFIFOTest, RefusedSettingsHandThePoolBack) {
  struct tCase {
    uint32_t depth;
    uint32_t regenerate;
    uint32_t channels;
    int code;
    const char* file;
    unsigned line;
  };
  const tCase cases[] = {{0, 1, 2, -223749, "tBaseAO_FIFOPrimitive", 274},
                         {16, 0, 5, -50150, "tBaseAO_FIFOSupervisor", 236}};
  for (const tCase& c : cases) {
    build(c.depth);
    settings.word4 = c.regenerate;
    settings.list.clear();
    for (uint32_t k = 0; k < c.channels; ++k) settings.list.append(k);
    nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
    tStatus2 status;
    nQoSim::resetResourceBroker();
    offer(*pool);
    supervisor.initialize(settings, &facade, status);
    supervisor.reserveResource(status);
    EXPECT_EQ(status.code, c.code);
    EXPECT_TRUE(nQoTest::loggedAt(c.code, c.file, c.line));
    EXPECT_EQ(supervisor.getPrimitive(), nullptr);
    EXPECT_EQ(nQoTest::brokerOperations(), (std::vector<int>{6, 7}));
    // The refused settings reached nothing a commit would program.
    fifo->commit(status);
    EXPECT_EQ(fifo->programmed().channelCount, 0u);
    EXPECT_EQ(fifo->programmed().regenerateFromFIFO, 0u);
  }
}

// A list exactly as long as the primitive's channel table (4) is applied in
// full.
TEST_F(AOFIFOTest, AListAsLongAsTheChannelTableIsApplied) {
  build(16);
  settings.list.clear();
  for (uint32_t channel : {3u, 1u, 0u, 2u}) settings.list.append(channel);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  EXPECT_EQ(supervisor.getPrimitive(), &*fifo);
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(fifo->programmed().channelCount, 4u);
  const uint32_t expected[] = {3, 1, 0, 2};
  for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(fifo->channelOrder()[k], expected[k]) << k;
  supervisor.releaseResource(setup);
}

// At word 4 commit-cancel leaves an armed primitive alone.
TEST_F(AOFIFOTest, CommitCancelAtWordFourLeavesAnArmedPrimitiveAlone) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status;
  fifo->commit(status);
  fifo->arm(status);
  log.clear();
  supervisor.commitCancel(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "");
  EXPECT_EQ(supervisor.getState(), 4u);
  EXPECT_TRUE(fifo->state().isArmed());
  supervisor.releaseResource(setup);
}

// Bytes of the transfer held inside the FIFO through the adapter, then a
// write from the user's thread held there: unlinkResource waits for the
// first before the adapter's links go, the release for the second before
// the FIFO goes back to its pool; later ones reach no FIFO.
TEST_F(AOFIFOTest, UnlinkResourceAndTheReleaseWaitForWritesUnderWay) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  ASSERT_EQ(run(supervisor, 1), 0);
  log.clear();
  nQoUdR100::tAOStreamAdapter* adapter = supervisor.getAdapter();
  ASSERT_NE(adapter, nullptr);
  alignas(2) const unsigned char bytes[4] = {1, 0, 2, 0};
  const int16_t samples[2] = {7, 8};
  const std::function<void()> writes[] = {[&] {
                                            tStatus2 s;
                                            adapter->write(bytes, 4, s);
                                          },
                                          [&] {
                                            tStatus2 s;
                                            supervisor.write(1, 0, samples, nullptr, s);
                                          }};
  const std::function<void()> steps[] = {[&] { supervisor.unlinkResource(setup); },
                                         [&] { supervisor.releaseResource(setup); }};
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    nQoTest::tHeldPass held;
    fifo->inside = [&] { held.hold(); };
    held.run(writes[k]);
    held.tearDown(steps[k]);
    EXPECT_TRUE(held.teardownWaited());
    fifo->inside = nullptr;
  }
  tStatus2 late;
  EXPECT_EQ(adapter->write(bytes, 4, late), 0u);
  EXPECT_EQ(supervisor.write(1, 0, samples, nullptr, late), 0u);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_FIFOSupervisor", 652));
  EXPECT_EQ(log.operations(), "fifo.writeSamples 2 1 2, fifo.writeSamples 2 7 8, fifo.uncommit");
}

// While a write is held inside the FIFO, the release leaves the FIFO's data
// source and the adapter's links as they are.
TEST_F(AOFIFOTest, TheReleaseUnlinksTheAdapterOnlyAfterAWriteUnderWayHasLeft) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  ASSERT_EQ(run(supervisor, 1), 0);
  log.clear();
  nQoUdR100::tAOStreamAdapter* adapter = supervisor.getAdapter();
  ASSERT_NE(adapter, nullptr);
  transfer.transferState = 5;
  const int16_t samples[2] = {7, 8};
  const auto inside = nQoTest::seenInside(
      fifo->inside,
      [&] {
        tStatus2 s;
        supervisor.write(1, 0, samples, nullptr, s);
      },
      [&] { supervisor.releaseResource(setup); },
      [&] {
        tStatus2 s;
        return std::pair<const void*, uint32_t>(fifo->dataSource(), adapter->transferState(s));
      });
  EXPECT_TRUE(inside.waited);
  EXPECT_EQ(inside.seen, (std::pair<const void*, uint32_t>(adapter, 5)));
  tStatus2 status;
  EXPECT_EQ(fifo->dataSource(), nullptr);
  EXPECT_EQ(adapter->transferState(status), 0u);
  EXPECT_EQ(log.operations(), "fifo.writeSamples 2 7 8, transfer.state, fifo.uncommit");
}

// A supervisor destroyed while it holds the FIFO and its links runs
// unlinkResource and the release first: a byte write of the transfer held in
// the FIFO through the adapter sees the adapter still linked and the FIFO
// still granted; afterwards the FIFO keeps no data source that its
// completion or refill could call, and a fresh reservation finds it free.
TEST_F(AOFIFOTest, ASupervisorDestroyedWhileLinkedTakesItsAdapterBackFirst) {
  build(16);
  auto* supervisor = new nQoUdR100::tBaseAO_FIFOSupervisor;
  bringUp(*supervisor, settings);
  nQoUdR100::tAOStreamAdapter* adapter = supervisor->getAdapter();
  ASSERT_NE(adapter, nullptr);
  alignas(2) const unsigned char bytes[2] = {5, 0};
  const auto inside = nQoTest::seenInside(
      fifo->inside,
      [&] {
        tStatus2 s;
        adapter->write(bytes, 2, s);
      },
      [&] { delete supervisor; },
      [&] {
        return std::pair<const void*, std::vector<int>>(fifo->dataSource(),
                                                        nQoTest::brokerOperations());
      });
  EXPECT_TRUE(inside.waited);
  EXPECT_EQ(inside.seen.first, adapter);
  EXPECT_EQ(inside.seen.second, (std::vector<int>{6}));
  EXPECT_EQ(nQoTest::brokerOperations(), (std::vector<int>{6, 7}));
  // What the FIFO's completion calls.
  if (nQoUdP100::iAODataSource* source = fifo->dataSource()) source->finish(tStatus2());
  EXPECT_EQ(fifo->dataSource(), nullptr);

  nQoUdR100::tBaseAO_FIFOSupervisor next;
  bringUp(next, settings);
  EXPECT_EQ(next.getPrimitive(), &*fifo);
  EXPECT_EQ(fifo->dataSource(), next.getAdapter());
  next.releaseResource(setup);
}

// A DMA link whose channel is missing fails after the adapter took the
// transfer's endpoint: the link is undone, so the FIFO's completion reaches
// no endpoint until the next link succeeds.
TEST_F(AOFIFOTest, AFailedDMALinkTakesTheEndpointBackFromTheAdapter) {
  struct tEndedEndpoint : nQoLMSDR100::iDMAEndpoint {
    void transferEnded(const tStatus2&, tStatus2&) override { ++ended; }
    int ended = 0;
  } endpoint;
  struct tPartner : nQoTest::tScriptedPartner<nQoLMSDR100::iDMATransferSupervisor> {
    using tScriptedPartner::tScriptedPartner;
    nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2&) override { return endpoint; }
    nQoLMSDR100::iDMAEndpoint* endpoint = nullptr;
  } dmaTransfer{log, "dmaTransfer"};
  dmaTransfer.endpoint = &endpoint;
  nQoTest::tScriptedDMAChannel channel{log, "channel"};
  channel.channelNumber = 3;
  build(16);
  map.entries[21] = &dmaTransfer;
  settings.word3 = 0;
  settings.word6 = 6;
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  tStatus2 status, link;
  supervisor.initialize(settings, &facade, status);
  supervisor.link(map, status);
  supervisor.reserveResource(status);
  supervisor.linkResource(link);
  EXPECT_EQ(link.code, -89000);
  EXPECT_TRUE(nQoTest::loggedAt(-89000, "tBaseAO_FIFOSupervisor", 306));
  EXPECT_EQ(supervisor.getState(), 3u);
  supervisor.getAdapter()->finish(tStatus2());
  EXPECT_EQ(endpoint.ended, 0) << "the failed link left the adapter linked";

  map.entries[6] = &channel;
  supervisor.link(map, status);
  supervisor.linkResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(fifo->programmed().dmaChannel, 3u);
  supervisor.getAdapter()->finish(tStatus2());
  EXPECT_EQ(endpoint.ended, 1);
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
}

TEST_F(AOFIFOTest, ModesLinkTheirTransfersAndAnAdapterWithoutObjectsAnswersZero) {
  build(0);
  settings.word3 = 2;
  nQoUdR100::tBaseAO_FIFOSupervisor direct;
  bringUp(direct, settings);
  EXPECT_EQ(direct.getAdapter(), nullptr);
  EXPECT_EQ(fifo->dataSource(), nullptr);
  EXPECT_EQ(run(direct, 1), 0);
  EXPECT_EQ(fifo->programmed().fifoMode, 2u);
  EXPECT_EQ(fifo->programmed().refillChunk, 1u);
  direct.releaseResource(setup);

  nQoTest::tScriptedDMATransfer dmaTransfer{log, "dmaTransfer"};
  nQoTest::tScriptedDMAChannel channel{log, "channel"};
  channel.channelNumber = 3;
  map.entries[21] = &dmaTransfer;
  map.entries[6] = &channel;
  settings.word3 = 0;
  settings.word6 = 6;
  nQoUdR100::tBaseAO_FIFOSupervisor dma;
  bringUp(dma, settings);
  EXPECT_EQ(run(dma, 1), 0);
  EXPECT_EQ(fifo->programmed().dmaChannel, 3u);
  log.clear();
  nQoUdR100::tAOStreamAdapter* adapter = dma.getAdapter();
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->getMode(), 0u);
  tStatus2 status;
  const unsigned char bytes[4] = {1, 2, 3, 4};
  EXPECT_EQ(adapter->writeSamples(2, status), 0u);
  EXPECT_EQ(adapter->write(bytes, 4, status), 0u);
  EXPECT_EQ(adapter->transferState(status), 0u);
  adapter->finish(status);
  EXPECT_EQ(log.operations(), "");

  map.entries[21] = &channel;
  nQoUdR100::tBaseAO_FIFOSupervisor wrong;
  dma.releaseResource(setup);
  tStatus2 failed;
  wrong.initialize(settings, &facade, failed);
  wrong.link(map, failed);
  wrong.reserveResource(failed);
  wrong.linkResource(failed);
  EXPECT_EQ(failed.code, -89000);
  EXPECT_TRUE(nQoTest::loggedAt(-89000, "tBaseAO_FIFOSupervisor", 300));
}

// A release with no unlinkResource before it takes back, after the FIFO's
// bring-down, what the DMA link gave: the adapter's endpoint and the
// channel's observable, as unlinkResource would; the next owner's FIFO
// registers with no channel of this task.
TEST_F(AOFIFOTest, AReleaseAloneTakesBackTheChannelsObservable) {
  struct tObservable : nQoLMSDR100::iDMAObservable {
    void registerObserver(uint32_t, nQoLMSDR100::iDMAObserver*, tStatus2&) override {}
    void unregisterObserver(uint32_t, nQoLMSDR100::iDMAObserver*, tStatus2&) override {}
  } observable;
  struct tObservedChannel : nQoTest::tScriptedDMAChannel {
    using tScriptedDMAChannel::tScriptedDMAChannel;
    nQoLMSDR100::iDMAObservable* getObservable(tStatus2&) override { return observable; }
    nQoLMSDR100::iDMAObservable* observable = nullptr;
  } channel{log, "channel"};
  channel.observable = &observable;
  build(16);
  nQoTest::tScriptedDMATransfer dmaTransfer{log, "dmaTransfer"};
  map.entries[21] = &dmaTransfer;
  map.entries[6] = &channel;
  settings.word3 = 0;
  settings.word6 = 6;
  nQoUdR100::tBaseAO_FIFOSupervisor dma;
  bringUp(dma, settings);
  ASSERT_EQ(fifo->dmaObservable(), &observable);
  tStatus2 status;
  dma.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(fifo->dmaObservable(), nullptr);
  EXPECT_EQ(fifo->dataSource(), nullptr);
  EXPECT_EQ(dma.getState(), 2u);
}

// A commit and a write from another thread right after the reservation,
// which nothing but the supervisor's own steps orders after it, find the FIFO
// with its channel count and order: the FIFO went into the slot only once it
// had them.
TEST_F(AOFIFOTest, AWriteOnAnotherThreadAfterTheReservationFindsTheFIFOPrepared) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  tStatus2 status, written;
  supervisor.initialize(settings, &facade, status);
  supervisor.link(map, status);
  log.clear();
  const int16_t samples[2] = {5, 6};
  uint32_t scans = 0;
  {
    nQoTest::tUnorderedCall write([&] {
      supervisor.control(1, nullptr, nullptr, written);
      scans = supervisor.write(1, 0, samples, nullptr, written);
    });
    supervisor.reserveResource(status);
    ASSERT_TRUE(write.run());
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(written.code, 0);
  EXPECT_EQ(scans, 1u);
  EXPECT_EQ(log.operations(), "fifo.commit, fifo.writeSamples 2 5 6");
  supervisor.releaseResource(status);
}

// A commit from another thread while linkResource fills the FIFO for DMA
// (the channel's number given, its observable asked for) finds no FIFO: the
// FIFO and the adapter are filled out of the codes' reach. After the link
// the commit reaches the FIFO, which holds the channel and its observable.
TEST_F(AOFIFOTest, ACodeDuringTheDMALinkReachesTheFIFOOnlyOnceItIsFilled) {
  struct tObservable : nQoLMSDR100::iDMAObservable {
    void registerObserver(uint32_t, nQoLMSDR100::iDMAObserver*, tStatus2&) override {}
    void unregisterObserver(uint32_t, nQoLMSDR100::iDMAObserver*, tStatus2&) override {}
  } observable;
  struct tObservedChannel : nQoTest::tScriptedDMAChannel {
    using tScriptedDMAChannel::tScriptedDMAChannel;
    nQoLMSDR100::iDMAObservable* getObservable(tStatus2&) override {
      if (onObservable) onObservable();
      return observable;
    }
    std::function<void()> onObservable;
    nQoLMSDR100::iDMAObservable* observable = nullptr;
  } channel{log, "channel"};
  channel.observable = &observable;
  channel.channelNumber = 3;
  build(16);
  nQoTest::tScriptedDMATransfer dmaTransfer{log, "dmaTransfer"};
  map.entries[21] = &dmaTransfer;
  map.entries[6] = &channel;
  settings.word3 = 0;
  settings.word6 = 6;
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  tStatus2 status, during;
  supervisor.initialize(settings, &facade, status);
  supervisor.link(map, status);
  supervisor.reserveResource(status);
  {
    nQoTest::tUnorderedCall code([&] { supervisor.control(1, nullptr, nullptr, during); });
    channel.onObservable = [&] { EXPECT_TRUE(code.run()); };
    supervisor.linkResource(status);
    channel.onObservable = nullptr;
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(during.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_FIFOSupervisor", 401));
  EXPECT_FALSE(fifo->state().isCommitted());
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_TRUE(fifo->state().isCommitted());
  EXPECT_EQ(fifo->programmed().dmaChannel, 3u);
  EXPECT_EQ(fifo->dmaObservable(), &observable);
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(AOFIFOTest, ControlMovesTheWordAndCommitCancelUndoesFromTheFIFOState) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  EXPECT_EQ(query(supervisor, 259), 4);
  EXPECT_EQ(query(supervisor, 260), 16);
  EXPECT_EQ(query(supervisor, 261), 8);
  fifo->answers["arm"] = -3;
  EXPECT_EQ(run(supervisor, 1), 0);
  EXPECT_EQ(run(supervisor, 4100), -3);
  EXPECT_EQ(supervisor.getState(), 5u);
  fifo->answers.clear();
  for (uint32_t code : {4100u, 2u, 3u}) EXPECT_EQ(run(supervisor, code), 0);
  EXPECT_EQ(supervisor.getState(), 6u);
  EXPECT_EQ(query(supervisor, 258), 1);
  EXPECT_EQ(run(supervisor, 600), -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAO_FIFOSupervisor", 600));
  log.clear();
  tStatus2 status;
  supervisor.commitCancel(status);
  EXPECT_EQ(supervisor.getState(), 4u);
  EXPECT_EQ(log.operations(), "fifo.complete, fifo.uncommit");
  supervisor.releaseResource(status);
  EXPECT_EQ(fifo->dataSource(), nullptr);
  EXPECT_EQ(run(supervisor, 1), -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_FIFOSupervisor", 401));
}

// A start after unlinkResource leaves the FIFO running: the release stops it
// back to armed, completes and uncommits it while its data source is still
// the adapter, then takes the adapter away.
TEST_F(AOFIFOTest, TheReleaseBringsARunningFIFODownBeforeItGoesBack) {
  build(16);
  nQoUdR100::tBaseAO_FIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status;
  supervisor.unlinkResource(status);
  for (uint32_t code : {1u, 4100u, 2u}) EXPECT_EQ(run(supervisor, code), 0);
  ASSERT_TRUE(fifo->state().isRunning());
  log.clear();
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "fifo.restoreArmed, fifo.complete, fifo.uncommit");
  EXPECT_TRUE(fifo->state().isUncommitted());
  EXPECT_EQ(fifo->dataSource(), nullptr);
}

// ---- DAC transfer and routable --------------------------------------------

class AODACTransferTest : public AOSupervisorsTest {
 protected:
  void SetUp() override {
    AOSupervisorsTest::SetUp();
    for (uint32_t k = 0; k < 2; ++k) {
      dacSettings[k].record<0>().identifier = *identifier;
      dacSettings[k].record<0>().identifier.setIndex(k);
      dacPools[k].emplace(&dacs[k]);
      nQoMRL100::getResourceBroker(setup)->registerPool(&dacSettings[k].record<0>().identifier,
                                                        &*dacPools[k], setup);
      bringUp(dacSupervisors[k], dacSettings[k]);
      map.entries[30 + k] = &dacSupervisors[k];
      settings.list.append(30 + k);
    }
    nQoUdR100::tAOTimingControllerSettings timingSettings;
    timingSettings.record<0>().identifier = *identifier;
    timingSettings.record<0>().identifier.setIndex(5);
    timingPool.emplace(&timing);
    nQoMRL100::getResourceBroker(setup)->registerPool(&timingSettings.record<0>().identifier,
                                                      &*timingPool, setup);
    timingHeld.emplace();
    transferHeld.emplace();
    bringUp(timingSupervisor(), timingSettings);
    map.entries[40] = &timingSupervisor();
    settings.word4 = 40;
    log.clear();
  }
  void TearDown() override {
    for (auto& supervisor : dacSupervisors) supervisor.releaseResource(setup);
    transferHeld.reset();
    timingHeld.reset();
    AOSupervisorsTest::TearDown();
  }
  tLoggedDAC dacs[2] = {{log, "dac0"}, {log, "dac1"}};
  std::optional<nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*>> dacPools[2];
  nQoUdR100::tAO_DACSettings dacSettings[2];
  nQoUdR100::tBaseAO_DACSupervisor dacSupervisors[2];
  tLoggedTiming timing{log};
  std::optional<nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAOTimingControllerPrimitive*>>
      timingPool;
  // Emplaced per test: the observer and the channel table are the module's
  // allocations.
  std::optional<nQoUdR100::tBaseAOTimingControllerSupervisor> timingHeld;
  std::optional<nQoUdR100::tBaseAO_DACTransferSupervisor> transferHeld;
  nQoUdR100::tBaseAOTimingControllerSupervisor& timingSupervisor() { return *timingHeld; }
  nQoUdR100::tBaseAO_DACTransferSupervisor& transfer() { return *transferHeld; }
  nQoUdR100::tAO_DACTransferSettings settings;
};

TEST_F(AODACTransferTest, ScansSpreadOverTheChannelsWithAPulseAfterEach) {
  settings.word2 = 1;
  bringUp(transfer(), settings);
  EXPECT_EQ(run(transfer(), 1), 0);
  const int16_t samples[6] = {10, 11, 12, 13, 14, 15};
  const uint16_t firstOnly[2] = {1, 0}, none[2] = {0, 0};
  tStatus2 status;
  EXPECT_EQ(transfer().write(3, 0, samples, firstOnly, status), 1u);
  EXPECT_EQ(log.operations(),
            "dac0.writeValue 10, timing.softwareUpdatePulse, dac0.writeValue 12, "
            "timing.softwareUpdatePulse, dac0.writeValue 14, timing.softwareUpdatePulse");
  log.clear();
  EXPECT_EQ(transfer().write(1, 0, samples, none, status), 0u);
  EXPECT_EQ(transfer().write(1, 0, samples, nullptr, status), 1u);
  EXPECT_EQ(transfer().write(0, 0, samples, nullptr, status), 0u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(),
            "timing.softwareUpdatePulse, dac0.writeValue 10, dac1.writeValue 11, "
            "timing.softwareUpdatePulse");
  EXPECT_EQ(transfer().getAvailable(status), 0u);
  EXPECT_EQ(status.code, -200454);
  EXPECT_TRUE(nQoTest::loggedAt(-200454, "tBaseAO_DACTransferSupervisor", 422));
}

// unlinkResource takes every channel's DAC, the last one too: a write then
// reaches no DAC, and a new linkResource gives them back.
TEST_F(AODACTransferTest, AfterUnlinkResourceAWriteReachesNoDACUntilLinkedAgain) {
  settings.list.clear();
  settings.list.append(31);
  bringUp(transfer(), settings);
  const int16_t sample = 21;
  tStatus2 status, unlinked;
  EXPECT_EQ(transfer().write(1, 0, &sample, nullptr, status), 1u);
  transfer().unlinkResource(status);
  EXPECT_EQ(transfer().getState(), 3u);
  EXPECT_EQ(transfer().write(1, 0, &sample, nullptr, unlinked), 0u);
  EXPECT_EQ(unlinked.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACTransferSupervisor", 392));
  transfer().linkResource(status);
  EXPECT_EQ(transfer().write(1, 0, &sample, nullptr, status), 1u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "dac1.writeValue 21, dac1.writeValue 21");
}

// A release with no unlinkResource before it lets the borrowed DACs go as
// unlinkResource does, since their owners may hand them back once the task
// is released: a write after it reaches no DAC.
TEST_F(AODACTransferTest, AfterAReleaseAloneAWriteReachesNoDAC) {
  settings.list.clear();
  settings.list.append(31);
  bringUp(transfer(), settings);
  const int16_t sample = 21;
  tStatus2 status, released;
  transfer().releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(transfer().getState(), 2u);
  EXPECT_EQ(transfer().write(1, 0, &sample, nullptr, released), 0u);
  EXPECT_EQ(released.code, -50004);
  EXPECT_EQ(log.operations(), "");
}

// A write from the user's thread held inside the first channel's DAC:
// unlinkResource waits for it before it takes the borrowed DACs, unlink
// before it frees the table. A write after unlinkResource gets -50004, one
// after unlink finds no table and writes nothing.
TEST_F(AODACTransferTest, UnlinkResourceAndUnlinkWaitForAWriteUnderWay) {
  bringUp(transfer(), settings);
  const int16_t samples[2] = {10, 11};
  const uint16_t firstOnly[2] = {1, 0};
  const struct {
    const char* name;
    std::function<void()> step;
    int later;
  } cases[] = {{"unlinkResource", [&] { transfer().unlinkResource(setup); }, -50004},
               {"unlink", [&] { transfer().unlink(setup); }, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tStatus2 status;
    transfer().linkResource(status);
    ASSERT_EQ(transfer().getState(), 4u);
    nQoTest::tHeldPass held;
    dacs[0].inside = [&] { held.hold(); };
    held.run([&] {
      tStatus2 s;
      transfer().write(1, 0, samples, firstOnly, s);
    });
    held.tearDown(c.step);
    EXPECT_TRUE(held.teardownWaited());
    dacs[0].inside = nullptr;
    tStatus2 later;
    EXPECT_EQ(transfer().write(1, 0, samples, nullptr, later), 0u);
    EXPECT_EQ(later.code, c.later);
  }
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACTransferSupervisor", 392));
  EXPECT_EQ(log.operations(), "dac0.writeValue 10, dac0.writeValue 10");
}

// A write held inside the first channel's DAC goes on to the second through
// the channel table: unlink frees the table only once the write has left it.
TEST_F(AODACTransferTest, UnlinkFreesTheChannelTableOnlyAfterAWriteUnderWayHasLeftIt) {
  bringUp(transfer(), settings);
  const int16_t samples[2] = {10, 11};
  const auto inside = nQoTest::seenInside(
      dacs[0].inside,
      [&] {
        tStatus2 s;
        transfer().write(1, 0, samples, nullptr, s);
      },
      [&] { transfer().unlink(setup); }, [&] { return log.operations(); });
  EXPECT_TRUE(inside.waited);
  EXPECT_EQ(inside.seen, "dac0.writeValue 10");
  EXPECT_EQ(log.operations(), "dac0.writeValue 10, dac1.writeValue 11");
  EXPECT_EQ(transfer().getState(), 1u);
}

// A deploy that moves word 2 while a write is inside its first DAC: that
// write and the next pulse by the word the last code 1 took (with no engine
// linked, a pulse read again after the deploy would reach none); the write
// after the next code 1 goes by the deployed word.
TEST_F(AODACTransferTest, AWriteGoesByTheWordTwoItsCommitTookThroughADeploy) {
  const struct {
    const char* name;
    uint32_t linked, deployed;
    const char* during;
    const char* next;
    int nextCode;
  } cases[] = {
      {"a deploy that turns the pulse on", 0, 1, "dac0.writeValue 10, dac1.writeValue 11", "",
       -50004},
      {"a deploy that turns the pulse off", 1, 0,
       "dac0.writeValue 10, dac1.writeValue 11, timing.softwareUpdatePulse",
       "dac0.writeValue 10, dac1.writeValue 11", 0},
  };
  const int16_t samples[2] = {10, 11};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    transferHeld.emplace();
    settings.word2 = c.linked;
    bringUp(transfer(), settings);
    EXPECT_EQ(run(transfer(), 1), 0);
    bool deployed = false;
    tStatus2 deploy;
    dacs[0].inside = [&] {
      if (deployed) return;
      deployed = true;
      settings.word2 = c.deployed;
      transfer().deploy(settings, deploy);
    };
    tStatus2 status;
    EXPECT_EQ(transfer().write(1, 0, samples, nullptr, status), 1u);
    dacs[0].inside = nullptr;
    EXPECT_TRUE(deployed);
    EXPECT_EQ(deploy.code, 0);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(log.operations(), c.during);
    log.clear();
    EXPECT_EQ(transfer().write(1, 0, samples, nullptr, status), 1u);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(log.operations(), c.during);
    log.clear();
    EXPECT_EQ(run(transfer(), 1), 0);
    tStatus2 next;
    EXPECT_EQ(transfer().write(1, 0, samples, nullptr, next), c.nextCode == 0 ? 1u : 0u);
    EXPECT_EQ(next.code, c.nextCode);
    EXPECT_EQ(log.operations(), c.next);
  }
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACTransferSupervisor", 392));
}

TEST_F(AODACTransferTest, AWriteWithAMissingPrimitiveWritesNothing) {
  map.entries[31] = &timingSupervisor();
  settings.word2 = 1;
  tStatus2 status;
  transfer().initialize(settings, &facade, status);
  transfer().link(map, status);
  transfer().linkResource(status);
  EXPECT_EQ(status.code, -89000);
  const int16_t samples[2] = {1, 2};
  tStatus2 write;
  EXPECT_EQ(transfer().write(1, 0, samples, nullptr, write), 0u);
  EXPECT_EQ(write.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAO_DACTransferSupervisor", 392));

  map.entries[31] = &dacSupervisors[1];
  map.entries[40] = nullptr;
  nQoUdR100::tBaseAO_DACTransferSupervisor noTiming;
  tStatus2 second;
  noTiming.initialize(settings, &facade, second);
  noTiming.link(map, second);
  noTiming.linkResource(second);
  tStatus2 pulse;
  EXPECT_EQ(noTiming.write(1, 0, samples, nullptr, pulse), 0u);
  EXPECT_EQ(pulse.code, -50004);
  EXPECT_EQ(log.operations().find("writeValue"), std::string::npos);
}

TEST_F(AODACTransferTest, DoneEventsFollowWordOne) {
  settings.word1 = 1;
  bringUp(transfer(), settings);
  tStatus2 status;
  EXPECT_EQ(run(transfer(), 1), 0);
  EXPECT_EQ(run(transfer(), 3), 0);
  EXPECT_EQ(transfer().getState(), 5u);
  EXPECT_EQ(run(transfer(), 2), -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAO_DACTransferSupervisor", 357));
  transfer().commitCancel(status);
  EXPECT_EQ(transfer().getState(), 4u);
  transfer().unlinkResource(status);
  transfer().releaseResource(status);
  transfer().unlink(status);
  EXPECT_EQ(transfer().getState(), 1u);
  EXPECT_EQ(log.operations(), "event.post 1 0, event.unregisterEvent 1, event.unregisterEvent 2");

  // The stop posts by word 1 as the reserve took it, whatever a deploy set
  // since: the kinds it registered hear the end, and a task reserved without
  // them posts nothing.
  for (const uint32_t reserved : {1u, 0u}) {
    SCOPED_TRACE(reserved);
    nQoUdR100::tBaseAO_DACTransferSupervisor deployed;
    settings.word1 = reserved;
    bringUp(deployed, settings);
    settings.word1 = 1 - reserved;
    deployed.deploy(settings, status);
    log.clear();
    EXPECT_EQ(run(deployed, 1), 0);
    EXPECT_EQ(run(deployed, 3), 0);
    EXPECT_EQ(log.operations(), reserved != 0 ? "event.post 1 0" : "");
    deployed.releaseResource(status);
    deployed.unlink(status);
  }
  EXPECT_EQ(status.code, 0);
}

// A deploy while reserved changes word 1 for the next reservation; the
// release ends the registrations of its own reserve only.
TEST_F(AODACTransferTest, TheReleaseEndsTheRegistrationsOfItsReserveAfterADeploy) {
  const struct {
    const char* name;
    uint32_t reserved, deployed;
    const char* registered;
    const char* released;
  } cases[] = {
      {"a deploy that drops both kinds", 1, 0, "event.registerEvent 1, event.registerEvent 2",
       "event.unregisterEvent 1, event.unregisterEvent 2"},
      {"a deploy that adds both kinds", 0, 1, "", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    nQoUdR100::tBaseAO_DACTransferSupervisor supervisor;
    settings.word1 = c.reserved;
    tStatus2 status;
    supervisor.initialize(settings, &facade, status);
    supervisor.link(map, status);
    log.clear();
    supervisor.reserveResource(status);
    EXPECT_EQ(log.operations(), c.registered);
    settings.word1 = c.deployed;
    supervisor.deploy(settings, status);
    log.clear();
    supervisor.releaseResource(status);
    EXPECT_EQ(log.operations(), c.released);
    EXPECT_EQ(status.code, 0);
    supervisor.unlink(status);
  }
}

// The pairs reach the engine's deployed fields, which its next commit
// programs.
TEST_F(AODACTransferTest, TheRoutableAppliesOnlyPendingPairsInOrder) {
  nQoUdR100::tAORoutable routable(&timing);
  tStatus2 status;
  const nQoUdP100::tAOTimingFields& f = timing.programmed();
  routable.route(8, 99, status);
  routable.apply(status);
  timing.commit(status);
  EXPECT_EQ(f.outputSelect, 0u);
  EXPECT_EQ(f.timingSelectB, 0u);
  const nQoMRU210::tRoute routes[] = {{7, 4}, {0, 5}, {1, 6}, {2, 9}};
  routable.routeList({routes, routes + 4}, status);
  timing.deploy({.timingFlagA = 77});
  routable.apply(status);
  EXPECT_EQ(f.timingSelectB, 0u) << "the engine's next commit takes them";
  timing.commit(status);
  EXPECT_EQ(f.timingSelectB, 5u);
  EXPECT_EQ(f.timingFlagB, 6u);
  EXPECT_EQ(f.timingSelectA, 9u);
  EXPECT_EQ(f.timingFlagA, 0u) << "a pair writes both values";
  EXPECT_EQ(f.outputSelect, 0u);
  EXPECT_EQ(f.outputControlBit3, 4u);
  timing.deploy({.timingSelectB = 1});
  routable.apply(status);
  timing.commit(status);
  EXPECT_EQ(f.timingSelectB, 1u) << "nothing pending any more";
  EXPECT_EQ(status.code, 0);
}

}  // namespace
