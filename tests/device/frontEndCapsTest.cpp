// The analog front-end capability queries over small tables: range codes and
// range entries, excitations, DMM modes and ranges, the interval constraint
// algorithm; exact codes and sites.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device/tAIExcitationCaps.h"
#include "device/tAIFrontEndCaps.h"
#include "device/tAIFrontEndIntervalConstraintAlgorithm.h"
#include "device/tDMMCaps.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tAIFrontEndCaps;
using nQoUdR100::tAIRangeCode;
using nQoUdRLP100::tInterval;

constexpr uint16_t kVolts = 1;
const tInterval kOneVolt{{-1, 0, kVolts}, {1, 0, kVolts}};
const tInterval kTenVolts{{-10, 0, kVolts}, {10, 0, kVolts}};
const tInterval kMilliVolt{{-1, -3, kVolts}, {1, -3, kVolts}};

class tCapsTest : public tLeakCheckedTest {};

TEST_F(tCapsTest, FindRangeMatchesAlignedValuesAndReportsItsSites) {
  const tAIRangeCode codes[] = {{&kTenVolts, 0, 0}, {&kOneVolt, 1, 0}, {nullptr, 0, 0}};
  const tAIFrontEndCaps caps{codes, nullptr};
  uint16_t gain = 0xEE, polarity = 0xEE;
  tStatus2 status;
  const tInterval asked{{-1000, -3, kVolts}, {1000, -3, kVolts}};
  tAIFrontEndCaps::findRange(&caps, &asked, &gain, &polarity, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(gain, 1);
  EXPECT_EQ(polarity, 0);

  tStatus2 null;
  tAIFrontEndCaps::findRange(&caps, nullptr, &gain, &polarity, null);
  EXPECT_TRUE(loggedAt(-223749, "tAIFrontEndCaps", 30));
  tStatus2 none;
  const tInterval other{{-2, 0, kVolts}, {2, 0, kVolts}};
  tAIFrontEndCaps::findRange(&caps, &other, &gain, &polarity, none);
  EXPECT_TRUE(loggedAt(-50150, "tAIFrontEndCaps", 51));
  tStatus2 otherKind;
  const tInterval amps{{-1, 0, 2}, {1, 0, 2}};
  tAIFrontEndCaps::findRange(&caps, &amps, &gain, &polarity, otherKind);
  EXPECT_EQ(otherKind.code, -50150);

  // Exponents -3 and -4 never meet.
  const tAIRangeCode milli[] = {{&kMilliVolt, 3, 1}, {nullptr, 0, 0}};
  const tAIFrontEndCaps milliCaps{milli, nullptr};
  const tInterval odd{{-1, -4, kVolts}, {1, -4, kVolts}};
  tStatus2 unaligned;
  gain = 0xEE;
  tAIFrontEndCaps::findRange(&milliCaps, &odd, &gain, &polarity, unaligned);
  EXPECT_EQ(unaligned.code, -50150);
  EXPECT_EQ(gain, 0xEE);
}

TEST_F(tCapsTest, FindRangeEntryAnswersTheListedRangeOrAnEmptyOne) {
  const tInterval* const ranges[] = {&kTenVolts, &kOneVolt, nullptr};
  const tAIFrontEndCaps caps{nullptr, ranges};
  tStatus2 status;
  const tInterval asked{{-1000, -3, kVolts}, {1, 0, kVolts}};
  EXPECT_EQ(&tAIFrontEndCaps::findRangeEntry(&caps, &asked, status), &kOneVolt);
  tStatus2 null, missing;
  EXPECT_EQ(tAIFrontEndCaps::findRangeEntry(&caps, nullptr, null).upper.value, 0);
  EXPECT_TRUE(loggedAt(-223749, "tAIFrontEndCaps", 63));
  const tAIFrontEndCaps empty{nullptr, nullptr};
  tAIFrontEndCaps::findRangeEntry(&empty, &asked, missing);
  EXPECT_TRUE(loggedAt(-50150, "tAIFrontEndCaps", 76));
}

TEST_F(tCapsTest, ExcitationsAndDMMTablesAnswerByKindAndValue) {
  using nQoUdR100::tAIExcitation;
  using nQoUdR100::tAIExcitationCaps;
  const tAIExcitation two{1, {2, 0, kVolts}}, milliAmp{2, {1, -3, 2}};
  const tAIExcitation* const list[] = {&two, &milliAmp, nullptr};
  const tAIExcitationCaps caps{list};
  tStatus2 status;
  EXPECT_EQ(&tAIExcitationCaps::findExcitation(&caps, {2, {1000, -6, 2}}, status), &milliAmp);
  EXPECT_TRUE(tAIExcitationCaps::isSupported(&caps, {1, {2000, -3, kVolts}}, status));
  EXPECT_FALSE(tAIExcitationCaps::isSupported(&caps, {2, {2, 0, kVolts}}, status));
  EXPECT_EQ(status.code, 0);
  tStatus2 none, miss;
  const tAIExcitationCaps empty{nullptr};
  tAIExcitationCaps::findExcitation(&empty, two, none);
  EXPECT_TRUE(loggedAt(-50150, "tAIExcitationCaps", 24));
  EXPECT_EQ(tAIExcitationCaps::findExcitation(&caps, {3, {2, 0, kVolts}}, miss).kind, 0u);
  EXPECT_TRUE(loggedAt(-50150, "tAIExcitationCaps", 37));

  using nQoUdR100::tDMMCaps;
  using nQoUdR100::tDMMRange;
  const nQoUdR100::tDMMMode modes[] = {{{0, 0, 0, 0, 7, 0}}, {{0, 0, 0, 0, 0, 0}}};
  const tDMMRange ranges[] = {{&kOneVolt, 0, 11}, {&kOneVolt, 1, 22}, {nullptr, 0, 0}};
  const tDMMCaps dmm{modes, ranges};
  EXPECT_TRUE(tDMMCaps::hasMode(&dmm, 7, status));
  EXPECT_FALSE(tDMMCaps::hasMode(&dmm, 8, status));
  tDMMRange found{};
  tDMMCaps::findRange(&dmm, &kOneVolt, true, &found, status);
  EXPECT_EQ(found.extra, 22u);
  EXPECT_EQ(status.code, 0);
  tStatus2 null, noTables, noMatch, noModes;
  tDMMCaps::findRange(&dmm, nullptr, false, &found, null);
  EXPECT_TRUE(loggedAt(-223749, "tDMMCaps", 28));
  const tDMMCaps bare{nullptr, nullptr};
  tDMMCaps::findRange(&bare, &kOneVolt, false, &found, noTables);
  EXPECT_TRUE(loggedAt(-50150, "tDMMCaps", 34));
  tDMMCaps::findRange(&dmm, &kTenVolts, false, &found, noMatch);
  EXPECT_TRUE(loggedAt(-50150, "tDMMCaps", 56));
  tDMMCaps::hasMode(&bare, 7, noModes);
  EXPECT_TRUE(loggedAt(-50150, "tDMMCaps", 69));
}

TEST_F(tCapsTest, ConstraintRulesRemoveAndKeepCandidatesInOrder) {
  using nQoUdRLP100::tAIConstraintRule;
  using nQoUdRLP100::tAIConstraintSource;
  using nQoUdRLP100::tAIFrontEndIntervalConstraintAlgorithm;
  const tInterval* const candidates[] = {&kTenVolts, &kOneVolt, &kMilliVolt, nullptr};
  const tAIConstraintRule keepOne{7, &kOneVolt, 5, 0}, removeOne{2, &kOneVolt, 5, 0},
      removeTen{12, &kTenVolts, 0x89ABCDEF, 0x01234567}, removeMilli{3, &kMilliVolt, 9, 5},
      bad{13, &kTenVolts, 0, 0};
  struct tCase {
    std::vector<const tAIConstraintRule*> rules;
    std::vector<const tInterval*> left;
    int code;
  };
  const tCase cases[] = {
      {{&keepOne, &removeOne, nullptr}, {}, 0},
      {{&keepOne, nullptr}, {&kOneVolt}, 0},
      {{&removeTen, &removeMilli, nullptr}, {&kOneVolt, &kMilliVolt}, 0},
      {{&bad, &removeOne, nullptr}, {&kTenVolts, &kOneVolt, &kMilliVolt}, -50150},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.rules.size() * 10 + c.left.size());
    const tAIConstraintSource source{candidates, c.rules.data()};
    tAIFrontEndIntervalConstraintAlgorithm algorithm(&source);
    tStatus2 status;
    algorithm.setParam40(0x0123456789ABCDEF, status);
    algorithm.run(status);
    EXPECT_EQ(status.code, c.code);
    EXPECT_EQ(std::vector<const tInterval*>(algorithm.begin(), algorithm.end()), c.left);
  }
  EXPECT_TRUE(loggedAt(-50150, "tAIFrontEndIntervalConstraintAlgorithm", 227));

  // Words 14 and 15 of a channel: param20 9 makes rule 3 remove kMilliVolt.
  nQoUdP100::tAIScanningFrontEndConfig channel;
  channel.words14To16[0] = 9;
  const tAIConstraintRule* const rules[] = {&removeMilli, nullptr};
  const tAIConstraintSource source{candidates, rules};
  tAIFrontEndIntervalConstraintAlgorithm algorithm(&source);
  tStatus2 status;
  algorithm.setParams20And24(channel, status);
  algorithm.run(status);
  EXPECT_EQ(std::vector<const tInterval*>(algorithm.begin(), algorithm.end()),
            (std::vector<const tInterval*>{&kTenVolts, &kOneVolt}));
}

