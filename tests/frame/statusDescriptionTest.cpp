// Status descriptions: texts by usage type, conflicting attributes, the
// device GUID; failures into their own status, and their life on a status.
#include <gtest/gtest.h>

#include "frame/nParseUtilities.h"
#include "frame/tConflictingAttributesStatusDescription.h"
#include "frame/tDeviceGUIDStatusDescriptionISRSafe.h"
#include "frame/tGenericStatusDescription.h"
#include "frame/tIntrinsicTypeReportable.h"
#include "frame/tStatusSite.h"
#include "mdbg/tEnumPropertyReportable.h"
#include "mdbg/tGUIDReportable.h"
#include "mdbg/tPropertyIDReportable.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMDBG100::tStatus2Description;
using namespace nQoUdR100::nQoKABBO_1_0;

class StatusDescriptionTest : public nQoTest::tLeakCheckedTest {
 protected:
  nQoTest::tLoadedModule module;  // property copies come from the class registry
};

template <class T>
const T* propertyAs(const tStatus2Description& description, uint32_t id) {
  const auto* value = description.getProperty(id);
  return value == nullptr ? nullptr
                          : static_cast<const T*>(value->___CPPKRLDynamicCast(&T::___classID));
}

TEST_F(StatusDescriptionTest, SetStoresEachTextDecodedUnderItsUsageType) {
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
  EXPECT_EQ(nQoTest::textProperty(status.description, 227), std::wstring(L"\u00E9"))
      << "the text is UTF-8";
  EXPECT_EQ(description->propertyCount(), 3u);

  auto* refused = new tGenericStatusDescription;  // a refused code releases its description
  nQoUdR100::setCode(status, -1, {"statusDescriptionTest", 2}, refused);
  EXPECT_EQ(status.description, description);
}

TEST_F(StatusDescriptionTest, AFailedConversionGoesIntoTheOwnStatusAndEmptiesLaterTexts) {
  tStatus2 status;
  auto* description = new tGenericStatusDescription;
  nQoSim::failAllocation(1);  // the decoded text
  description->set(nQoMSTS100::kUsageResourceName, "RIVO7");
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "", 0, "")) << "merged without a location";
  description->set(nQoMSTS100::kUsageCurrentValue, "No filter");
  nQoUdR100::setCode(status, -200645, {"statusDescriptionTest", 3}, description);
  EXPECT_EQ(nQoTest::textProperty(status.description, 2), L"");
  EXPECT_EQ(nQoTest::textProperty(status.description, 227), L"");

  auto* bad = new tGenericStatusDescription;
  bad->set(nQoMSTS100::kUsageResourceName, "a\xFF");
  EXPECT_TRUE(nQoTest::loggedAt(-200811, "", 0, ""));
  EXPECT_EQ(nQoTest::textProperty(bad, 2), L"");
  bad->release();
}

