// State trackers, the transition guard, the unwind, the multi tracker and the
// primitive controllers.
#include <gtest/gtest.h>

#include "reservation/tMultiPrimitiveController.h"
#include "reservation/tMultiStateTracker.h"
#include "reservation/tScopedControl.h"
#include "reservation/tSingularPrimitiveController.h"
#include "reservation/tStatusChainingSupStateTracker.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"
#include "reservation/unwindControlState.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace {

using namespace nQoMRTB100;
using nQoMDBG100::tStatus2;
using nQoTest::tCallLog;
using nQoTest::tScriptedController;

// Brings a tracker to a state with flags through the event that leads there.
void prepare(tSupStateTracker& tracker, int32_t state, uint32_t flags) {
  tStatus2 status;
  tracker.setFlags(1, flags, status);
  const int32_t eventFor[] = {0, 4096, 4097, 4098, 4099, 1, 4100, 2};
  if (state != 0) tracker.applyEvent(eventFor[state / 10], status);
  ASSERT_EQ(tracker.getState(status), state);
}

class StateTrackerTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StateTrackerTest, PlainTrackerAppliesTheTransitionTableAndValidatesNothing) {
  const struct {
    int from, flags, event, code, to;
  } rows[] = {
      {0, 0, 4096, 0, 10},      {0, 0, 4096, -7, 0},   {10, 0, 4097, 5, 20},
      {10, 0, 4097, -7, 10},    {20, 0, 4098, 0, 30},  {20, 0, 4098, -7, 20},
      {30, 0, 4099, 0, 40},     {40, 0, 1, 0, 50},     {40, 0, 1, -7, 40},
      {50, 0, 4100, 0, 60},     {60, 0, 2, 0, 70},     {60, 0, 2, -7, 60},
      {70, 0x09, 3, 0, 50},     {70, 0x08, 3, 0, 40},  {70, 0x1A, 3, 0, 60},
      {70, 0x09, 3, -7, 50},    {70, 0x20, 3, 0, 50},  {60, 0x21, 4101, 0, 50},
      {60, 0x10, 4101, -7, 40}, {60, 0x3F, 4, -7, 40}, {40, 0, 4102, -7, 30},
      {30, 0, 4103, -7, 20},    {20, 0, 4104, -7, 10}, {60, 0, 4105, 0, 40},
      {70, 0, 4105, -7, 40},    {40, 0, 4105, 0, 40},  {30, 0, 4105, 0, 30},
      {40, 0x3F, 5, 0, 40},     {40, 0x3F, -1, 0, 40}, {50, 0x3F, 4106, 0, 50},
      {40, 0x04, 2, 0, 70},
  };
  for (const auto& row : rows) {
    tSupStateTracker tracker;
    prepare(tracker, row.from, row.flags);
    tStatus2 status(row.code);
    tracker.validateEvent(row.event, status);
    EXPECT_EQ(tracker.getState(status), row.from);
    tracker.applyEvent(row.event, status);
    EXPECT_EQ(tracker.getState(status), row.to) << row.event << " from " << row.from;
    EXPECT_EQ(status.code, row.code);
  }
  EXPECT_TRUE(nQoSim::statusLog().empty());
}

// Stop and disarm step down by the flags: each bit alone, so that a bit
// missing from or added to either mask moves a row; commit-cancel from every
// state, the bound 40 included.
TEST_F(StateTrackerTest, PlainTrackerStepsDownByEachFlagBitAlone) {
  //                        none bit0 bit1 bit2 bit3 bit4 bit5
  const int32_t stopTo[] = {40, 50, 60, 40, 40, 60, 50};
  const int32_t disarmTo[] = {40, 50, 40, 40, 40, 40, 50};
  for (int k = 0; k < 7; ++k) {
    const uint32_t flags = k == 0 ? 0 : 1u << (k - 1);
    SCOPED_TRACE(::testing::Message() << "flags " << flags);
    tSupStateTracker stopped, disarmed;
    prepare(stopped, 70, flags);
    prepare(disarmed, 60, flags);
    tStatus2 status;
    stopped.applyEvent(3, status);
    disarmed.applyEvent(4101, status);
    EXPECT_EQ(stopped.getState(status), stopTo[k]);
    EXPECT_EQ(disarmed.getState(status), disarmTo[k]);
  }
  for (int32_t state = 0; state <= 70; state += 10) {
    tSupStateTracker tracker;
    prepare(tracker, state, 0x3F);
    tStatus2 status;
    tracker.applyEvent(4105, status);
    EXPECT_EQ(tracker.getState(status), state > 40 ? 40 : state) << state;
  }
}

