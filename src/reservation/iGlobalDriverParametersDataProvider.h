// Where the driver-parameter store asks for a value it does not hold.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

class iGlobalDriverParametersDataProvider {
 public:
  virtual ~iGlobalDriverParametersDataProvider() = default;
  // Non-zero when a value was written to the out parameter.
  virtual uint32_t getParameter(uint64_t context, const wchar_t* key, uint32_t* value,
                                nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRTB100
