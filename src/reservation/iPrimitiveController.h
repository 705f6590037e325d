// Turns the six control codes of a supervisor into primitive operations.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

class iPrimitiveController {
 public:
  virtual ~iPrimitiveController() = default;
  virtual void control(uint32_t code, nQoMDBG100::tStatus2& status) = 0;
  // 0 or 1.
  virtual uint32_t isControlEnabled(uint32_t code, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRTB100
