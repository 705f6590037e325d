// Supervises the board's analog trigger: reserves the trigger primitive by
// the identifier of its settings, hands it the six trigger parameters, and
// maps commit (1), uncommit (4) and arm (4100). A row of the plain frame:
// moves up need a good status, moves down happen whatever it holds, and no
// operation is refused because of the state. The trigger is held in the
// frame's slot, which the codes reach it through.
#pragma once

#include <cstdint>

#include "mrl/iPrimitiveSupervisor.h"
#include "primitives/ao/outputPrimitiveInterfaces.h"
#include "settings/triggerTEDSSettings.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tBaseAnalogTriggerSupervisor
    : public tPlainSupervisor<tBaseAnalogTriggerSupervisor, nQoMRL100::iPrimitiveSupervisor,
                              tAnalogTriggerSettings, nQoUdP100::tBaseAnalogTriggerPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseAnalogTriggerSupervisor";
  static constexpr const char* kFile = "tBaseAnalogTriggerSupervisor";
  // Hands the deployed words on to the trigger, which a commit programs.
  static constexpr const char* kSettingsDeploySteps[] = {"handOver"};
  static inline void* ___classID = nullptr;

  ~tBaseAnalogTriggerSupervisor() override { this->retire(); }

  // A failed reservation is kept until releaseResource hands it back: no
  // answer or a pool of another class gives -89000 at line 139. Without a
  // broker nothing is reserved and nothing reported.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  // Runs whatever the caller's status holds, so an earlier error cannot keep
  // the trigger reserved; takes it out of the slot (the codes under way
  // leave), then hands back only what the broker granted, under the
  // identifier it was granted under.
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  // Committed: the primitive's release, then resources linked.
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  nQoUdP100::tBaseAnalogTriggerPrimitive* getPrimitive() const { return held(); }

 private:
  friend tPlainSupervisor;
  void onControl(nQoUdP100::tBaseAnalogTriggerPrimitive* trigger, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
  // The six trigger parameters into the held primitive, while the status is good.
  void applySettings(nQoMDBG100::tStatus2& status) override;
  void handOver(nQoUdP100::tBaseAnalogTriggerPrimitive& trigger, nQoMDBG100::tStatus2& status);
};

}  // namespace nQoUdR100
