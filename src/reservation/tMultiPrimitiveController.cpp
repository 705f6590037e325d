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
  std::size_t done = 0;
  for (; done < _members.count(); ++done) {
    iPrimitiveController* member = _members.at(done);
    if (member->isControlEnabled(code, status) != 0) member->control(code, status);
    if (status.isFatal()) break;
  }
  if (done == _members.count()) return;
  const uint32_t reverse = static_cast<uint32_t>(reverseControlCode(code));
  nQoMDBG100::tStatus2 local;
  for (std::size_t i = done; i-- > 0;) {
    iPrimitiveController* member = _members.at(i);
    local.clear();
    if (member->isControlEnabled(code, local) == 0) continue;
    local.clear();
    member->control(reverse, local);
  }
}

void tMultiPrimitiveController::controlBackward(uint32_t code, nQoMDBG100::tStatus2& status) {
  nQoMDBG100::tStatus2 local;
  for (std::size_t i = _members.count(); i-- > 0;) {
    iPrimitiveController* member = _members.at(i);
    local.clear();
    if (member->isControlEnabled(code, local) == 0) continue;
    local.clear();
    member->control(code, local);
    if (local.code != 0) status.assign(local);
  }
}

}  // namespace nQoMRTB100
