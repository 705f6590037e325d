// The composite reserver and linker, the scoped reservation and linking
// guards, and the deleter functors.
#include <gtest/gtest.h>

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
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tCallLog;
using nQoTest::tScriptedLinker;
using nQoTest::tScriptedReserver;
using tOps = std::vector<std::string>;

class CompositeTest : public nQoTest::tLeakCheckedTest {};

// Every call after the first n ran on its own fresh status.
void expectFreshAfter(const tCallLog& log, std::size_t n, const tStatus2& caller) {
  for (std::size_t i = n; i < log.calls.size(); ++i) {
    EXPECT_NE(log.calls[i].status, &caller) << log.calls[i].operation;
    EXPECT_EQ(log.calls[i].incoming, 0) << log.calls[i].operation;
  }
}

TEST_F(CompositeTest, ReserveUndoesTheStepsDoneInReverseAtTheFirstFailure) {
  tCallLog log;
  tScriptedReserver a(log, "a"), b(log, "b"), c(log, "c"), d(log, "d");
  c.answers["reserveResource"] = -7;
  a.answers["releaseResource"] = -9;  // undo failures are not reported
  nQoMRTB100::tMultiReserver multi;
  tStatus2 status;
  for (auto* member : {&a, &b, &c, &d}) multi.addReserver(member, status);
  ASSERT_EQ(status.code, 0);

  multi.reserveResource(status);
  EXPECT_EQ(log.operations(), (tOps{"a.reserveResource", "b.reserveResource", "c.reserveResource",
                                    "b.releaseResource", "a.releaseResource"}));
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(log.calls[i].status, &status);
  expectFreshAfter(log, 3, status);
  EXPECT_EQ(status.code, -7);

  log.clear();
  multi.reserveResource(status);  // an error is held: nothing
  multi.releaseResource(status);
  EXPECT_TRUE(log.calls.empty());

  a.answers["reserveResource"] = -5;  // the first fails: nothing to undo
  tStatus2 first;
  multi.reserveResource(first);
  EXPECT_EQ(log.operations(), (tOps{"a.reserveResource"}));
  EXPECT_EQ(first.code, -5);
}

TEST_F(CompositeTest, ReleaseRunsLastToFirstAndMergesEveryStatus) {
  tCallLog log;
  tScriptedReserver a(log, "a"), b(log, "b"), c(log, "c");
  nQoMRTB100::tMultiReserver multi;
  tStatus2 status;
  for (auto* member : {&a, &b, &c}) multi.addReserver(member, status);

  c.answers["releaseResource"] = 5;
  a.answers["releaseResource"] = -7;
  multi.releaseResource(status);
  EXPECT_EQ(log.operations(),
            (tOps{"c.releaseResource", "b.releaseResource", "a.releaseResource"}));
  expectFreshAfter(log, 0, status);
  EXPECT_EQ(status.code, -7);

  a.answers.clear();
  tStatus2 onlyWarning;
  multi.releaseResource(onlyWarning);
  EXPECT_EQ(onlyWarning.code, 5);

  b.answers["releaseResource"] = -3;
  tStatus2 firstErrorStays;
  a.answers["releaseResource"] = -7;
  multi.releaseResource(firstErrorStays);
  EXPECT_EQ(firstErrorStays.code, -3);
}

TEST_F(CompositeTest, EmptyCompositesLeaveTheStatusAlone) {
  nQoMRTB100::tMultiReserver reservers;
  nQoMRTB100::tMultiLinker linkers;
  nQoTest::tEmptySupervisorMap map;
  for (int code : {0, 5, -7}) {
    tStatus2 status(code);
    reservers.reserveResource(status);
    reservers.releaseResource(status);
    reservers.checkAllocation(status);
    linkers.link(map, status);
    linkers.linkResource(status);
    linkers.unlinkResource(status);
    linkers.unlink(status);
    linkers.checkAllocation(status);
    EXPECT_EQ(status.code, code);
  }
}

