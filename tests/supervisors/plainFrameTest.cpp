// The plain-state frame over a logging primitive: the word through the
// lifecycle, a row's step table (sites, failed forward and undo steps, a
// step that keeps the word), the commit-cancel by the word and the
// reservation under the settings' identifier.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "settings/tEmptySettings.h"
#include "sim/simResourceBroker.h"
#include "supervisors/tPlainSupervisor.h"
#include "support/heldPass.h"
#include "support/moduleFixture.h"
#include "support/probeSupervisor.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tProbePrimitive;
using nQoUdR100::tPlainStep;

// Commit, arm (keeps the word), start and stop by table; uncommit undoes.
// inside runs in the handler, where a test holds a code; resets counts the
// links' resets.
class tPlainProbe final
    : public nQoUdR100::tReservingSupervisor<tPlainProbe, nQoMRL100::iPrimitiveSupervisor,
                                             nQoTest::tProbeRecordSettings, tProbePrimitive> {
 public:
  [[maybe_unused]] static constexpr const char* kClassName = "nQoUdR100::tPlainProbe";
  static constexpr const char* kFile = "tPlainProbe";
  static inline void* ___classID = nullptr;
  static constexpr tPlainStep<tProbePrimitive> kSteps[] = {
      {1, &tProbePrimitive::commit, 5},
      {4100, &tProbePrimitive::arm, tPlainStep<tProbePrimitive>::kKeep},
      {2, &tProbePrimitive::start, 6},
      {3, &tProbePrimitive::stop, 5, true},
      {4, &tProbePrimitive::uncommit, 4, true}};
  ~tPlainProbe() override { retire(); }
  void unlinkResource(tStatus2& status) override { unlinkOutOfReach(status); }
  std::function<void()> inside;
  int* resets = nullptr;

 private:
  friend tPlainSupervisor;
  void resetLinks(tProbePrimitive*, tStatus2&) {
    if (resets != nullptr) ++*resets;
  }
  void onControl(tProbePrimitive* primitive, uint32_t code, nQoMRL100::iControlParameterBlock*,
                 nQoMRL100::iControlParameterBlock*, tStatus2& status) {
    if (inside) inside();
    if (!runStep(kSteps, primitive, code, status, 30))
      nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 40});
  }
};

class PlainFrameTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    settings.emplace();
    settings->supervisorRecord().identifier.setString("PROBE", setup);
    identifier.emplace(settings->supervisorRecord().identifier);
    nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
    identifier.reset();
    nQoTest::tLeakCheckedTest::TearDown();
  }

  // Up to resources linked on one status, the log cleared.
  void bringUp(tPlainProbe& supervisor) {
    tStatus2 status;
    supervisor.initialize(*settings, &facade, status);
    supervisor.link(map, status);
    supervisor.reserveResource(status);
    supervisor.linkResource(status);
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(supervisor.getState(), 4u);
    log.clear();
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  tProbePrimitive primitive{log, "primitive"};
  nQoTest::tProbePool pool{&primitive};
  std::optional<nQoTest::tProbeRecordSettings> settings;
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
};

TEST_F(PlainFrameTest, TheWordFollowsTheLifecycleAndTheReservationUsesTheSettingsIdentifier) {
  tPlainProbe supervisor;
  tStatus2 status, foreign, failed(-7);
  nQoUdR100::tEmptySettings other;
  supervisor.deploy(other, foreign);
  EXPECT_EQ(foreign.code, -89000);
  EXPECT_TRUE(nQoTest::loggedAt(-89000, "tPlainProbe", 120));
  supervisor.initialize(*settings, &facade, failed);
  EXPECT_EQ(supervisor.getState(), 0u);
  bringUp(supervisor);
  EXPECT_EQ(supervisor.getPrimitive(), &primitive);
  supervisor.linkResource(failed);
  supervisor.unlinkResource(failed);
  EXPECT_EQ(supervisor.getState(), 3u) << "moves down whatever the status holds";
  supervisor.releaseResource(failed);
  EXPECT_EQ(supervisor.getState(), 2u);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(failed.code, -7);
  supervisor.unlink(status);
  EXPECT_EQ(supervisor.getState(), 1u);
  // The hand-back ran on a fresh status: the pool is free for the next task.
  tPlainProbe next;
  next.initialize(*settings, &facade, status);
  next.reserveResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(next.getPrimitive(), &primitive);
  next.releaseResource(status);
}

