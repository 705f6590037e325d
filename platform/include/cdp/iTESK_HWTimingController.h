// The hardware clocking of the signal-conditioning link: start, strobe a
// transfer, poll until it is done.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoCDP100 {

class iTESK_HWTimingController {
 public:
  virtual void start(nQoMDBG100::tStatus2& status) = 0;
  virtual void stop(nQoMDBG100::tStatus2& status) = 0;
  virtual void setClockSource(int32_t source, nQoMDBG100::tStatus2& status) = 0;
  virtual void strobe(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t readStatus(nQoMDBG100::tStatus2& status) = 0;
  virtual void writeData(uint8_t value, nQoMDBG100::tStatus2& status) = 0;
  virtual bool isBusy(nQoMDBG100::tStatus2& status) = 0;
  virtual ~iTESK_HWTimingController();
};

}  // namespace nQoCDP100
