#include "primitives/ai/tAIScanningFrontEndConfig.h"

#include <algorithm>

namespace nQoUdP100 {

tAIScanningFrontEndConfig::tAIScanningFrontEndConfig(
    uint32_t channelFlags_, uint32_t word2_, uint32_t word3_, const nQoUdRLP100::tInterval* range,
    int32_t referenceCode_, int32_t positiveInputCode_, int32_t word8_,
    const uint32_t (&words9To12_)[4], int32_t word13_, const uint32_t (&words14To16_)[3],
    int32_t word17_, const tPhysicalValue& thirdValue_, int32_t word20_, int32_t word21_,
    const tRecordVector<uint32_t>& samples_, int status)
    : channelFlags(channelFlags_),
      word2(word2_),
      word3(word3_),
      referenceCode(referenceCode_),
      positiveInputCode(positiveInputCode_),
      word8(word8_),
      word13(word13_),
      word17(word17_),
      thirdValue(thirdValue_),
      word20(word20_),
      word21(word21_),
      samples(samples_) {
  if (range != nullptr && status >= 0) {
    rangeLow = range->lower;
    rangeHigh = range->upper;
  }
  std::copy_n(words9To12_, 4, words9To12);
  std::copy_n(words14To16_, 3, words14To16);
}

}  // namespace nQoUdP100
