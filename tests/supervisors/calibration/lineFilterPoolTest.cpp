// The line filter's pool: requests share a line while they agree on its
// filter setting; a conflict refuses the whole request and names the line.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

#include "mrl/tGUIDIdentifier.h"
#include "primitives/calibration/tTavikLineFilterPrimitive.h"
#include "reservation/tRefCountingResourcePoolWrapper.h"
#include "settings/tTavikLineFilterIdentifier.h"
#include "sim/simAllocator.h"
#include "supervisors/calibration/tTavikLineFilterResourcePool.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"
#include "sync/tSyncAtomicU32.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tTavikLineFilterIdentifier;
using tLinePool = nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>;

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

// A request on every line, the last RIVO line included, leaves every line
// idle at its release (the settings stay), so that any setting is granted
// afterwards.
TEST_F(LineFilterTest, AReleaseOfEveryLineLeavesEachLineIdle) {
  tTavikLineFilterIdentifier all, other;
  all.setDeviceGUID(kDeviceA);
  other.setDeviceGUID(kDeviceA);
  std::vector<uint32_t> released;
  for (uint32_t group : {kPFI, kRIVO})
    for (uint32_t line = 0; line < (group == kPFI ? 16u : 8u); ++line) {
      all.setSetting(group, line, line % 4);
      other.setSetting(group, line, (line + 1) % 4);
      released.insert(released.end(), {0, line % 4});
    }
  tStatus2 status;
  ASSERT_EQ(pool.reserve(&all, status), 1u);
  EXPECT_EQ(count(kRIVO, 7), 1u);
  pool.release(&all, status);
  EXPECT_EQ(snapshot(), released);
  EXPECT_FALSE(pool.isPartiallyReserved(status));
  EXPECT_EQ(pool.reserve(&other, status), 1u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(inUse.get(), 1u);
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
