// Resource pools, their reference-counting wrapper, the pools over member and
// shared strategies, the special pools and the class identities of the pool
// list.
#include <gtest/gtest.h>

#include "mrl/tDigMaskedReservationStrategy.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "reservation/poolInstantiations.h"
#include "reservation/tDriverLoadFailureResourcePool.h"
#include "reservation/tVirtualReservationStrategy2.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tRefCountingResourcePoolWrapper;
using nQoUdR100::tSingularResourcePool;
using tADCPool = tSingularResourcePool<nQoUdP100::tBaseAI_ADCPrimitive*>;
using tTEDSPool = tSingularResourcePool<nQoUdP100::iTEDSCommunicator*>;

class PoolTest : public nQoTest::tLeakCheckedTest {};

TEST_F(PoolTest, WrapperOverAnExclusivePoolCountsEachReservationUntilItsRelease) {
  tSyncAtomicU32 inUse;
  tRefCountingResourcePoolWrapper<tADCPool, nQoUdP100::tBaseAI_ADCPrimitive*> pool(&inUse,
                                                                                  nullptr);
  tStatus2 first;
  EXPECT_EQ(pool.reserve(nullptr, first), 1u);
  EXPECT_EQ(inUse.get(), 1u);
  EXPECT_TRUE(pool.isPartiallyReserved(first));

  tStatus2 second;
  EXPECT_EQ(pool.reserve(nullptr, second), 0u);
  EXPECT_EQ(second.code, -50103);
  EXPECT_EQ(inUse.get(), 1u);

  tStatus2 holder(-7);  // an earlier failure does not stop the release
  pool.release(nullptr, holder);
  EXPECT_EQ(holder.code, -7);
  EXPECT_EQ(inUse.get(), 0u);
  EXPECT_FALSE(pool.isPartiallyReserved(holder));
  pool.release(nullptr, first);  // unpaired: the count stays at 0
  EXPECT_EQ(inUse.get(), 0u) << "the count wrapped";
  EXPECT_EQ(first.code, 0);
}

// Every wrapped pool of the list answers its own and its inner pool's
// identity, and no other pool's.
template <class Pool, class P>
void expectWrapperIdentities() {
  tSyncAtomicU32 inUse;
  tRefCountingResourcePoolWrapper<Pool, P> pool(&inUse, nullptr);
  nQoMRL100::iLeafResourcePool& base = pool;
  const nQoMRL100::iLeafResourcePool& constant = pool;
  EXPECT_EQ(base.___CPPKRLDynamicCast(&Pool::___classID), static_cast<Pool*>(&pool));
  EXPECT_EQ(constant.___CPPKRLDynamicCast(&Pool::___classID), static_cast<Pool*>(&pool));
  EXPECT_EQ(base.___CPPKRLDynamicCast(&tRefCountingResourcePoolWrapper<Pool, P>::___classID),
            &pool);
  EXPECT_EQ(base.___CPPKRLDynamicCast(&nQoMRL100::iLeafResourcePool::___classID), &base);
  EXPECT_EQ(base.___CPPKRLDynamicCast(&nQoUdR100::tImmedDigPortPool::___classID), nullptr);
  EXPECT_EQ(base.___CPPKRLDynamicCast(&tTEDSPool::___classID), nullptr);
}

TEST_F(PoolTest, EveryListedWrapperAnswersItsInnerPoolsIdentity) {
  int wrapped = 0;
#define QOUDR_CHECK_SINGULAR(T)                          \
  expectWrapperIdentities<tSingularResourcePool<T*>, T*>(); \
  ++wrapped;
#define QOUDR_SKIP_BARE(T)
#define QOUDR_CHECK_OTHER(Pool, P)    \
  expectWrapperIdentities<Pool, P>(); \
  ++wrapped;
  QOUDR_SINGULAR_POOL_RESOURCES(QOUDR_CHECK_SINGULAR, QOUDR_SKIP_BARE)
  QOUDR_OTHER_WRAPPED_POOLS(QOUDR_CHECK_OTHER)
  EXPECT_EQ(wrapped, 34);

  using tHWTimingPool = nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_HWTimingController*>;
  tHWTimingPool timing(nullptr);  // the platform's identity
  EXPECT_EQ(timing.___CPPKRLDynamicCast(
                &nQoMRL100::tPlatformPoolIdentity<tHWTimingPool>::___classID),
            &timing);
  void* unknown = nullptr;
  EXPECT_EQ(timing.___CPPKRLDynamicCast(&unknown), nullptr);
}

