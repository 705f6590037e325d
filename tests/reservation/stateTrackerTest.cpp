// The plain and the status-chaining state tracker, the transition guard and
// the unwind of a running supervisor.
#include <gtest/gtest.h>

#include "reservation/supervisorEvents.h"
#include "reservation/tStatusChainingSupStateTracker.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"
#include "reservation/unwindControlState.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"

namespace {

using nQoMDBG100::tStatus2;
using namespace nQoMRTB100;

// Brings a tracker to a state with flags by applying the event that leads
// there on a good status.
void prepare(tSupStateTracker& tracker, int32_t state, uint32_t flags) {
  tStatus2 status;
  tracker.setFlags(1, flags, status);
  const int32_t eventFor[] = {0, 4096, 4097, 4098, 4099, 1, 4100, 2};
  if (state != 0) tracker.applyEvent(eventFor[state / 10], status);
  ASSERT_EQ(tracker.getState(status), state);
}

class StateTrackerTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StateTrackerTest, NewTrackerIsConstructedWithNoControlEnabled) {
  tSupStateTracker tracker;
  tStatus2 status;
  EXPECT_EQ(tracker.getState(status), 0);
  for (int32_t code : {1, 4100, 2, 3, 4101, 4, 5, 4102})
    EXPECT_EQ(tracker.isControlEnabled(code, status), 0u) << code;
}

TEST_F(StateTrackerTest, ApplyEventFollowsTheTransitionTable) {
  struct tRow {
    int32_t from;
    uint32_t flags;
    int32_t event;
    int code;
    int32_t to;
  };
  const tRow rows[] = {
      {0, 0, 4096, 0, 10},      {0, 0, 4096, -7, 0},      {10, 0, 4097, 5, 20},
      {10, 0, 4097, -7, 10},    {20, 0, 4098, 0, 30},     {20, 0, 4098, -7, 20},
      {30, 0, 4099, 0, 40},     {30, 0, 4099, -7, 30},    {40, 0, 1, 0, 50},
      {40, 0, 1, -7, 40},       {50, 0, 4100, 0, 60},     {50, 0, 4100, -7, 50},
      {60, 0, 2, 0, 70},        {60, 0, 2, -7, 60},       {70, 0x09, 3, 0, 50},
      {70, 0x08, 3, 0, 40},     {70, 0x1A, 3, 0, 60},     {70, 0x09, 3, -7, 50},
      {70, 0x20, 3, 0, 50},     {60, 0x21, 4101, 0, 50},  {60, 0x10, 4101, -7, 40},
      {60, 0x3F, 4, -7, 40},    {40, 0, 4102, -7, 30},    {30, 0, 4103, -7, 20},
      {20, 0, 4104, -7, 10},    {60, 0, 4105, 0, 40},     {70, 0, 4105, -7, 40},
      {40, 0, 4105, 0, 40},     {30, 0, 4105, 0, 30},     {40, 0x3F, 5, 0, 40},
      {40, 0x3F, -1, 0, 40},    {50, 0x3F, 4106, 0, 50},
  };
  for (const tRow& row : rows) {
    tSupStateTracker tracker;
    prepare(tracker, row.from, row.flags);
    tStatus2 status(row.code);
    tracker.applyEvent(row.event, status);
    EXPECT_EQ(tracker.getState(status), row.to)
        << "event " << row.event << " from " << row.from << " flags " << row.flags;
    EXPECT_EQ(status.code, row.code);
  }
}

TEST_F(StateTrackerTest, PlainValidateEventNeverTouchesAStatus) {
  for (int32_t state : {0, 10, 20, 30, 40, 50, 60, 70}) {
    tSupStateTracker tracker;
    prepare(tracker, state, state % 20 == 0 ? 0 : 0x3F);
    for (int32_t event : {4096, 4097, 4098, 4099, 4102, 4103, 4104, 4105, 1, 4100, 2, 3, 4101, 4,
                          0, -1, 99999}) {
      for (int code : {0, 5, -7}) {
        tStatus2 status(code);
        tracker.validateEvent(event, status);
        EXPECT_EQ(status.code, code);
        EXPECT_EQ(tracker.getState(status), state);
      }
    }
  }
  EXPECT_TRUE(nQoSim::statusLog().empty());
}

