// The recursive device-tree lock: listener registration, recursion, a
// removal notification that waits for the holder, and the lock without its
// event.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "frame/tPalDeviceTreeLock.h"
#include "kal/nQoKAL.h"
#include "sim/simDevices.h"
#include "sim/simSync.h"
#include "sim/tSimListenerDeviceTree.h"

namespace {

using nQoSim::tSimListenerDeviceTree;
using nQoUdR100::nQoKABBO_1_0::tPalDeviceTreeLock;

class DeviceTreeLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nQoSim::setDeviceTree(&tree);
    nQoSim::clearSyncLog();
  }
  void TearDown() override {
    nQoSim::failSyncOpen(0);
    nQoSim::setDeviceTree(nullptr);
  }

  // The handing-over event the lock opened, or null.
  static const iSync* lockEvent() {
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen && record.kind == 5) return record.object;
    return nullptr;
  }

  // Waits (bounded) until count threads are blocked on the event.
  static bool waitUntilBlocked(const iSync* event, unsigned count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (nQoSim::syncBlocked(event) < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::yield();
    }
    return true;
  }

  tSimListenerDeviceTree tree;
};

TEST_F(DeviceTreeLockTest, RegistersItsRecordAndUndoesEverythingAtDestruction) {
  const int liveSyncs = nQoSim::liveSyncObjects();
  const tPalDeviceTreeLock* address = nullptr;
  {
    tPalDeviceTreeLock lock;
    address = &lock;
    EXPECT_EQ(nQoSim::liveSyncObjects(), liveSyncs + 1);
    EXPECT_EQ(tree.listenerCount(), 1u);
  }
  const auto registrations = tree.registrations();
  ASSERT_EQ(registrations.size(), 2u);
  const tDeviceTreeListenerRecord& record = registrations[0].record;
  EXPECT_EQ(registrations[0].operation, tSimListenerDeviceTree::tRegistration::kRegister);
  EXPECT_EQ(record.version, 1u);
  EXPECT_EQ(record.kind, 1u);
  EXPECT_EQ(record.flags, 0u);
  EXPECT_EQ(record.eventMask, 0xFFFFFFFFu);
  EXPECT_EQ(record.observer, static_cast<const iDeviceTreeObserver*>(address));
  EXPECT_EQ(registrations[1].operation, tSimListenerDeviceTree::tRegistration::kUnregister);
  EXPECT_EQ(registrations[1].address, registrations[0].address);
  EXPECT_EQ(tree.listenerCount(), 0u);
  EXPECT_EQ(nQoSim::liveSyncObjects(), liveSyncs);
}

TEST_F(DeviceTreeLockTest, TheHolderTakesItAgainWithoutSignalling) {
  const iSync* event = nullptr;
  {
    tPalDeviceTreeLock lock;
    event = lockEvent();
    ASSERT_NE(event, nullptr);
    tree.deliverRemoval(nullptr);  // acquire and release on the holder's thread
    tree.deliverRemoval(nullptr);
  }
  EXPECT_EQ(nQoSim::syncSets(event), 0u);
  EXPECT_EQ(nQoSim::syncWaits(event), 0u);
}

TEST_F(DeviceTreeLockTest, ARemovalNotificationWaitsForTheHoldersRelease) {
  std::atomic<bool> returned{false};
  uint64_t holder = nQoKAL100_getThreadHandle();
  uint64_t notifier = 0;
  std::thread thread;
  const iSync* event = nullptr;
  {
    tPalDeviceTreeLock lock;
    event = lockEvent();
    thread = std::thread([&] {
      notifier = nQoKAL100_getThreadHandle();
      tree.deliverRemoval(nullptr);
      returned = true;
    });
    ASSERT_TRUE(waitUntilBlocked(event, 1));
    EXPECT_FALSE(returned.load());
  }
  thread.join();
  EXPECT_TRUE(returned.load());

  std::vector<nQoSim::tSyncRecord> onEvent;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.object == event) onEvent.push_back(record);
  ASSERT_EQ(onEvent.size(), 4u);
  EXPECT_EQ(onEvent[0].operation, nQoSim::tSyncRecord::kOpen);
  EXPECT_EQ(onEvent[1].operation, nQoSim::tSyncRecord::kSet);
  EXPECT_EQ(onEvent[1].thread, holder);
  EXPECT_EQ(onEvent[2].operation, nQoSim::tSyncRecord::kWait);
  EXPECT_EQ(onEvent[2].thread, notifier);
  EXPECT_EQ(onEvent[3].operation, nQoSim::tSyncRecord::kClose);
}

TEST_F(DeviceTreeLockTest, OwnershipPassesToOneWaiterPerSignal) {
  constexpr unsigned kNotifiers = 4;
  std::atomic<unsigned> returned{0};
  std::vector<std::thread> threads;
  const iSync* event = nullptr;
  {
    tPalDeviceTreeLock lock;
    event = lockEvent();
    for (unsigned i = 0; i < kNotifiers; ++i)
      threads.emplace_back([&] {
        tree.deliverRemoval(nullptr);
        ++returned;
      });
    ASSERT_TRUE(waitUntilBlocked(event, kNotifiers));
    EXPECT_EQ(returned.load(), 0u);
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(returned.load(), kNotifiers);
  // The holder hands over to the first, each one to the next; the last finds
  // nobody waiting.
  EXPECT_EQ(nQoSim::syncSets(event), kNotifiers);
  EXPECT_EQ(nQoSim::syncWaits(event), kNotifiers);
}

TEST_F(DeviceTreeLockTest, AFailedRegistrationIsNotUndone) {
  tree.failNextRegistration(-50300);
  {
    tPalDeviceTreeLock lock;
    tree.deliverRemoval(nullptr);  // nobody is registered
  }
  const auto registrations = tree.registrations();
  ASSERT_EQ(registrations.size(), 1u);
  EXPECT_EQ(registrations[0].operation, tSimListenerDeviceTree::tRegistration::kRegister);
  EXPECT_EQ(registrations[0].status, -50300);

  nQoSim::setDeviceTree(nullptr);
  { tPalDeviceTreeLock lock; }  // no device tree at all
  EXPECT_EQ(tree.registrations().size(), 1u);
}

TEST_F(DeviceTreeLockTest, WithoutItsEventTwoThreadsStillExcludeEachOther) {
  const int liveSyncs = nQoSim::liveSyncObjects();
  nQoSim::failSyncOpen(1);
  std::atomic<unsigned> returned{0};
  std::vector<std::thread> threads;
  {
    tPalDeviceTreeLock lock;
    EXPECT_EQ(nQoSim::liveSyncObjects(), liveSyncs);
    tree.deliverRemoval(nullptr);  // recursion needs no event either
    for (int i = 0; i < 3; ++i)
      threads.emplace_back([&] {
        tree.deliverRemoval(nullptr);
        ++returned;
      });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(returned.load(), 0u);
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(returned.load(), 3u);
  EXPECT_EQ(lockEvent(), nullptr);
  // The registration did not depend on the event.
  ASSERT_EQ(tree.registrations().size(), 2u);
  EXPECT_EQ(tree.registrations()[0].status, 0);
}

}  // namespace
