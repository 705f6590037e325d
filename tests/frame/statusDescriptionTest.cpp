// The generic status description: texts by usage type, failures into its own
// status, and its life on a status.
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
  ASSERT_NE(description, nullptr);
  description->set(nQoMSTS100::kUsageResourceName, "PFI3");
  description->set(nQoMSTS100::kUsageRequestedValue, "first");
  description->set(nQoMSTS100::kUsageRequestedValue, "Small Filter");  // replaces
  description->set(nQoMSTS100::kUsageCurrentValue, "\xC3\xA9");
  nQoUdR100::setCode(status, -200645, {"statusDescriptionTest", 1}, description);

  EXPECT_EQ(nQoTest::textProperty(status.description, 2), L"PFI3");
  EXPECT_EQ(nQoTest::textProperty(status.description, 36), L"Small Filter");
  EXPECT_EQ(nQoTest::textProperty(status.description, 227), std::wstring(L"\u00C3\u00A9"))
      << "bytes are widened one by one";
  EXPECT_EQ(description->propertyCount(), 3u);

  auto* refused = new tGenericStatusDescription;  // a refused code releases its description
  nQoUdR100::setCode(status, -1, {"statusDescriptionTest", 2}, refused);
  EXPECT_EQ(status.description, description);
}

TEST_F(StatusDescriptionTest, AFailedAllocationGoesIntoTheOwnStatusAndEmptiesLaterTexts) {
  tStatus2 status;
  auto* description = new tGenericStatusDescription;
  nQoSim::failAllocation(1);  // the wide text
  description->set(nQoMSTS100::kUsageResourceName, "RIVO7");
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tGenericStatusDescription", 30));
  description->set(nQoMSTS100::kUsageCurrentValue, "No filter");
  nQoUdR100::setCode(status, -200645, {"statusDescriptionTest", 3}, description);
  EXPECT_EQ(nQoTest::textProperty(status.description, 2), L"");
  EXPECT_EQ(nQoTest::textProperty(status.description, 227), L"");

  nQoSim::failAllocation(1);  // the stored copy
  tStatus2 own;
  description->addProperty(1, nQoMDBG100::tGUIDReportable(nQoORB100::tGUID{1, 2}), own);
  EXPECT_EQ(own.code, -50352);
  EXPECT_EQ(description->getProperty(1), nullptr);
}

}  // namespace