TEST_F(PlainFrameTest, StepTableSitesAndWhenTheWordMoves) {
  tPlainProbe supervisor;
  tStatus2 early, held(-7);
  supervisor.control(1, nullptr, nullptr, early);
  EXPECT_EQ(early.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tPlainProbe", 30));
  bringUp(supervisor);
  supervisor.control(1, nullptr, nullptr, held);
  EXPECT_EQ(log.operations(), "") << "nothing on an error status";

  tStatus2 status, unknown, failedStart, failedStop;
  supervisor.control(77, nullptr, nullptr, unknown);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tPlainProbe", 40));
  supervisor.control(1, nullptr, nullptr, status);
  supervisor.control(4100, nullptr, nullptr, status);
  EXPECT_EQ(supervisor.getState(), 5u) << "arm keeps the word";
  primitive.answers["start"] = -50150;
  supervisor.control(2, nullptr, nullptr, failedStart);
  EXPECT_EQ(supervisor.getState(), 5u) << "a failed forward step keeps the word";
  primitive.answers.clear();
  supervisor.control(2, nullptr, nullptr, status);
  primitive.answers["stop"] = -50150;
  supervisor.control(3, nullptr, nullptr, failedStop);
  EXPECT_EQ(failedStop.code, -50150);
  EXPECT_EQ(supervisor.getState(), 5u) << "an undo moves the word whatever it reports";
  EXPECT_EQ(log.operations(),
            "primitive.commit, primitive.arm, primitive.start, "
            "primitive.start, primitive.stop");
  EXPECT_EQ(status.code, 0);
}

TEST_F(PlainFrameTest, CommitCancelUndoesByTheWordAtEntry) {
  tPlainProbe supervisor;
  bringUp(supervisor);
  tStatus2 status, cancel, again;
  supervisor.commitCancel(cancel);
  EXPECT_EQ(log.operations(), "") << "resources linked: nothing to undo";
  supervisor.control(1, nullptr, nullptr, status);
  supervisor.control(2, nullptr, nullptr, status);
  log.clear();
  primitive.answers["stop"] = -50150;
  tStatus2 caller(-7);
  supervisor.commitCancel(caller);
  EXPECT_EQ(log.operations(), "primitive.stop, primitive.uncommit")
      << "running: a failed stop still uncommits";
  EXPECT_EQ(caller.code, -7);
  EXPECT_EQ(supervisor.getState(), 4u);
  primitive.answers.clear();
  supervisor.control(1, nullptr, nullptr, status);
  log.clear();
  supervisor.commitCancel(again);
  EXPECT_EQ(log.operations(), "primitive.uncommit");
  EXPECT_EQ(again.code, 0);
  supervisor.releaseResource(status);
}

// A code from another thread held in the class's handler: the release waits
// for it before the primitive goes back to its pool; a code after the
// release finds no primitive.
TEST_F(PlainFrameTest, TheReleaseWaitsForACodeUnderWayOnAnotherThread) {
  tPlainProbe supervisor;
  bringUp(supervisor);
  nQoTest::tHeldPass held;
  supervisor.inside = [&] { held.hold(); };
  held.run([&] {
    tStatus2 s;
    supervisor.control(1, nullptr, nullptr, s);
  });
  held.tearDown([&] {
    tStatus2 s;
    supervisor.releaseResource(s);
  });
  EXPECT_TRUE(held.teardownWaited());
  supervisor.inside = nullptr;
  tStatus2 late;
  supervisor.control(1, nullptr, nullptr, late);
  EXPECT_EQ(late.code, -50004);
  EXPECT_EQ(log.operations(), "primitive.commit");
}

}  // namespace

// A code after unlinkResource moves the word up again: the release and the
// destruction go by what the last linkResource gave, so the links are reset
// once for each linkResource.
TEST_F(PlainFrameTest, TheLinksAreResetOnceForEachLinkResource) {
  for (const bool unlinked : {false, true}) {
    for (const bool destroyed : {false, true}) {
      SCOPED_TRACE(std::string(unlinked ? "unlinked, " : "") +
                   (destroyed ? "destroyed" : "released"));
      int resets = 0;
      std::optional<tPlainProbe> supervisor(std::in_place);
      supervisor->resets = &resets;
      bringUp(*supervisor);
      tStatus2 status;
      if (unlinked) {
        supervisor->unlinkResource(status);
        supervisor->control(4, nullptr, nullptr, status);
        ASSERT_EQ(supervisor->getState(), 4u);
      }
      if (destroyed)
        supervisor.reset();
      else
        supervisor->releaseResource(status);
      EXPECT_EQ(resets, 1);
      EXPECT_EQ(status.code, 0);
    }
  }
}
