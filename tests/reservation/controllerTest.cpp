// The singular and multi primitive controllers and the scoped control.
#include <gtest/gtest.h>

#include "reservation/tMultiPrimitiveController.h"
#include "reservation/tScopedControl.h"
#include "reservation/tSingularPrimitiveController.h"
#include "reservation/tSupStateTracker.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tCallLog;
using nQoTest::tScriptedController;
using tOps = std::vector<std::string>;

class ControllerTest : public nQoTest::tLeakCheckedTest {};

TEST_F(ControllerTest, SingularRunsForwardCodesOnTheCallersStatusAndBackwardOnFreshOnes) {
  tCallLog log;
  nQoTest::tScriptedPrimitive primitive(log, "p");
  nQoMRTB100::tSupStateTracker tracker;
  nQoMRTB100::tSingularPrimitiveController controller;
  tStatus2 status;
  controller.attach(&primitive, &tracker, status);
  for (uint32_t code : {1u, 4100u, 2u, 3u, 4101u, 4u, 5u, 4102u, 0u})
    controller.control(code, status);
  EXPECT_EQ(log.operations(),
            (tOps{"p.commit", "p.arm", "p.start", "p.stop", "p.disarm", "p.uncommit"}));
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(log.calls[i].status, &status);
  for (std::size_t i = 3; i < 6; ++i) {
    EXPECT_NE(log.calls[i].status, &status);
    EXPECT_EQ(log.calls[i].incoming, 0);
  }

  log.clear();
  primitive.answers = {{"stop", -7}, {"start", 5}};
  tStatus2 warned;
  controller.control(2, warned);
  EXPECT_EQ(warned.code, 5);
  controller.control(3, warned);
  EXPECT_EQ(warned.code, -7);
  controller.control(4, warned);  // an error is held: nothing
  EXPECT_EQ(log.operations(), (tOps{"p.start", "p.stop"}));

  tStatus2 query;
  EXPECT_EQ(controller.isControlEnabled(2, query), 0u);
  tracker.setFlag2(1, query);
  EXPECT_EQ(controller.isControlEnabled(2, query), 1u);
  EXPECT_EQ(query.code, 0);
}

