// The converters from the Tavik primitives' setting values to the codes of
// their register fields, one row each: converter<first, last>(codes, default).
// The field each one feeds is in its name, or beside it.
#pragma once

#include "registers/tCodeConverter.h"

namespace nQoUdRLP100::nTavik {

// clang-format off
inline constexpr auto encodeAI_Mode_3Bit8                  = converter<0, 1>(codes(0, 1), 0);
inline constexpr auto encodeAI_PersonalBit6                = converter<0, 1>(codes(0, 1), 0);
inline constexpr auto encodeAI_Mode_1Bits15_11             = converter<0, 31>(identityExcept(0, 28, 29), 0);
inline constexpr auto encodeAI_Mode_3Bit11                 = converter<0, 1>(codes(0, 1), 0);
inline constexpr auto encodeAIRegister14Bits4_0            = converter<0, 31>(identity(), 0);             // 0x17C
inline constexpr auto encodeAI_Mode_3Bits4_0               = converter<0, 31>(identityExcept(0, 18, 19, 28, 29), 0);
inline constexpr auto encodeAIRegister14Bits11_7           = converter<0, 31>(identityExcept(0, 28, 29), 0);  // 0x17C
inline constexpr auto encodeAI_Mode_1Bits10_6              = converter<0, 31>(identityExcept(28, 0, 18), 28);
inline constexpr auto encodeAITimingBit12                  = converter<0, 1>(codes(0, 1), 0);             // tAI_Mode_2
inline constexpr auto encodeAI_Trigger_SelectBits4_0       = converter<0, 31>(identityExcept(0, 28, 29), 0);
inline constexpr auto encodeAI_Trigger_SelectBits11_7      = converter<0, 31>(identityExcept(0, 18, 19, 28, 29), 0);
inline constexpr auto encodeAnalog_Trigger_EtcBits2_0      = converter<0, 4>(codes(0, 1, 2, 4, 6), 0);
inline constexpr auto encodeAnalogTriggerRegister74Bits1_0 = converter<0, 3>(codes(1, 0, 1, 2), 1);
inline constexpr auto encodeAOConfigBit6                   = converter<0, 2>(codes(0, 1, 1), 0);          // AO DAC configuration
inline constexpr auto encodeAOConfigBit7                   = converter<0, 1>(codes(0, 1), 0);             // AO DAC configuration
inline constexpr auto encodeAOFifoMode                     = converter<0, 3>(codes(0, 1, 2, 3), 0);       // tAO_Mode_2 15:14
inline constexpr auto encodeAOTimingSelectA                = converter<0, 31>(identityExcept(28, 0, 18), 28);  // tAO_Mode_1 10:6
inline constexpr auto encodeAOTimingSelectB                = converter<0, 31>(identityExcept(0, 28, 29), 0);   // tAO_Mode_1 15:11
inline constexpr auto encodeAOTriggerSelect                = converter<0, 31>(identityExcept(0, 18, 28, 29), 0);  // tAO_Trigger_Select 4:0
inline constexpr auto encodeAO_Output_ControlBits14_10     = converter<0, 31>(identityExcept(0, 18, 19, 28, 29), 0);
inline constexpr auto encodeAOTriggerFlagA                 = converter<0, 1>(codes(0, 1), 0);             // tAO_Mode_3 11
inline constexpr auto encodeAOTimingFlagA                  = converter<0, 1>(codes(0, 1), 0);             // tAO_Mode_1 3
inline constexpr auto encodeAOTimingFlagB                  = converter<0, 1>(codes(0, 1), 0);             // tAO_Mode_1 4
inline constexpr auto encodeAOTriggerFlagB                 = converter<0, 1>(codes(0, 1), 0);             // tAO_Trigger_Select 13
inline constexpr auto encodeAO_Output_ControlBit3          = converter<0, 1>(codes(0, 1), 0);
inline constexpr auto encodeAOUCFlag                       = converter<0, 1>(codes(0, 1), 0);             // tAO_Mode_1 1
inline constexpr auto encodeClock_And_Fout2Bits4_0         = converter<1, 10>(codes(11, 12, 13, 14, 15, 16, 17, 27, 20, 29), 11);
// clang-format on

}  // namespace nQoUdRLP100::nTavik