// Every flag word in every state for the six control codes and 4102: the
// code's own bit, then the bits that must be clear in the state it is in.
TEST_F(StateTrackerTest, ChainingTrackerAcceptsEachCodeUnderEveryFlagWord) {
  const struct {
    int32_t event;
    int bit;  // -1: no bit of its own
    unsigned flagLine, stateLine;
    uint32_t mustBeClear[4];  // in states 40, 50, 60, 70; every lower state refuses
  } rules[] = {
      {4102, -1, 0, 265, {0, 0x20, 0x30, 0x38}},  {1, 0, 89, 84, {0, 0x20, 0x30, 0x38}},
      {4100, 1, 119, 114, {0x01, 0, 0x10, 0x18}}, {2, 2, 149, 144, {0x03, 0x02, 0, 0x08}},
      {3, 3, 180, 175, {0x07, 0x06, 0x04, 0}},    {4101, 4, 210, 205, {0x03, 0x02, 0, 0x08}},
      {4, 5, 240, 235, {0x01, 0, 0x10, 0x18}},
  };
  for (const auto& rule : rules)
    for (int32_t state = 0; state <= 70; state += 10)
      for (uint32_t flags = 0; flags < 0x40; ++flags) {
        tStatusChainingSupStateTracker tracker;
        prepare(tracker, state, flags);
        nQoSim::clearStatusLog();
        unsigned line = 0;
        if (rule.bit >= 0 && (flags >> rule.bit & 1) == 0)
          line = rule.flagLine;
        else if (state < 40 || (flags & rule.mustBeClear[state / 10 - 4]) != 0)
          line = rule.stateLine;
        tStatus2 status;
        tracker.validateEvent(rule.event, status);
        SCOPED_TRACE(::testing::Message() << rule.event << " in " << state << " flags " << flags);
        EXPECT_EQ(status.code, line == 0 ? 0 : -50150);
        EXPECT_TRUE(line == 0 || nQoTest::loggedAt(-50150, "tStatusChainingSupStateTracker", line));
      }
}

