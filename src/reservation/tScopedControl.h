// Runs one control code for the life of a scope and, for a forward code that
// succeeded, issues its reverse code when the operation later fails:
//
//   tScopedControl start(kControlStart, controller, status);
//   ...  // a later failure in the status issues kControlStop
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "reservation/iPrimitiveController.h"

namespace nQoMRTB100 {

class tScopedControl {
 public:
  tScopedControl(uint32_t code, iPrimitiveController& controller, nQoMDBG100::tStatus2& status);
  // The reverse code on a fresh status, dropped, when undo is needed and the
  // caller's status now holds an error.
  ~tScopedControl();
  tScopedControl(const tScopedControl&) = delete;
  tScopedControl& operator=(const tScopedControl&) = delete;

 private:
  uint32_t _code;
  iPrimitiveController* _controller;
  nQoMDBG100::tStatus2* _status;
  uint32_t _undoNeeded = 0;
};

}  // namespace nQoMRTB100
