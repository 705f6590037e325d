// Gives the platform the board's EEPROM: the abstract supervisor holds the
// lifecycle word, the settings and the request switch (one request per
// control code, arguments in the in block, results in the out block); the
// concrete one reserves the tEEPROM, one user at a time.
#pragma once

#include <cstdint>

#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/eeprom/tEEPROM.h"
#include "reservation/tEEPROMResourcePool.h"
#include "reservation/tSingularReserver.h"
#include "settings/tEEPROMSettings.h"

namespace nQoUdR100 {

class tBaseEEPROMSupervisor : public nQoMRL100::iPrimitiveSupervisor, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseEEPROMSupervisor";
  static inline void* ___classID = nullptr;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  void requestCancel(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  uint32_t getLifecycle() const { return _lifecycle; }
  nQoUdP100::tEEPROM* getEEPROM() const { return _eeprom; }

 protected:
  nQoUdP100::tEEPROM* _eeprom = nullptr;
  uint32_t _lifecycle = 0;
  nQoMRL100::tGeneralIdentifier _identifier;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  tEEPROMSettings _settings;
};

class tEEPROMSupervisor final : public tBaseEEPROMSupervisor {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tEEPROMSupervisor";
  static inline void* ___classID = nullptr;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;

 private:
  nQoMRTB100::tSingularReserver<nQoUdP100::tEEPROM, tEEPROMResourcePool<nQoUdP100::tEEPROM*>>
      _reserver;
};

}  // namespace nQoUdR100
