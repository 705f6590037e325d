// The correlated digital output on demand: write moves samples into the CDO
// FIFO on the caller's thread, one at a time through the data port, only
// while the run it began in is live (counted, so that a stop, a reset or a
// start waits for it). Write mode 0 (buffered) writes while the FIFO has
// room; any other mode writes one sample and waits until the FIFO has taken
// it to the lines (wait-each), or, for a single sample, writes it as it is. A
// finite buffered output ends when the FIFO's polling thread saw it run
// empty.
//
//   transfer.setTimeout(50);
//   uint32_t written = transfer.write(count, buffer, status);
#pragma once

#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"
#include "primitives/cdio/tCDIOImmediateTransfer.h"
#include "primitives/cdio/tTransferEnd.h"

namespace nQoUdP100 {

class tBaseCDOImmediateTransferPrimitive
    : public tCDIOImmediateTransfer,
      public tBaseCDO_FIFOPrimitive::iCDO_FIFOEmptyPolledObserver {
 public:
  static constexpr uint32_t kBuffered = 0;

  tBaseCDOImmediateTransferPrimitive(const tDeviceInfo* deviceInfo,
                                     const tCDIODescription* description,
                                     tBaseCDO_FIFOPrimitive* fifo, const nQoORB100::tGUID* identity,
                                     nQoMDBG100::tStatus2& status);
  // Reporting nothing: its record, when one is left, leaves the FIFO's
  // polled list; then a wake of the polling thread that no stop took back is
  // signalled, and a FIFO that the channel's start left running stops and
  // resets.
  ~tBaseCDOImmediateTransferPrimitive() override;

  void commitTransfer(nQoMDBG100::tStatus2& status);
  void commitChannel(nQoMDBG100::tStatus2& status);
  void startTransfer(nQoMDBG100::tStatus2& status);
  void startChannel(nQoMDBG100::tStatus2& status);
  // The run ends and its writes under way leave. Finite: +200010 when not all
  // was written or the end is still pending, on a clean status; the FIFO
  // stops; the done observer once.
  void stopTransfer(nQoMDBG100::tStatus2& status);
  // Once the writes under way have left: the FIFO stopped and reset.
  void stopChannel(nQoMDBG100::tStatus2& status);
  void uncommitTransfer(nQoMDBG100::tStatus2& status);
  void uncommitChannel(nQoMDBG100::tStatus2& status);

  // Answers the samples written into the live run. A write given with no
  // live run is refused (-50150) and writes nothing, whatever its time-out;
  // one whose run a stop ended answers what it wrote.
  uint32_t write(uint32_t count, const void* buffer, nQoMDBG100::tStatus2& status);
  // The FIFO ran empty after the last sample of a finite buffered output:
  // the run whose end was pending ends, while it is live.
  void handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status) override;

  // Of the next run, as the sample mode and total.
  void setWriteMode(uint32_t mode) { _settings.deploying().option = mode; }
  uint32_t samplesWritten() const { return _samplesWritten; }

 private:
  uint32_t writeBuffered(uint32_t run, uint32_t count, const uint8_t* samples,
                         nQoMDBG100::tStatus2& status);
  uint32_t writeEach(uint32_t run, uint32_t count, const uint8_t* samples,
                     nQoMDBG100::tStatus2& status);
  uint32_t writeSingle(uint32_t run, const uint8_t* sample, nQoMDBG100::tStatus2& status);
  // Under the lock: a run of its own, numbered, by the settings as they
  // stand, once the writes of the run before have left.
  void beginRun();
  // A write given with no live run (0): -50150, and true.
  bool refusedWithNoRun(uint32_t run, nQoMDBG100::tStatus2& status) const;
  // Under the lock: the FIFO stops, its run ends, and true when the done is
  // this call's to report.
  bool stopRun(uint32_t run, nQoMDBG100::tStatus2& status);
  // Steps stale samples of the run out to the lines until the FIFO is empty.
  void dropStale(uint32_t run, nQoMDBG100::tStatus2& status);
  // Buffer error: acknowledged, and +209801 on a clean status.
  void acknowledgeBufferError(unsigned line, nQoMDBG100::tStatus2& status);

  tBaseCDO_FIFOPrimitive* _fifo;
  // The run's samples counted, written inside its writes; cleared by the
  // start of the next once they left.
  uint32_t _samplesWritten = 0;
  tSyncAtomicU32 _allWritten;
  // Under the lock: the run whose end is pending (0: none).
  uint32_t _endPending = 0;
  // Set by commitTransfer's registration, cleared by uncommitChannel's
  // unregistration: what commitTransfer and the destructor go by.
  uint32_t _polledRegistered = 0;
  tTransferLock _lock;
};

}  // namespace nQoUdP100