TEST_F(PoolTest, ReleaseMergesTheInnerStatusAndCountsOnlyWhatDidNotFail) {
  // A shared strategy that answers scripted codes.
  class tScriptedStrategy : public nQoUdR100::iReservationStrategy2 {
   public:
    uint32_t reserve(const nQoMRL100::iResourceIdentifier*, tStatus2& status) override {
      status.setCode(reserveCode, "qotest", "poolTest", 1);
      return grant;
    }
    void release(const nQoMRL100::iResourceIdentifier*, tStatus2& status) override {
      EXPECT_EQ(status.code, 0) << "a release runs on a fresh status";
      status.setCode(releaseCode, "qotest", "poolTest", 2);
    }
    bool isPartiallyReserved(tStatus2&) const override { return grant != 0; }
    uint32_t grant = 1;
    int reserveCode = 5;  // a granted reservation with a warning still counts
    int releaseCode = 9;
  } strategy;
  tSyncAtomicU32 inUse;
  nQoUdR100::tImmedDigPortPool pool(nullptr, &strategy, &inUse);
  tStatus2 status;
  EXPECT_EQ(pool.reserve(nullptr, status), 1u);
  EXPECT_EQ(status.code, 5);
  EXPECT_EQ(inUse.get(), 1u);
  EXPECT_TRUE(pool.isPartiallyReserved(status));
  pool.release(nullptr, status);  // a warning: the count falls, the caller's warning stays
  EXPECT_EQ(status.code, 5);
  EXPECT_EQ(inUse.get(), 0u);

  strategy.grant = 0;  // refused: no count, the strategy's code reaches the caller
  strategy.reserveCode = -3;
  tStatus2 refused;
  EXPECT_EQ(pool.reserve(nullptr, refused), 0u);
  EXPECT_EQ(refused.code, -3);

  inUse.set(1);
  strategy.releaseCode = -11;  // an error: the count stays and beats a warning
  tStatus2 caller(4);
  pool.release(nullptr, caller);
  EXPECT_EQ(caller.code, -11);
  EXPECT_EQ(inUse.get(), 1u);
}

TEST_F(PoolTest, InfiniteAndPowerupPools) {
  tSyncAtomicU32 inUse;
  tRefCountingResourcePoolWrapper<
      nQoUdR100::tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*>,
      nQoUdP100::iImmedDigWriteRedirector*>
      infinite(&inUse, nullptr);
  tStatus2 failed(-7);  // granted and counted even with an error in the status
  for (int i = 0; i < 3; ++i) EXPECT_EQ(infinite.reserve(nullptr, failed), 1u);
  EXPECT_EQ(failed.code, -7);
  EXPECT_EQ(inUse.get(), 3u);
  EXPECT_FALSE(infinite.isPartiallyReserved(failed));
  for (int i = 0; i < 3; ++i) infinite.release(nullptr, failed);
  EXPECT_EQ(inUse.get(), 0u);

  tSyncAtomicU32 own;  // the power-up pool counts through its own count too
  nQoUdR100::tProgPowerupPool powerup(nullptr, &own);
  tStatus2 status;
  EXPECT_EQ(powerup.reserve(nullptr, status), 1u);
  EXPECT_FALSE(powerup.isPartiallyReserved(status)) << "also while reserved";
  EXPECT_EQ(powerup.reserve(nullptr, status), 0u);
  EXPECT_EQ(status.code, -50103);
  EXPECT_EQ(own.get(), 1u);
  powerup.release(nullptr, status);
  EXPECT_EQ(own.get(), 0u);
}