TEST_F(StateTrackerTest, FlagsAreSetOnlyOnAGoodStatus) {
  tSupStateTracker tracker;
  tStatus2 good;
  tStatus2 bad(-7);
  tracker.setFlag2(1, good);
  tracker.setFlag4(7, good);
  tracker.setFlag5(1, bad);
  tracker.setFlags(1, 0x101, good);  // only the low 8 bits count
  tracker.setFlags(0, 0x3F, bad);
  EXPECT_EQ(tracker.isControlEnabled(1, bad), 1u);  // getters ignore the status
  EXPECT_EQ(tracker.isControlEnabled(2, good), 1u);
  EXPECT_EQ(tracker.isControlEnabled(4101, good), 1u);
  EXPECT_EQ(tracker.isControlEnabled(4, good), 0u);
  EXPECT_EQ(tracker.isControlEnabled(5, good) + tracker.isControlEnabled(4102, good), 0u);
  tracker.setFlag2(0, good);
  tracker.setFlags(0, 0x01, good);
  EXPECT_EQ(tracker.getFlag0(good) + tracker.getFlag2(good), 0u);
  EXPECT_EQ(tracker.getFlag4(good), 1u);
  EXPECT_EQ(good.code, 0);
}

TEST_F(StateTrackerTest, StatusChainingTrackerRefusesWithTheLineOfItsRule) {
  struct tRow {
    int32_t state;
    uint32_t flags;
    int32_t event;
    unsigned line;  // 0: accepted
  };
  const tRow rows[] = {
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
  };
  for (const tRow& row : rows) {
    tStatusChainingSupStateTracker tracker;
    prepare(tracker, row.state, row.flags);
    nQoSim::clearStatusLog();
    tStatus2 status;
    tracker.validateEvent(row.event, status);
    EXPECT_EQ(tracker.getState(status), row.state);
    if (row.line == 0) {
      EXPECT_EQ(status.code, 0) << "event " << row.event << " in " << row.state;
      continue;
    }
    ASSERT_EQ(status.code, -50150) << "event " << row.event << " in " << row.state;
    const auto log = nQoSim::statusLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].component, "qoudrk");
    EXPECT_EQ(log[0].file, "tStatusChainingSupStateTracker");
    EXPECT_EQ(log[0].line, row.line) << "event " << row.event << " in " << row.state;
  }
}

TEST_F(StateTrackerTest, GuardChecksThenAppliesAndARefusalDoesNotMoveTheState) {
  {
    tStatusChainingSupStateTracker tracker;
    prepare(tracker, 40, 0x04);
    tStatus2 status;
    { tSupStateTransition start(tracker, 2, status); }
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(tracker.getState(status), 70);
  }
  {
    tStatusChainingSupStateTracker tracker;
    prepare(tracker, 40, 0x05);
    nQoSim::clearStatusLog();
    tStatus2 status;
    { tSupStateTransition start(tracker, 2, status); }
    EXPECT_EQ(status.code, -50150);
    EXPECT_EQ(nQoSim::statusLog().back().line, 144u);
    EXPECT_EQ(tracker.getState(status), 40);
  }
  {
    // A refused unlinkResource must not drop a running supervisor to 30.
    tStatusChainingSupStateTracker tracker;
    prepare(tracker, 50, 0x21);
    nQoSim::clearStatusLog();
    tStatus2 status;
    { tSupStateTransition unlink(tracker, 4102, status); }
    ASSERT_EQ(status.code, -50150);
    EXPECT_EQ(nQoSim::statusLog().back().file, "tStatusChainingSupStateTracker");
    EXPECT_EQ(nQoSim::statusLog().back().line, 265u);
    EXPECT_EQ(tracker.getState(status), 50);
  }
  {
    // A warning is replaced by the refusal, which then keeps the state.
    tStatusChainingSupStateTracker tracker;
    prepare(tracker, 70, 0x08);
    tStatus2 status(5);
    { tSupStateTransition unlink(tracker, 4102, status); }
    EXPECT_EQ(status.code, -50150);
    EXPECT_EQ(tracker.getState(status), 70);
  }
}

