// Resource pools, their counting wrapper, strategies and the pool list's
// identities.
#include <gtest/gtest.h>

#include "device/poolInstantiations.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "reservation/tDriverLoadFailureResourcePool.h"
#include "reservation/tGenericResourcePoolExtStrategy.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tRefCountingResourcePoolWrapper;
using nQoUdR100::tSingularResourcePool;
using tTEDSPool = tSingularResourcePool<nQoUdP100::iTEDSCommunicator*>;

class PoolTest : public nQoTest::tLeakCheckedTest {};

template <class Pool, class P>
void expectWrapperIdentities() {
  tSyncAtomicU32 inUse;
  tRefCountingResourcePoolWrapper<Pool, P> pool(&inUse, nullptr);
  nQoMRL100::iLeafResourcePool& base = pool;
  const nQoMRL100::iLeafResourcePool& constant = pool;
  EXPECT_EQ(base.___CPPKRLDynamicCast(&Pool::___classID), static_cast<Pool*>(&pool));
  EXPECT_EQ(constant.___CPPKRLDynamicCast(&Pool::___classID), static_cast<Pool*>(&pool));
  EXPECT_EQ(base.___CPPKRLDynamicCast(&nQoUdR100::tImmedDigPortPool::___classID), nullptr);
  EXPECT_EQ(base.___CPPKRLDynamicCast(&tTEDSPool::___classID), nullptr);
}

TEST_F(PoolTest, EveryListedWrapperAnswersItsInnerPoolsIdentityAndNoOther) {
  int wrapped = 0;
#define QOUDR_CHECK_SINGULAR(T) expectWrapperIdentities<tSingularResourcePool<T*>, T*>(), ++wrapped;
#define QOUDR_SKIP_BARE(T)
#define QOUDR_CHECK_OTHER(Pool, P) expectWrapperIdentities<Pool, P>(), ++wrapped;
  QOUDR_SINGULAR_POOL_RESOURCES(QOUDR_CHECK_SINGULAR, QOUDR_SKIP_BARE)
  QOUDR_OTHER_WRAPPED_POOLS(QOUDR_CHECK_OTHER)
  EXPECT_EQ(wrapped, 34);

  using tHWTimingPool = nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_HWTimingController*>;
  tHWTimingPool timing(nullptr);
  void* unknown = nullptr;
  EXPECT_EQ(
      timing.___CPPKRLDynamicCast(&nQoMRL100::tPlatformPoolIdentity<tHWTimingPool>::___classID),
      &timing);
  EXPECT_EQ(timing.___CPPKRLDynamicCast(&unknown), nullptr);
}

TEST_F(PoolTest, WrapperCountsEachReservationUntilItsReleaseAndNeverBelowZero) {
  tSyncAtomicU32 inUse;
  using tADCPool = tSingularResourcePool<nQoUdP100::tBaseAI_ADCPrimitive*>;
  tRefCountingResourcePoolWrapper<tADCPool, nQoUdP100::tBaseAI_ADCPrimitive*> pool(&inUse, nullptr);
  tStatus2 first, second, holder(-7);
  EXPECT_EQ(pool.reserve(nullptr, first), 1u);
  EXPECT_EQ(inUse.get(), 1u);
  EXPECT_TRUE(pool.isPartiallyReserved(first));
  EXPECT_EQ(pool.reserve(nullptr, second), 0u);
  EXPECT_EQ(second.code, -50103);
  EXPECT_EQ(inUse.get(), 1u);
  pool.release(nullptr, holder);
  EXPECT_EQ(holder.code, -7);
  EXPECT_EQ(inUse.get(), 0u);
  EXPECT_FALSE(pool.isPartiallyReserved(holder));
  pool.release(nullptr, first);
  EXPECT_EQ(inUse.get(), 0u) << "the count wrapped";
  EXPECT_EQ(first.code, 0);
}

// A strategy whose release answers a scripted code.
struct tReleaseAnswering {
  bool isPartiallyReserved(tStatus2&) const { return false; }
  uint32_t reserve(const nQoMRL100::iResourceIdentifier*, tStatus2& status) {
    if (reserveCode != 0) status.setCode(reserveCode, "qotest", "poolTest", 1);
    return reserveCode < 0 ? 0 : 1;
  }
  void release(const nQoMRL100::iResourceIdentifier*, tStatus2& status) {
    if (releaseCode != 0) status.setCode(releaseCode, "qotest", "poolTest", 2);
  }
  int reserveCode = 0;
  int releaseCode = 0;
};

