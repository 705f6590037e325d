// The data provider of the module's driver-parameter store.
#pragma once

#include "reservation/iGlobalDriverParametersDataProvider.h"

namespace nQoMRTB100 {

// Knows no parameter: every miss of the store takes the caller's default.
class tNoopDriverParametersDataProvider : public iGlobalDriverParametersDataProvider {
 public:
  uint32_t getParameter(uint64_t, const wchar_t*, uint32_t*, nQoMDBG100::tStatus2&) override {
    return 0;
  }
};

}  // namespace nQoMRTB100