TEST_F(StateTrackerTest, GuardRefusesWithTheLineOfTheRuleAndAppliesOnlyWhatItAccepted) {
  const struct {
    int state, flags, event, line;  // line 0: accepted
  } rows[] = {
      {0, 0, 4096, 0},       {10, 0, 4096, 44},     {0, 0, 4097, 49},      {10, 0, 4097, 0},
      {10, 0, 4098, 54},     {20, 0, 4098, 0},      {20, 0, 4099, 59},     {30, 0, 4099, 0},
      {40, 0, 4103, 271},    {30, 0, 4103, 0},      {30, 0, 4104, 276},    {20, 0, 4104, 0},
      {40, 0x3F, 4102, 0},   {50, 0x20, 4102, 265}, {50, 0x1F, 4102, 0},   {60, 0x10, 4102, 265},
      {60, 0x0F, 4102, 0},   {70, 0x08, 4102, 265}, {70, 0x00, 4102, 0},   {30, 0, 4102, 265},
      {40, 0x3E, 1, 89},     {40, 0x01, 1, 0},      {30, 0x01, 1, 84},     {60, 0x21, 1, 84},
      {60, 0x01, 1, 0},      {40, 0x01, 4100, 119}, {40, 0x03, 4100, 114}, {50, 0x3F, 4100, 0},
      {70, 0x02, 4100, 0},   {70, 0x12, 4100, 114}, {40, 0x04, 2, 0},      {40, 0x05, 2, 144},
      {40, 0x03, 2, 149},    {50, 0x07, 2, 144},    {60, 0x3F, 2, 0},      {70, 0x0C, 2, 144},
      {40, 0x08, 3, 0},      {40, 0x0C, 3, 175},    {70, 0x37, 3, 180},    {70, 0x3F, 3, 0},
      {60, 0x0C, 3, 175},    {40, 0x10, 4101, 0},   {70, 0x18, 4101, 205}, {70, 0x0F, 4101, 210},
      {60, 0x3F, 4101, 0},   {50, 0x20, 4, 0},      {40, 0x21, 4, 235},    {60, 0x30, 4, 235},
      {40, 0x1F, 4, 240},    {0, 0x3F, 2, 144},     {30, 0x3F, 4105, 0},   {10, 0, 5, 0},
      {50, 0x21, 4102, 265},
  };
  for (const auto& row : rows)
    for (auto [incoming, inside] : {std::pair{0, 0}, {5, 0}, {-7, 0}, {0, -7}}) {
      tStatusChainingSupStateTracker tracker;
      tSupStateTracker expected;
      prepare(tracker, row.state, row.flags);
      prepare(expected, row.state, row.flags);
      nQoSim::clearStatusLog();
      const bool refused = row.line != 0 && incoming >= 0;
      tStatus2 status(incoming), applied(incoming + inside), query;
      {
        tSupStateTransition guard(tracker, row.event, status);
        if (inside != 0) status.setCode(inside, "qotest", "stateTrackerTest", 1);
      }
      if (!refused) expected.applyEvent(row.event, applied);
      EXPECT_EQ(status.code, refused ? -50150 : incoming + inside)
          << row.event << " in " << row.state;
      EXPECT_EQ(tracker.getState(query), expected.getState(query))
          << row.event << " in " << row.state;
      EXPECT_EQ(nQoSim::statusLog().size(), refused || inside != 0 ? 1u : 0u);
      EXPECT_TRUE(!refused ||
                  nQoTest::loggedAt(-50150, "tStatusChainingSupStateTracker", row.line));
    }
}

// The guard over the plain tracker, whose check is inline and empty, against
// the tracker's own applyEvent with the operation's final status: in every
// state, under flag sets, for lifecycle events, control codes and codes the
// table does not know, with a clean, warned or failed status at entry and a
// warning or error set inside, the same state, flags, code and reports.
TEST_F(StateTrackerTest, GuardOverThePlainTrackerAppliesAsTheTrackerDoes) {
  const int32_t events[] = {4096, 4097, 4098, 4099, 4100, 4101, 4102, 4103, 4104,
                            4105, 4106, 1,    2,    3,    4,    5,    -1,   77};
  int moved = 0;
  for (int32_t state = 0; state <= 70; state += 10)
    for (uint32_t flags : {0x00u, 0x15u, 0x2Au, 0x3Fu})
      for (int32_t event : events)
        for (auto [incoming, inside] : {std::pair{0, 0}, {5, 0}, {-7, 0}, {0, 9}, {0, -7}}) {
          tSupStateTracker guarded;
          tSupStateTracker byHand;
          prepare(guarded, state, flags);
          prepare(byHand, state, flags);
          tStatus2 status(incoming);
          tStatus2 applied(incoming);
          nQoSim::clearStatusLog();
          {
            tSupStateTransition guard(guarded, event, status);
            if (inside != 0) status.setCode(inside, "qotest", "stateTrackerTest", 2);
          }
          const auto guardLog = nQoSim::statusLog();
          nQoSim::clearStatusLog();
          if (inside != 0) applied.setCode(inside, "qotest", "stateTrackerTest", 2);
          byHand.applyEvent(event, applied);
          const auto handLog = nQoSim::statusLog();
          tStatus2 query;
          SCOPED_TRACE(::testing::Message() << event << " in " << state << " flags " << flags
                                            << " codes " << incoming << "/" << inside);
          EXPECT_EQ(guarded.getState(query), byHand.getState(query));
          for (int32_t code : {1, 2, 3, 4, 4100, 4101})
            EXPECT_EQ(guarded.isControlEnabled(code, query), byHand.isControlEnabled(code, query));
          EXPECT_EQ(status.code, applied.code);
          ASSERT_EQ(guardLog.size(), handLog.size());
          for (std::size_t i = 0; i < guardLog.size(); ++i) {
            EXPECT_EQ(guardLog[i].code, handLog[i].code);
            EXPECT_EQ(guardLog[i].file, handLog[i].file);
            EXPECT_EQ(guardLog[i].line, handLog[i].line);
          }
          moved += guarded.getState(query) != state ? 1 : 0;
        }
  EXPECT_GT(moved, 100);
}

