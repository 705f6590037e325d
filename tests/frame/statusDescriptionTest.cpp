// The generic status description: texts by usage type and failed allocations.
#include <gtest/gtest.h>

#include "frame/tGenericStatusDescription.h"
#include "frame/tStatusSite.h"
#include "mdbg/tGUIDReportable.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::nQoKABBO_1_0::tGenericStatusDescription;

class StatusDescriptionTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StatusDescriptionTest, SetStoresEachTextWidenedUnderItsUsageType) {
  tStatus2 status;
  auto* description = new tGenericStatusDescription;
  description->set(nQoMSTS100::kUsageResourceName, "PFI3");
  description->set(nQoMSTS100::kUsageRequestedValue, "first");
  description->set(nQoMSTS100::kUsageRequestedValue, "Small Filter");
  description->set(nQoMSTS100::kUsageCurrentValue, "\xC3\xA9");
  nQoUdR100::setCode(status, -200645, {"statusDescriptionTest", 1}, description);
  EXPECT_EQ(nQoTest::textProperty(status.description, 2), L"PFI3");
  EXPECT_EQ(nQoTest::textProperty(status.description, 36), L"Small Filter");
  EXPECT_EQ(nQoTest::textProperty(status.description, 227), std::wstring(L"\u00C3\u00A9"));
  EXPECT_EQ(description->propertyCount(), 3u);
  nQoUdR100::setCode(status, -1, {"statusDescriptionTest", 2}, new tGenericStatusDescription);
  EXPECT_EQ(status.description, description) << "a refused code releases its description";
}

TEST_F(StatusDescriptionTest, AFailedAllocationGoesIntoTheOwnStatusAndEmptiesLaterTexts) {
  tStatus2 status, own;
  auto* description = new tGenericStatusDescription;
  nQoSim::failAllocation(1);
  description->set(nQoMSTS100::kUsageResourceName, "RIVO7");
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tGenericStatusDescription", 30));
  description->set(nQoMSTS100::kUsageCurrentValue, "No filter");
  nQoSim::failAllocation(1);
  description->addProperty(1, nQoMDBG100::tGUIDReportable(nQoORB100::tGUID{1, 2}), own);
  EXPECT_EQ(own.code, -50352);
  EXPECT_EQ(description->getProperty(1), nullptr);
  nQoUdR100::setCode(status, -200645, {"statusDescriptionTest", 3}, description);
  EXPECT_EQ(nQoTest::textProperty(status.description, 2), L"");
  EXPECT_EQ(nQoTest::textProperty(status.description, 227), L"");
}

}  // namespace
