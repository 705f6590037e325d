// The composite reserver and linker, the scoped guards and the deleters.
#include <gtest/gtest.h>

#include <functional>

#include "orb/tClassImplementation.h"
#include "reservation/tMultiLinker.h"
#include "reservation/tMultiPrimitiveController.h"
#include "reservation/tMultiReserver.h"
#include "reservation/tMultiStateTracker.h"
#include "reservation/tObjectDeleter.h"
#include "reservation/tScopedLink.h"
#include "reservation/tScopedReservation.h"
#include "reservation/tScopedResourceLink.h"
#include "reservation/tSyncCloser.h"
#include "sim/simAllocator.h"
#include "sim/simSync.h"
#include "sim/tSimCloneable.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tCallLog;
using nQoTest::tScriptedLinker;
using nQoTest::tScriptedReserver;
using tOps = std::vector<std::string>;

class CompositeTest : public nQoTest::tLeakCheckedTest {};

// Every call from the nth on ran on a fresh status of its own.
void expectFreshFrom(const tCallLog& log, std::size_t n, const tStatus2& caller) {
  for (std::size_t i = 0; i < log.calls.size(); ++i) {
    EXPECT_EQ(log.calls[i].status != &caller, i >= n) << log.calls[i].operation;
    EXPECT_TRUE(i < n || log.calls[i].incoming == 0) << log.calls[i].operation;
  }
}

TEST_F(CompositeTest, ForwardUndoesInReverseAtTheFirstFailureAndBackwardMergesLastToFirst) {
  tCallLog log;
  tScriptedReserver ra(log, "a"), rb(log, "b"), rc(log, "c");
  tScriptedLinker la(log, "a"), lb(log, "b"), lc(log, "c");
  nQoMRTB100::tMultiReserver reservers;
  nQoMRTB100::tMultiLinker linkers;
  nQoTest::tScriptedSupervisorMap map(log, "map");
  const struct {
    std::string forward, backward;
    std::function<void(tStatus2&)> runForward, runBackward;
    nQoTest::tScriptedDouble *a, *b, *c;
  } shapes[] = {
      {"reserveResource", "releaseResource", [&](tStatus2& s) { reservers.reserveResource(s); },
       [&](tStatus2& s) { reservers.releaseResource(s); }, &ra, &rb, &rc},
      {"link", "unlink", [&](tStatus2& s) { linkers.link(map, s); },
       [&](tStatus2& s) { linkers.unlink(s); }, &la, &lb, &lc},
      {"linkResource", "unlinkResource", [&](tStatus2& s) { linkers.linkResource(s); },
       [&](tStatus2& s) { linkers.unlinkResource(s); }, &la, &lb, &lc},
  };
  for (const auto& shape : shapes)
    for (int code : {0, 5, -7}) {
      tStatus2 status(code);
      shape.runForward(status);
      shape.runBackward(status);
      EXPECT_EQ(status.code, code) << "empty";
    }
  tStatus2 added;
  for (auto* member : {&ra, &rb, &rc}) reservers.addReserver(member, added);
  for (auto* member : {&la, &lb, &lc}) linkers.addLinker(member, added);
  EXPECT_EQ(linkers.getCount(added), 3u);

  for (const auto& shape : shapes) {
    const std::string& f = shape.forward;
    const std::string& b = shape.backward;
    shape.b->answers = {{f, -7}};
    shape.a->answers = {{b, -9}};
    log.clear();
    tStatus2 status;
    shape.runForward(status);
    EXPECT_EQ(log.operations(), (tOps{"a." + f, "b." + f, "a." + b}));
    expectFreshFrom(log, 2, status);
    EXPECT_EQ(status.code, -7);
    shape.runForward(status);
    shape.runBackward(status);
    EXPECT_EQ(log.calls.size(), 3u) << "an error is held";

    shape.c->answers = {{b, 5}};
    shape.a->answers = {{b, -7}};
    log.clear();
    tStatus2 backward;
    shape.runBackward(backward);
    EXPECT_EQ(log.operations(), (tOps{"c." + b, "b." + b, "a." + b}));
    expectFreshFrom(log, 0, backward);
    EXPECT_EQ(backward.code, -7);
    shape.a->answers.clear();
    tStatus2 warned;
    shape.runBackward(warned);
    EXPECT_EQ(warned.code, 5);
    shape.c->answers.clear();
  }
}

