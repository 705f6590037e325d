// The correlated digital output on demand: write moves samples into the CDO
// FIFO on the caller's thread, one at a time through the data port.
// Write mode 0 (buffered) writes while the FIFO has room; any other mode
// writes one sample and waits until the FIFO has taken it to the lines
// (wait-each), or, for a single sample, writes it as it is. A finite buffered
// output ends when the FIFO's polling thread saw it run empty.
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
  // Finite: +200010 when not all was written or the end is still pending, on
  // a clean status; the FIFO stops; the done observer once.
  void stopTransfer(nQoMDBG100::tStatus2& status);
  void stopChannel(nQoMDBG100::tStatus2& status);
  void uncommitTransfer(nQoMDBG100::tStatus2& status);
  void uncommitChannel(nQoMDBG100::tStatus2& status);

  // Answers the samples written.
  uint32_t write(uint32_t count, const void* buffer, nQoMDBG100::tStatus2& status);
  // The FIFO ran empty after the last sample of a finite buffered output.
  void handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status) override;

  void setWriteMode(uint32_t mode) { _writeMode = mode; }
  uint32_t samplesWritten() const { return _samplesWritten; }

 private:
  uint32_t writeBuffered(uint32_t count, const uint8_t* samples, nQoMDBG100::tStatus2& status);
  uint32_t writeEach(uint32_t count, const uint8_t* samples, nQoMDBG100::tStatus2& status);
  uint32_t writeSingle(const uint8_t* sample, nQoMDBG100::tStatus2& status);
  // Under the lock: the FIFO stops, and true when the done is this call's
  // to report.
  bool stopRun(nQoMDBG100::tStatus2& status);
  // Steps stale samples out to the lines until the FIFO is empty.
  void dropStale(nQoMDBG100::tStatus2& status);
  // Buffer error: acknowledged, and +209801 on a clean status.
  void acknowledgeBufferError(unsigned line, nQoMDBG100::tStatus2& status);

  tBaseCDO_FIFOPrimitive* _fifo;
  uint32_t _writeMode = kBuffered;
  uint32_t _samplesWritten = 0;
  uint32_t _allWritten = 0;
  uint32_t _endPending = 0;
  // Set by commitTransfer's registration, cleared by uncommitChannel's
  // unregistration: what commitTransfer and the destructor go by.
  uint32_t _polledRegistered = 0;
  tTransferLock _lock;
};

}  // namespace nQoUdP100
