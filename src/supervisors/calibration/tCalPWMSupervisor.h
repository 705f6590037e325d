// Sets the board's calibration reference during a calibration task: reserves
// the reference-voltage primitive and serves one request, 256, which hands it
// a 32-bit value. It has no commit, start or stop of its own and keeps a plain
// lifecycle word in place of a state tracker.
#pragma once

#include <cstdint>

#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/tCalPWMSettings.h"

namespace nQoUdR100 {

class tCalPWMSupervisor : public nQoMRL100::iPrimitiveSupervisor, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tCalPWMSupervisor";
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kSetReference = 256;

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

  uint32_t getLifecycle() const { return _lifecycle; }
  nQoUdP100::iReferenceVoltagePrimitive* getPrimitive() const { return _reserver.getPrimitive(); }
  const nQoMRL100::tGeneralIdentifier& getIdentifier() const { return _identifier; }

 private:
  // The settings as this class, or -89000 and null.
  const tCalPWMSettings* castSettings(const nQoMRL100::iPrimitiveSettings& settings,
                                      nQoMDBG100::tStatus2& status) const;

  nQoMRTB100::tSingularReserver<nQoUdP100::iReferenceVoltagePrimitive,
                                tSingularResourcePool<nQoUdP100::iReferenceVoltagePrimitive*>>
      _reserver;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  nQoMRL100::tGeneralIdentifier _identifier;
  uint32_t _lifecycle = 0;
  tCalPWMSettings _settings;
};

}  // namespace nQoUdR100
