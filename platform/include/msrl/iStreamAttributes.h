// What a read of a stream tells its caller beside the samples. A stream that
// reads samples of a change-detection primitive reports the start time of the
// read and then finishes; an immediate analog-input stream reports the time
// stamp of the first sample read and the interval between samples, both in
// seconds.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "pal/tPALSysInfo.h"

namespace nQoMSRL100 {

class iStreamAttributes {
 public:
  virtual ~iStreamAttributes();
  // The platform clock (nanoseconds) when the read began.
  virtual void setStartTime(uint64_t time, nQoMDBG100::tStatus2& status) = 0;
  virtual void finish(nQoMDBG100::tStatus2& status) = 0;
  virtual void setTimeStamp(const tPALTime128& stamp, nQoMDBG100::tStatus2& status) = 0;
  virtual void setInterval(const tPALTime128& interval, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMSRL100
