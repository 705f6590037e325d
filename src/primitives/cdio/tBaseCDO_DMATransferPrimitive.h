// The correlated digital output DMA transfer: the output twin of
// tBaseCDI_DMATransferPrimitive. Sample modes: 0 continuous, 1 finite (ends
// when the FIFO has run empty after the source handed over its last data,
// which the FIFO's polling thread reports), 2 finite without a FIFO-empty
// wait (the FIFO's transfer-mode flag set).
//
//   transfer.setSource(&source, status);
//   transfer.registerObservers(status);
//   transfer.commit(status); transfer.linkDMA(status); transfer.start(status);
//   transfer.markEndOfData(status);       // mode 1: the polling thread takes over
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"
#include "primitives/cdio/tCDIO_DMATransfer.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tTransferEnd.h"

namespace nQoUdP100 {

struct tCDO_DMARow {
  using tFIFO = tBaseCDO_FIFOPrimitive;
  static constexpr const char* kFile = "source/qomiop/cdio/tBaseCDO_DMATransferPrimitive";
  static constexpr unsigned kPartnerLine = 53;
  static constexpr unsigned kSampleModeLine = 109;
  static constexpr int kBufferError = nQoUdR100::kOutputBufferError;
  static constexpr unsigned kBufferErrorLine = 471;
  static constexpr int kOverrun = nQoUdR100::kCDOOverrun;
  static constexpr unsigned kOverrunLine = 493;
};

class tBaseCDO_DMATransferPrimitive
    : public tCDIO_DMATransfer<tBaseCDO_DMATransferPrimitive, tCDO_DMARow>,
      public tBaseCDO_FIFOPrimitive::iCDO_FIFOEmptyPolledObserver {
 public:
  enum tSampleMode : uint32_t { kContinuous = 0, kFinite = 1, kFiniteUnwatched = 2 };
  // Modes 1 and 2 are bound at registerObservers.
  using iSource = iPartner;

  tBaseCDO_DMATransferPrimitive(const tDeviceInfo* deviceInfo, tBaseCDO_FIFOPrimitive* fifo,
                                const nQoORB100::tGUID* identity, nQoMDBG100::tStatus2& status);
  // As the input's: a run still going ends (the FIFO stopped and reset), the
  // link and the commit go, the records leave the FIFO's lists; no report.
  ~tBaseCDO_DMATransferPrimitive() override;

  // Nothing while registered, so that one unregistration takes every record
  // out.
  virtual void registerObservers(nQoMDBG100::tStatus2& status);
  virtual void commit(nQoMDBG100::tStatus2& status);
  virtual void linkDMA(nQoMDBG100::tStatus2& status);
  void unlinkDMA(nQoMDBG100::tStatus2& status) override;
  virtual void unregisterObservers(nQoMDBG100::tStatus2& status);
  virtual void start(nQoMDBG100::tStatus2& status);
  // Mode 1: +200010 when the FIFO never ran empty, on a clean status; then
  // the end, once.
  virtual void stop(nQoMDBG100::tStatus2& status);
  // The source handed over all data of the live run: mode 1 wakes the
  // FIFO's polling thread, while that run is live.
  virtual void markEndOfData(nQoMDBG100::tStatus2& status);

  uint32_t handleBufferError(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  // The run whose end was pending ends, while it is live.
  void handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status) override;

  void setSource(iSource* source, nQoMDBG100::tStatus2& status) { setPartner(source, status); }
  // The buffer-error observer is registered in mode 1 only when the first
  // count is at least the second.
  void setCounts(uint32_t first, uint32_t second) {
    tSettings& settings = _settings.deploying();
    settings.firstCount = first;
    settings.secondCount = second;
  }

 private:
  // Under it: whether the run's FIFO ran empty. The run whose end is pending
  // (0: none) is written under it and read by the buffer-error pass too.
  tTransferLock _endLock;
  tSyncAtomicU32 _endPending;
  uint32_t _fifoEmptied = 0;
  uint32_t _polledRegistered = 0;
};

}  // namespace nQoUdP100
