// Where a request transfer takes its messages from.
#pragma once

#include <cstdint>

#include "fsl/tRequestMessage.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

class iMessageSource {
 public:
  virtual ~iMessageSource() = default;
  // A message with room for at least length bytes, or null; either way the
  // source may set a code in the status. The message stays the source's.
  virtual tRequestMessage* newMessage(uint32_t length, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoFSL100