TEST_F(CompositeTest, LinkerRunsForwardWithUndoAndBackwardWithMerge) {
  tCallLog log;
  tScriptedLinker a(log, "a"), b(log, "b"), c(log, "c");
  nQoMRTB100::tMultiLinker multi;
  nQoTest::tEmptySupervisorMap map;
  tStatus2 status;
  for (auto* member : {&a, &b, &c}) multi.addLinker(member, status);
  EXPECT_EQ(multi.getCount(status), 3u);

  c.answers["link"] = -7;
  multi.link(map, status);
  EXPECT_EQ(log.operations(), (tOps{"a.link", "b.link", "c.link", "b.unlink", "a.unlink"}));
  EXPECT_EQ(a.mapSeen, &map);
  expectFreshAfter(log, 3, status);
  EXPECT_EQ(status.code, -7);

  log.clear();
  b.answers["linkResource"] = -8;
  tStatus2 second;
  multi.linkResource(second);
  EXPECT_EQ(log.operations(), (tOps{"a.linkResource", "b.linkResource", "a.unlinkResource"}));
  EXPECT_EQ(second.code, -8);

  log.clear();
  a.answers["unlinkResource"] = -4;
  c.answers["unlinkResource"] = 6;
  tStatus2 third;
  multi.unlinkResource(third);
  multi.unlink(third);  // holds an error by now: nothing
  EXPECT_EQ(log.operations(),
            (tOps{"c.unlinkResource", "b.unlinkResource", "a.unlinkResource"}));
  EXPECT_EQ(third.code, -4);

  log.clear();
  c.answers["unlink"] = 6;
  tStatus2 fourth;
  multi.unlink(fourth);
  EXPECT_EQ(log.operations(), (tOps{"c.unlink", "b.unlink", "a.unlink"}));
  EXPECT_EQ(fourth.code, 6);
}

TEST_F(CompositeTest, MemberAtAnIndexPastTheCountIsNull) {
  tCallLog log;
  tScriptedReserver r(log, "r");
  tScriptedLinker l(log, "l");
  nQoMRTB100::tMultiReserver reservers;
  nQoMRTB100::tMultiLinker linkers;
  tStatus2 status;
  EXPECT_EQ(reservers.getReserver(0), nullptr);
  reservers.addReserver(&r, status);
  linkers.addLinker(&l, status);
  EXPECT_EQ(reservers.getReserver(0), &r);
  EXPECT_EQ(reservers.getReserver(1), nullptr);
  EXPECT_EQ(reservers.getReserver(0xFFFFFFFF), nullptr);
  EXPECT_EQ(linkers.getLinker(0), &l);
  EXPECT_EQ(linkers.getLinker(1), nullptr);

  tStatus2 failed(-7);
  linkers.clear(failed);
  EXPECT_EQ(linkers.getCount(status), 1u);
  linkers.clear(status);
  EXPECT_EQ(linkers.getCount(status), 0u);
  EXPECT_EQ(linkers.getLinker(0), nullptr);
  EXPECT_EQ(status.code, 0);
}

TEST_F(CompositeTest, AFailedGrowthIsStickyAndReportedAsOutOfMemory) {
  tCallLog log;
  tScriptedReserver a(log, "a"), b(log, "b");
  nQoMRTB100::tMultiReserver multi;
  tStatus2 first;
  nQoSim::failAllocation(1);
  multi.addReserver(&a, first);
  EXPECT_EQ(first.code, -50352);
  EXPECT_EQ(multi.getReserver(0), nullptr);

  tStatus2 second;
  multi.addReserver(&b, second);  // its own append succeeds
  EXPECT_EQ(second.code, -50352);
  EXPECT_EQ(multi.getReserver(0), &b);

  nQoSim::clearStatusLog();
  tStatus2 check(5);
  multi.checkAllocation(check);
  EXPECT_EQ(check.code, -50352);
  const auto record = nQoSim::statusLog().back();
  EXPECT_EQ(record.component, "qoudrk");
  EXPECT_EQ(record.file, "tMultiReserver");
  EXPECT_EQ(record.line, 93u);

  tStatus2 held(-7);
  multi.checkAllocation(held);
  multi.addReserver(&a, held);
  EXPECT_EQ(held.code, -7);
  EXPECT_EQ(multi.getReserver(1), nullptr);

  // The other composites share the rule and report at their own sites.
  nQoMRTB100::tMultiLinker linkers;
  nQoMRTB100::tMultiPrimitiveController controllers;
  nQoMRTB100::tMultiStateTracker trackers;
  tStatus2 added[3];
  nQoSim::failAllocation(1);
  linkers.addLinker(nullptr, added[0]);
  nQoSim::failAllocation(1);
  controllers.addController(nullptr, added[1]);
  nQoSim::failAllocation(1);
  trackers.addTracker(nullptr, added[2]);
  nQoSim::clearStatusLog();
  tStatus2 checked[3];
  linkers.checkAllocation(checked[0]);
  controllers.checkAllocation(checked[1]);
  trackers.checkAllocation(checked[2]);
  const auto log3 = nQoSim::statusLog();
  ASSERT_EQ(log3.size(), 3u);
  const char* files[] = {"tMultiLinker", "tMultiPrimitiveController", "tMultiStateTracker"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(added[i].code, -50352);
    EXPECT_EQ(checked[i].code, -50352);
    EXPECT_EQ(log3[i].file, files[i]);
  }
}

