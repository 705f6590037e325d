#include "reservation/tScopedControl.h"

#include "reservation/supervisorEvents.h"

namespace nQoMRTB100 {

tScopedControl::tScopedControl(uint32_t code, iPrimitiveController& controller,
                               nQoMDBG100::tStatus2& status)
    : _code(code), _controller(&controller), _status(&status) {
  if (status.isFatal()) return;
  controller.control(code, status);
  if (isForwardControl(code) && status.isNotFatal()) _undoNeeded = 1;
}

tScopedControl::~tScopedControl() {
  if (_undoNeeded == 0 || _status->isNotFatal()) return;
  nQoMDBG100::tStatus2 local;
  _controller->control(static_cast<uint32_t>(reverseControlCode(_code)), local);
}

}  // namespace nQoMRTB100
