// Gives the platform the board's EEPROM: the abstract supervisor, a row of
// the plain frame, holds the state word, the settings and the request switch
// (one request per control code, arguments in the in block, results in the
// out block), which reach the tEEPROM held in the frame's slot; the concrete
// one reserves the tEEPROM, one user at a time, and takes it out of the slot
// (the requests under way leave) before it hands it back.
#pragma once

#include <cstdint>

#include "mrl/iPrimitiveSupervisor.h"
#include "primitives/eeprom/tEEPROM.h"
#include "reservation/tEEPROMResourcePool.h"
#include "reservation/tSingularReserver.h"
#include "settings/tEEPROMSettings.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tBaseEEPROMSupervisor
    : public tPlainSupervisor<tBaseEEPROMSupervisor, nQoMRL100::iPrimitiveSupervisor,
                              tEEPROMSettings, nQoUdP100::tEEPROM> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseEEPROMSupervisor";
  static constexpr const char* kFile = "tBaseEEPROMSupervisor";
  static inline void* ___classID = nullptr;

  ~tBaseEEPROMSupervisor() override { this->retire(); }

  // The frame's commit-cancel, on a good status only.
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  uint32_t getLifecycle() const { return getState(); }
  nQoUdP100::tEEPROM* getEEPROM() const { return held(); }

 private:
  friend tPlainSupervisor;
  // The request of code on the tEEPROM as held.
  void onControl(nQoUdP100::tEEPROM* eeprom, uint32_t code, nQoMRL100::iControlParameterBlock* in,
                 nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status);
};

class tEEPROMSupervisor final : public tBaseEEPROMSupervisor {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tEEPROMSupervisor";
  static inline void* ___classID = nullptr;

  ~tEEPROMSupervisor() override { this->retire(); }

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
  // The area selected when the EEPROM was reserved (0: none read).
  uint32_t _areaAtReserve = 0;
};

}  // namespace nQoUdR100