TEST_F(CompositeTest, ScopedReservationReleasesAfterAFailureOrAlways) {
  tCallLog log;
  tScriptedReserver r(log, "r");
  {
    tStatus2 status;
    nQoMRTB100::tScopedReservation guard(r, status, 0);
  }
  EXPECT_EQ(log.operations(), (tOps{"r.reserveResource"}));

  log.clear();
  tStatus2 always;
  { nQoMRTB100::tScopedReservation guard(r, always, 1); }
  EXPECT_EQ(log.operations(), (tOps{"r.reserveResource", "r.releaseResource"}));
  expectFreshAfter(log, 1, always);

  log.clear();
  r.answers["releaseResource"] = -9;
  tStatus2 later;
  {
    nQoMRTB100::tScopedReservation guard(r, later, 0);
    later.setCode(-7, "qotest", "compositeTest", 1);
  }
  EXPECT_EQ(log.operations(), (tOps{"r.reserveResource", "r.releaseResource"}));
  EXPECT_EQ(later.code, -7);

  log.clear();
  r.answers["reserveResource"] = -5;
  tStatus2 ownFailure;
  { nQoMRTB100::tScopedReservation guard(r, ownFailure, 1); }
  EXPECT_EQ(log.operations(), (tOps{"r.reserveResource"}));

  log.clear();
  tStatus2 held(-3);
  { nQoMRTB100::tScopedReservation guard(r, held, 1); }
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(CompositeTest, ScopedLinksUndoOnlyAfterALaterFailure) {
  tCallLog log;
  tScriptedLinker l(log, "l");
  nQoTest::tEmptySupervisorMap map;
  {
    tStatus2 status;
    nQoMRTB100::tScopedLink link(l, map, status);
    nQoMRTB100::tScopedResourceLink resources(l, status);
  }
  EXPECT_EQ(log.operations(), (tOps{"l.link", "l.linkResource"}));

  log.clear();
  tStatus2 later;
  {
    nQoMRTB100::tScopedLink link(l, map, later);
    nQoMRTB100::tScopedResourceLink resources(l, later);
    later.setCode(-7, "qotest", "compositeTest", 2);
  }
  EXPECT_EQ(log.operations(), (tOps{"l.link", "l.linkResource", "l.unlinkResource", "l.unlink"}));
  expectFreshAfter(log, 2, later);

  log.clear();
  l.answers["linkResource"] = -4;
  tStatus2 own;
  {
    nQoMRTB100::tScopedLink link(l, map, own);
    nQoMRTB100::tScopedResourceLink resources(l, own);
  }
  EXPECT_EQ(log.operations(), (tOps{"l.link", "l.linkResource", "l.unlink"}));
  EXPECT_EQ(own.code, -4);
}

// A registered class for the object deleter.
class tDeletable : public nQoORB100::tObject {
 public:
  static nQoORB100::tClassImplementation* registration;
  nQoORB100::tClass getClass(int&) const override { return nQoORB100::tClass(registration); }
};
nQoORB100::tClassImplementation* tDeletable::registration = nullptr;

TEST_F(CompositeTest, DeletersDestroyThroughTheClassAndCloseSyncObjects) {
  nQoORB100::tClassImplementation registration(
      "nQoTest::tDeletable", [](int&) -> nQoORB100::tObject* { return new tDeletable; },
      [](nQoORB100::tObject* object, int& status) {
        delete object;
        return status;
      },
      &nQoORB100::tObject::___classID);
  tDeletable::registration = &registration;
  int status = 0;
  nQoORB100::tObject* object = registration.newInstance(status);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoTest::tDeletable"), 1);
  nQoMRTB100::tObjectDeleter()(object);
  nQoMRTB100::tObjectDeleter()(nullptr);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoTest::tDeletable"), 0);

  const int live = nQoSim::liveSyncObjects();
  iSync::tParam param;
  param.kind = 5;
  iSync* sync = syncOpen(param, &status);
  ASSERT_NE(sync, nullptr);
  nQoMRTB100::tSyncCloser()(sync);
  nQoMRTB100::tSyncCloser()(nullptr);
  EXPECT_EQ(nQoSim::liveSyncObjects(), live);
}

}  // namespace
