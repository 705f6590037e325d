// Sets the board's calibration reference during a calibration task: reserves
// the reference-voltage primitive and serves one request, 256, which hands it
// a 32-bit value. It has no commit, start or stop of its own. A row of the
// plain frame whose identifier is the one of its first settings.
#pragma once

#include <cstdint>

#include "mrl/iPrimitiveSupervisor.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "settings/tCalPWMSettings.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tCalPWMSupervisor
    : public tReservingSupervisor<tCalPWMSupervisor, nQoMRL100::iPrimitiveSupervisor,
                                  tCalPWMSettings, nQoUdP100::iReferenceVoltagePrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tCalPWMSupervisor";
  static constexpr const char* kFile = "tCalPWMSupervisor";
  static inline void* ___classID = nullptr;

  ~tCalPWMSupervisor() override { this->retire(); }
  static constexpr uint32_t kSetReference = 256;
  // The identifier taken at initialize is the one reserved; deploy leaves it.
  static constexpr bool kFixedIdentifier = true;

  // These three do nothing on a status that holds an error.
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;

  uint32_t getLifecycle() const { return getState(); }

 private:
  friend tPlainSupervisor;
  // Request 256 on the reference as held.
  void onControl(nQoUdP100::iReferenceVoltagePrimitive* primitive, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
};

}  // namespace nQoUdR100
