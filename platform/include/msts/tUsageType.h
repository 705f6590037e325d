// Usage types of the texts a status description carries; a text is stored as
// the description's property of the same id.
#pragma once

#include <cstdint>

namespace nQoMSTS100 {

enum tUsageType : uint32_t {
  kUsageResourceName = 2,
  kUsageRequestedValue = 36,
  kUsageCurrentValue = 227,
};

}  // namespace nQoMSTS100
