// The setting-to-register-code converters over their domains and beyond.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "registers/tavikCodeConverters.h"

namespace nQoTest {
namespace {

using namespace nQoUdRLP100::nTavik;

// 0..31, each value its own code but the listed ones.
std::vector<uint32_t> selectCodes(uint32_t code, std::initializer_list<uint32_t> values) {
  std::vector<uint32_t> table(32);
  for (uint32_t value = 0; value < 32; ++value) table[value] = value;
  for (uint32_t value : values) table[value] = code;
  return table;
}

TEST(tTavikCodeConverterTest, EveryConverterAnswersItsTableInsideItsDomainAndItsDefaultOutside) {
  struct tRow {
    const char* name;
    std::function<uint32_t(uint32_t)> convert;
    uint32_t first;
    std::vector<uint32_t> table;
    uint32_t fallback;
  };
  const std::vector<uint32_t> flag{0, 1};
  const std::vector<tRow> rows{
      {"AI_Mode_3Bit8", encodeAI_Mode_3Bit8, 0, flag, 0},
      {"AI_PersonalBit6", encodeAI_PersonalBit6, 0, flag, 0},
      {"AI_Mode_1Bits15_11", encodeAI_Mode_1Bits15_11, 0, selectCodes(0, {28, 29}), 0},
      {"AI_Mode_3Bit11", encodeAI_Mode_3Bit11, 0, flag, 0},
      {"AIRegister14Bits4_0", encodeAIRegister14Bits4_0, 0, selectCodes(0, {}), 0},
      {"AI_Mode_3Bits4_0", encodeAI_Mode_3Bits4_0, 0, selectCodes(0, {18, 19, 28, 29}), 0},
      {"AIRegister14Bits11_7", encodeAIRegister14Bits11_7, 0, selectCodes(0, {28, 29}), 0},
      {"AI_Mode_1Bits10_6", encodeAI_Mode_1Bits10_6, 0, selectCodes(28, {0, 18}), 28},
      {"AITimingBit12", encodeAITimingBit12, 0, flag, 0},
      {"AI_Trigger_SelectBits4_0", encodeAI_Trigger_SelectBits4_0, 0, selectCodes(0, {28, 29}), 0},
      {"AI_Trigger_SelectBits11_7", encodeAI_Trigger_SelectBits11_7, 0,
       selectCodes(0, {18, 19, 28, 29}), 0},
      {"Analog_Trigger_EtcBits2_0", encodeAnalog_Trigger_EtcBits2_0, 0, {0, 1, 2, 4, 6}, 0},
      {"AnalogTriggerRegister74Bits1_0", encodeAnalogTriggerRegister74Bits1_0, 0, {1, 0, 1, 2}, 1},
      {"AOConfigBit6", encodeAOConfigBit6, 0, {0, 1, 1}, 0},
      {"AOConfigBit7", encodeAOConfigBit7, 0, flag, 0},
      {"AOFifoMode", encodeAOFifoMode, 0, {0, 1, 2, 3}, 0},
      {"AOTimingSelectA", encodeAOTimingSelectA, 0, selectCodes(28, {0, 18}), 28},
      {"AOTimingSelectB", encodeAOTimingSelectB, 0, selectCodes(0, {28, 29}), 0},
      {"AOTriggerSelect", encodeAOTriggerSelect, 0, selectCodes(0, {18, 28, 29}), 0},
      {"AO_Output_ControlBits14_10", encodeAO_Output_ControlBits14_10, 0,
       selectCodes(0, {18, 19, 28, 29}), 0},
      {"AOTriggerFlagA", encodeAOTriggerFlagA, 0, flag, 0},
      {"AOTimingFlagA", encodeAOTimingFlagA, 0, flag, 0},
      {"AOTimingFlagB", encodeAOTimingFlagB, 0, flag, 0},
      {"AOTriggerFlagB", encodeAOTriggerFlagB, 0, flag, 0},
      {"AO_Output_ControlBit3", encodeAO_Output_ControlBit3, 0, flag, 0},
      {"AOUCFlag", encodeAOUCFlag, 0, flag, 0},
      {"Clock_And_Fout2Bits4_0", encodeClock_And_Fout2Bits4_0, 1,
       {11, 12, 13, 14, 15, 16, 17, 27, 20, 29}, 11},
  };
  std::vector<uint32_t> values{0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  for (uint32_t value = 0; value <= 40; ++value) values.push_back(value);
  for (const tRow& row : rows) {
    for (uint32_t value : values) {
      const bool inside = value >= row.first && value - row.first < row.table.size();
      EXPECT_EQ(row.convert(value), inside ? row.table[value - row.first] : row.fallback)
          << row.name << " of " << value;
    }
  }
}

}  // namespace
}  // namespace nQoTest
