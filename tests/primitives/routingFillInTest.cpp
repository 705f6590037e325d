// Filling in the unset flags of the AI routing record.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "primitives/ai/tAIRoutingConfig.h"

namespace nQoTest {
namespace {

using nQoUdP100::tAIRoutingConfig;
constexpr int32_t kUnset = tAIRoutingConfig::kUnset;

// The words at the given indexes.
std::vector<int32_t> words(const tAIRoutingConfig& routing, std::initializer_list<int> indexes) {
  std::vector<int32_t> picked;
  for (int index : indexes) picked.push_back(routing.words[index]);
  return picked;
}

TEST(RoutingFillInTest, TheDefaultRecordFillsEveryFlagAndGivesTheInternalClock) {
  tAIRoutingConfig routing;
  EXPECT_EQ(routing.fillInFlags(), 1u);
  EXPECT_EQ(routing.words[1], 0);
  EXPECT_EQ(words(routing, {4, 5, 6}), (std::vector<int32_t>{0, 1, 1}));
  EXPECT_EQ(routing.words[15], 1);
  EXPECT_EQ(routing.words[14], 0);
  EXPECT_EQ(words(routing, {8, 9, 10}), (std::vector<int32_t>{0, 1, 1}));
  EXPECT_EQ(routing.words[12], 0);
  EXPECT_EQ(words(routing, {17, 18, 19, 21, 22, 23}), (std::vector<int32_t>{0, 1, 1, 0, 1, 1}));
  // The selects stay as they were.
  EXPECT_EQ(words(routing, {0, 2, 3, 7, 11, 13, 16, 20}), (std::vector<int32_t>(8, 0)));
}

TEST(RoutingFillInTest, SelectsDecideWhichFlagsAreForcedAndWhichOnlyFilled) {
  tAIRoutingConfig external;
  external.words[0] = 5;
  external.words[1] = 1;
  external.words[3] = 7;
  external.words[5] = 0;
  EXPECT_EQ(external.fillInFlags(), 2u);
  EXPECT_EQ(external.words[1], 1);  // set flags of an external clock stay
  EXPECT_EQ(words(external, {4, 5, 6}), (std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(external.words[15], 0);
  tAIRoutingConfig unset;
  unset.words[0] = 5;
  unset.words[3] = 7;
  EXPECT_EQ(unset.fillInFlags(), 2u);
  EXPECT_EQ(unset.words[1], 0);
  EXPECT_EQ(unset.words[15], 0);

  tAIRoutingConfig internal;
  internal.words[0] = 0x7FFF0000;
  internal.words[1] = 1;
  internal.words[3] = 18;
  internal.words[4] = 1;
  internal.words[15] = 0;
  EXPECT_EQ(internal.fillInFlags(), 1u);
  EXPECT_EQ(internal.words[1], 0);
  EXPECT_EQ(words(internal, {4, 5, 6, 15}), (std::vector<int32_t>{0, 1, 1, 1}));

  for (auto [select, expected] : {std::pair{31, std::vector<int32_t>{kUnset, 0, 0}},
                                  {19, {0, 0, 1}},
                                  {32, {0, 1, 1}},
                                  {5, {1, 1, 1}}}) {
    SCOPED_TRACE(select);
    tAIRoutingConfig routing;
    routing.words[7] = select;
    if (select == 5) routing.words[8] = 1;
    routing.fillInFlags();
    EXPECT_EQ(words(routing, {8, 9, 10}), expected);
  }

  tAIRoutingConfig trigger;
  trigger.words[16] = 31;
  trigger.words[20] = 3;
  trigger.words[22] = 0;
  trigger.words[13] = 4;
  trigger.words[14] = 1;
  trigger.words[11] = 6;
  trigger.words[12] = 1;
  trigger.fillInFlags();
  EXPECT_EQ(words(trigger, {17, 18, 19}), (std::vector<int32_t>{1, 0, 1}));
  EXPECT_EQ(words(trigger, {21, 22, 23}), (std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(trigger.words[14], 1);
  EXPECT_EQ(trigger.words[12], 1);
  trigger.words[11] = 19;
  trigger.words[13] = 0;
  trigger.words[16] = 0;
  trigger.words[17] = 1;
  trigger.fillInFlags();
  EXPECT_EQ(trigger.words[12], 0);
  EXPECT_EQ(trigger.words[14], 0);
  EXPECT_EQ(words(trigger, {17, 18, 19}), (std::vector<int32_t>{0, 1, 1}));
}

}  // namespace
}  // namespace nQoTest
