// The events of a supervisor's lifecycle and its six control codes. Bit N of
// a tracker's flag word says that the supervisor supports the control code of
// flag bit N.
#pragma once

#include <cstdint>

namespace nQoMRTB100 {

enum tSupervisorEvent : int32_t {
  kEventInitialize = 4096,
  kEventLink = 4097,
  kEventReserveResource = 4098,
  kEventLinkResource = 4099,
  kEventUnlinkResource = 4102,
  kEventReleaseResource = 4103,
  kEventUnlink = 4104,
  kEventCommitCancel = 4105,
};

// In flag-bit order: forward codes first, then the backward codes.
enum tControlCode : int32_t {
  kControlCommit = 1,
  kControlArm = 4100,
  kControlStart = 2,
  kControlStop = 3,
  kControlDisarm = 4101,
  kControlUncommit = 4,
};

// The flag bit of a control code, or -1 for any other code.
constexpr int controlFlagBit(int64_t code) {
  switch (code) {
    case kControlCommit: return 0;
    case kControlArm: return 1;
    case kControlStart: return 2;
    case kControlStop: return 3;
    case kControlDisarm: return 4;
    case kControlUncommit: return 5;
    default: return -1;
  }
}

constexpr bool isForwardControl(int64_t code) {
  return code == kControlCommit || code == kControlArm || code == kControlStart;
}

// The code that undoes a forward code (start -> stop, arm -> disarm,
// commit -> uncommit); 0 for any other code.
constexpr int32_t reverseControlCode(int64_t code) {
  switch (code) {
    case kControlStart: return kControlStop;
    case kControlArm: return kControlDisarm;
    case kControlCommit: return kControlUncommit;
    default: return 0;
  }
}

}  // namespace nQoMRTB100

namespace nQoMRTB100 {

enum tSupervisorState : int32_t {
  kStateConstructed = 0,
  kStateInitialized = 10,
  kStateLinked = 20,
  kStateReserved = 30,
  kStateResourcesLinked = 40,
  kStateCommitted = 50,
  kStateArmed = 60,
  kStateRunning = 70,
};

}  // namespace nQoMRTB100
