// One channel of an analog-input scan list, as the scanning front end turns
// it into a configuration-memory word. Fields are named by their word numbers
// where they have no other name; a range is a pair of physical values.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tInterval.h"
#include "frame/tPhysicalValue.h"
#include "primitives/common/tConfigRecord.h"
#include "primitives/common/tRecordVector.h"

namespace nQoUdP100 {

struct tAIScanningFrontEndConfig : tConfigRecord<tAIScanningFrontEndConfig> {
  using T = tAIScanningFrontEndConfig;
  using tPhysicalValue = nQoUdRLP100::tPhysicalValue;

  // Bit 0 becomes bit 14 of the configuration word.
  uint32_t channelFlags = 0;
  uint32_t word2 = 0;
  uint32_t word3 = 0;
  tPhysicalValue rangeLow{-10, 0, 1};
  tPhysicalValue rangeHigh{10, 0, 1};
  int32_t referenceCode = 0;
  int32_t positiveInputCode = 257;
  int32_t word8 = 0;
  // Word 10 is the static-control word of a list's first entry.
  uint32_t words9To12[4] = {0, 0, 0, 0};
  int32_t word13 = 4;
  uint32_t words14To16[3] = {0, 0, 0};
  int32_t word17 = 0;
  tPhysicalValue thirdValue{0, 0, 1};
  int32_t word20 = 42;
  int32_t word21 = 0;
  tRecordVector<uint32_t> samples;

  tAIScanningFrontEndConfig() = default;
  // Field by field; a null range, or an error in status, keeps the default
  // range -10..10.
  tAIScanningFrontEndConfig(uint32_t channelFlags, uint32_t word2, uint32_t word3,
                            const nQoUdRLP100::tInterval* range, int32_t referenceCode,
                            int32_t positiveInputCode, int32_t word8,
                            const uint32_t (&words9To12)[4], int32_t word13,
                            const uint32_t (&words14To16)[3], int32_t word17,
                            const tPhysicalValue& thirdValue, int32_t word20, int32_t word21,
                            const tRecordVector<uint32_t>& samples, int status);

  uint32_t staticControlWord() const { return words9To12[1]; }

  static constexpr std::tuple kFields{&T::channelFlags,
                                      &T::word2,
                                      &T::word3,
                                      &T::rangeLow,
                                      &T::rangeHigh,
                                      &T::referenceCode,
                                      &T::positiveInputCode,
                                      &T::word8,
                                      &T::words9To12,
                                      &T::word13,
                                      &T::words14To16,
                                      &T::word17,
                                      &T::thirdValue,
                                      &T::word20,
                                      &T::word21,
                                      &T::samples};
};

}  // namespace nQoUdP100
