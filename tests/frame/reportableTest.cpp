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
  tNumbers one;
  one.values().append(7);
  EXPECT_EQ(report(one, status), L"Value: 7");
  tWideNumbers two;
  two.values().append(18446744073709551615ul);
  two.values().append(0);
  EXPECT_EQ(report(two, status), L"Value: 18446744073709551615, 0");
  tTexts texts;
  texts.values().append(tWString(L"PFI3"));
  EXPECT_EQ(report(texts, status), L"Value: PFI3");
  EXPECT_EQ(status.code, 0);

  tStatus2 failed(-4);
  EXPECT_EQ(report(one, failed), L"");
}

TEST_F(ReportableTest, AnEmptyListReportsThroughItsFormatter) {
  tNumbers empty;
  tStatus2 status;
  EXPECT_EQ(report(empty, status), L"Value: ");
  tStatus2 warned(77);
  translator.setFormatter(77, L"(none)");
  EXPECT_EQ(report(empty, warned), L"Value: (none)");
  translator.setFormatter(77, nullptr);  // found, but no formatter
  EXPECT_EQ(report(empty, warned), L"Value: ");
  EXPECT_EQ(warned.code, 77);
}

TEST_F(ReportableTest, AFailedAppendStopsTheReport) {
  tNumbers two;
  two.values().append(1);
  two.values().append(2);
  tStatus2 status;
  tWString out;
  nQoSim::failAllocation(1);
  two.generateReport(translator, out, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tIntrinsicTypeReportable", 129));
  EXPECT_TRUE(out.empty());
}

TEST_F(ReportableTest, EquivalenceNeedsTheSameClassAndValues) {
  tNumbers narrow, same, other;
  tWideNumbers wide;
  narrow.values().append(5);
  same.values().append(5);
  other.values().append(6);
  wide.values().append(5);
  tStatus2 status;
  EXPECT_TRUE(narrow.isEquivalent(same, status));
  EXPECT_FALSE(narrow.isEquivalent(other, status));
  EXPECT_FALSE(narrow.isEquivalent(wide, status));
  same.values().append(5);
  EXPECT_FALSE(narrow.isEquivalent(same, status));
  tTexts a, b;
  a.values().append(tWString(L"ab"));
  b.values().append(tWString(L"abc"));
  EXPECT_FALSE(a.isEquivalent(b, status));
  EXPECT_EQ(status.code, 0);
  tStatus2 failed(-1);
  EXPECT_FALSE(narrow.isEquivalent(narrow, failed));
}

TEST_F(ReportableTest, ClonesAreMadeThroughTheClassRegistry) {
  tTexts texts;
  texts.values().append(tWString(L"one"));
  texts.values().append(tWString(L"two"));
  const char* name = tTexts::kClassName;
  int status = 0;
  nQoORB100::tObject* copy = texts.clone(status);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 1);
  const auto* typed = static_cast<const tTexts*>(copy->___CPPKRLDynamicCast(&tTexts::___classID));
  ASSERT_NE(typed, nullptr);
  tStatus2 compared;
  EXPECT_TRUE(typed->isEquivalent(texts, compared));
  nQoORB100::destroyObject(copy, status);
  EXPECT_EQ(status, 0);

  // Any allocation of the copied list (blocks and texts) failing leaves nothing.
  for (uint64_t nth : {2u, 3u, 4u, 5u}) {
    int failed = 0;
    nQoSim::failAllocation(nth);
    EXPECT_EQ(texts.clone(failed), nullptr) << nth;
    EXPECT_EQ(failed, -50352) << nth;
    nQoSim::failAllocation(0);
  }
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 0);
  int held = -3;
  EXPECT_EQ(texts.clone(held), nullptr);
  EXPECT_EQ(held, -3);
}

TEST(ReportableWithoutModule, CloneNeedsTheRegisteredClass) {
  tNumbers number;
  number.values().append(1);
  int status = 0;
  EXPECT_EQ(number.clone(status), nullptr);
  EXPECT_EQ(status, -88300);
}

}  // namespace
