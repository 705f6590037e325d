// The correlated digital input interrupt transfer: each time the CDI FIFO's
// condition is present, the FIFO interrupt asks the destination to move one
// chunk of samples out of the FIFO, at interrupt level. A finite input asks
// for single samples (and clears the FIFO's mode flag, so that the interrupt
// fires per sample) once less than half the FIFO depth remains, never asks
// for more than remains, and reports its end, or the first error, once per
// start.
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
#include "primitives/cdio/tTransferEnd.h"

namespace nQoUdP100 {

class tBaseCDIInterruptTransferPrimitive : public tCDIO_FIFOObservable::iCDIOOverrunObserver,
                                           public tCDIO_FIFOObservable::iCDIOFIFOObserver {
 public:
  enum tSampleMode : uint32_t { kContinuous = 0, kFinite = 1, kNotSet = 3 };
  enum tState : uint32_t { kBuilt = 1, kObserving = 2, kCommitted = 3, kArmed = 4 };

  class iDestination {
   public:
    virtual ~iDestination() = default;
    // Moves up to byteCount bytes out of the FIFO; answers the bytes moved.
    virtual uint32_t transferData(uint32_t byteCount, nQoMDBG100::tStatus2& status) = 0;
    virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
  };

  tBaseCDIInterruptTransferPrimitive(const tDeviceInfo* deviceInfo,
                                     const tCDIODescription* description,
                                     tBaseCDI_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status);
  // Undoes by the state: disarm, uncommit, unregisterObservers.
  virtual ~tBaseCDIInterruptTransferPrimitive();

  // Each does nothing on an error status; a failed registration is undone.
  void registerObservers(nQoMDBG100::tStatus2& status);
  void unregisterObservers(nQoMDBG100::tStatus2& status);
  void commit(nQoMDBG100::tStatus2& status);
  void arm(nQoMDBG100::tStatus2& status);
  void start(nQoMDBG100::tStatus2& status);
  // +200010 for a finite input that was not done, on a clean status; the end,
  // once; then the chunk size and the FIFO's saved mode flag (applied at its
  // next commit) come back.
  void stop(nQoMDBG100::tStatus2& status);
  void disarm(nQoMDBG100::tStatus2& status);
  void uncommit(nQoMDBG100::tStatus2& status);
  bool isReady() const;

  // The transfer loop; answers 1.
  uint32_t handleFIFO(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleFIFOSecondary(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2&) override {}
  uint32_t handleOverrun(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleOverrunSecondary(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;

  void setDestination(iDestination* destination) { _destination = destination; }
  // Samples one notification may move.
  void setLimit(uint32_t samples) { _limit = samples; }
  void setChunkSize(uint32_t samples) { _chunk = samples; }
  void setSampleMode(uint32_t mode) { _sampleMode = mode; }
  void setTotal(uint32_t samples) { _total = samples; }
  uint32_t chunkSize() const { return _chunk; }
  uint32_t transferred() const { return _transferred; }
  uint32_t state() const { return _state; }

 private:
  // Stops and resets the FIFO and reports the status to the destination, once.
  void end(nQoMDBG100::tStatus2& status);
  // Another chunk, or the end of the data: false when the loop ends.
  bool moveChunk(uint32_t& count, nQoMDBG100::tStatus2& local);
  void switchToSingleSamples(nQoMDBG100::tStatus2& local);

  const tCDIODescription* _description;
  tBaseCDI_FIFOPrimitive* _fifo;
  iDestination* _destination = nullptr;
  uint32_t _state = kBuilt;
  tTransferEnd _end;
  uint32_t _chunkSwitched = 0;
  uint32_t _savedChunk = 0;
  uint32_t _savedModeFlag = 0;
  uint32_t _transferred = 0;
  uint32_t _limit = 0;
  uint32_t _chunk = 0;
  uint32_t _sampleMode = kNotSet;
  uint32_t _total = 0;
  uint32_t _done = 0;
};

}  // namespace nQoUdP100