TEST_F(ControllerTest, SingularWithNothingAttachedReportsInsteadOfCalling) {
  nQoMRTB100::tSingularPrimitiveController controller;
  for (uint32_t code : {1u, 4100u, 2u, 3u, 4101u, 4u}) {
    nQoSim::clearStatusLog();
    tStatus2 status;
    controller.control(code, status);
    EXPECT_EQ(status.code, -50004) << code;
    ASSERT_EQ(nQoSim::statusLog().size(), 1u);
    EXPECT_EQ(nQoSim::statusLog()[0].component, "qoudrk");
    EXPECT_EQ(nQoSim::statusLog()[0].file, "tSingularPrimitiveController");
  }
  tStatus2 other;
  controller.control(5, other);
  EXPECT_EQ(other.code, 0);

  tStatus2 query;
  EXPECT_EQ(controller.isControlEnabled(1, query), 0u);
  EXPECT_EQ(query.code, -50004);

  // An attach on an error status attaches nothing.
  tCallLog log;
  nQoTest::tScriptedPrimitive primitive(log, "p");
  nQoMRTB100::tSupStateTracker tracker;
  tStatus2 failed(-7);
  controller.attach(&primitive, &tracker, failed);
  tStatus2 after;
  controller.control(1, after);
  EXPECT_EQ(after.code, -50004);
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(ControllerTest, MultiUndoesTheMembersBeforeAFailedStartWithStop) {
  tCallLog log;
  tScriptedController a(log, "a"), b(log, "b"), c(log, "c");
  a.enabled[2] = 1;
  b.enabled[2] = 1;
  c.enabled[2] = 1;
  b.answers["control 2"] = -7;
  a.answers["control 3"] = -9;  // undo failures are dropped
  nQoMRTB100::tMultiPrimitiveController multi;
  tStatus2 status;
  for (auto* member : {&a, &b, &c}) multi.addController(member, status);

  multi.control(2, status);
  EXPECT_EQ(log.operations(), (tOps{"a.enabled 2", "a.control 2", "b.enabled 2", "b.control 2",
                                    "a.enabled 2", "a.control 3"}));
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(log.calls[i].status, &status);
  for (std::size_t i = 4; i < 6; ++i) {
    EXPECT_NE(log.calls[i].status, &status);
    EXPECT_EQ(log.calls[i].incoming, 0);
  }
  EXPECT_EQ(status.code, -7);

  log.clear();
  multi.control(3, status);  // an error is held: nothing
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(ControllerTest, MultiSkipsMembersThatDoNotTakePartBothWays) {
  tCallLog log;
  tScriptedController a(log, "a"), b(log, "b"), c(log, "c");
  b.enabled = {{4100, 1}, {4101, 1}};
  c.enabled = {{4100, 1}, {4101, 1}};
  c.answers["control 4100"] = -7;
  nQoMRTB100::tMultiPrimitiveController multi;
  tStatus2 status;
  for (auto* member : {&a, &b, &c}) multi.addController(member, status);

  multi.control(4100, status);
  EXPECT_EQ(log.operations(), (tOps{"a.enabled 4100", "b.enabled 4100", "b.control 4100",
                                    "c.enabled 4100", "c.control 4100", "b.enabled 4100",
                                    "b.control 4101", "a.enabled 4100"}));

  log.clear();
  c.answers = {{"control 4101", 5}};
  b.answers = {{"control 4101", -8}};
  tStatus2 backward;
  multi.control(4101, backward);
  EXPECT_EQ(log.operations(), (tOps{"c.enabled 4101", "c.control 4101", "b.enabled 4101",
                                    "b.control 4101", "a.enabled 4101"}));
  for (const nQoTest::tCall& call : log.calls) EXPECT_NE(call.status, &backward);
  EXPECT_EQ(backward.code, -8);

  log.clear();
  tStatus2 other;
  multi.control(5, other);
  multi.control(4102, other);
  EXPECT_TRUE(log.calls.empty());
  EXPECT_EQ(other.code, 0);
}

TEST_F(ControllerTest, MultiIsControlEnabledOrsUntilAnError) {
  tCallLog log;
  tScriptedController a(log, "a"), b(log, "b"), c(log, "c");
  nQoMRTB100::tMultiPrimitiveController multi;
  tStatus2 status;
  EXPECT_EQ(multi.isControlEnabled(1, status), 0u);
  for (auto* member : {&a, &b, &c}) multi.addController(member, status);
  b.enabled[1] = 1;
  EXPECT_EQ(multi.isControlEnabled(1, status), 1u);
  EXPECT_EQ(multi.isControlEnabled(2, status), 0u);

  log.clear();
  a.answers["enabled 1"] = -7;
  tStatus2 failing;
  multi.isControlEnabled(1, failing);
  EXPECT_EQ(log.operations(), (tOps{"a.enabled 1"}));
  EXPECT_EQ(failing.code, -7);

  log.clear();
  tStatus2 held(-3);
  EXPECT_EQ(multi.isControlEnabled(1, held), 0u);
  EXPECT_TRUE(log.calls.empty());

  EXPECT_EQ(multi.getController(2), &c);
  EXPECT_EQ(multi.getController(3), nullptr);
}

TEST_F(ControllerTest, ScopedControlUndoesAForwardStepAfterALaterFailure) {
  tCallLog log;
  tScriptedController controller(log, "k");
  {
    tStatus2 status;
    nQoMRTB100::tScopedControl arm(4100, controller, status);
    status.setCode(-7, "qotest", "controllerTest", 1);
  }
  EXPECT_EQ(log.operations(), (tOps{"k.control 4100", "k.control 4101"}));
  EXPECT_EQ(log.calls[1].incoming, 0);

  log.clear();
  for (uint32_t code : {3u, 4101u, 4u, 5u}) {
    tStatus2 status;
    nQoMRTB100::tScopedControl backward(code, controller, status);
    status.setCode(-7, "qotest", "controllerTest", 2);
  }
  EXPECT_EQ(log.operations(),
            (tOps{"k.control 3", "k.control 4101", "k.control 4", "k.control 5"}));

  log.clear();
  {
    tStatus2 status;
    nQoMRTB100::tScopedControl commit(1, controller, status);
    nQoMRTB100::tScopedControl start(2, controller, status);
  }
  controller.answers["control 1"] = -6;
  {
    tStatus2 status;
    nQoMRTB100::tScopedControl commit(1, controller, status);  // its own failure: no undo
  }
  {
    tStatus2 held(-3);
    nQoMRTB100::tScopedControl start(2, controller, held);
  }
  EXPECT_EQ(log.operations(), (tOps{"k.control 1", "k.control 2", "k.control 1"}));

  log.clear();
  controller.answers.clear();
  {
    tStatus2 status;
    nQoMRTB100::tScopedControl commit(1, controller, status);
    nQoMRTB100::tScopedControl start(2, controller, status);
    status.setCode(-7, "qotest", "controllerTest", 3);
  }
  EXPECT_EQ(log.operations(),
            (tOps{"k.control 1", "k.control 2", "k.control 3", "k.control 4"}));
}

}  // namespace