TEST_F(CompositeTest, AFailedGrowthIsStickyAndAnIndexPastTheCountIsNull) {
  tCallLog log;
  tScriptedReserver a(log, "a"), b(log, "b");
  nQoMRTB100::tMultiReserver multi;
  tStatus2 first;
  nQoSim::failAllocation(1);
  multi.addReserver(&a, first);
  EXPECT_EQ(first.code, -50352);
  EXPECT_EQ(multi.getReserver(0), nullptr);
  tStatus2 second;
  multi.addReserver(&b, second);
  EXPECT_EQ(second.code, -50352);
  EXPECT_EQ(multi.getReserver(0), &b);
  EXPECT_EQ(multi.getReserver(1), nullptr);
  EXPECT_EQ(multi.getReserver(0xFFFFFFFF), nullptr);
  tStatus2 check(5);
  multi.checkAllocation(check);
  EXPECT_EQ(check.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tMultiReserver", 93));

  nQoMRTB100::tMultiLinker linkers;
  nQoMRTB100::tMultiPrimitiveController controllers;
  nQoMRTB100::tMultiStateTracker trackers;
  tStatus2 added[3], checked[3];
  nQoSim::failAllocation(1);
  linkers.addLinker(nullptr, added[0]);
  nQoSim::failAllocation(1);
  controllers.addController(nullptr, added[1]);
  nQoSim::failAllocation(1);
  trackers.addTracker(nullptr, added[2]);
  linkers.checkAllocation(checked[0]);
  controllers.checkAllocation(checked[1]);
  trackers.checkAllocation(checked[2]);
  const char* files[] = {"tMultiLinker", "tMultiPrimitiveController", "tMultiStateTracker"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(added[i].code, -50352);
    EXPECT_EQ(checked[i].code, -50352);
    EXPECT_EQ(nQoSim::statusLog().end()[i - 3].file, files[i]);
  }
  nQoMRTB100::tMultiLinker held;
  tScriptedLinker l(log, "l");
  tStatus2 status, failed(-7);
  held.addLinker(&l, status);
  EXPECT_EQ(held.getLinker(1), nullptr);
  held.clear(failed);
  EXPECT_EQ(held.getCount(status), 1u);
  held.clear(status);
  EXPECT_EQ(held.getLinker(0), nullptr);
}

TEST_F(CompositeTest, ScopedGuardsUndoAfterALaterFailureOrAlways) {
  const struct {
    uint32_t always;
    int incoming, ownFailure, later;
    tOps reservation, links;
  } rows[] = {
      {0, 0, 0, 0, {"r.reserveResource"}, {"l.link", "l.linkResource"}},
      {1, 0, 0, 0, {"r.reserveResource", "r.releaseResource"}, {"l.link", "l.linkResource"}},
      {0,
       0,
       0,
       -7,
       {"r.reserveResource", "r.releaseResource"},
       {"l.link", "l.linkResource", "l.unlinkResource", "l.unlink"}},
      {1, 0, -5, 0, {"r.reserveResource"}, {"l.link", "l.linkResource", "l.unlink"}},
      {1, -3, 0, 0, {}, {}},
  };
  for (const auto& row : rows) {
    tCallLog log;
    tScriptedReserver r(log, "r");
    tScriptedLinker l(log, "l");
    nQoTest::tScriptedSupervisorMap map(log, "map");
    r.answers = {{"reserveResource", row.ownFailure}, {"releaseResource", -9}};
    l.answers = {{"linkResource", row.ownFailure}};
    tStatus2 status(row.incoming);
    {
      nQoMRTB100::tScopedReservation guard(r, status, row.always);
      if (row.later != 0) status.setCode(row.later, "qotest", "compositeTest", 1);
    }
    EXPECT_EQ(log.operations(), row.reservation);
    expectFreshFrom(log, 1, status);
    EXPECT_EQ(status.code, row.incoming + row.ownFailure + row.later);
    log.clear();
    tStatus2 links(row.incoming);
    {
      nQoMRTB100::tScopedLink link(l, map, links);
      nQoMRTB100::tScopedResourceLink resources(l, links);
      if (row.later != 0) links.setCode(row.later, "qotest", "compositeTest", 2);
    }
    EXPECT_EQ(log.operations(), row.links);
    expectFreshFrom(log, 2, links);
  }
}

TEST_F(CompositeTest, DeletersDestroyThroughTheClassAndCloseSyncObjects) {
  const char* name = nQoSim::tSimEndpoint::kClassName;
  nQoMRTB100::tObjectDeleter()(nQoSim::tSimEndpoint::create());
  nQoMRTB100::tObjectDeleter()(nullptr);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 0);

  const int live = nQoSim::liveSyncObjects();
  iSync::tParam param;
  param.kind = 5;
  int status = 0;
  nQoMRTB100::tSyncCloser()(syncOpen(param, &status));
  nQoMRTB100::tSyncCloser()(nullptr);
  EXPECT_EQ(nQoSim::liveSyncObjects(), live);
}

}  // namespace
