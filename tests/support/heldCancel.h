// A cancel from the user's thread held inside a supervisor while the test's
// thread releases it: the release must wait for the cancel to leave.
//
//   EXPECT_TRUE(nQoTest::heldAtASet(nQoTest::cancelOf(supervisor),
//                                   nQoTest::releaseOf(supervisor, true)));
#pragma once

#include <gtest/gtest.h>

#include <thread>

#include "mdbg/tStatus2.h"
#include "sim/simSync.h"
#include "support/heldPass.h"

namespace nQoTest {

// Runs call on a thread of its own, held as it sets an event (a set by any
// thread but the test's), while the test's thread runs teardown; true when
// the teardown waited for the call.
template <class tCall, class tTeardown>
bool heldAtASet(tCall call, tTeardown teardown) {
  const std::thread::id tester = std::this_thread::get_id();
  tHeldPass held;
  nQoSim::onSyncSet([&](const auto*, bool set) {
    if (!set && std::this_thread::get_id() != tester) held.hold();
  });
  held.run(call);
  held.tearDown(teardown);
  nQoSim::onSyncSet(nullptr);
  return held.teardownWaited();
}

// The supervisor's cancel, as the user's thread sends it.
template <class tSupervisor>
auto cancelOf(tSupervisor& supervisor) {
  return [&supervisor] {
    nQoMDBG100::tStatus2 cancel;
    supervisor.requestCancel(cancel);
  };
}

// The supervisor's release (after its unlink when asked), which succeeds.
template <class tSupervisor>
auto releaseOf(tSupervisor& supervisor, bool unlinkFirst) {
  return [&supervisor, unlinkFirst] {
    nQoMDBG100::tStatus2 down;
    if (unlinkFirst) supervisor.unlinkResource(down);
    supervisor.releaseResource(down);
    EXPECT_EQ(down.code, 0);
  };
}

}  // namespace nQoTest
