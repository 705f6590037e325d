#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "frame/tSpinLockSemaphore.h"
#include "sim/simKal.h"
#include "testClockFixture.h"

namespace {

using namespace nQoUdR100;
using nQoAPALS100::tStatusExtended;

template <class tCondition>
bool eventually(tCondition condition) {
  for (int i = 0; i < 5000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return condition();
}

class SpinLockSemaphoreTest : public nQoTest::tTestClockTest {
 protected:
  void SetUp() override {
    tTestClockTest::SetUp();
    _spinLocks = nQoSim::liveSpinLocks();
    tStatusExtended status;
    semaphoreInit(&semaphore, 0, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    semaphoreDestroy(&semaphore);
    EXPECT_EQ(semaphore.spinLock, nullptr);
    EXPECT_EQ(nQoSim::liveSpinLocks(), _spinLocks);
    EXPECT_EQ(nQoSim::blockedWaiters(), 0);
    tTestClockTest::TearDown();
  }

  static void expectSite(const tStatusExtended& status, int64_t code, uint64_t line) {
    EXPECT_EQ(status.code, code);
    EXPECT_STREQ(status.component, "qoudrk");
    EXPECT_STREQ(status.file, "qoapal/quarks/synchronization");
    EXPECT_EQ(status.line, line);
  }

  tSpinLockSemaphore semaphore{};

 private:
  int _spinLocks = 0;
};

TEST_F(SpinLockSemaphoreTest, AGiveWithoutWaitersIsKeptForTheNextTake) {
  semaphoreGive(&semaphore);
  EXPECT_EQ(semaphore.count, 1u);
  semaphoreTake(&semaphore);  // returns at once
  EXPECT_EQ(semaphore.count, 0u);
  semaphoreGive(&semaphore);
  semaphoreGive(&semaphore);
  EXPECT_EQ(semaphore.count, 2u);
  tStatusExtended status;
  EXPECT_TRUE(semaphoreTakeTimed(&semaphore, 0, 0, status));
  EXPECT_TRUE(semaphoreTakeTimed(&semaphore, 100, 0, status));
  EXPECT_EQ(semaphore.count, 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(SpinLockSemaphoreTest, TimedTakeOfZeroOnAnEmptySemaphoreTimesOutAtOnce) {
  tStatusExtended status;
  EXPECT_FALSE(semaphoreTakeTimed(&semaphore, 0, 0, status));
  expectSite(status, -52007, 2314);
  // A status holding an error takes nothing.
  semaphoreGive(&semaphore);
  EXPECT_FALSE(semaphoreTakeTimed(&semaphore, 0, 0, status));
  EXPECT_EQ(semaphore.count, 1u);
}

TEST_F(SpinLockSemaphoreTest, WaitersAreWokenInQueueOrderAndTheUnitPassesToThem) {
  std::vector<int> order;
  std::mutex orderLock;
  auto taker = [&](int id) {
    semaphoreTake(&semaphore);
    std::lock_guard<std::mutex> lock(orderLock);
    order.push_back(id);
  };
  std::thread first(taker, 1);
  ASSERT_TRUE(eventually([] { return nQoSim::blockedWaiters() == 1; }));
  std::thread second(taker, 2);
  ASSERT_TRUE(eventually([] { return nQoSim::blockedWaiters() == 2; }));
  semaphoreGive(&semaphore);
  first.join();
  EXPECT_EQ(order, std::vector<int>{1});
  EXPECT_EQ(semaphore.count, 0u);
  semaphoreGive(&semaphore);
  second.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(semaphore.count, 0u);
}

TEST_F(SpinLockSemaphoreTest, ATimedTakeEndsWhenTheClockPassesItsTimeOut) {
  tStatusExtended status;
  auto take = std::async(std::launch::async,
                         [&] { return semaphoreTakeTimed(&semaphore, 100, 0, status); });
  ASSERT_TRUE(eventually([] { return nQoSim::blockedWaiters() == 1; }));
  nQoSim::advanceClock(99'000'000);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(take.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  nQoSim::advanceClock(1'000'000);
  EXPECT_FALSE(take.get());
  expectSite(status, -52007, 221);
  // The expired waiter left the queue: a give is kept.
  semaphoreGive(&semaphore);
  EXPECT_EQ(semaphore.count, 1u);
}

TEST_F(SpinLockSemaphoreTest, ATimedTakeGivenBeforeItsTimeOutSucceeds) {
  tStatusExtended status;
  auto take = std::async(std::launch::async,
                         [&] { return semaphoreTakeTimed(&semaphore, 100, 1, status); });
  ASSERT_TRUE(eventually([] { return nQoSim::blockedWaiters() == 1; }));
  semaphoreGive(&semaphore);
  EXPECT_TRUE(take.get());
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(semaphore.count, 0u);
}

TEST_F(SpinLockSemaphoreTest, InterruptedWaitsReportMinus52025) {
  for (uint32_t timeout : {kSemaphoreWaitForever, 100u}) {
    tStatusExtended status;
    auto take = std::async(std::launch::async,
                           [&] { return semaphoreTakeTimed(&semaphore, timeout, 1, status); });
    ASSERT_TRUE(eventually([] { return nQoSim::blockedWaiters() == 1; }));
    nQoSim::interruptWaiters();
    EXPECT_FALSE(take.get());
    expectSite(status, -52025, timeout == kSemaphoreWaitForever ? 2347 : 2410);
  }
  semaphoreGive(&semaphore);
  EXPECT_EQ(semaphore.count, 1u);
}

TEST_F(SpinLockSemaphoreTest, AnUntimedWaitEndsOnlyWithAGive) {
  tStatusExtended status;
  auto take = std::async(std::launch::async, [&] {
    return semaphoreTakeTimed(&semaphore, kSemaphoreWaitForever, 0, status);
  });
  ASSERT_TRUE(eventually([] { return nQoSim::blockedWaiters() == 1; }));
  nQoSim::interruptWaiters();
  nQoSim::advanceClock(1'000'000'000'000);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(take.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  semaphoreGive(&semaphore);
  EXPECT_TRUE(take.get());
  EXPECT_EQ(status.code, 0);
}

TEST(SpinLockSemaphore, InitWithoutASpinLockReportsMinus52000AndTheSemaphoreDoesNothing) {
  tSpinLockSemaphore semaphore{};
  tStatusExtended status;
  nQoSim::failNextSpinLock();
  semaphoreInit(&semaphore, 3, status);
  EXPECT_EQ(status.code, -52000);
  EXPECT_STREQ(status.file, "qoapal/quarks/synchronization");
  EXPECT_EQ(status.line, 2159u);
  EXPECT_EQ(semaphore.spinLock, nullptr);
  EXPECT_EQ(semaphore.count, 3u);
  semaphoreGive(&semaphore);
  semaphoreTake(&semaphore);
  tStatusExtended clean;
  EXPECT_FALSE(semaphoreTakeTimed(&semaphore, 0, 0, clean));
  semaphoreDestroy(&semaphore);
  semaphoreDestroy(nullptr);
  EXPECT_EQ(semaphore.count, 3u);
}

TEST(SpinLockSemaphore, UnsupportedOperationsReportMinus52002) {
  tStatusExtended status;
  semaphoreUnsupported(nullptr, status);
  EXPECT_EQ(status.code, -52002);
  EXPECT_STREQ(status.file, "qoapal/protons/synchronization/tSemaphore");
  EXPECT_EQ(status.line, 255u);
}

}  // namespace
