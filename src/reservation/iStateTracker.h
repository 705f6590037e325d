// A supervisor's state tracker: the supervisor checks each event (a
// lifecycle operation or a control code) when the operation begins and
// applies it with the operation's final status when it ends.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

class iStateTracker {
 public:
  virtual ~iStateTracker() = default;
  // Checks an event before the operation.
  virtual void validateEvent(int32_t event, nQoMDBG100::tStatus2& status) = 0;
  // Records an event after the operation.
  virtual void applyEvent(int32_t event, nQoMDBG100::tStatus2& status) = 0;
  // Each answers 0 or 1: whether the control code of flag bit N is supported.
  virtual uint32_t getFlag0(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getFlag1(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getFlag2(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getFlag3(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getFlag4(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getFlag5(nQoMDBG100::tStatus2& status) = 0;
  // 0 or 1.
  virtual uint32_t isControlEnabled(int32_t code, nQoMDBG100::tStatus2& status) = 0;
  virtual int32_t getState(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRTB100