TEST_F(StateTrackerTest, GuardOnAnEarlierErrorSkipsTheCheckAndStillAppliesBackwardSteps) {
  tStatusChainingSupStateTracker tracker;
  prepare(tracker, 70, 0x08);
  nQoSim::clearStatusLog();
  tStatus2 status(-7);
  { tSupStateTransition unlink(tracker, 4102, status); }  // would be refused on a good status
  EXPECT_EQ(tracker.getState(status), 30);
  { tSupStateTransition link(tracker, 4099, status); }
  EXPECT_EQ(tracker.getState(status), 30);  // forward steps need a good status
  EXPECT_EQ(status.code, -7);
  EXPECT_TRUE(nQoSim::statusLog().empty());

  // A failure inside the operation (after an accepted check) still applies.
  tSupStateTracker plain;
  prepare(plain, 70, 0x3F);
  tStatus2 failing;
  {
    tSupStateTransition stop(plain, 3, failing);
    failing.setCode(-7, "qotest", "stateTrackerTest", 1);
  }
  EXPECT_EQ(plain.getState(failing), 60);
}

TEST_F(StateTrackerTest, UnwindIssuesTheSupportedBackwardCodesOnFreshStatuses) {
  nQoTest::tCallLog log;
  nQoTest::tScriptedSupervisor supervisor(log, "sup");
  supervisor.answers = {{"control 3", -7}, {"control 4", 5}};
  tSupStateTracker tracker;
  prepare(tracker, 70, 0x38);
  tStatus2 status;
  unwindControlState(tracker, supervisor, status);
  EXPECT_EQ(log.operations(),
            (std::vector<std::string>{"sup.control 3", "sup.control 4101", "sup.control 4"}));
  for (const nQoTest::tCall& call : log.calls) {
    EXPECT_NE(call.status, &status);
    EXPECT_EQ(call.incoming, 0);
    EXPECT_EQ(call.in, nullptr);
    EXPECT_EQ(call.out, nullptr);
  }
  EXPECT_EQ(status.code, -7);
  EXPECT_EQ(tracker.getState(status), 70);  // the tracker is the caller's to move

  log.clear();
  tSupStateTracker committed;
  prepare(committed, 50, 0x21);
  tStatus2 second;
  unwindControlState(committed, supervisor, second);
  EXPECT_EQ(log.operations(), (std::vector<std::string>{"sup.control 4"}));
  EXPECT_EQ(second.code, 5);
}

TEST_F(StateTrackerTest, UnwindMergesAndSkipsWhatItMust) {
  nQoTest::tCallLog log;
  nQoTest::tScriptedSupervisor supervisor(log, "sup");
  supervisor.answers = {{"control 4101", -9}};
  tSupStateTracker armed;
  prepare(armed, 60, 0x1C);  // start, stop and disarm supported: only disarm from 60
  tStatus2 warned(5);
  unwindControlState(armed, supervisor, warned);
  EXPECT_EQ(log.operations(), (std::vector<std::string>{"sup.control 4101"}));
  EXPECT_EQ(warned.code, -9);  // an error beats a warning

  log.clear();
  tStatus2 failed(-3);
  unwindControlState(armed, supervisor, failed);
  tSupStateTracker idle;
  prepare(idle, 40, 0x3F);
  tStatus2 good;
  unwindControlState(idle, supervisor, good);
  EXPECT_TRUE(log.calls.empty());
  EXPECT_EQ(failed.code, -3);
  EXPECT_EQ(good.code, 0);
}

}  // namespace
