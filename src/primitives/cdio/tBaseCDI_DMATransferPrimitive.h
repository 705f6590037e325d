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

#include "frame/statusCodes.h"
#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"
#include "primitives/cdio/tCDIO_DMATransfer.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"

namespace nQoUdP100 {

struct tCDI_DMARow {
  using tFIFO = tBaseCDI_FIFOPrimitive;
  static constexpr const char* kFile = "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive";
  static constexpr unsigned kPartnerLine = 181;
  static constexpr unsigned kSampleModeLine = 235;
  static constexpr int kBufferError = nQoUdR100::kFIFOOverflow;
  static constexpr unsigned kBufferErrorLine = 330;
  static constexpr int kOverrun = nQoUdR100::kCDIOverrun;
  static constexpr unsigned kOverrunLine = 352;
};

class tBaseCDI_DMATransferPrimitive
    : public tCDIO_DMATransfer<tBaseCDI_DMATransferPrimitive, tCDI_DMARow> {
 public:
  static constexpr uint32_t kFinite = 1;
  using iDestination = iPartner;

  tBaseCDI_DMATransferPrimitive(const tDeviceInfo* deviceInfo, tBaseCDI_FIFOPrimitive* fifo,
                                const nQoORB100::tGUID* identity, nQoMDBG100::tStatus2& status);
  // Undoes what it holds, reporting nothing: a run still going (the FIFO
  // stopped and reset), then the FIFO's link to the channel; then takes out
  // whatever records are left in the FIFO's lists.
  ~tBaseCDI_DMATransferPrimitive() override;

  // Each does nothing on an error status. A registration while registered
  // adds nothing, so that one unregistration takes every record out.
  virtual void registerObservers(nQoMDBG100::tStatus2& status);
  virtual void commit(nQoMDBG100::tStatus2& status);
  virtual void linkDMA(nQoMDBG100::tStatus2& status);
  // Takes out only the records that registerObservers made.
  virtual void unregisterObservers(nQoMDBG100::tStatus2& status);
  virtual void start(nQoMDBG100::tStatus2& status);
  // +200010 for a finite transfer whose data were not done, on a clean
  // status; then the end, once.
  virtual void stop(nQoMDBG100::tStatus2& status);
  // The partner's, on its own thread: the data of the live run are done,
  // its FIFO stopped and reset, under the lock while that run is live.
  virtual void markDataDone(nQoMDBG100::tStatus2& status);

  uint32_t handleBufferError(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) override;

  // In state 2 also a sample mode of 0 or 1.
  bool isReady() const;

  void setDestination(iDestination* destination, nQoMDBG100::tStatus2& status) {
    setPartner(destination, status);
  }

 private:
  // Set by the partner's data done of the live run, cleared where a run
  // opens or starts.
  tSyncAtomicU32 _dataDone;
};

}  // namespace nQoUdP100
