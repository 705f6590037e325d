// The primitive state and the DMA channel select codes.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

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
  using tSetter = void (*)(tPrimitiveState&);
  const tSetter setters[] = {
      [](tPrimitiveState& s) { s.setCleared(); },   [](tPrimitiveState& s) { s.setUncommitted(); },
      [](tPrimitiveState& s) { s.setCommitted(); }, [](tPrimitiveState& s) { s.setArmed(); },
      [](tPrimitiveState& s) { s.setRunning(); },   [](tPrimitiveState& s) { s.setInitial(); }};
  for (uint32_t value = 0; value < 6; ++value) {
    setters[value](state);
    EXPECT_EQ(state.getState(), value);
    EXPECT_EQ(state.isInUse(), value >= 1 && value <= 4) << value;
  }
  state.setArmed();
  EXPECT_TRUE(state.isArmed());
  EXPECT_FALSE(state.isRunning() || state.isCommitted() || state.isCleared());
}

TEST(DmaChannelSelectCodeTest, CodesAndZeroOutsideTheTable) {
  for (auto [channel, code] :
       {std::pair{0u, 1u}, {4u, 3u}, {15u, 0u}, {16u, 0u}, {255u, 0u}, {0xFFFFFFFFu, 0u}})
    EXPECT_EQ(nQoUdP100::dmaChannelSelectCode(channel), code) << channel;
}

}  // namespace
}  // namespace nQoTest
