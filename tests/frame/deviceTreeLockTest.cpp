// The recursive device-tree lock: its listener record, recursion, removal
// notifications that wait for the holder, and the lock without its event.
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
#include "testClockFixture.h"

namespace {

using nQoSim::tSimListenerDeviceTree;
using nQoUdR100::nQoKABBO_1_0::tPalDeviceTreeLock;
using tRegistration = tSimListenerDeviceTree::tRegistration;

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

  // Starts threads that each deliver a removal and count their return.
  void notifyFrom(unsigned count) {
    for (unsigned i = 0; i < count; ++i)
      threads.emplace_back([this] {
        tree.deliverRemoval(nullptr);
        ++returned;
      });
  }
  void joinAll() {
    for (std::thread& thread : threads) thread.join();
  }

  tSimListenerDeviceTree tree;
  std::vector<std::thread> threads;
  std::atomic<unsigned> returned{0};
};

TEST_F(DeviceTreeLockTest, RegistersItsRecordRecursesWithoutSignallingAndUndoesAtDestruction) {
  const int liveSyncs = nQoSim::liveSyncObjects();
  uintptr_t observer = 0;  // the lock's observer part, compared after it is gone
  const iSync* event = nullptr;
  {
    tPalDeviceTreeLock lock;
    observer = reinterpret_cast<uintptr_t>(static_cast<const iDeviceTreeObserver*>(&lock));
    event = lockEvent();
    EXPECT_EQ(tree.listenerCount(), 1u);
    tree.deliverRemoval(nullptr);
    tree.deliverRemoval(nullptr);
  }
  EXPECT_EQ(nQoSim::syncSets(event) + nQoSim::syncWaits(event), 0u);
  const auto registrations = tree.registrations();
  ASSERT_EQ(registrations.size(), 2u);
  const tDeviceTreeListenerRecord& record = registrations[0].record;
  EXPECT_EQ(registrations[0].operation, tRegistration::kRegister);
  EXPECT_EQ(record.version, 1u);
  EXPECT_EQ(record.kind, 1u);
  EXPECT_EQ(record.flags, 0u);
  EXPECT_EQ(record.eventMask, 0xFFFFFFFFu);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(record.observer), observer);
  EXPECT_EQ(registrations[1].operation, tRegistration::kUnregister);
  EXPECT_EQ(registrations[1].address, registrations[0].address);
  EXPECT_EQ(nQoSim::liveSyncObjects(), liveSyncs);
}

TEST_F(DeviceTreeLockTest, ARemovalNotificationWaitsForTheHoldersRelease) {
  const uint64_t holder = nQoKAL100_getThreadHandle();
  const iSync* event = nullptr;
  {
    tPalDeviceTreeLock lock;
    event = lockEvent();
    notifyFrom(1);
    ASSERT_TRUE(nQoTest::eventually([&] { return nQoSim::syncBlocked(event) == 1; }));
    EXPECT_EQ(returned.load(), 0u);
  }
  joinAll();
  std::vector<nQoSim::tSyncRecord> onEvent;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.object == event) onEvent.push_back(record);
  ASSERT_EQ(onEvent.size(), 4u);
  EXPECT_EQ(onEvent[1].operation, nQoSim::tSyncRecord::kSet);
  EXPECT_EQ(onEvent[1].thread, holder);
  EXPECT_EQ(onEvent[2].operation, nQoSim::tSyncRecord::kWait);
  EXPECT_NE(onEvent[2].thread, holder);
  EXPECT_EQ(onEvent[3].operation, nQoSim::tSyncRecord::kClose);
}

TEST_F(DeviceTreeLockTest, AFailedRegistrationIsNotUndoneAndWithoutItsEventThreadsStillExclude) {
  tree.failNextRegistration(-50300);
  { tPalDeviceTreeLock lock; }
  ASSERT_EQ(tree.registrations().size(), 1u);
  EXPECT_EQ(tree.registrations()[0].status, -50300);

  const int liveSyncs = nQoSim::liveSyncObjects();
  nQoSim::failSyncOpen(1);
  {
    tPalDeviceTreeLock lock;
    EXPECT_EQ(nQoSim::liveSyncObjects(), liveSyncs);
    tree.deliverRemoval(nullptr);
    notifyFrom(3);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(returned.load(), 0u);
  }
  joinAll();
  EXPECT_EQ(returned.load(), 3u);
  EXPECT_EQ(tree.registrations().size(), 3u);
}

}  // namespace
