// The line-filter pool and its strategy inside the reference-counting wrapper:
// agreement per line, the conflict report, and requests that are not
// line-filter requests.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "mrl/tGUIDIdentifier.h"
#include "reservation/poolInstantiations.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tTavikLineFilterIdentifier;
using tLinePool = nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>;
using tWrappedLinePool =
    nQoUdR100::tRefCountingResourcePoolWrapper<tLinePool, nQoUdP100::tTavikLineFilterPrimitive*>;

constexpr uint32_t kPFI = tTavikLineFilterIdentifier::kPFI;
constexpr uint32_t kRIVO = tTavikLineFilterIdentifier::kRIVO;
const nQoORB100::tGUID kDeviceA{0x1111, 0x2222};
const nQoORB100::tGUID kDeviceB{0xAAAA0000BBBB0000ull, 0x0123456789ABCDEFull};

class LineFilterTest : public nQoTest::tLeakCheckedTest {
 protected:
  const nQoUdR100::tTavikLineFilterReservationStrategy& lines() const {
    return pool.getStrategy();
  }

  // Every line's count and setting, PFI first.
  std::vector<uint32_t> snapshot() const {
    std::vector<uint32_t> out;
    for (uint32_t line = 0; line < 16; ++line)
      out.insert(out.end(), {lines().getUseCount(kPFI, line), lines().getCurrentSetting(kPFI, line)});
    for (uint32_t line = 0; line < 8; ++line)
      out.insert(out.end(),
                 {lines().getUseCount(kRIVO, line), lines().getCurrentSetting(kRIVO, line)});
    return out;
  }

  nQoTest::tLoadedModule module;  // descriptions copy their properties through the class registry
  tSyncAtomicU32 inUse;
  tWrappedLinePool pool{&inUse, nullptr};
};

tTavikLineFilterIdentifier request(const nQoORB100::tGUID& device,
                                   std::initializer_list<std::array<uint32_t, 3>> lines) {
  tTavikLineFilterIdentifier identifier;
  identifier.setDeviceGUID(device);
  for (const auto& [group, line, setting] : lines) identifier.setSetting(group, line, setting);
  return identifier;
}

TEST_F(LineFilterTest, AConflictOnOneLineRefusesTheWholeRequestAndNamesTheLine) {
  const auto a = request(kDeviceA, {{kPFI, 3, 2}});
  const auto b = request(kDeviceB, {{kPFI, 3, 1}, {kRIVO, 0, 0}});
  tStatus2 status;
  ASSERT_EQ(pool.reserve(&a, status), 1u);
  const auto before = snapshot();

  tStatus2 refused;
  EXPECT_EQ(pool.reserve(&b, refused), 0u);
  EXPECT_EQ(refused.code, -200645);
  EXPECT_TRUE(nQoTest::loggedAt(-200645, "tTavikLineFilterReservationStrategy", 211));
  EXPECT_EQ(nQoTest::guidProperty(refused.description, 1), kDeviceB);
  EXPECT_EQ(nQoTest::textProperty(refused.description, 2), L"PFI3");
  EXPECT_EQ(nQoTest::textProperty(refused.description, 36), L"Small Filter");
  EXPECT_EQ(nQoTest::textProperty(refused.description, 227), L"Medium Filter");
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(lines().getUseCount(kRIVO, 0), 0u);
  EXPECT_EQ(inUse.get(), 1u);
}

TEST_F(LineFilterTest, RIVOConflictsAreReportedAfterEveryPFILine) {
  const auto a = request(kDeviceA, {{kRIVO, 0, 0}, {kPFI, 15, 3}});
  const auto b = request(kDeviceA, {{kRIVO, 0, 1}, {kPFI, 15, 3}, {kPFI, 0, 2}});
  tStatus2 status;
  ASSERT_EQ(pool.reserve(&a, status), 1u);
  tStatus2 refused;
  EXPECT_EQ(pool.reserve(&b, refused), 0u);
  EXPECT_EQ(nQoTest::textProperty(refused.description, 2), L"RIVO0");
  EXPECT_EQ(nQoTest::textProperty(refused.description, 36), L"Small Filter");
  EXPECT_EQ(nQoTest::textProperty(refused.description, 227), L"No filter");
  EXPECT_EQ(lines().getUseCount(kPFI, 15), 1u);
  EXPECT_EQ(lines().getUseCount(kPFI, 0), 0u);

  // Settings outside 0..4 are granted; a conflict with one names it "Illegal".
  const auto odd = request(kDeviceA, {{kRIVO, 7, 9}});
  EXPECT_EQ(pool.reserve(&odd, status), 1u);
  const auto other = request(kDeviceA, {{kRIVO, 7, 3}});
  tStatus2 illegal;
  EXPECT_EQ(pool.reserve(&other, illegal), 0u);
  EXPECT_EQ(nQoTest::textProperty(illegal.description, 36), L"Large Filter");
  EXPECT_EQ(nQoTest::textProperty(illegal.description, 227), L"Illegal");
}

