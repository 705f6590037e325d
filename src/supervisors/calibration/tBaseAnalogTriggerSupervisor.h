// Supervises the board's analog trigger: reserves the trigger primitive by
// the identifier of its settings, hands it the six trigger parameters, and
// maps commit (1), uncommit (4) and arm (4100). It keeps a plain state word:
// 0 constructed, 1 initialized, 2 linked, 3 reserved, 4 resources linked,
// 5 committed. Moves up need a good status, moves down happen whatever it
// holds, and no operation is refused because of the state.
#pragma once

#include <cstdint>

#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/ao/outputPrimitiveInterfaces.h"
#include "settings/triggerTEDSSettings.h"

namespace nQoUdR100 {

class tBaseAnalogTriggerSupervisor : public nQoMRL100::iPrimitiveSupervisor, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseAnalogTriggerSupervisor";
  static inline void* ___classID = nullptr;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  void requestCancel(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  uint32_t getState() const { return _state; }
  nQoUdP100::tBaseAnalogTriggerPrimitive* getPrimitive() const { return _primitive; }

 private:
  // The six trigger parameters into the held primitive, while the status is good.
  void applyParameters(nQoMDBG100::tStatus2& status);

  nQoUdP100::tBaseAnalogTriggerPrimitive* _primitive = nullptr;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  nQoMRL100::tGeneralIdentifier _identifier;
  uint32_t _state = 0;
  tAnalogTriggerSettings _settings;
};

}  // namespace nQoUdR100