TEST_F(StateTrackerTest, UnwindIssuesTheSupportedBackwardCodesOnFreshStatuses) {
  const struct {
    int state, flags, incoming;
    const char* ops;
    int code;
  } rows[] = {
      {70, 0x38, 0, "sup.control 3, sup.control 4101, sup.control 4", -7},
      {50, 0x21, 0, "sup.control 4", 5},
      {60, 0x1C, 5, "sup.control 4101", -9},
      {60, 0x1C, -3, "", -3},
      {40, 0x3F, 0, "", 0},
  };
  for (const auto& row : rows) {
    nQoTest::tCallLog log;
    nQoTest::tScriptedSupervisor supervisor(log, "sup");
    supervisor.answers = {{"control 3", -7}, {"control 4", 5}, {"control 4101", -9}};
    tSupStateTracker tracker;
    prepare(tracker, row.state, row.flags);
    tStatus2 status(row.incoming);
    unwindControlState(tracker, supervisor, status);
    EXPECT_EQ(log.operations(), row.ops);
    for (const nQoTest::tCall& call : log.calls) {
      EXPECT_NE(call.status, &status);
      EXPECT_EQ(call.incoming, 0);
      EXPECT_EQ(call.in, nullptr);
      EXPECT_EQ(call.out, nullptr);
    }
    EXPECT_EQ(status.code, row.code) << row.state;
    EXPECT_EQ(tracker.getState(status), row.state);
  }
}

// Counts the checks it receives.
class tCountingTracker : public tStatusChainingSupStateTracker {
 public:
  void validateEvent(int32_t event, tStatus2& status) override {
    ++checks;
    tStatusChainingSupStateTracker::validateEvent(event, status);
  }
  int checks = 0;
};

TEST_F(StateTrackerTest, MultiTrackerCombinesItsMembers) {
  tMultiStateTracker multi;
  tCountingTracker first, second;
  tStatus2 status, failed(-7), fresh;
  for (int32_t event : {4096, 4102, 1, 2, 3, 77}) multi.validateEvent(event, status);
  EXPECT_EQ(multi.getState(status) + multi.getFlag0(status) + multi.isControlEnabled(1, status),
            0u);
  multi.addTracker(&first, status);
  multi.addTracker(&second, status);
  EXPECT_EQ(multi.getTracker(2), nullptr);
  first.setFlags(1, 0x04, status);
  second.setFlags(1, 0x20, status);
  first.applyEvent(4099, status);
  for (int32_t event : {4099, 1, 4100, 2}) second.applyEvent(event, status);
  EXPECT_EQ(multi.getState(status), 70);
  EXPECT_EQ(multi.getFlag2(status) + multi.getFlag5(status), 2u);
  EXPECT_EQ(multi.getFlag1(status) + multi.isControlEnabled(4100, status), 0u);
  EXPECT_EQ(multi.getState(failed) + multi.isControlEnabled(2, failed), 0u);
  multi.applyEvent(4, status);
  multi.validateEvent(2, status);
  EXPECT_EQ(first.checks, 1);
  EXPECT_EQ(second.checks, 0);
  EXPECT_EQ(status.code, 0);
  multi.validateEvent(4096, status);
  EXPECT_EQ(second.checks, 1);
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "tStatusChainingSupStateTracker", 44));
  multi.applyEvent(4102, failed);
  EXPECT_EQ(multi.getState(fresh), 30);
}

