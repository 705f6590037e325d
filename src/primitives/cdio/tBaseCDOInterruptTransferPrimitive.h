// The correlated digital output interrupt transfer: arm preloads the FIFO
// from the source and opens the run for its start; then each time the CDO
// FIFO's condition is present the FIFO interrupt asks the source for one
// chunk of samples, at interrupt level, and a finite output asks for what
// remains once less than a chunk does. Modes: 0 continuous, 1 finite (ends
// when the FIFO's polling thread saw it run empty), 2 finite without FIFO
// interrupts (the data go out by the preload). The end, or the first error,
// reaches the source once per start. A pass between the arm and the start is
// the run's own: the run that start begins.
//
//   transfer.setSource(&source); transfer.setPreload(256); ...
//   transfer.registerObservers(status);
//   transfer.commit(status); transfer.arm(status); transfer.start(status);
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tCDIO_InterruptTransfer.h"
#include "primitives/cdio/tTransferEnd.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

struct tCDOInterruptRow {
  using tFIFO = tBaseCDO_FIFOPrimitive;
  static constexpr const char* kFile = "source/qomiop/cdio/tBaseCDOInterruptTransferPrimitive";
};

class tBaseCDOInterruptTransferPrimitive
    : public tCDIO_InterruptTransfer<tBaseCDOInterruptTransferPrimitive, tCDOInterruptRow>,
      public tBaseCDO_FIFOPrimitive::iCDO_FIFOEmptyPolledObserver {
 public:
  static constexpr uint32_t kUnwatched = 2;
  // Moves up to byteCount bytes into the FIFO.
  using iSource = iPartner;

  tBaseCDOInterruptTransferPrimitive(const tDeviceInfo* deviceInfo,
                                     const tCDIODescription* description,
                                     tBaseCDO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status);
  // Ends a run still going with no report (switchOff), disarms and uncommits
  // by the state, then takes out the records that a registration left.
  ~tBaseCDOInterruptTransferPrimitive() override;

  // Nothing while registered, so that one unregistration takes every record
  // out; after a commit or an arm, registers by the mode they took and keeps
  // their state; the unregistration forgets the records of the commit and
  // the run. Commit refuses a chunk, arm a preload, whose bytes do not fit in
  // 32 bits (kCountTooLarge), before either touches the FIFO. An arm or a
  // start with nothing committed or armed since it was built or unregistered
  // takes the settings as a commit would.
  void registerObservers(nQoMDBG100::tStatus2& status);
  void unregisterObservers(nQoMDBG100::tStatus2& status);
  void commit(nQoMDBG100::tStatus2& status);
  void arm(nQoMDBG100::tStatus2& status);
  void start(nQoMDBG100::tStatus2& status);
  // Registered in mode 1: +200010 when the FIFO never ran empty, on a clean
  // status. Then the live run ends; one a start began has its FIFO stopped
  // (its interrupt off unless registered unwatched) and its end reported,
  // once.
  void stop(nQoMDBG100::tStatus2& status);
  // Also needs a preload.
  bool isReady() { return isReadyWith(_preload.deploying() != 0); }

  // The data of the run its primary pass served are handed over: while that
  // run is live, its end pending and the polling thread woken.
  void handleFIFOSecondary(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleOverrunSecondary(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  // The run whose end was pending ends, while it is live.
  void handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status) override;

  void setSource(iSource* source) { _partner = source; }
  // Samples asked of the source at arm, which takes them.
  void setPreload(uint32_t samples) { _preload.deploying() = samples; }

 private:
  friend tCDIO_InterruptTransfer;

  // The steps that may take the preload: its setter writes it, isReady looks
  // at it, and the arm takes it.
  struct tPreloadSteps {
    static constexpr const char* kDeploySteps[] = {"setPreload", "isReady"};
    static constexpr const char* kProgrammingSteps[] = {"arm"};
  };

  // The FIFO's interrupts off, the FIFO stopped and reset; then the source
  // hears the status.
  void end(nQoMDBG100::tStatus2& status);
  void switchOff();
  // A stopped run's end: the FIFO stopped (its interrupt off unless
  // unwatched), stopped and reset again after an error; the source hears it.
  void stopped(nQoMDBG100::tStatus2& status);
  // Another chunk of run: false when the loop ends.
  bool moveChunk(uint32_t run, uint64_t& count, nQoMDBG100::tStatus2& local);
  void moveTail(uint32_t remaining, nQoMDBG100::tStatus2& local);
  // The record the FIFO's records go by: the run's under an arm or a run,
  // else the last commit's.
  const tRecord& held() const { return _state == kArmed || isRunning() ? _run : programmed(); }
  // Under the end lock: the run's marks, for a run an arm or a start opens.
  void beginRecord(nQoMDBG100::tStatus2& status);
  // The FIFO's records of a mode: the overrun record, the FIFO record unless
  // unwatched, the polled record when finite.
  void observe(uint32_t mode, nQoMDBG100::tStatus2& status);
  void observeFor(uint32_t mode, nQoMDBG100::tStatus2& status);
  void observeCommitted(nQoMDBG100::tStatus2& status);
  // The observers alone; unregisterObservers also forgets the records.
  void removeObservers(nQoMDBG100::tStatus2& status);
  // Moves up to samples; answers the samples the source moved (never more
  // than asked), 0 with kCountTooLarge when their bytes do not fit in 32
  // bits.
  uint32_t ask(uint32_t samples, uint32_t& bytesMoved, nQoMDBG100::tStatus2& status);

  // Under it: the run whose end is pending (0: none), and whether the run's
  // FIFO ran empty.
  tTransferLock _endLock;
  uint32_t _endPending = 0;
  uint32_t _fifoEmptied = 0;
  nQoUdR100::tDeployed<uint32_t, tPreloadSteps> _preload;
  // The mode by which registerObservers added the FIFO's observers.
  uint32_t _observedMode = kNotSet;
};

}  // namespace nQoUdP100
