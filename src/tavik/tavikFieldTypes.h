// Value types of the Tavik fields that take an enumeration instead of a number.
#pragma once

#include <cstdint>

namespace nQoUdRLP100::nTavik {

// A pin direction; its bit 0 goes into the one-bit direction field.
enum tDir : uint32_t {
  kInput = 0,
  kOutput = 1,
};

namespace nClock_And_Fout2::nRIVO_Clock_Freq {
// The code of the RIVO clock frequency field (bit 7 of tClock_And_Fout2).
enum tRIVO_Clock_Freq : uint32_t {
  kRIVO_Clock_Freq_0 = 0,
  kRIVO_Clock_Freq_1 = 1,
};
}  // namespace nClock_And_Fout2::nRIVO_Clock_Freq

// Which of an AI counter's two load registers its load command takes (the load
// select bits of tAI_Mode_2).
enum tAI_Load_Select : uint32_t {
  kFirstLoadRegister = 0,
  kSecondLoadRegister = 1,
};

// The codes of the multi-bit selects that the command sequences program, as
// the primitives' converters give them (tavikCodeConverters.h); a code wider
// than its field is cut to it. Built from a code: tAO_FIFO_Mode{2}.
enum class tAI_Output_Select : uint32_t {};         // tAI_Output_Control 1:0
enum class tAI_Output_Mode : uint32_t {};           // tAI_Output_Control 9:8
enum class tAO_Output_Select : uint32_t {};         // tAO_Output_Control 1:0
enum class tAO_FIFO_Mode : uint32_t {};             // tAO_Mode_2 15:14, encodeAOFifoMode
enum class tAO_Timing_Select_A : uint32_t {};       // tAO_Mode_1 10:6, encodeAOTimingSelectA
enum class tAO_Timing_Select_B : uint32_t {};       // tAO_Mode_1 15:11, encodeAOTimingSelectB
enum class tAO_Start_Trigger_Select : uint32_t {};  // tAO_Trigger_Select 4:0, encodeAOTriggerSelect

}  // namespace nQoUdRLP100::nTavik