TEST_F(StateTrackerTest, SingularReportsAMissingPrimitiveAndRunsBackwardCodesOnFreshStatuses) {
  nQoMRTB100::tSingularPrimitiveController controller;
  tCallLog log;
  nQoTest::tScriptedPrimitive primitive(log, "p");
  nQoMRTB100::tSupStateTracker tracker;
  tStatus2 other, query, failed(-7), status, warned;
  for (uint32_t code : {1u, 4100u, 2u, 3u, 4101u, 4u}) {
    tStatus2 missing;
    controller.control(code, missing);
    EXPECT_EQ(missing.code, -50004) << code;
  }
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tSingularPrimitiveController", 40));
  controller.control(5, other);
  EXPECT_EQ(other.code, 0);
  EXPECT_EQ(controller.isControlEnabled(1, query), 0u);
  EXPECT_EQ(query.code, -50004);
  controller.attach(&primitive, &tracker, failed);
  controller.control(1, other);
  EXPECT_EQ(other.code, -50004) << "attached on an error";

  controller.attach(&primitive, &tracker, status);
  for (uint32_t code : {1u, 4100u, 2u, 3u, 4101u, 4u, 5u, 4102u, 0u})
    controller.control(code, status);
  EXPECT_EQ(log.operations(), "p.commit, p.arm, p.start, p.stop, p.disarm, p.uncommit");
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(log.calls[i].status == &status, i < 3);
  log.clear();
  primitive.answers = {{"stop", -7}, {"start", 5}};
  controller.control(2, warned);
  EXPECT_EQ(warned.code, 5);
  controller.control(3, warned);
  controller.control(4, warned);
  EXPECT_EQ(warned.code, -7);
  EXPECT_EQ(log.operations(), "p.start, p.stop");
  EXPECT_EQ(controller.isControlEnabled(2, status), 0u);
  tracker.setFlag2(1, status);
  EXPECT_EQ(controller.isControlEnabled(2, status), 1u);
}

TEST_F(StateTrackerTest, MultiControllerUndoesTheMembersBeforeAFailureAndSkipsOthers) {
  tCallLog log;
  tScriptedController a(log, "a"), z(log, "z"), b(log, "b"), c(log, "c");
  a.enabled = c.enabled = {{2, 1}, {4101, 1}};
  b.enabled = {{2, 1}};
  a.answers = {{"control 3", -9}, {"control 4101", 5}};
  b.answers = {{"control 2", -7}};
  c.answers = {{"control 4101", -8}};
  z.answers = {{"enabled 1", -7}};
  nQoMRTB100::tMultiPrimitiveController multi;
  tStatus2 status, disarm, query;
  EXPECT_EQ(multi.isControlEnabled(1, status), 0u);
  for (auto* member : {&a, &z, &b, &c}) multi.addController(member, status);
  EXPECT_EQ(multi.getController(4), nullptr);
  multi.control(2, status);
  EXPECT_EQ(log.operations(),
            "a.enabled 2, a.control 2, z.enabled 2, b.enabled 2, b.control 2, z.enabled 2, "
            "a.enabled 2, a.control 3");
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(log.calls[i].status == &status, i < 5);
  EXPECT_EQ(log.calls[7].incoming, 0);
  EXPECT_EQ(status.code, -7);
  log.clear();
  multi.control(4101, status);
  EXPECT_EQ(multi.isControlEnabled(2, status), 0u);
  EXPECT_TRUE(log.calls.empty()) << "an error is held";
  multi.control(4101, disarm);
  EXPECT_EQ(log.operations(),
            "c.enabled 4101, c.control 4101, b.enabled 4101, z.enabled 4101, a.enabled 4101, "
            "a.control 4101");
  for (const nQoTest::tCall& call : log.calls) EXPECT_NE(call.status, &disarm);
  EXPECT_EQ(disarm.code, -8);
  log.clear();
  EXPECT_EQ(multi.isControlEnabled(1, query), 0u);
  EXPECT_EQ(log.operations(), "a.enabled 1, z.enabled 1");
  EXPECT_EQ(query.code, -7);
}