// Every rule type against distinct parameters: the one it compares, the
// second word where it takes one, and what it does to its candidate.
TEST_F(tCapsTest, EveryConstraintRuleTypeTestsItsOwnParameterAndActsOnce) {
  using nQoUdRLP100::tAIConstraintRule;
  using nQoUdRLP100::tAIConstraintSource;
  using nQoUdRLP100::tAIFrontEndIntervalConstraintAlgorithm;
  enum tKind { kRemove, kKeep };
  struct tRow {
    uint32_t a;  // the parameter's value
    bool withB;  // b must equal param28 (type 12: b is the high half of param40)
    tKind kind;
  };
  constexpr uint32_t kWideLow = 140, kWideHigh = 141;
  const tRow rows[] = {
      {120, false, kRemove},      // 0
      {124, false, kRemove},      // 1
      {128, false, kRemove},      // 2
      {120, true, kRemove},       // 3
      {124, true, kRemove},       // 4
      {120, false, kKeep},        // 5
      {124, false, kKeep},        // 6
      {128, false, kKeep},        // 7
      {120, true, kKeep},         // 8
      {124, true, kKeep},         // 9
      {132, false, kRemove},      // 10
      {116, false, kRemove},      // 11
      {kWideLow, true, kRemove},  // 12
  };
  const tInterval* const candidates[] = {&kTenVolts, &kOneVolt, &kMilliVolt, nullptr};
  const std::vector<const tInterval*> all{&kTenVolts, &kOneVolt, &kMilliVolt};
  for (uint32_t type = 0; type < 13; ++type) {
    const tRow& row = rows[type];
    const uint32_t b = type == 12 ? kWideHigh : 128;
    const std::vector<const tInterval*> acted =
        row.kind == kRemove ? std::vector<const tInterval*>{&kTenVolts, &kMilliVolt}
                            : std::vector<const tInterval*>{&kOneVolt};
    struct tCase {
      uint32_t a, b;
      bool holds;
    };
    const tCase cases[] = {{row.a, b, true}, {row.a, b + 7, !row.withB}, {row.a + 1, b, false}};
    for (const tCase& c : cases) {
      SCOPED_TRACE(testing::Message() << "type " << type << " a " << c.a << " b " << c.b);
      const tAIConstraintRule rule{type, &kOneVolt, c.a, c.b};
      const tAIConstraintRule* const rules[] = {&rule, nullptr};
      const tAIConstraintSource source{candidates, rules};
      tAIFrontEndIntervalConstraintAlgorithm algorithm(&source);
      tStatus2 status;
      nQoUdP100::tAIScanningFrontEndConfig channel;
      channel.words14To16[0] = 120;
      channel.words14To16[1] = 124;
      algorithm.setParam16(116, status);
      algorithm.setParams20And24(channel, status);
      algorithm.setParam28(128, status);
      algorithm.setParam32(132, status);
      algorithm.setParam40(uint64_t{kWideHigh} << 32 | kWideLow, status);
      algorithm.run(status);
      EXPECT_EQ(status.code, 0);
      EXPECT_EQ(std::vector<const tInterval*>(algorithm.begin(), algorithm.end()),
                c.holds ? acted : all);
    }
  }
}

}  // namespace
}  // namespace nQoTest
