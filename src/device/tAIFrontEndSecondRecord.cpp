#include "device/tAIFrontEndSecondRecord.h"

namespace nQoUdP100 {

const tAIFrontEndSecondRecord kBuiltInFrontEndRecord{};

}  // namespace nQoUdP100
