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

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tTransferEnd.h"
#include "primitives/common/tDeviceInfoPrimitive.h"

namespace nQoUdP100 {

class tBaseCDO_DMATransferPrimitive : public tCDIO_FIFOObservable::iCDIOBufferErrorObserver,
                                      public tCDIO_FIFOObservable::iCDIOOverrunObserver,
                                      public tDeviceInfoPrimitive,
                                      public tBaseCDO_FIFOPrimitive::iCDO_FIFOEmptyPolledObserver {
 public:
  static constexpr uint32_t kNoChannel = 0xFFFFFFFF;
  enum tSampleMode : uint32_t { kContinuous = 0, kFinite = 1, kFiniteUnwatched = 2 };
  enum tState : uint32_t { kBuilt = 1, kObserving = 2, kCommitted = 3, kLinked = 4 };

  class iSource {
   public:
    virtual ~iSource() = default;
    virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
    // Modes 1 and 2, at registerObservers.
    virtual void bindTransfer(tBaseCDO_DMATransferPrimitive* transfer,
                              nQoMDBG100::tStatus2& status) = 0;
  };

  tBaseCDO_DMATransferPrimitive(const tDeviceInfo* deviceInfo, tBaseCDO_FIFOPrimitive* fifo,
                                const nQoORB100::tGUID* identity, nQoMDBG100::tStatus2& status);
  ~tBaseCDO_DMATransferPrimitive() override;

  virtual void registerObservers(nQoMDBG100::tStatus2& status);
  virtual void commit(nQoMDBG100::tStatus2& status);
  virtual void linkDMA(nQoMDBG100::tStatus2& status);
  virtual void unlinkDMA(nQoMDBG100::tStatus2& status);
  virtual void uncommit(nQoMDBG100::tStatus2& status);
  virtual void unregisterObservers(nQoMDBG100::tStatus2& status);
  virtual void start(nQoMDBG100::tStatus2& status);
  // Mode 1: +200010 when the FIFO never ran empty, on a clean status; then
  // the end, once.
  virtual void stop(nQoMDBG100::tStatus2& status);
  // The source handed over all data: mode 1 wakes the FIFO's polling thread.
  virtual void markEndOfData(nQoMDBG100::tStatus2& status);

  uint32_t handleBufferError(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleBufferErrorSecondary(tCDIO_FIFOObservable* fifo,
                                  nQoMDBG100::tStatus2& status) override;
  uint32_t handleOverrun(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleOverrunSecondary(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status) override;

  bool isReady() const;

  // -223748 outside state 1.
  void setSource(iSource* source, nQoMDBG100::tStatus2& status);
  void setSampleMode(uint32_t mode, nQoMDBG100::tStatus2& status);
  // The buffer-error observer is registered in mode 1 only when the first
  // count is at least the second.
  void setCounts(uint32_t first, uint32_t second) {
    _firstCount = first;
    _secondCount = second;
  }
  void setDMAChannel(nQoLMSDR100::iDMAChannelSupervisor* channel) { _channel = channel; }
  void setDMAChannelNumber(uint32_t number) { _channelNumber = number; }
  uint32_t state() const { return _state; }

 private:
  void end(nQoMDBG100::tStatus2& status);
  void endWithError(int code, unsigned line);

  nQoLMSDR100::iDMAChannelSupervisor* _channel = nullptr;
  uint32_t _channelNumber = kNoChannel;
  tBaseCDO_FIFOPrimitive* _fifo;
  iSource* _source = nullptr;
  uint32_t _state = kBuilt;
  const nQoORB100::tGUID* _identity;
  tTransferEnd _end;
  tTransferLock _endLock;
  uint32_t _endPending = 0;
  uint32_t _fifoEmptied = 0;
  uint32_t _sampleMode = kContinuous;
  uint32_t _firstCount = 0;
  uint32_t _secondCount = 0;
  uint32_t _bufferErrorRegistered = 0;
  uint32_t _overrunRegistered = 0;
  uint32_t _polledRegistered = 0;
};

}  // namespace nQoUdP100
