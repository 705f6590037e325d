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

// The code's flag bit is found once: bits 0 to 2 run forward with the code of
// bit 5 - b as their undo, bits 3 to 5 run backward, any other code does nothing.
void tMultiPrimitiveController::control(uint32_t code, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const int bit = controlFlagBit(code);
  if (bit < 0) return;
  if (bit < 3)
    controlForward(code, static_cast<uint32_t>(kControlCodeOfBit[5 - bit]), status);
  else
    controlBackward(code, status);
}

uint32_t tMultiPrimitiveController::isControlEnabled(uint32_t code, nQoMDBG100::tStatus2& status) {
  return _members.orAnswers(status, [code](iPrimitiveController& member, nQoMDBG100::tStatus2& s) {
    return member.isControlEnabled(code, s);
  });
}

void tMultiPrimitiveController::controlForward(uint32_t code, uint32_t reverse,
                                               nQoMDBG100::tStatus2& status) {
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
