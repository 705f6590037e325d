// The write redirector, the CDIO subsystem and the digital subsystem.
#include <gtest/gtest.h>

#include "primitives/cdio/tTavikCDIOSubsystem.h"
#include "primitives/cdio/tTavikImmedDigWriteRedirector.h"
#include "primitives/dio/tDIOSubsystem.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "primitives/dioFixture.h"
#include "sim/simAllocator.h"

namespace nQoTest {
namespace {

using namespace nQoUdP100;

class tRedirectorTest : public tCDIOTest {};

TEST_F(tRedirectorTest, WithoutATargetEveryOperationIsRefused) {
  tTavikImmedDigWriteRedirector redirector(cdo, status);
  uint32_t value = 7;
  EXPECT_EQ(redirector.writeLines(0x0F, 0x3, status), 0u);
  EXPECT_EQ(status.code, -50004);
  EXPECT_EQ(lastReport(), "-50004 qoudrk tTavikImmedDigWriteRedirector 40");
  status.clear();
  EXPECT_EQ(redirector.readLines(0x0F, &value, status), 0u);
  EXPECT_EQ(status.code, -50004);
  status.clear();
  redirector.setLineMode(0x0F, 1, status);
  EXPECT_EQ(status.code, -50004);
  EXPECT_EQ(value, 7u);
  EXPECT_TRUE(windows.log().empty());  // no FIFO reset either
}

TEST_F(tRedirectorTest, WriteMergesThePresentLinesIntoOneSteppedSample) {
  tTavikImmedDigPrimitive port(*map, status);
  tTavikImmedDigWriteRedirector redirector(cdo, status);
  redirector.setRedirectTarget(&port);
  windows.setRead(window, 0x24, 32, 0xF0);
  clearLogs();
  EXPECT_EQ(redirector.writeLines(0x0F, 0x3, status), 4u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.log(), (tLog{wrote32(0x224, 0x10), read32(0x24, 0xF0), wrote32(0x220, 0xF3),
                                 wrote32(0x224, 0x80000)}));
  clearLogs();
  redirector.writeLines(0, 0xFF, status);  // mask 0 writes the present values back
  EXPECT_EQ(at(windows.log(), 0x220), (tLog{wrote32(0x220, 0xF0)}));
}

class tCDIOSubsystemTest : public tCDIOTest {
 protected:
  tTavikCDIOSubsystem* build(nQoMDBG100::tStatus2& into) {
    return new tTavikCDIOSubsystem(&description, map, board, &identity, &deviceInfo, into);
  }
};

TEST_F(tCDIOSubsystemTest, BuildsEveryPartAndStopsAtTheFirstFailedAllocation) {
  tTavikCDIOSubsystem* cdioParts = build(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_TRUE(cdioParts->isComplete());
  EXPECT_NE(cdioParts->redirector(), nullptr);
  // Linked transfers unlink from their FIFOs as they go: the FIFOs must still be there.
  cdioParts->cdiInterruptTransfer()->registerObservers(status);
  cdioParts->cdoInterruptTransfer()->registerObservers(status);
  ASSERT_EQ(status.code, 0);
  delete cdioParts;

  // Fail each allocation of the build in turn (the subsystem object itself is the first).
  const uint64_t before = nQoSim::totalAllocations();
  delete build(status);
  const uint64_t allocations = nQoSim::totalAllocations() - before;
  const int64_t live = nQoSim::liveAllocations();
  bool redirectorOnlyFailed = false;
  int failedBuilds = 0;
  for (uint64_t nth = 2; nth <= allocations; ++nth) {
    nQoMDBG100::tStatus2 attempt;
    nQoSim::failAllocation(nth);
    tTavikCDIOSubsystem* parts = build(attempt);
    nQoSim::failAllocation(0);
    if (attempt.code != 0) {
      ++failedBuilds;
      EXPECT_EQ(attempt.code, -50352) << nth;
      const bool onlyRedirector =
          parts->redirector() == nullptr && parts->cdoImmediateTransfer() != nullptr;
      redirectorOnlyFailed |= onlyRedirector;
      EXPECT_EQ(parts->isComplete(), onlyRedirector) << nth;
    }
    delete parts;
    EXPECT_EQ(nQoSim::liveAllocations(), live) << nth;
  }
  EXPECT_GE(failedBuilds, 10);
  EXPECT_TRUE(redirectorOnlyFailed);

  nQoMDBG100::tStatus2 failed;
  failed.setCode(-1, "test", "test", 1);
  tTavikCDIOSubsystem* none = build(failed);
  EXPECT_FALSE(none->isComplete());
  EXPECT_EQ(none->dispatcher(), nullptr);
  delete none;
}

TEST_F(tDIOTest, DigitalSubsystemBuildsTheBoardsMembers) {
  const tDIODescription fixedWithLink{.timing = 1, .ports = {{6, 0}, {4, 0}}};
  tDIOSubsystem fixed(*map, fixedWithLink, status);
  ASSERT_EQ(status.code, 0);
  auto& lines = fixed.getImmedDigPrimitives();
  ASSERT_EQ(lines.size(), 2u);
  // The fixed input refuses writes; the fixed output drives PFI 6-9.
  clearLogs();
  EXPECT_EQ(lines[0]->writeLines(0x1, 0x1, status), 0u);
  EXPECT_EQ(lines[1]->writeLines(0xF, 0x5, status), 1u);
  EXPECT_EQ(at(windows.log(), 0x1DE), (tLog{wrote(0x1DE, 0x5 << 6)}));
  ASSERT_EQ(fixed.getLatchingPrimitives().size(), 2u);
  EXPECT_NE(fixed.getLatchingPrimitives()[0], nullptr);
  EXPECT_NE(fixed.getLatchingPrimitives()[1], nullptr);
  EXPECT_NE(fixed.getHWTimingController(), nullptr);
  EXPECT_NE(fixed.getSWTimingController(), nullptr);
  EXPECT_NE(fixed.getTESKLines(), nullptr);
  ASSERT_NE(fixed.getCommRouting(), nullptr);
  // Routing over null port lines: the front panel is refused.
  fixed.getCommRouting()->connect(1, status);
  EXPECT_EQ(status.code, -50004);

  status.clear();
  const tDIODescription plain{.ports = {{1, 0}, {2, 0}}};
  tDIOSubsystem board(*map, plain, status);
  ASSERT_EQ(status.code, 0);
  // Port 0, then the PFI lines.
  clearLogs();
  board.getImmedDigPrimitives()[0]->writeLines(0xFF, 0xA5, status);
  board.getImmedDigPrimitives()[1]->writeLines(0x1, 0x1, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x24, 0xA5), wrote8(0x1DE, 0x01)}));
  EXPECT_EQ(board.getTESKLines(), nullptr);
  EXPECT_EQ(board.getCommRouting(), nullptr);
  EXPECT_EQ(board.getSWTimingController(), nullptr);
  EXPECT_EQ(board.getHWTimingController(), nullptr);

