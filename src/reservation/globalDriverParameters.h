// The module's single driver-parameter store, built at load over the no-op
// data provider, and the two functions that other objects of the module use:
//
//   nQoMRTB100::setGlobalDriverParameter(L"timeout", 3, status, 0);
//   uint32_t value;
//   nQoMRTB100::getGlobalDriverParameter(L"timeout", 7, &value, status, 0, 0);   // 3
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

// A null key, or a call while the module is not loaded: kNullPointer.
void setGlobalDriverParameter(const wchar_t* key, uint32_t value, nQoMDBG100::tStatus2& status,
                              uint64_t context);
// A null key or out pointer, or a call while the module is not loaded:
// kNullPointer.
void getGlobalDriverParameter(const wchar_t* key, uint32_t defaultValue, uint32_t* value,
                              nQoMDBG100::tStatus2& status, uint32_t refresh, uint64_t context);

// The static constructor: the provider, then the store over it.
int constructGlobalDriverParameters();

}  // namespace nQoMRTB100
