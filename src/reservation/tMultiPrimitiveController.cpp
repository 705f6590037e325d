#include "reservation/tMultiPrimitiveController.h"

#include "reservation/supervisorEvents.h"

namespace nQoMRTB100 {

void tMultiPrimitiveController::addController(iPrimitiveController* controller,
                                              nQoMDBG100::tStatus2& status) {
  _members.add(controller, status, {"tMultiPrimitiveController", 48});
}

void tMultiPrimitiveController::checkAllocation(nQoMDBG100::tStatus2& status) const {
  _members.checkAllocation(status, {"tMultiPrimitiveController", 55});
}

void tMultiPrimitiveController::control(uint32_t code, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (isForwardControl(code))
    controlForward(code, status);
  else if (controlFlagBit(code) >= 0)
    controlBackward(code, status);
}

uint32_t tMultiPrimitiveController::isControlEnabled(uint32_t code, nQoMDBG100::tStatus2& status) {
  return _members.orAnswers(status, [code](iPrimitiveController& member, nQoMDBG100::tStatus2& s) {
    return member.isControlEnabled(code, s);
  });
}

void tMultiPrimitiveController::controlForward(uint32_t code, nQoMDBG100::tStatus2& status) {
  const uint32_t reverse = static_cast<uint32_t>(reverseControlCode(code));
  _members.runForward(
      status,
      [code](iPrimitiveController& member, nQoMDBG100::tStatus2& s) {
        if (member.isControlEnabled(code, s) != 0) member.control(code, s);
      },
      [code, reverse](iPrimitiveController& member, nQoMDBG100::tStatus2& local) {
        if (member.isControlEnabled(code, local) == 0) return;
        local.clear();
        member.control(reverse, local);
      });
}

// A member that does not take part leaves nothing to merge, not even what
// its answer reported.
void tMultiPrimitiveController::controlBackward(uint32_t code, nQoMDBG100::tStatus2& status) {
  _members.runReverse(status, [code](iPrimitiveController& member, nQoMDBG100::tStatus2& local) {
    if (member.isControlEnabled(code, local) != 0) {
      local.clear();
      member.control(code, local);
    } else {
      local.clear();
    }
  });
}

}  // namespace nQoMRTB100
