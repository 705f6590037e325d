// The primitive state and the DMA channel select codes.
#include <gtest/gtest.h>

#include <cstdint>

#include "primitives/common/dmaChannelSelectCode.h"
#include "primitives/common/tPrimitiveState.h"

namespace nQoTest {
namespace {

using nQoUdP100::tPrimitiveState;

TEST(PrimitiveStateTest, StartsInitialAndOnlyStatesOneToFourAreInUse) {
  tPrimitiveState state;
  EXPECT_EQ(state.getState(), 5u);
  EXPECT_TRUE(state.isInitial());
  EXPECT_FALSE(state.isInUse());
  struct tStep {
    void (tPrimitiveState::*set)();
    bool (tPrimitiveState::*is)() const;
    uint32_t value;
    bool inUse;
  };
  const tStep steps[] = {
      {&tPrimitiveState::setCleared, &tPrimitiveState::isCleared, 0, false},
      {&tPrimitiveState::setUncommitted, &tPrimitiveState::isUncommitted, 1, true},
      {&tPrimitiveState::setCommitted, &tPrimitiveState::isCommitted, 2, true},
      {&tPrimitiveState::setArmed, &tPrimitiveState::isArmed, 3, true},
      {&tPrimitiveState::setRunning, &tPrimitiveState::isRunning, 4, true},
      {&tPrimitiveState::setInitial, &tPrimitiveState::isInitial, 5, false},
  };
  for (const tStep& step : steps) {
    SCOPED_TRACE(step.value);
    (state.*step.set)();
    EXPECT_EQ(state.getState(), step.value);
    EXPECT_EQ(state.isInUse(), step.inUse);
    for (const tStep& other : steps) EXPECT_EQ((state.*other.is)(), &other == &step);
  }
}

TEST(DmaChannelSelectCodeTest, TableCodesAndZeroOutsideIt) {
  const uint8_t expected[16] = {1, 2, 4, 8, 3, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 0};
  for (uint32_t channel = 0; channel < 16; ++channel)
    EXPECT_EQ(nQoUdP100::dmaChannelSelectCode(channel), expected[channel]) << channel;
  for (uint32_t channel : {16u, 255u, 256u, 0xFFFFFFFFu})
    EXPECT_EQ(nQoUdP100::dmaChannelSelectCode(channel), 0u) << channel;
}

}  // namespace
}  // namespace nQoTest