// The count follows the sign of the code: a warning is no failure, in a
// reservation or in a release.
TEST_F(PoolTest, AWarningCountsAsSuccessInReserveAndRelease) {
  tSyncAtomicU32 inUse;
  tReleaseAnswering strategy;
  nQoUdR100::tGenericResourcePoolExtStrategy<int, tReleaseAnswering> pool(nullptr, &strategy,
                                                                          &inUse);
  for (int code : {0, 5, 5}) {
    strategy.reserveCode = code;
    tStatus2 status;
    EXPECT_EQ(pool.reserve(nullptr, status), 1u);
    EXPECT_EQ(status.code, code);
  }
  strategy.reserveCode = -7;
  tStatus2 refused;
  EXPECT_EQ(pool.reserve(nullptr, refused), 0u);
  EXPECT_EQ(inUse.get(), 3u);
  const struct {
    int releaseCode, incoming, merged;
    uint32_t count;
  } rows[] = {{5, 0, 5, 2}, {-7, 0, -7, 2}, {1, -3, -3, 1}, {-7, 4, -7, 1}, {0, 0, 0, 0}};
  for (const auto& row : rows) {
    strategy.releaseCode = row.releaseCode;
    tStatus2 status(row.incoming);
    pool.release(nullptr, status);
    EXPECT_EQ(status.code, row.merged) << row.releaseCode;
    EXPECT_EQ(inUse.get(), row.count) << row.releaseCode;
  }
}

TEST_F(PoolTest, InfiniteAndPowerupPools) {
  tSyncAtomicU32 inUse, own;
  tRefCountingResourcePoolWrapper<
      nQoUdR100::tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*>,
      nQoUdP100::iImmedDigWriteRedirector*>
      infinite(&inUse, nullptr);
  nQoUdR100::tProgPowerupPool powerup(nullptr, &own);
  tStatus2 failed(-7), status, refused;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(infinite.reserve(nullptr, failed), 1u);
  EXPECT_EQ(inUse.get(), 3u);
  EXPECT_FALSE(infinite.isPartiallyReserved(failed));
  for (int i = 0; i < 4; ++i) infinite.release(nullptr, failed);
  EXPECT_EQ(inUse.get(), 0u);
  EXPECT_EQ(powerup.reserve(nullptr, status), 1u);
  EXPECT_FALSE(powerup.isPartiallyReserved(status));
  EXPECT_EQ(powerup.reserve(nullptr, refused), 0u);
  EXPECT_EQ(refused.code, -50103);
  powerup.release(nullptr, status);
  powerup.release(nullptr, status);
  EXPECT_EQ(own.get(), 0u);
}

TEST_F(PoolTest, EEPROMPoolHasOneHolderAndNeverReportsAPartialReservation) {
  tSyncAtomicU32 inUse;
  using tEEPROMPool = nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*>;
  tRefCountingResourcePoolWrapper<tEEPROMPool, nQoUdP100::tEEPROM*> pool(&inUse, nullptr);
  const nQoCDR100::tTESKMaskedIdentifier other(1, 0);
  tStatus2 status, second;
  EXPECT_EQ(pool.reserve(nullptr, status), 1u);
  EXPECT_FALSE(pool.isPartiallyReserved(status));
  EXPECT_EQ(pool.reserve(&other, second), 0u);
  EXPECT_EQ(second.code, -50103);
  EXPECT_TRUE(nQoTest::loggedAt(-50103, "tEEPROMAccessReservationStrategy", 41));
  EXPECT_EQ(inUse.get(), 1u);
  pool.release(nullptr, status);
  EXPECT_EQ(inUse.get(), 0u);
}

TEST_F(PoolTest, LoadFailurePoolRefusesEveryReservationWithTheStoredCode) {
  const char* file = "./source/qomior/tDriverLoadFailureResourcePool";
  for (auto [stored, incoming, expected] :
       {std::tuple{0, 0, 0}, {7, 5, 5}, {-50150, -3, -3}, {-50150, 5, -50150}}) {
    nQoSim::clearStatusLog();
    nQoUdR100::tDriverLoadFailureResourcePool pool{tStatus2(stored)};
    tStatus2 status(incoming), query;
    EXPECT_EQ(pool.reserve(nullptr, status), 0u);
    EXPECT_EQ(status.code, expected) << stored << ", caller " << incoming;
    EXPECT_EQ(static_cast<bool>(nQoTest::loggedAt(-50150, file, 83)), expected == -50150);
    EXPECT_TRUE(pool.isPartiallyReserved(query));
    EXPECT_EQ(query.code, stored);
  }
  EXPECT_TRUE(nQoTest::loggedAt(-50150, file, 101)) << "isPartiallyReserved";
}

}  // namespace
