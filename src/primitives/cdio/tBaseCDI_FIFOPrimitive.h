// The correlated digital input FIFO, device-independent part: the lifecycle
// that attaches and enables the sources of the observer lists in use (FIFO,
// buffer error, overrun), the mode flags and the sample width. The chip class
// holds the register work behind the virtual operations.
//
//   fifo.addObserver(static_cast<iCDIOFIFOObserver*>(&transfer), status);
//   fifo.setModeFlag(1, status, 0);   // deployed, applied at commit
//   fifo.commit(status);              // handlers attached, mode flags written
//   fifo.arm(status);                 // sources enabled
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "mdbg/tStatus2.h"
#include "primitives/cdio/iCDIODispatcher.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"

namespace nQoUdP100 {

class tBaseCDI_FIFOPrimitive : public tCDIO_FIFOObservable {
 public:
  static constexpr uint32_t kNotSet = 0xFFFFFFFF;
  // What a deploy sets for the next commit: the mode flag (0 clear, 1 set,
  // other: leave) and the secondary flag.
  struct tFlags {
    uint32_t mode = kNotSet;
    uint32_t secondary = 1;
  };
  // The setters write the flags; a commit takes them, and a mode flag set
  // with apply is programmed at once.
  static constexpr const char* kDeploySteps[] = {"setModeFlag", "setSecondaryModeFlag"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "setModeFlag"};

  // A missing or bad description is reported (tCDIODescription.h).
  tBaseCDI_FIFOPrimitive(iCDIODispatcher* dispatcher, const tCDIODescription* description,
                         nQoMDBG100::tStatus2& status);
  // Disables, empties and detaches every source whose slot holds one of its
  // handlers, whatever its state and whatever lists are in use.
  ~tBaseCDI_FIFOPrimitive() override;

  // The dispatcher is present and the state valid; past state 1 the commit
  // must have set the mode flag.
  virtual bool isReady() const;
  // Whole FIFO words, the first width bytes of each, until byteCount bytes are
  // stored; answers the bytes stored (0 on an error status).
  virtual uint32_t readSamples(void* buffer, uint32_t byteCount, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isBufferErrorPending(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isOverrunPending(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isFIFOEmpty(nQoMDBG100::tStatus2& status) = 0;
  // The status bit beside the empty bit, which this subsystem never asks for.
  virtual uint32_t reserved7(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isFIFOConditionPending(nQoMDBG100::tStatus2& status) = 0;
  virtual void startFIFO(nQoMDBG100::tStatus2& status) = 0;
  virtual void stopFIFO(nQoMDBG100::tStatus2& status) = 0;
  virtual void resetFIFO(nQoMDBG100::tStatus2& status) = 0;
  // The mode flag as the soft copy holds it; 1 on an error status.
  virtual uint32_t getModeFlagBit(nQoMDBG100::tStatus2& status) = 0;
  virtual void disableFIFOInterrupt(nQoMDBG100::tStatus2& status);
  virtual void disableOverrunInterrupt(nQoMDBG100::tStatus2& status);
  virtual void disableBufferErrorInterrupt(nQoMDBG100::tStatus2& status);
  virtual void linkDMAChannel(uint32_t channel, nQoMDBG100::tStatus2& status) = 0;
  virtual void unlinkDMAChannel(nQoMDBG100::tStatus2& status) = 0;
  // The flags on the board: what a commit programs, and a run's own change
  // (the interrupt transfer's switch to single samples), which leaves the
  // flags deployed and programmed as they are.
  virtual void applyModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) = 0;
  virtual void applySecondaryModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) = 0;

  // Supervisor code 1: attaches the events in use that no commit before
  // attached; a failure detaches only those, on a scratch status. State 2,
  // but an armed FIFO stays armed.
  void commit(nQoMDBG100::tStatus2& status);
  // Code 4100: enables the sources in use whose handlers a commit attached
  // and that no arm before enabled; a failure disables only those, on a
  // scratch status.
  void arm(nQoMDBG100::tStatus2& status);
  // Codes 4101 and 4: the caller's status goes to every step. Each gives
  // back the sources that arm enabled or commit attached, whatever the lists
  // hold by then; uncommit first disarms what an arm left enabled.
  void disarm(nQoMDBG100::tStatus2& status);
  void uncommit(nQoMDBG100::tStatus2& status);
  // An arm or a commit that no disarm or uncommit gave back: the state, or
  // sources still enabled or attached.
  bool holdsArm() const { return isArmed() || _enabled != 0; }
  bool holdsCommit() const { return state() >= kCommitted || _attached != 0; }

  // Deploys the flag (0 clear, 1 set, other: leave) for the next commit; one
  // with apply non-zero is programmed now as well.
  void setModeFlag(uint32_t value, nQoMDBG100::tStatus2& status, uint32_t apply);
  void setSecondaryModeFlag(uint32_t value, nQoMDBG100::tStatus2& status);
  // As the last commit programmed it.
  uint32_t getSecondaryModeFlag() const { return _flags.programmed().secondary; }
  uint32_t getSampleWidth() const { return _description->sampleWidth; }
  const tCDIODescription* description() const { return _description; }

 protected:
  iCDIODispatcher* _dispatcher;
  const tCDIODescription* _description;
  nQoUdR100::tDeployed<tFlags, tBaseCDI_FIFOPrimitive> _flags;

 private:
  // Disable or detach the sources and events of a mask of bits.
  void disable(uint32_t sources, nQoMDBG100::tStatus2& status);
  void detach(uint32_t events, nQoMDBG100::tStatus2& status);

  // The sources that commit attached and arm enabled, a bit per event.
  uint32_t _attached = 0;
  uint32_t _enabled = 0;
};

}  // namespace nQoUdP100
