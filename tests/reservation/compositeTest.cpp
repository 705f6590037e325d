// The composite reserver and linker, the scoped guards and the deleters.
#include <gtest/gtest.h>

#include <functional>

#include "orb/tClassImplementation.h"
#include "reservation/tMultiLinker.h"
#include "reservation/tMultiReserver.h"
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
  tStatus2 added;
  for (auto* member : {&ra, &rb, &rc}) reservers.addReserver(member, added);
  for (auto* member : {&la, &lb, &lc}) linkers.addLinker(member, added);
  for (const auto& shape : shapes) {
    const std::string& f = shape.forward;
    const std::string& b = shape.backward;
    tStatus2 status, backward, warned;
    shape.b->answers = {{f, -7}};
    shape.a->answers = {{b, -9}};
    log.clear();
    shape.runForward(status);
    EXPECT_EQ(log.operations(), "a." + f + ", b." + f + ", a." + b);
    expectFreshFrom(log, 2, status);
    EXPECT_EQ(status.code, -7);
    shape.runForward(status);
    shape.runBackward(status);
    EXPECT_EQ(log.calls.size(), 3u) << "an error is held";

    shape.c->answers = {{b, 5}};
    shape.a->answers = {{b, -7}};
    log.clear();
    shape.runBackward(backward);
    EXPECT_EQ(log.operations(), "c." + b + ", b." + b + ", a." + b);
    expectFreshFrom(log, 0, backward);
    EXPECT_EQ(backward.code, -7);
    shape.a->answers.clear();
    shape.runBackward(warned);
    EXPECT_EQ(warned.code, 5);
    shape.c->answers.clear();
  }
}

// A failure at a member after one that linked stops there and undoes
// nothing: its owner undoes the fills by unlinkResource once they are out of
// other threads' reach, for every member from the last to the first.
TEST_F(CompositeTest, ALinkThatLeavesItsUndoStopsAtTheFailingMember) {
  tCallLog log;
  tScriptedLinker a(log, "a"), b(log, "b"), c(log, "c");
  nQoMRTB100::tMultiLinker linkers;
  tStatus2 added, status, undone;
  for (auto* member : {&a, &b, &c}) linkers.addLinker(member, added);
  b.answers = {{"linkResource", -7}};
  linkers.linkResourceLeavingUndo(status);
  EXPECT_EQ(status.code, -7);
  EXPECT_EQ(log.operations(), "a.linkResource, b.linkResource");
  log.clear();
  linkers.unlinkResource(undone);
  EXPECT_EQ(log.operations(), "c.unlinkResource, b.unlinkResource, a.unlinkResource");
}

TEST_F(CompositeTest, AFailedGrowthIsStickyAndAnIndexPastTheCountIsNull) {
  tCallLog log;
  tScriptedReserver a(log, "a"), b(log, "b");
  tScriptedLinker l(log, "l");
  nQoMRTB100::tMultiReserver multi;
  nQoMRTB100::tMultiLinker linkers, held;
  tStatus2 first, second, check(5), added, checked, status, failed(-7);
  nQoSim::failAllocation(1);
  multi.addReserver(&a, first);
  EXPECT_EQ(multi.getReserver(0), nullptr);
  multi.addReserver(&b, second);
  EXPECT_EQ(first.code, -50352);
  EXPECT_EQ(second.code, -50352);
  EXPECT_EQ(multi.getReserver(0), &b);
  EXPECT_EQ(multi.getReserver(1), nullptr);
  multi.checkAllocation(check);
  EXPECT_EQ(check.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tMultiReserver", 93));

  nQoSim::failAllocation(1);
  linkers.addLinker(nullptr, added);
  linkers.checkAllocation(checked);
  EXPECT_EQ(added.code, -50352);
  EXPECT_EQ(checked.code, -50352);
  EXPECT_EQ(nQoSim::statusLog().back().file, "tMultiLinker");
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
    int incoming, own, later;
    const char *reservation, *links;
  } rows[] = {
      {0, 0, 0, 0, "r.reserveResource", "l.link, l.linkResource"},
      {1, 0, 0, 0, "r.reserveResource, r.releaseResource", "l.link, l.linkResource"},
      {0, 0, 0, -7, "r.reserveResource, r.releaseResource",
       "l.link, l.linkResource, l.unlinkResource, l.unlink"},
      {1, 0, -5, 0, "r.reserveResource", "l.link, l.linkResource, l.unlink"},
      {1, -3, 0, 0, "", ""},
  };
  for (const auto& row : rows) {
    tCallLog log;
    tScriptedReserver r(log, "r");
    tScriptedLinker l(log, "l");
    nQoTest::tScriptedSupervisorMap map(log, "map");
    r.answers = {{"reserveResource", row.own}, {"releaseResource", -9}};
    l.answers = {{"linkResource", row.own}};
    tStatus2 status(row.incoming), links(row.incoming);
    {
      nQoMRTB100::tScopedReservation guard(r, status, row.always);
      if (row.later != 0) status.setCode(row.later, "qotest", "compositeTest", 1);
    }
    EXPECT_EQ(log.operations(), row.reservation);
    expectFreshFrom(log, 1, status);
    EXPECT_EQ(status.code, row.incoming + row.own + row.later);
    log.clear();
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
