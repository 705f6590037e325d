// The correlated digital input DMA transfer: the platform's DMA channel moves
// the samples; this primitive links the CDI FIFO to the channel, starts and
// stops the FIFO, watches the FIFO's buffer-error and overrun events and
// reports the end or the first error to its destination, once per start.
//
//   transfer.setDestination(&destination, status);  // state 1 only
//   transfer.registerObservers(status);             // link resources
//   transfer.commit(status); transfer.linkDMA(status);
//   transfer.start(status);
//   transfer.stop(status);                          // destination->transferEnded
#pragma once

#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tTransferEnd.h"
#include "primitives/common/tDeviceInfoPrimitive.h"

namespace nQoUdP100 {

class tBaseCDI_DMATransferPrimitive : public tCDIO_FIFOObservable::iCDIOBufferErrorObserver,
                                      public tCDIO_FIFOObservable::iCDIOOverrunObserver,
                                      public tDeviceInfoPrimitive {
 public:
  static constexpr uint32_t kNoChannel = 0xFFFFFFFF;
  static constexpr uint32_t kFinite = 1;
  enum tState : uint32_t { kBuilt = 1, kObserving = 2, kCommitted = 3, kLinked = 4 };

  class iDestination {
   public:
    virtual ~iDestination() = default;
    // The end of the transfer or its first error, once per start.
    virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
    // Finite transfers, at registerObservers.
    virtual void bindTransfer(tBaseCDI_DMATransferPrimitive* transfer,
                              nQoMDBG100::tStatus2& status) = 0;
  };

  tBaseCDI_DMATransferPrimitive(const tDeviceInfo* deviceInfo, tBaseCDI_FIFOPrimitive* fifo,
                                const nQoORB100::tGUID* identity, nQoMDBG100::tStatus2& status);
  // Undoes by the state: unlinkDMA, uncommit, unregisterObservers.
  ~tBaseCDI_DMATransferPrimitive() override;

  // Each does nothing on an error status.
  virtual void registerObservers(nQoMDBG100::tStatus2& status);
  virtual void commit(nQoMDBG100::tStatus2& status);
  virtual void linkDMA(nQoMDBG100::tStatus2& status);
  virtual void unlinkDMA(nQoMDBG100::tStatus2& status);
  virtual void uncommit(nQoMDBG100::tStatus2& status);
  virtual void unregisterObservers(nQoMDBG100::tStatus2& status);
  virtual void start(nQoMDBG100::tStatus2& status);
  // +200010 for a finite transfer whose data were not done, on a clean
  // status; then the end, once.
  virtual void stop(nQoMDBG100::tStatus2& status);
  virtual void markDataDone(nQoMDBG100::tStatus2& status);

  uint32_t handleBufferError(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleBufferErrorSecondary(tCDIO_FIFOObservable* fifo,
                                  nQoMDBG100::tStatus2& status) override;
  uint32_t handleOverrun(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;
  void handleOverrunSecondary(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;

  bool isReady() const;

  // -223748 outside state 1.
  void setDestination(iDestination* destination, nQoMDBG100::tStatus2& status);
  void setSampleMode(uint32_t mode, nQoMDBG100::tStatus2& status);
  void setDMAChannel(nQoLMSDR100::iDMAChannelSupervisor* channel) { _channel = channel; }
  void setDMAChannelNumber(uint32_t number) { _channelNumber = number; }
  uint32_t state() const { return _state; }

 private:
  // Stops and resets the FIFO and reports the status to the destination, once.
  void end(nQoMDBG100::tStatus2& status);
  void endWithError(int code, unsigned line);

  nQoLMSDR100::iDMAChannelSupervisor* _channel = nullptr;
  uint32_t _channelNumber = kNoChannel;
  tBaseCDI_FIFOPrimitive* _fifo;
  iDestination* _destination = nullptr;
  uint32_t _state = kBuilt;
  const nQoORB100::tGUID* _identity;
  tTransferEnd _end;
  uint32_t _sampleMode = 0;
  uint32_t _dataDone = 0;
};

}  // namespace nQoUdP100
