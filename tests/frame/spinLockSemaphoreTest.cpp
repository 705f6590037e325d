// The spin-lock semaphore: kept gives, queue order, timed takes and a missing
// spin lock.
#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

#include "frame/tSpinLockSemaphore.h"
#include "sim/simKal.h"
#include "testClockFixture.h"

namespace {

using namespace nQoUdR100;
using nQoAPALS100::tStatusExtended;

class SpinLockSemaphoreTest : public nQoTest::tTestClockTest {
 protected:
  void SetUp() override {
    tTestClockTest::SetUp();
    tStatusExtended status;
    semaphoreInit(&semaphore, 0, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    semaphoreDestroy(&semaphore);
    EXPECT_EQ(nQoSim::liveSpinLocks(), 0);
    EXPECT_EQ(nQoSim::blockedWaiters(), 0);
    tTestClockTest::TearDown();
  }

  static void expectSite(const tStatusExtended& status, int code, unsigned line) {
    EXPECT_EQ(status.code, code);
    EXPECT_STREQ(status.file, "qoapal/quarks/synchronization");
    EXPECT_EQ(status.line, line);
  }

  tSpinLockSemaphore semaphore{};
};

TEST_F(SpinLockSemaphoreTest, AGiveIsKeptAndWaitersAreWokenInQueueOrder) {
  tStatusExtended empty;
  semaphoreGive(&semaphore);
  semaphoreTake(&semaphore);
  EXPECT_FALSE(semaphoreTakeTimed(&semaphore, 0, 0, empty));
  expectSite(empty, -52007, 2314);

  std::vector<int> order;
  std::thread first([&] { semaphoreTake(&semaphore), order.push_back(1); });
  ASSERT_TRUE(nQoTest::eventually([] { return nQoSim::blockedWaiters() == 1; }));
  std::thread second([&] { semaphoreTake(&semaphore), order.push_back(2); });
  ASSERT_TRUE(nQoTest::eventually([] { return nQoSim::blockedWaiters() == 2; }));
  semaphoreGive(&semaphore);
  first.join();
  semaphoreGive(&semaphore);
  second.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(semaphore.count, 0u);
}

TEST_F(SpinLockSemaphoreTest, ATimedTakeEndsWhenTheClockPassesItsTimeOut) {
  tStatusExtended status;
  auto take = std::async(std::launch::async,
                         [&] { return semaphoreTakeTimed(&semaphore, 100, 0, status); });
  ASSERT_TRUE(nQoTest::eventually([] { return nQoSim::blockedWaiters() == 1; }));
  nQoSim::advanceClock(99'000'000);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(take.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  nQoSim::advanceClock(1'000'000);
  EXPECT_FALSE(take.get());
  expectSite(status, -52007, 221);
  semaphoreGive(&semaphore);
  EXPECT_EQ(semaphore.count, 1u) << "the expired waiter left the queue";
}

TEST(SpinLockSemaphore, WithoutASpinLockInitReportsMinus52000AndNothingElseHappens) {
  tSpinLockSemaphore semaphore{};
  tStatusExtended status, clean;
  nQoSim::failNextSpinLock();
  semaphoreInit(&semaphore, 3, status);
  EXPECT_EQ(status.code, -52000);
  EXPECT_EQ(status.line, 2159u);
  semaphoreGive(&semaphore);
  semaphoreTake(&semaphore);
  EXPECT_FALSE(semaphoreTakeTimed(&semaphore, 0, 0, clean));
  semaphoreDestroy(&semaphore);
  EXPECT_EQ(semaphore.count, 3u);
}

}  // namespace
