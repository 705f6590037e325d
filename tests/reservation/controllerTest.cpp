// The singular and multi primitive controllers and the scoped control.
#include <gtest/gtest.h>

#include "reservation/tMultiPrimitiveController.h"
#include "reservation/tScopedControl.h"
#include "reservation/tSingularPrimitiveController.h"
#include "reservation/tSupStateTracker.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tCallLog;
using nQoTest::tScriptedController;
using tOps = std::vector<std::string>;

class ControllerTest : public nQoTest::tLeakCheckedTest {};

TEST_F(ControllerTest, SingularReportsAMissingPrimitiveAndRunsBackwardCodesOnFreshStatuses) {
  nQoMRTB100::tSingularPrimitiveController controller;
  for (uint32_t code : {1u, 4100u, 2u, 3u, 4101u, 4u}) {
    tStatus2 status;
    controller.control(code, status);
    EXPECT_EQ(status.code, -50004) << code;
  }
  EXPECT_EQ(nQoSim::statusLog().size(), 6u);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tSingularPrimitiveController", 40));
  tStatus2 other, query;
  controller.control(5, other);
  EXPECT_EQ(other.code, 0);
  EXPECT_EQ(controller.isControlEnabled(1, query), 0u);
  EXPECT_EQ(query.code, -50004);

  tCallLog log;
  nQoTest::tScriptedPrimitive primitive(log, "p");
  nQoMRTB100::tSupStateTracker tracker;
  tStatus2 failed(-7), status;
  controller.attach(&primitive, &tracker, failed);
  controller.control(1, other);
  EXPECT_TRUE(log.calls.empty());
  controller.attach(&primitive, &tracker, status);
  for (uint32_t code : {1u, 4100u, 2u, 3u, 4101u, 4u, 5u, 4102u, 0u})
    controller.control(code, status);
  EXPECT_EQ(log.operations(),
            (tOps{"p.commit", "p.arm", "p.start", "p.stop", "p.disarm", "p.uncommit"}));
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(log.calls[i].status == &status, i < 3);
    EXPECT_EQ(log.calls[i].incoming, 0);
  }
  log.clear();
  primitive.answers = {{"stop", -7}, {"start", 5}};
  tStatus2 warned;
  controller.control(2, warned);
  EXPECT_EQ(warned.code, 5);
  controller.control(3, warned);
  controller.control(4, warned);
  EXPECT_EQ(warned.code, -7);
  EXPECT_EQ(log.operations(), (tOps{"p.start", "p.stop"}));
  EXPECT_EQ(controller.isControlEnabled(2, query), 0u);
  tracker.setFlag2(1, status);
  EXPECT_EQ(controller.isControlEnabled(2, status), 1u);
}

TEST_F(ControllerTest, MultiUndoesTheMembersBeforeAFailureAndSkipsThoseNotTakingPart) {
  tCallLog log;
  tScriptedController a(log, "a"), b(log, "b"), c(log, "c");
  a.enabled = {{2, 1}};
  b.enabled = {{2, 1}, {4100, 1}, {4101, 1}};
  c.enabled = {{2, 1}, {4100, 1}, {4101, 1}};
  b.answers = {{"control 2", -7}};
  a.answers = {{"control 3", -9}};
  c.answers = {{"control 4100", -7}, {"control 4101", 5}};
  nQoMRTB100::tMultiPrimitiveController multi;
  tStatus2 status;
  EXPECT_EQ(multi.isControlEnabled(1, status), 0u);
  for (auto* member : {&a, &b, &c}) multi.addController(member, status);
  EXPECT_EQ(multi.getController(2), &c);
  EXPECT_EQ(multi.getController(3), nullptr);

  multi.control(2, status);
  EXPECT_EQ(log.operations(), (tOps{"a.enabled 2", "a.control 2", "b.enabled 2", "b.control 2",
                                    "a.enabled 2", "a.control 3"}));
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(log.calls[i].status == &status, i < 4);
  EXPECT_EQ(log.calls[5].incoming, 0);
  EXPECT_EQ(status.code, -7);
  log.clear();
  multi.control(3, status);
  EXPECT_EQ(multi.isControlEnabled(2, status), 0u);
  EXPECT_TRUE(log.calls.empty());

  tStatus2 arm;
  multi.control(4100, arm);
  EXPECT_EQ(log.operations(),
            (tOps{"a.enabled 4100", "b.enabled 4100", "b.control 4100", "c.enabled 4100",
                  "c.control 4100", "b.enabled 4100", "b.control 4101", "a.enabled 4100"}));
  log.clear();
  b.answers = {{"control 4101", -8}};
  tStatus2 disarm;
  multi.control(4101, disarm);
  EXPECT_EQ(log.operations(), (tOps{"c.enabled 4101", "c.control 4101", "b.enabled 4101",
                                    "b.control 4101", "a.enabled 4101"}));
  for (const nQoTest::tCall& call : log.calls) EXPECT_NE(call.status, &disarm);
  EXPECT_EQ(disarm.code, -8);
  log.clear();
  tStatus2 other;
  multi.control(5, other);
  EXPECT_EQ(multi.isControlEnabled(4100, other), 1u);
  a.answers = {{"enabled 1", -7}};
  EXPECT_EQ(multi.isControlEnabled(1, other), 0u);
  EXPECT_EQ(log.operations(),
            (tOps{"a.enabled 4100", "b.enabled 4100", "c.enabled 4100", "a.enabled 1"}));
  EXPECT_EQ(other.code, -7);
}

TEST_F(ControllerTest, ScopedControlUndoesAForwardStepAfterALaterFailure) {
  const struct {
    uint32_t code;
    int own, later;
    tOps ops;
  } rows[] = {
      {4100, 0, -7, {"k.control 4100", "k.control 4101"}},
      {1, 0, -7, {"k.control 1", "k.control 4"}},
      {2, 0, -7, {"k.control 2", "k.control 3"}},
      {2, 0, 0, {"k.control 2"}},
      {1, -6, 0, {"k.control 1"}},
      {3, 0, -7, {"k.control 3"}},
      {4101, 0, -7, {"k.control 4101"}},
      {4, 0, -7, {"k.control 4"}},
      {5, 0, -7, {"k.control 5"}},
  };
  for (const auto& row : rows) {
    tCallLog log;
    tScriptedController controller(log, "k");
    controller.answers = {{"control " + std::to_string(row.code), row.own}};
    tStatus2 status;
    {
      nQoMRTB100::tScopedControl scoped(row.code, controller, status);
      if (row.later != 0) status.setCode(row.later, "qotest", "controllerTest", 1);
    }
    EXPECT_EQ(log.operations(), row.ops);
    EXPECT_EQ(log.calls.back().incoming, 0);
  }
  tCallLog log;
  tScriptedController controller(log, "k");
  tStatus2 held(-3);
  { nQoMRTB100::tScopedControl start(2, controller, held); }
  EXPECT_TRUE(log.calls.empty());
}

}  // namespace
