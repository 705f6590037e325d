#include "reservation/tMultiStateTracker.h"

#include "reservation/supervisorEvents.h"

namespace nQoMRTB100 {

void tMultiStateTracker::addTracker(iStateTracker* tracker, nQoMDBG100::tStatus2& status) {
  _members.add(tracker, status, {"tMultiStateTracker", 40});
}

void tMultiStateTracker::checkAllocation(nQoMDBG100::tStatus2& status) const {
  _members.checkAllocation(status, {"tMultiStateTracker", 47});
}

void tMultiStateTracker::validateEvent(int32_t event, nQoMDBG100::tStatus2& status) {
  const bool isControl = controlFlagBit(event) >= 0;
  for (std::size_t i = 0; i < _members.count(); ++i) {
    iStateTracker* member = _members.at(i);
    if (isControl && member->isControlEnabled(event, status) == 0) continue;
    member->validateEvent(event, status);
  }
}

void tMultiStateTracker::applyEvent(int32_t event, nQoMDBG100::tStatus2& status) {
  for (std::size_t i = 0; i < _members.count(); ++i) _members.at(i)->applyEvent(event, status);
}

uint32_t tMultiStateTracker::orFlags(tFlagGetter getFlag, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  uint32_t flags = 0;
  for (std::size_t i = 0; i < _members.count(); ++i) flags |= (_members.at(i)->*getFlag)(status);
  return flags;
}

uint32_t tMultiStateTracker::getFlag0(nQoMDBG100::tStatus2& s) {
  return orFlags(&iStateTracker::getFlag0, s);
}
uint32_t tMultiStateTracker::getFlag1(nQoMDBG100::tStatus2& s) {
  return orFlags(&iStateTracker::getFlag1, s);
}
uint32_t tMultiStateTracker::getFlag2(nQoMDBG100::tStatus2& s) {
  return orFlags(&iStateTracker::getFlag2, s);
}
uint32_t tMultiStateTracker::getFlag3(nQoMDBG100::tStatus2& s) {
  return orFlags(&iStateTracker::getFlag3, s);
}
uint32_t tMultiStateTracker::getFlag4(nQoMDBG100::tStatus2& s) {
  return orFlags(&iStateTracker::getFlag4, s);
}
uint32_t tMultiStateTracker::getFlag5(nQoMDBG100::tStatus2& s) {
  return orFlags(&iStateTracker::getFlag5, s);
}

uint32_t tMultiStateTracker::isControlEnabled(int32_t code, nQoMDBG100::tStatus2& status) {
  return _members.orAnswers(status, [code](iStateTracker& member, nQoMDBG100::tStatus2& s) {
    return member.isControlEnabled(code, s);
  });
}

int32_t tMultiStateTracker::getState(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  int32_t state = 0;
  for (std::size_t i = 0; i < _members.count(); ++i) {
    const int32_t memberState = _members.at(i)->getState(status);
    if (memberState > state) state = memberState;
  }
  return state;
}

}  // namespace nQoMRTB100
