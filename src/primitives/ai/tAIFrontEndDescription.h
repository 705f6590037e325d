// What the AI scanning front end reads of the board description: two words,
// the second record (which picks the configuration-word layout), the
// capability block and the range lookup. Board data (src/device/) fills it.
#pragma once

#include <cstdint>

#include "frame/tInterval.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

// The range lookup: the (gain, polarity) codes of an input range; a null
// range -223749, an unknown one -50150.
class iAIRangeCodes {
 public:
  virtual ~iAIRangeCodes() = default;
  virtual void findRange(const nQoUdRLP100::tInterval* range, uint16_t* gain, uint16_t* polarity,
                         nQoMDBG100::tStatus2& status) const = 0;
};

// The second record of a front-end description; its content is board data.
struct tAIFrontEndSecondRecord;
// The built-in second record (src/device/): a description that points at it
// has the variant-2 configuration words.
extern const tAIFrontEndSecondRecord kBuiltInFrontEndRecord;

// The count of analog-input channels, reached from the AI part through the
// second word of the front end and of the converter.
struct tAIChannelDescription {
  uint32_t kind = 0;
  uint32_t channelCount = 0;
};

struct tAIConverterDescription {
  uint64_t word1 = 0;
  const tAIChannelDescription* channels = nullptr;
};

struct tAIFrontEndDescription {
  // Word 1: non-zero lets a reference one channel count above the input
  // select bank 1.
  uint32_t word1 = 0;
  // Word 10: non-zero drives the static control bit from the first channel.
  uint32_t word10 = 0;
  const tAIFrontEndSecondRecord* secondRecord = nullptr;
  // The capability block: word 2 (channels, at most 64 for variant 1) and
  // word 4 (the channel step) are read.
  uint32_t capabilityWord2 = 0;
  uint32_t capabilityWord4 = 0;
  const iAIRangeCodes* rangeCodes = nullptr;
  // Leads to the count of analog-input channels that the board object reads.
  const tAIConverterDescription* converter = nullptr;
};

}  // namespace nQoUdP100
