// The linear congruential generator and the integer power.
#include <gtest/gtest.h>

#include "frame/integerPower.h"
#include "frame/tLinearCongruentialGenerator.h"

namespace {

using nQoUdR100::integerPower;
using nQoUdR100::tLinearCongruentialGenerator;

TEST(LinearCongruentialGenerator, KnownSequenceAndCopies) {
  tLinearCongruentialGenerator zero(0);
  EXPECT_EQ(zero.next(), 715136305u);
  EXPECT_EQ(zero.next(), 703157902u);
  tLinearCongruentialGenerator copy(zero);
  EXPECT_EQ(zero.next(), 3578898599u);
  EXPECT_EQ(copy.next(), 3578898599u);
  EXPECT_EQ(tLinearCongruentialGenerator(0xFFFFFFFF).next(), 2863102276u);
}

TEST(IntegerPower, WrapsModulo2To64) {
  EXPECT_EQ(integerPower(0, 0), 1u);
  EXPECT_EQ(integerPower(2, 64), 0u);
  EXPECT_EQ(integerPower(10, 20), 7766279631452241920u);
  EXPECT_EQ(integerPower(3, INT64_MAX), 12297829382473034411u);  // 3^(2^63-1) mod 2^64
  EXPECT_EQ(integerPower(5, -1), 1u);
  EXPECT_EQ(integerPower(2, -2), 0u);
}

}  // namespace
