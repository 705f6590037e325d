// How the register maps read the status they are handed: a pointer that may be
// null (then nothing is reported), and the code field handed to the platform.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoUdRLP100 {

// True when a status is given and already holds an error.
inline bool failed(const nQoMDBG100::tStatus2* status) {
  return status != nullptr && status->isFatal();
}

// The code field that platform calls take, or null for no status.
inline int* codeOf(nQoMDBG100::tStatus2* status) {
  return status != nullptr ? &status->code : nullptr;
}

}  // namespace nQoUdRLP100
