// Drives the board's change detection for a task: reserves the primitive,
// links the readable lines and the scheduler action found in the supervisor
// map (and the correlated input DMA transfer these changes clock), enables
// the edge masks, and maps the control codes onto the buffer,
// the start and the stop; request 256 queries and clears the error flags.
// It keeps its own state word (ownStateWord.h). A buffered task reads the
// captured samples through getInputStreamPtr and hears of the end through
// the done kind of its event.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mrl/iDigReadablePrimSup.h"
#include "mrl/iEvent.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "mrl/tGeneralIdentifier.h"
#include "msrl/iInputStreamPrimitiveSupervisor.h"
#include "primitives/dio/tChangeDetectionPrimitive.h"
#include "settings/tChangeDetectionSettings.h"
#include "supervisors/cdio/iCDI_DMATransferSupervisor.h"

namespace nQoUdR100 {

class tChangeDetectionSupervisor final : public nQoMSRL100::iInputStreamPrimitiveSupervisor,
                                         public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tChangeDetectionSupervisor";
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kNoKey = 0xFFFFFFFF;
  // Answers 1 when a change status or a read overflow came since the last
  // query, and clears both.
  static constexpr uint32_t kQueryOverflow = 256;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  // A pool of another class (or no answer) gives -224629 at line 205, one
  // without a primitive at line 192; a granted one is handed back then.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  // Running: the read in progress returns.
  void requestCancel(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;
  // The reserved primitive; null before reserve and for an unbuffered task.
  nQoMSRL100::iInputStream* getInputStreamPtr(nQoMDBG100::tStatus2& status) override;

  uint32_t getState() const { return _state; }
  tChangeDetectionPrimitive* getPrimitive() const { return _primitive; }

 private:
  bool buffered() const { return _settings.unbufferedFlag == 0; }
  // Whether start and stop reach the hardware.
  bool drivesHardware() const { return _readable != nullptr || _action != nullptr; }
  void start(nQoMDBG100::tStatus2& status);
  void stop(nQoMDBG100::tStatus2& status);
  void queryOverflow(nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status);

  uint32_t _state = 0;
  nQoCDR100::iDigReadablePrimSup* _readable = nullptr;
  iCDI_DMATransferSupervisor* _cdiDMA = nullptr;
  tChangeDetectionPrimitive* _primitive = nullptr;
  // The keys, the pool's identifier, the masks, the buffer and the length.
  tChangeDetectionSettingsFields _settings;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  nQoMAS100::iSchedulerAction* _action = nullptr;
  nQoMRL110::iEvent* _event = nullptr;
  bool _doneRegistered = false;
};

}  // namespace nQoUdR100