  EXPECT_EQ(board.unsupportedOperation(status), 0u);
  EXPECT_EQ(lastReport(), "-50256 qoudrk tDIOSubsystem 101");
}

TEST_F(tDIOTest, DigitalSubsystemFailedAllocationLeavesTheRestNullAndLeaksNothing) {
  const tDIODescription withLink{.timing = 1};
  const uint64_t before = nQoSim::totalAllocations();
  delete new tDIOSubsystem(*map, withLink, status);
  const uint64_t allocations = nQoSim::totalAllocations() - before;
  const int64_t live = nQoSim::liveAllocations();
  int failedBuilds = 0;
  for (uint64_t nth = 2; nth <= allocations; ++nth) {  // the subsystem object is the first
    nQoMDBG100::tStatus2 attempt;
    nQoSim::failAllocation(nth);
    auto* dio = new tDIOSubsystem(*map, withLink, attempt);
    nQoSim::failAllocation(0);
    if (attempt.code != 0) {
      ++failedBuilds;
      EXPECT_EQ(attempt.code, -50352) << nth;
      EXPECT_EQ(dio->getTESKLines(), nullptr) << nth;  // built last
    }
    delete dio;
    EXPECT_EQ(nQoSim::liveAllocations(), live) << nth;
  }
  EXPECT_GE(failedBuilds, 10);  // two vectors, four line objects, four link objects
}

}  // namespace
}  // namespace nQoTest
