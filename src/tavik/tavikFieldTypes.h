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

}  // namespace nQoUdRLP100::nTavik
