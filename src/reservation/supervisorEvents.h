// The events of a supervisor's lifecycle, its states and its six control
// codes. Bit N of a tracker's flag word says that the supervisor supports the
// control code of flag bit N.
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

// In flag-bit order: forward codes first, then the backward codes.
enum tControlCode : int32_t {
  kControlCommit = 1,
  kControlArm = 4100,
  kControlStart = 2,
  kControlStop = 3,
  kControlDisarm = 4101,
  kControlUncommit = 4,
};

// The control codes by flag bit. The reverse of the forward code of bit b
// is the code of bit 5 - b (commit/uncommit, arm/disarm, start/stop).
inline constexpr int32_t kControlCodeOfBit[6] = {kControlCommit, kControlArm,    kControlStart,
                                                 kControlStop,   kControlDisarm, kControlUncommit};

// The flag bit of a control code, or -1 for any other code.
constexpr int controlFlagBit(int64_t code) {
  for (int bit = 0; bit < 6; ++bit)
    if (kControlCodeOfBit[bit] == code) return bit;
  return -1;
}

constexpr bool isForwardControl(int64_t code) {
  const int bit = controlFlagBit(code);
  return bit >= 0 && bit < 3;
}

// The code that undoes a forward code; 0 for any other code.
constexpr int32_t reverseControlCode(int64_t code) {
  return isForwardControl(code) ? kControlCodeOfBit[5 - controlFlagBit(code)] : 0;
}

}  // namespace nQoMRTB100
