// Where a reply context takes the received reply from.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

class iReplySource {
 public:
  virtual ~iReplySource() = default;
  // The bytes of the received reply, [begin, end); the source may set a code
  // in the status. The bytes stay the source's.
  virtual void reply(const unsigned char*& begin, const unsigned char*& end,
                     nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoFSL100