TEST_F(StateTrackerTest, MultiControllerDropsWhatAMemberThatTakesNoPartAnswered) {
  tCallLog log;
  tScriptedController a(log, "a"), z(log, "z");
  a.enabled = {{4101, 1}, {2, 1}};
  z.answers = {{"enabled 4101", -5}};
  nQoMRTB100::tMultiPrimitiveController multi;
  tStatus2 status, forward;
  for (auto* member : {&a, &z}) multi.addController(member, status);
  multi.control(4101, status);
  EXPECT_EQ(log.operations(), "z.enabled 4101, a.enabled 4101, a.control 4101");
  EXPECT_EQ(status.code, 0);
  log.clear();
  z.answers = {{"enabled 2", -6}};
  multi.control(2, forward);
  EXPECT_EQ(log.operations(), "a.enabled 2, a.control 2, z.enabled 2, a.enabled 2, a.control 3");
  EXPECT_EQ(forward.code, -6);
}

TEST_F(StateTrackerTest,
       MultiControllerUndoesEachForwardCodeWithItsOwnReverseAndIgnoresOtherCodes) {
  const struct {
    uint32_t code;
    const char* ops;
  } rows[] = {
      {1, "a.enabled 1, a.control 1, b.enabled 1, b.control 1, a.enabled 1, a.control 4"},
      {4100,
       "a.enabled 4100, a.control 4100, b.enabled 4100, b.control 4100, a.enabled 4100, "
       "a.control 4101"},
      {2, "a.enabled 2, a.control 2, b.enabled 2, b.control 2, a.enabled 2, a.control 3"},
      {0, ""},
      {5, ""},
      {4102, ""},
      {0xFFFFFFFF, ""},
  };
  for (const auto& row : rows) {
    tCallLog log;
    tScriptedController a(log, "a"), b(log, "b");
    a.enabled = b.enabled = {{row.code, 1}};
    b.answers = {{"control " + std::to_string(row.code), -7}};
    nQoMRTB100::tMultiPrimitiveController multi;
    tStatus2 status;
    for (auto* member : {&a, &b}) multi.addController(member, status);
    multi.control(row.code, status);
    EXPECT_EQ(log.operations(), row.ops) << row.code;
    EXPECT_EQ(status.code, *row.ops != 0 ? -7 : 0) << row.code;
  }
}

TEST_F(StateTrackerTest, ScopedControlUndoesAForwardStepAfterALaterFailure) {
  const struct {
    uint32_t code;
    int own, later, incoming;
    const char* ops;
  } rows[] = {
      {4100, 0, -7, 0, "k.control 4100, k.control 4101"},
      {1, 0, -7, 0, "k.control 1, k.control 4"},
      {2, 0, -7, 0, "k.control 2, k.control 3"},
      {2, 0, 0, 0, "k.control 2"},
      {1, -6, 0, 0, "k.control 1"},
      {3, 0, -7, 0, "k.control 3"},
      {4101, 0, -7, 0, "k.control 4101"},
      {4, 0, -7, 0, "k.control 4"},
      {5, 0, -7, 0, "k.control 5"},
      {2, 0, 0, -3, ""},
  };
  for (const auto& row : rows) {
    tCallLog log;
    tScriptedController controller(log, "k");
    controller.answers = {{"control " + std::to_string(row.code), row.own}};
    tStatus2 status(row.incoming);
    {
      nQoMRTB100::tScopedControl scoped(row.code, controller, status);
      if (row.later != 0) status.setCode(row.later, "qotest", "controllerTest", 1);
    }
    EXPECT_EQ(log.operations(), row.ops);
    EXPECT_TRUE(log.calls.empty() || log.calls.back().incoming == 0);
  }
}

}  // namespace
