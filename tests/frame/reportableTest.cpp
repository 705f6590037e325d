// Reportable values: their report text, equivalence and clones.
#include <gtest/gtest.h>

#include <string>

#include "frame/tIntrinsicTypeReportable.h"
#include "sim/simAllocator.h"
#include "sim/simReportableTranslator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tIntrinsicTypeReportable;
using nQoMDBG100::tStatus2;
using nQoUdR100::tWString;
using tNumbers = tIntrinsicTypeReportable<unsigned int>;
using tWideNumbers = tIntrinsicTypeReportable<unsigned long>;
using tTexts = tIntrinsicTypeReportable<tWString>;

class ReportableTest : public nQoTest::tLeakCheckedTest {
 protected:
  template <class tReportable>
  std::wstring report(const tReportable& reportable, tStatus2& status) {
    tWString out;
    reportable.generateReport(translator, out, status);
    return {out.c_str(), out.size()};
  }

  nQoTest::tLoadedModule module;
  nQoSim::tTestReportableTranslator translator;
};

TEST_F(ReportableTest, ReportsOpeningThenValuesWithSeparators) {
  tStatus2 status;
  tNumbers one, empty;
  one.values().append(7);
  EXPECT_EQ(report(one, status), L"Value: 7");
  tWideNumbers two;
  two.values().append(18446744073709551615ul);
  two.values().append(0);
  EXPECT_EQ(report(two, status), L"Value: 18446744073709551615, 0");
  EXPECT_EQ(report(empty, status), L"Value: ");
  tStatus2 warned(77);  // an empty list reports through the formatter for its status
  translator.setFormatter(77, L"(none)");
  EXPECT_EQ(report(empty, warned), L"Value: (none)");
  translator.setFormatter(77, nullptr);  // found, but no formatter
  EXPECT_EQ(report(empty, warned), L"Value: ");
  EXPECT_EQ(status.code, 0);

  tWString out;
  nQoSim::failAllocation(1);
  two.generateReport(translator, out, status);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tIntrinsicTypeReportable", 129));
  EXPECT_TRUE(out.empty()) << "nothing more after a failed append";
}

TEST_F(ReportableTest, ClonesComeFromTheClassRegistryAndAreEquivalent) {
  tTexts texts;
  texts.values().append(tWString(L"one"));
  texts.values().append(tWString(L"two"));
  int status = 0;
  nQoORB100::tObject* copy = texts.clone(status);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(tTexts::kClassName), 1);
  const auto* typed = static_cast<const tTexts*>(copy->___CPPKRLDynamicCast(&tTexts::___classID));
  tStatus2 compared;
  EXPECT_TRUE(typed->isEquivalent(texts, compared));
  tNumbers narrow;
  tWideNumbers wide;
  narrow.values().append(5);
  wide.values().append(5);
  EXPECT_FALSE(narrow.isEquivalent(wide, compared)) << "another class";
  EXPECT_EQ(compared.code, 0);
  nQoORB100::destroyObject(copy, status);

  // Any allocation of the copied list (blocks and texts) failing leaves nothing.
  for (uint64_t nth : {2u, 3u, 4u, 5u}) {
    int failed = 0;
    nQoSim::failAllocation(nth);
    EXPECT_EQ(texts.clone(failed), nullptr) << nth;
    EXPECT_EQ(failed, -50352) << nth;
  }
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(tTexts::kClassName), 0);
}

TEST(ReportableWithoutModule, CloneNeedsTheRegisteredClass) {
  tNumbers number;
  number.values().append(1);
  int status = 0;
  EXPECT_EQ(number.clone(status), nullptr);
  EXPECT_EQ(status, -88300);
}

}  // namespace
