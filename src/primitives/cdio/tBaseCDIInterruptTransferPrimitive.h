// The correlated digital input interrupt transfer: each time the CDI FIFO's
// condition is present, the FIFO interrupt asks the destination to move one
// chunk of samples out of the FIFO, at interrupt level. A finite input asks
// for single samples (and clears the FIFO's mode flag on the board, so that
// the interrupt fires per sample) once less than half the FIFO depth remains,
// never asks for more than remains, and reports its end, or the first error,
// once per start. The switch is the run's own: it goes into the run's record,
// and the FIFO's next commit programs the mode flag deployed for it.
//
//   transfer.setDestination(&destination); transfer.setChunkSize(64); ...
//   transfer.registerObservers(status);
//   transfer.commit(status); transfer.arm(status); transfer.start(status);
#pragma once

#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tCDIO_InterruptTransfer.h"

namespace nQoUdP100 {

struct tCDIInterruptRow {
  using tFIFO = tBaseCDI_FIFOPrimitive;
  static constexpr const char* kFile = "source/qomiop/cdio/tBaseCDIInterruptTransferPrimitive";
};

class tBaseCDIInterruptTransferPrimitive
    : public tCDIO_InterruptTransfer<tBaseCDIInterruptTransferPrimitive, tCDIInterruptRow> {
 public:
  // Moves up to byteCount bytes out of the FIFO.
  using iDestination = iPartner;

  tBaseCDIInterruptTransferPrimitive(const tDeviceInfo* deviceInfo,
                                     const tCDIODescription* description,
                                     tBaseCDI_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status);
  // Ends a run still going with no report (the FIFO stopped and reset),
  // disarms and uncommits by the state, then takes out the records that a
  // registration left.
  ~tBaseCDIInterruptTransferPrimitive() override;

  // Each does nothing on an error status; a failed registration is undone.
  // A registration while registered adds nothing, so that one unregistration
  // takes every record out; one after a commit or an arm registers and keeps
  // their state; the unregistration forgets the records of the commit and
  // the run. Commit refuses a chunk whose bytes do not fit in 32 bits
  // (kCountTooLarge), the state unchanged; arm takes what the last commit
  // took. An arm or a start with nothing committed or armed since it was
  // built or unregistered takes the settings as a commit would.
  void registerObservers(nQoMDBG100::tStatus2& status);
  void unregisterObservers(nQoMDBG100::tStatus2& status);
  void commit(nQoMDBG100::tStatus2& status);
  void arm(nQoMDBG100::tStatus2& status);
  void start(nQoMDBG100::tStatus2& status);
  // +200010 for a finite input that was not done, on a clean status; the end,
  // once, for a run a start began; then the run's chunk size comes back.
  void stop(nQoMDBG100::tStatus2& status);
  bool isReady() { return isReadyWith(true); }

  void handleFIFOSecondary(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2&) override {}
  void handleOverrunSecondary(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;

  void setDestination(iDestination* destination) { _partner = destination; }
  // What the run asks for a chunk.
  uint32_t chunkSize() const { return _run.chunk; }

 private:
  friend tCDIO_InterruptTransfer;

  // Stops and resets the FIFO and reports the status to the destination, once.
  void end(nQoMDBG100::tStatus2& status);
  // Another chunk of run, or the end of the data: false when the loop ends.
  bool moveChunk(uint32_t run, uint64_t& count, nQoMDBG100::tStatus2& local);
  void switchToSingleSamples(nQoMDBG100::tStatus2& local);
  // The run's chunk as it was before the switch.
  void giveChunkBack();
  // The run's per-run marks, for a run that an arm or a start opens.
  void beginRecord();

  // The run's switch to single samples, and its chunk before it.
  uint32_t _chunkSwitched = 0;
  uint32_t _savedChunk = 0;
  // Set by the pass that moved the run's last sample.
  tSyncAtomicU32 _done;
};

}  // namespace nQoUdP100
