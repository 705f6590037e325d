// Drives the board's change detection for a task: reserves the primitive,
// links the readable lines and the scheduler action found in the supervisor
// map (and the correlated input DMA transfer these changes clock), enables
// the edge masks, and maps the control codes onto the buffer, the start and
// the stop; request 256 queries and clears the error flags. A row of the
// plain frame whose steps are nearly all its own: it links to other
// supervisors and undoes a failed step at once. A buffered task reads the
// captured samples through getInputStreamPtr and hears of the end through
// the done kind of its event. The codes, a cancel and the stream's reads may
// come from the user's thread: they reach the primitive as uses of the
// frame's slot, which linkResource, unlinkResource and the release take it
// out of, after ending every read that waits, before they fill it, reset it
// or hand it back.
#pragma once

#include <atomic>
#include <cstdint>

#include "mrl/iDigReadablePrimSup.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "msrl/iInputStreamPrimitiveSupervisor.h"
#include "primitives/dio/tChangeDetectionPrimitive.h"
#include "settings/tChangeDetectionSettings.h"
#include "supervisors/cdio/iCDI_DMATransferSupervisor.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tChangeDetectionSupervisor final
    : public nQoMSRL100::iInputStream,
      public tPlainSupervisor<tChangeDetectionSupervisor,
                              nQoMSRL100::iInputStreamPrimitiveSupervisor, tChangeDetectionSettings,
                              tChangeDetectionPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tChangeDetectionSupervisor";
  static constexpr const char* kFile = "tChangeDetectionSupervisor";
  // Hand the deployed keys, masks and lengths on to the links and the
  // primitive.
  static constexpr const char* kSettingsDeploySteps[] = {"link", "reserveResource", "linkResource"};
  static inline void* ___classID = nullptr;
  static constexpr unsigned kEventLine = 95;
  static constexpr unsigned kCastLine = 110;
  static constexpr uint32_t kNoKey = 0xFFFFFFFF;
  // Answers 1 when a change status or a read overflow came since the last
  // query, and clears both.
  static constexpr uint32_t kQueryOverflow = 256;

  ~tChangeDetectionSupervisor() override { this->retire(); }

  // Copies the settings and the identifier of their record for the next
  // reservation, and nothing else.
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  // A pool of another class (or no answer) gives -224629 at line 205, one
  // without a primitive at line 192; a granted one is handed back then.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  // Ends the reads and takes the primitive out of the slot (a code, a read
  // or a cancel under way on another thread leaves) before it resets it.
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  // Ends the reads and takes the primitive out of the slot, then hands back
  // a granted pool under the identifier it was granted under.
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  // The frame's commit-cancel, on a good status only.
  void commitCancel(nQoMDBG100::tStatus2& status) override;
  // This supervisor's stream; null before reserve and for an unbuffered task.
  nQoMSRL100::iInputStream* getInputStreamPtr(nQoMDBG100::tStatus2& status) override;
  // The primitive's read and readAvailable, inside a use. Without a
  // primitive: -50004 and 0.
  uint32_t read(uint32_t count, uint32_t timeout, uint8_t* destination, const uint8_t* mask,
                nQoMSRL100::iStreamAttributes* attributes, nQoMDBG100::tStatus2& status) override;
  uint32_t readAvailable(uint32_t count, uint8_t* destination,
                         nQoMDBG100::tStatus2& status) override;

  tChangeDetectionPrimitive* getPrimitive() const { return held(); }

 private:
  friend tPlainSupervisor;
  // Runs read(primitive) inside a use; without a primitive, -50004 and 0.
  template <class tRead>
  uint32_t readHeld(nQoMDBG100::tStatus2& status, tRead read);
  // The codes on the primitive as held: request 256, and the others under
  // the primitive's run lock.
  void onControl(tChangeDetectionPrimitive* primitive, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
  void onRunCode(tChangeDetectionPrimitive& primitive, uint32_t code, nQoMDBG100::tStatus2& status);
  // While a run is on: the read in progress returns.
  void onCancel(tChangeDetectionPrimitive& primitive, nQoMDBG100::tStatus2& status);
  // Before unlinkResource or the release takes the primitive out: every read
  // ends, until the next linkResource.
  void endCalls(tChangeDetectionPrimitive& primitive);
  // Code 1 keeps the size of the buffer it allocates.
  void takeRecord(const tChangeDetectionSettings& settings) {
    _bufferSize = settings.supervisorRecord().bufferSize;
  }
  // Whether the task is buffered, as linkResource gave the primitive its
  // acquisition (with the done event or without).
  bool buffered() const { return _buffered; }
  // Whether start and stop reach the hardware.
  bool drivesHardware() const { return _readable != nullptr || _action != nullptr; }
  // What unlinkResource and the release bring down on the primitive out of
  // reach.
  void reset(tChangeDetectionPrimitive& primitive, nQoMDBG100::tStatus2& status);
  void start(tChangeDetectionPrimitive& primitive, nQoMDBG100::tStatus2& status);
  void stop(tChangeDetectionPrimitive& primitive, nQoMDBG100::tStatus2& status);
  void queryOverflow(tChangeDetectionPrimitive& primitive, nQoMRL100::iControlParameterBlock* out,
                     nQoMDBG100::tStatus2& status);

  nQoCDR100::iDigReadablePrimSup* _readable = nullptr;
  iCDI_DMATransferSupervisor* _cdiDMA = nullptr;
  // A run that a start began and no stop ended: set by the start, cleared
  // only by the stop, whatever a code or a lifecycle step makes of the state
  // word. The codes read and change it under the primitive's run lock; a
  // cancel reads it, and so does the bring-down of unlinkResource and the
  // release, once no code can run.
  std::atomic<bool> _run{false};
  nQoMAS100::iSchedulerAction* _action = nullptr;
  // The first and second edge masks that linkResource enabled, and whether
  // it enabled them (attached and set) and no bring-down has disabled them
  // since: a reservation never linked has nothing to disable.
  uint32_t _enabledMasks[2] = {0, 0};
  bool _linesEnabled = false;
  bool _doneRegistered = false;
  // What linkResource and code 1 kept of the settings; a read on another
  // thread asks for the stream.
  std::atomic<bool> _buffered{true};
  uint32_t _bufferSize = 0;
};

}  // namespace nQoUdR100