TEST_F(StatusDescriptionTest, ConflictingAttributesAddTheIdAndTheValue) {
  tConflictingAttributesStatusDescription description;
  EXPECT_TRUE(description.isStatusOK());
  addConflictingAttribute(description, 0x1002, nQoUdR100::tWString(L"Dev1/ai0"));
  EXPECT_EQ(nQoTest::textProperty(&description, 25), L"Dev1/ai0");
  addConflictingAttribute(description, 0x1003, tEnumeratedAttributeValue(-5));
  const auto* enumerated = propertyAs<nQoMDBG100::tEnumPropertyReportable>(description, 25);
  ASSERT_NE(enumerated, nullptr);
  EXPECT_EQ(enumerated->getAttributeID(), 0x1003u);
  EXPECT_EQ(enumerated->getValue(), -5);
  EXPECT_EQ(propertyAs<nQoMDBG100::tPropertyIDReportable>(description, 43)->getValue(), 0x1003u);
  EXPECT_TRUE(description.isStatusOK());

  // A list that cannot be allocated: -50352 at the reportable's site, and
  // both properties are still added.
  tConflictingAttributesStatusDescription failed;
  nQoSim::failAllocation(2);  // the property id's copy, then the value's list
  addConflictingAttribute(failed, 0x2002, 9u);
  EXPECT_EQ(failed.getStatus().code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tIntrinsicTypeReportable", 71));
  EXPECT_EQ(propertyAs<nQoMDBG100::tPropertyIDReportable>(failed, 43)->getValue(), 0x2002u);
  EXPECT_TRUE(
      propertyAs<nQoMDBG100::tIntrinsicTypeReportable<unsigned int>>(failed, 25)->values().empty());
  tConflictingAttributesStatusDescription text;
  const nQoUdR100::tWString name(L"PFI0");
  nQoSim::failAllocation(3);  // the id's copy, the list, the copied text
  addConflictingAttribute(text, 1, name);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tIntrinsicTypeReportable", 319));
}

TEST_F(StatusDescriptionTest, ResetEmptiesTheOwnStatusBeforeThePropertyList) {
  tConflictingAttributesStatusDescription description;
  addConflictingAttribute(description, 7, 1u);
  auto* held = new tStatus2Description;
  held->retain();
  nQoMDBG100::tStatus2::_setCode(&description.getStatus(), -50150, "qoudrk", "test", 1, held);
  EXPECT_EQ(held->references(), 2);

  description.reset();
  EXPECT_EQ(held->references(), 1) << "released once";
  EXPECT_EQ(description.getStatus().code, 0);
  EXPECT_EQ(description.getStatus().description, nullptr);
  EXPECT_EQ(description.propertyCount(), 0u) << "the base reset ran with an empty status";
  held->release();
}

TEST_F(StatusDescriptionTest, DeviceGUIDDescriptionNamesTheDevice) {
  auto* description = new tDeviceGUIDStatusDescriptionISRSafe(nQoORB100::tGUID{0xA, 0xB});
  EXPECT_EQ(nQoTest::guidProperty(description, 1), (nQoORB100::tGUID{0xA, 0xB}));
  EXPECT_EQ(description->references(), 1);
  tStatus2 status;
  nQoUdR100::setCode(status, -50300, {"statusDescriptionTest", 4}, description);
  EXPECT_EQ(status.description, description);
}

TEST_F(StatusDescriptionTest, ANameFailureCarriesTheNameAndItsBadPosition) {
  using nQoUdR100::nQoKABBO_1_0::nParseUtilities::validateName;
  const uint32_t kind0 = 0;
  tStatus2 status;
  uint64_t position = 0;
  validateName(nQoUdR100::tWString(L"a:b"), &kind0, status, &position);
  EXPECT_EQ(status.code, -200552);
  EXPECT_EQ(position, 1u);
  EXPECT_EQ(nQoTest::textProperty(status.description, 177), L"a:b");
  const auto* where = propertyAs<nQoMDBG100::tIntrinsicTypeReportable<unsigned int>>(
      *static_cast<const tStatus2Description*>(status.description), 194);
  ASSERT_NE(where, nullptr);
  EXPECT_EQ(where->values()[0], 1u);

  tStatus2 edge(+9);  // a warning gives way; no position, so no tag 194
  validateName(nQoUdR100::tWString(L" ab"), &kind0, 0, edge, nullptr);
  EXPECT_EQ(edge.code, -200553);
  EXPECT_EQ(nQoTest::textProperty(edge.description, 177), L" ab");
  EXPECT_EQ(static_cast<const tStatus2Description*>(edge.description)->getProperty(194), nullptr);

  tStatus2 noMemory;
  nQoSim::failAllocation(2);  // the description, then the name's list
  validateName(nQoUdR100::tWString(L"a.b"), &kind0, noMemory, nullptr);
  EXPECT_EQ(noMemory.code, -200552) << "the description's own failure is dropped";
  EXPECT_EQ(nQoTest::textProperty(noMemory.description, 177), std::nullopt);
}

}  // namespace
