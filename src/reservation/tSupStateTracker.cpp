#include "reservation/tSupStateTracker.h"

namespace nQoMRTB100 {

namespace {
constexpr uint32_t kArmOrDisarm = 0x12;       // flag bits 1 and 4
constexpr uint32_t kCommitOrUncommit = 0x21;  // flag bits 0 and 5
}  // namespace

void tSupStateTracker::applyEvent(int32_t event, nQoMDBG100::tStatus2& status) {
  const bool good = status.isNotFatal();
  const int32_t now = state();
  int32_t next = now;
  switch (event) {
    case kEventInitialize:
      if (good) next = kStateInitialized;
      break;
    case kEventLink:
      if (good) next = kStateLinked;
      break;
    case kEventReserveResource:
      if (good) next = kStateReserved;
      break;
    case kEventLinkResource:
      if (good) next = kStateResourcesLinked;
      break;
    case kControlCommit:
      if (good) next = kStateCommitted;
      break;
    case kControlArm:
      if (good) next = kStateArmed;
      break;
    case kControlStart:
      if (good) next = kStateRunning;
      break;
    case kControlStop:
      next = (_flags & kArmOrDisarm) != 0        ? kStateArmed
             : (_flags & kCommitOrUncommit) != 0 ? kStateCommitted
                                                 : kStateResourcesLinked;
      break;
    case kControlDisarm:
      next = (_flags & kCommitOrUncommit) != 0 ? kStateCommitted : kStateResourcesLinked;
      break;
    case kControlUncommit: next = kStateResourcesLinked; break;
    case kEventUnlinkResource: next = kStateReserved; break;
    case kEventReleaseResource: next = kStateLinked; break;
    case kEventUnlink: next = kStateInitialized; break;
    case kEventCommitCancel:
      if (now > kStateResourcesLinked) next = kStateResourcesLinked;
      break;
    default: break;
  }
  // A cancel on another thread may read the state: the new one in one store.
  if (next != now) _state.store(next, std::memory_order_release);
}

uint32_t tSupStateTracker::getFlag0(nQoMDBG100::tStatus2&) { return flag(0); }
uint32_t tSupStateTracker::getFlag1(nQoMDBG100::tStatus2&) { return flag(1); }
uint32_t tSupStateTracker::getFlag2(nQoMDBG100::tStatus2&) { return flag(2); }
uint32_t tSupStateTracker::getFlag3(nQoMDBG100::tStatus2&) { return flag(3); }
uint32_t tSupStateTracker::getFlag4(nQoMDBG100::tStatus2&) { return flag(4); }
uint32_t tSupStateTracker::getFlag5(nQoMDBG100::tStatus2&) { return flag(5); }

uint32_t tSupStateTracker::isControlEnabled(int32_t code, nQoMDBG100::tStatus2& status) {
  switch (code) {
    case kControlCommit: return getFlag0(status);
    case kControlArm: return getFlag1(status);
    case kControlStart: return getFlag2(status);
    case kControlStop: return getFlag3(status);
    case kControlDisarm: return getFlag4(status);
    case kControlUncommit: return getFlag5(status);
    default: return 0;
  }
}

int32_t tSupStateTracker::getState(nQoMDBG100::tStatus2&) {
  return _state.load(std::memory_order_acquire);
}

void tSupStateTracker::setFlag0(int on, nQoMDBG100::tStatus2& status) {
  setFlags(on, 0x01, status);
}
void tSupStateTracker::setFlag1(int on, nQoMDBG100::tStatus2& status) {
  setFlags(on, 0x02, status);
}
void tSupStateTracker::setFlag2(int on, nQoMDBG100::tStatus2& status) {
  setFlags(on, 0x04, status);
}
void tSupStateTracker::setFlag3(int on, nQoMDBG100::tStatus2& status) {
  setFlags(on, 0x08, status);
}
void tSupStateTracker::setFlag4(int on, nQoMDBG100::tStatus2& status) {
  setFlags(on, 0x10, status);
}
void tSupStateTracker::setFlag5(int on, nQoMDBG100::tStatus2& status) {
  setFlags(on, 0x20, status);
}

void tSupStateTracker::setFlags(int on, uint32_t mask, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  mask &= 0xFF;
  if (on != 0)
    _flags |= mask;
  else
    _flags &= ~mask;
}

}  // namespace nQoMRTB100
