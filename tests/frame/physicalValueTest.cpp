// Physical values and intervals: exponent alignment and its limits; reading
// from a parameter block; the 128-bit fixed-point product.
#include <gtest/gtest.h>

#include "frame/tFixedPoint128.h"
#include "frame/tInterval.h"
#include "frame/tPhysicalValue.h"
#include "sim/simParameterBlock.h"

namespace {

using nQoUdRLP100::tInterval;
using nQoUdRLP100::tPhysicalValue;
using tFixed = nQoSS100::tFixedPoint128<64u, true>;

constexpr uint16_t k = 7;

TEST(PhysicalValue, EqualAlignsExponentsInStepsOfThree) {
  const struct {
    tPhysicalValue a, b;
    int statusIn;
    bool equal;
    int statusOut;
  } cases[] = {
      {{1, 3, k}, {1000, 0, k}, 0, true, 0},
      {{1, 3, k}, {1000, 0, 8}, 5, false, 5},     // other kind: status unchanged
      {{1, 1, k}, {10, 0, k}, 5, false, -50150},  // exponents never meet
      {{3, 3, k}, {3000000, -3, k}, 0, true, 0},
      {{3000, 3, k}, {0, -6, k}, 0, false, -50150},  // 3000 × 10^9 leaves 32 bits
      {{1, 66, k}, {0, 0, k}, 0, false, -50150},     // would wrap to 0 in 64 bits
      {{0, -6, k}, {-2, 3, k}, 0, false, 0},         // -2 × 10^9 still fits
      {{5, 3, k}, {5, -6, k}, -9, true, -9},         // an error: raw values
  };
  for (const auto& c : cases) {
    int status = c.statusIn;
    EXPECT_EQ(tPhysicalValue::equal(c.a, c.b, status), c.equal) << c.a.value << "e" << c.a.exponent;
    EXPECT_EQ(status, c.statusOut) << c.a.value << "e" << c.a.exponent;
  }

  const tInterval kilo{{1, 3, k}, {2, 3, k}}, units{{1000, 0, k}, {2000, 0, k}};
  const tInterval far{{1, 66, k}, {2, 3, k}}, zero{{0, 0, k}, {2000, 0, k}};
  int status = 0;
  EXPECT_TRUE(tInterval::equal(&kilo, &units, status));
  EXPECT_FALSE(tInterval::equal(&kilo, nullptr, status));
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(tInterval::equal(&far, &zero, status));
  EXPECT_EQ(status, -50150);
}

TEST(PhysicalValue, ReadsValueExponentAndKindFromABlock) {
  nQoSim::tByteParameterBlock block({0xFE, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0x07, 0x00, 0x01});
  tPhysicalValue value{0, 0, 0};
  int status = 0;
  value.readExternal(block, status);
  EXPECT_EQ(value.value, -2);
  EXPECT_EQ(value.exponent, -3);
  EXPECT_EQ(value.kind, 7);
  value.readExternal(block, status);  // one byte left
  EXPECT_EQ(status, nQoMRL100::iControlParameterBlock::kOutOfValues);
  EXPECT_EQ(block.position(), 8u) << "nothing read past the end";
}

tFixed fixed(int64_t integer, uint64_t fraction) {
  tFixed x(0);
  x.integer = integer;
  x.fraction = fraction;
  return x;
}

TEST(FixedPoint128, ProductsRoundHalfUpOnTheMagnitude) {
  const struct {
    tFixed a, b, product;
  } cases[] = {
      {fixed(-2, 1ull << 63), tFixed(2), tFixed(-3)},                      // -1.5 × 2
      {fixed(0, 1ull << 63), fixed(0, 1ull << 63), fixed(0, 1ull << 62)},  // 0.5 × 0.5
      {fixed(0, 1), fixed(0, 1ull << 63), fixed(0, 1)},                    // 2^-64 × 0.5 rounds up
      {fixed(-1, ~0ull), fixed(0, 1ull << 63), fixed(-1, ~0ull)},          // -2^-64 × 0.5
      {fixed(0, 1), fixed(0, (1ull << 63) - 1), fixed(0, 0)},              // below half: down
      {tFixed(1 << 30), fixed(1ll << 40, 0), fixed(0, 0)},                 // 2^70 drops out
  };
  for (const auto& c : cases) {
    tFixed result = c.a;
    result *= c.b;
    EXPECT_EQ(result.integer, c.product.integer) << c.a.integer << " × " << c.b.integer;
    EXPECT_EQ(result.fraction, c.product.fraction) << c.a.integer << " × " << c.b.integer;
  }
}

TEST(FixedPoint128, SumsCarryTheFractionIntoTheIntegerWord) {
  const struct {
    tFixed a, b, sum;
  } cases[] = {
      {fixed(1, 1ull << 63), fixed(2, 1ull << 63), tFixed(4)},    // 1.5 + 2.5
      {fixed(0, ~0ull), fixed(0, 1), tFixed(1)},                  // carry out of the fraction
      {tFixed(-1), fixed(0, 1ull << 62), fixed(-1, 1ull << 62)},  // -1 + 0.25
      {fixed(INT64_MAX, 0), tFixed(1), fixed(INT64_MIN, 0)},      // wraps
  };
  for (const auto& c : cases) {
    tFixed result = c.a;
    result += c.b;
    EXPECT_EQ(result, c.sum) << c.a.integer << " + " << c.b.integer;
    EXPECT_EQ(tFixed(result.words()), c.sum) << "the platform words keep both halves";
  }
}

}  // namespace
