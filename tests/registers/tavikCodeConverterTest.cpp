// The setting-to-register-code converters over their domains and beyond.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "registers/tavikCodeConverters.h"

namespace nQoTest {
namespace {

using namespace nQoUdRLP100::nTavik;

TEST(tTavikCodeConverterTest, EveryConverterAnswersItsTableInsideItsDomainAndItsDefaultOutside) {
  std::vector<uint32_t> values{0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  for (uint32_t value = 0; value <= 40; ++value) values.push_back(value);
  const auto check = [&](const auto& row) {
    for (uint32_t value : values) {
      const bool inside = value >= row.first && value <= row.last;
      EXPECT_EQ(row(value), inside ? row.table[value - row.first] : row.fallback) << value;
    }
  };
  std::apply(
      [&](const auto&... row) { (check(row), ...); },
      std::tie(encodeAI_Mode_3Bit8, encodeAI_PersonalBit6, encodeAI_Mode_1Bits15_11,
               encodeAI_Mode_3Bit11, encodeAIRegister14Bits4_0, encodeAI_Mode_3Bits4_0,
               encodeAIRegister14Bits11_7, encodeAI_Mode_1Bits10_6, encodeAITimingBit12,
               encodeAI_Trigger_SelectBits4_0, encodeAI_Trigger_SelectBits11_7,
               encodeAnalog_Trigger_EtcBits2_0, encodeAnalogTriggerRegister74Bits1_0,
               encodeAOConfigBit6, encodeAOConfigBit7, encodeAOFifoMode, encodeAOTimingSelectA,
               encodeAOTimingSelectB, encodeAOTriggerSelect, encodeAO_Output_ControlBits14_10,
               encodeAOTriggerFlagA, encodeAOTimingFlagA, encodeAOTimingFlagB, encodeAOTriggerFlagB,
               encodeAO_Output_ControlBit3, encodeAOUCFlag, encodeClock_And_Fout2Bits4_0));

  // clang-format off
  const std::vector<uint32_t> codes{
      encodeAI_Mode_1Bits10_6(0), encodeAI_Mode_1Bits10_6(18), encodeAI_Mode_1Bits10_6(32),
      encodeAI_Mode_1Bits10_6(19), encodeClock_And_Fout2Bits4_0(0), encodeClock_And_Fout2Bits4_0(8),
      encodeClock_And_Fout2Bits4_0(10), encodeClock_And_Fout2Bits4_0(11),
      encodeAnalog_Trigger_EtcBits2_0(3), encodeAnalog_Trigger_EtcBits2_0(4),
      encodeAnalogTriggerRegister74Bits1_0(0), encodeAnalogTriggerRegister74Bits1_0(4),
      encodeAOTriggerSelect(18), encodeAI_Mode_3Bits4_0(19), encodeAOConfigBit6(2)};
  // clang-format on
  EXPECT_EQ(codes, (std::vector<uint32_t>{28, 28, 28, 19, 11, 27, 29, 11, 4, 6, 1, 1, 0, 0, 1}));
}

}  // namespace
}  // namespace nQoTest
