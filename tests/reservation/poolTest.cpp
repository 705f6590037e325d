// Resource pools, their counting wrapper, strategies, the pool list's
// identities and the line-filter pool.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "device/poolInstantiations.h"
#include "mrl/tGUIDIdentifier.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "reservation/tDriverLoadFailureResourcePool.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tRefCountingResourcePoolWrapper;
using nQoUdR100::tSingularResourcePool;
using nQoUdR100::tTavikLineFilterIdentifier;
using tTEDSPool = tSingularResourcePool<nQoUdP100::iTEDSCommunicator*>;
using tLinePool = nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>;

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

constexpr uint32_t kPFI = tTavikLineFilterIdentifier::kPFI;
constexpr uint32_t kRIVO = tTavikLineFilterIdentifier::kRIVO;
const nQoORB100::tGUID kDeviceA{0x1111, 0x2222};
const nQoORB100::tGUID kDeviceB{0xAAAA0000BBBB0000ull, 0x0123456789ABCDEFull};

class LineFilterTest : public nQoTest::tLeakCheckedTest {
 protected:
  uint32_t count(uint32_t group, uint32_t line) const {
    return pool.getStrategy().getUseCount(group, line);
  }
  // Every line's count and setting, PFI first.
  std::vector<uint32_t> snapshot() const {
    std::vector<uint32_t> out;
    for (uint32_t group : {kPFI, kRIVO})
      for (uint32_t line = 0; line < (group == kPFI ? 16u : 8u); ++line)
        out.insert(out.end(),
                   {count(group, line), pool.getStrategy().getCurrentSetting(group, line)});
    return out;
  }

  nQoTest::tLoadedModule module;  // descriptions copy their properties through the class registry
  tSyncAtomicU32 inUse;
  nQoUdR100::tRefCountingResourcePoolWrapper<tLinePool, nQoUdP100::tTavikLineFilterPrimitive*> pool{
      &inUse, nullptr};
};

tTavikLineFilterIdentifier request(const nQoORB100::tGUID& device,
                                   std::initializer_list<std::array<uint32_t, 3>> lines) {
  tTavikLineFilterIdentifier identifier;
  identifier.setDeviceGUID(device);
  for (const auto& [group, line, setting] : lines) identifier.setSetting(group, line, setting);
  return identifier;
}

TEST_F(LineFilterTest, AConflictOnOneLineRefusesTheWholeRequestAndNamesTheLine) {
  const auto a = request(kDeviceA, {{kPFI, 3, 2}, {kRIVO, 1, 0}, {kRIVO, 7, 9}});
  const auto b = request(kDeviceB, {{kPFI, 3, 1}, {kRIVO, 0, 0}});
  const auto c = request(kDeviceA, {{kRIVO, 1, 1}, {kPFI, 3, 2}, {kPFI, 0, 2}});
  const auto d = request(kDeviceA, {{kRIVO, 7, 3}});
  tStatus2 status, refused, rivo, illegal, bare;
  ASSERT_EQ(pool.reserve(&a, status), 1u);
  const auto before = snapshot();
  EXPECT_EQ(pool.reserve(&b, refused), 0u);
  EXPECT_EQ(refused.code, -200645);
  EXPECT_TRUE(nQoTest::loggedAt(-200645, "tTavikLineFilterReservationStrategy", 211));
  EXPECT_EQ(nQoTest::guidProperty(refused.description, 1), kDeviceB);
  EXPECT_EQ(nQoTest::textProperty(refused.description, 2), L"PFI3");
  EXPECT_EQ(nQoTest::textProperty(refused.description, 36), L"Small Filter");
  EXPECT_EQ(nQoTest::textProperty(refused.description, 227), L"Medium Filter");

  EXPECT_EQ(pool.reserve(&c, rivo), 0u);
  EXPECT_EQ(nQoTest::textProperty(rivo.description, 2), L"RIVO1");
  EXPECT_EQ(nQoTest::textProperty(rivo.description, 227), L"No filter");
  EXPECT_EQ(pool.reserve(&d, illegal), 0u);
  EXPECT_EQ(nQoTest::textProperty(illegal.description, 36), L"Large Filter");
  EXPECT_EQ(nQoTest::textProperty(illegal.description, 227), L"Illegal");
  nQoSim::failAllocation(1);
  EXPECT_EQ(pool.reserve(&b, bare), 0u);
  EXPECT_EQ(bare.code, -200645);
  EXPECT_EQ(bare.description, nullptr);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(inUse.get(), 1u);
}

TEST_F(LineFilterTest, AgreeingRequestsShareALineUntilTheLastRelease) {
  const auto a = request(kDeviceA, {{kPFI, 3, 2}});
  const auto b = request(kDeviceA, {{kPFI, 3, 2}, {kPFI, 4, 1}});
  const auto c = request(kDeviceA, {{kPFI, 3, 0}});
  tStatus2 status, failed(-7);
  pool.release(&b, status);
  EXPECT_EQ(snapshot(), std::vector<uint32_t>(48, 0)) << "an unpaired release";
  EXPECT_EQ(pool.reserve(&a, status), 1u);
  EXPECT_EQ(pool.reserve(&b, status), 1u);
  EXPECT_EQ(count(kPFI, 3), 2u);
  EXPECT_EQ(inUse.get(), 2u);
  pool.release(&a, status);
  EXPECT_EQ(count(kPFI, 3), 1u);
  pool.release(&b, status);
  EXPECT_EQ(count(kPFI, 3), 0u);
  EXPECT_EQ(pool.getStrategy().getCurrentSetting(kPFI, 3), 2u);
  EXPECT_FALSE(pool.isPartiallyReserved(status));
  EXPECT_EQ(inUse.get(), 0u);
  EXPECT_EQ(pool.reserve(&c, failed), 0u);
  EXPECT_EQ(pool.reserve(&c, status), 1u);
  EXPECT_EQ(pool.getStrategy().getCurrentSetting(kPFI, 3), 0u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(failed.code, -7);
}

TEST_F(LineFilterTest, RIVOOnlyAndNoPreferenceRequests) {
  const tTavikLineFilterIdentifier none;
  const auto rivo = request(kDeviceA, {{kRIVO, 5, 1}});
  tStatus2 status;
  EXPECT_EQ(pool.reserve(&none, status), 1u);
  EXPECT_EQ(inUse.get(), 1u);
  EXPECT_FALSE(pool.isPartiallyReserved(status));
  EXPECT_EQ(snapshot(), std::vector<uint32_t>(48, 0));
  EXPECT_EQ(pool.reserve(&rivo, status), 1u);
  EXPECT_TRUE(pool.isPartiallyReserved(status));
}

TEST_F(LineFilterTest, ARequestThatIsNoLineFilterRequestChangesNothing) {
  const auto held = request(kDeviceA, {{kPFI, 1, 1}});
  const nQoMRL100::tGUIDIdentifier device(kDeviceA);
  tStatus2 status, refused, none, caller;
  ASSERT_EQ(pool.reserve(&held, status), 1u);
  const auto before = snapshot();
  EXPECT_EQ(pool.reserve(&device, refused), 0u);
  EXPECT_EQ(refused.code, -89000);
  EXPECT_EQ(pool.reserve(nullptr, none), 0u);
  EXPECT_EQ(none.code, -89000);
  pool.release(&device, caller);
  EXPECT_EQ(caller.code, -89000);
  EXPECT_EQ(inUse.get(), 1u) << "a failed release must not lower the count";
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