TEST_F(LineFilterTest, AgreeingRequestsShareALineUntilTheLastRelease) {
  const auto a = request(kDeviceA, {{kPFI, 3, 2}});
  const auto b = request(kDeviceA, {{kPFI, 3, 2}, {kPFI, 4, 1}});
  tStatus2 status;
  EXPECT_EQ(pool.reserve(&a, status), 1u);
  EXPECT_EQ(pool.reserve(&b, status), 1u);
  EXPECT_EQ(lines().getUseCount(kPFI, 3), 2u);
  EXPECT_EQ(inUse.get(), 2u);

  pool.release(&a, status);
  EXPECT_EQ(lines().getUseCount(kPFI, 3), 1u);
  EXPECT_EQ(lines().getCurrentSetting(kPFI, 3), 2u);
  pool.release(&b, status);
  EXPECT_EQ(lines().getUseCount(kPFI, 3), 0u);
  EXPECT_EQ(lines().getCurrentSetting(kPFI, 3), 2u) << "settings stay after the release";
  EXPECT_FALSE(pool.isPartiallyReserved(status));
  EXPECT_EQ(inUse.get(), 0u);

  const auto c = request(kDeviceA, {{kPFI, 3, 0}});  // a free line takes any setting
  EXPECT_EQ(pool.reserve(&c, status), 1u);
  EXPECT_EQ(lines().getCurrentSetting(kPFI, 3), 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(LineFilterTest, RIVOOnlyAndNoPreferenceRequests) {
  tStatus2 status;
  const tTavikLineFilterIdentifier none;  // every line 4
  EXPECT_EQ(pool.reserve(&none, status), 1u);
  EXPECT_EQ(inUse.get(), 1u);
  EXPECT_FALSE(pool.isPartiallyReserved(status));
  EXPECT_EQ(snapshot(), std::vector<uint32_t>(48, 0));

  const auto rivo = request(kDeviceA, {{kRIVO, 5, 1}});
  EXPECT_EQ(pool.reserve(&rivo, status), 1u);
  EXPECT_TRUE(pool.isPartiallyReserved(status));
  pool.release(&none, status);
  pool.release(&rivo, status);
  EXPECT_EQ(inUse.get(), 0u);

  tStatus2 failed(-7);  // a stored error: 0 and nothing changes
  EXPECT_EQ(pool.reserve(&rivo, failed), 0u);
  EXPECT_EQ(lines().getUseCount(kRIVO, 5), 0u);
  EXPECT_EQ(failed.code, -7);
}

TEST_F(LineFilterTest, ARequestThatIsNoLineFilterRequestChangesNothing) {
  const auto held = request(kDeviceA, {{kPFI, 1, 1}});
  tStatus2 status;
  ASSERT_EQ(pool.reserve(&held, status), 1u);
  const auto before = snapshot();

  const nQoMRL100::tGUIDIdentifier device(kDeviceA);
  tStatus2 refused;
  EXPECT_EQ(pool.reserve(&device, refused), 0u);
  EXPECT_EQ(refused.code, -89000);
  tStatus2 none;
  EXPECT_EQ(pool.reserve(nullptr, none), 0u);
  EXPECT_EQ(none.code, -89000);
  EXPECT_EQ(inUse.get(), 1u);

  tStatus2 caller;
  pool.release(&device, caller);
  EXPECT_EQ(caller.code, -89000);
  EXPECT_EQ(inUse.get(), 1u) << "a failed release must not lower the count";
  EXPECT_EQ(snapshot(), before);

}

TEST_F(LineFilterTest, AnUnpairedReleaseLeavesEveryCountAtZero) {
  const auto a = request(kDeviceA, {{kPFI, 2, 1}, {kRIVO, 7, 3}});
  tStatus2 status;
  pool.release(&a, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(snapshot(), std::vector<uint32_t>(48, 0));
  EXPECT_EQ(inUse.get(), 0u);
}

TEST_F(LineFilterTest, AConflictIsReportedAlsoWhenItsDescriptionCannotBeBuilt) {
  const auto a = request(kDeviceA, {{kPFI, 3, 2}});
  const auto b = request(kDeviceB, {{kPFI, 3, 1}});
  tStatus2 status;
  ASSERT_EQ(pool.reserve(&a, status), 1u);

  nQoSim::failAllocation(1);  // the description
  tStatus2 bare;
  EXPECT_EQ(pool.reserve(&b, bare), 0u);
  EXPECT_EQ(bare.code, -200645);
  EXPECT_EQ(bare.description, nullptr);

  tStatus2 warned(5);  // a warning gives way to the conflict
  EXPECT_EQ(pool.reserve(&b, warned), 0u);
  EXPECT_EQ(warned.code, -200645);
  EXPECT_EQ(nQoTest::textProperty(warned.description, 2), L"PFI3");
}

}  // namespace