TEST_F(PoolTest, EEPROMPoolHasOneHolderAndNeverReportsAPartialReservation) {
  tSyncAtomicU32 inUse;
  using tEEPROMPool = nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*>;
  tRefCountingResourcePoolWrapper<tEEPROMPool, nQoUdP100::tEEPROM*> pool(&inUse, nullptr);
  tStatus2 status;
  EXPECT_EQ(pool.reserve(nullptr, status), 1u);
  EXPECT_FALSE(pool.isPartiallyReserved(status));

  const nQoCDR100::tTESKMaskedIdentifier other(1, 0);  // any identifier competes
  tStatus2 second;
  EXPECT_EQ(pool.reserve(&other, second), 0u);
  EXPECT_EQ(second.code, -50103);
  EXPECT_TRUE(nQoTest::loggedAt(-50103, "tEEPROMAccessReservationStrategy", 41));
  EXPECT_EQ(inUse.get(), 1u);

  pool.release(nullptr, status);
  tStatus2 failed(-9);  // an error in the status: 0, nothing changes
  EXPECT_EQ(pool.reserve(nullptr, failed), 0u);
  EXPECT_EQ(inUse.get(), 0u);
  EXPECT_EQ(pool.reserve(nullptr, status), 1u);
}

TEST_F(PoolTest, TwoPoolsOfAPortShareOneMaskedStrategy) {
  nQoUdR100::tVirtualReservationStrategy2<nQoCDR110::tDigMaskedReservationStrategy> port;
  tSyncAtomicU32 inUse;
  nQoUdR100::tImmedDigPortPool first(nullptr, &port, &inUse);
  nQoUdR100::tImmedDigPortPool second(nullptr, &port, &inUse);
  const nQoCDR100::tTESKMaskedIdentifier low(0x0F, 0), high(0, 0x80000000u), both(0x10, 0x80000000u);
  tStatus2 status;
  EXPECT_EQ(first.reserve(&low, status), 1u);
  EXPECT_EQ(second.reserve(&high, status), 1u);
  tStatus2 refused;
  EXPECT_EQ(second.reserve(&both, refused), 0u);
  EXPECT_EQ(refused.code, -50103);
  EXPECT_EQ(inUse.get(), 2u);

  first.release(&low, status);
  EXPECT_TRUE(first.isPartiallyReserved(status)) << "the high line is still held";
  second.release(&high, status);
  EXPECT_FALSE(first.isPartiallyReserved(status));
  EXPECT_EQ(inUse.get(), 0u);
}

TEST_F(PoolTest, LoadFailurePoolRefusesEveryReservationWithTheStoredCode) {
  const auto expectReport = [](int stored, int incoming, int expected) {
    nQoUdR100::tDriverLoadFailureResourcePool pool{tStatus2(stored)};
    tStatus2 status(incoming);
    EXPECT_EQ(pool.reserve(nullptr, status), 0u);
    EXPECT_EQ(status.code, expected) << "stored " << stored << ", caller " << incoming;
  };
  expectReport(-50150, 5, -50150);
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "./source/qomior/tDriverLoadFailureResourcePool", 83));
  expectReport(7, 5, 5);
  expectReport(-50150, -3, -3);

  nQoUdR100::tDriverLoadFailureResourcePool pool{tStatus2(-50150)};
  tStatus2 status;
  EXPECT_TRUE(pool.isPartiallyReserved(status));
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "./source/qomior/tDriverLoadFailureResourcePool", 101));

  nQoSim::clearStatusLog();
  nQoUdR100::tDriverLoadFailureResourcePool quiet{tStatus2(0)};
  tStatus2 untouched;
  EXPECT_EQ(quiet.reserve(nullptr, untouched), 0u);
  EXPECT_TRUE(quiet.isPartiallyReserved(untouched));
  EXPECT_EQ(untouched.code, 0);
  EXPECT_TRUE(nQoSim::statusLog().empty());
}

}  // namespace
